#!/usr/bin/env bash
# Makes quendra-test.xls, .xlsx and .ods, the workbooks the spreadsheet readers' tests
# open, from the flat OpenDocument spreadsheet quendra-test.fods beside it with LibreOffice
# (run once; the files are kept in the repository, so the tests need no LibreOffice).
# Needs libreoffice-calc-nogui.
#
# Sheet "Kunden": header row, texts with umlauts and "€", numbers with decimals, dates,
# an empty cell. Sheet "Artikel": integers, decimals and a column mixing numbers and text.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for format in 'xls:MS Excel 97' 'xlsx:Calc MS Excel 2007 XML' ods; do
  soffice --headless -env:UserInstallation="file://$work/profile" \
    --convert-to "$format" --outdir "$work" "$here/quendra-test.fods" >/dev/null
  suffix=${format%%:*}
  cp "$work/quendra-test.$suffix" "$here/quendra-test.$suffix"
  echo "geschrieben: $here/quendra-test.$suffix"
done
