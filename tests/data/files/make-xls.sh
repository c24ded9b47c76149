#!/usr/bin/env bash
# Makes quendra-test.xls, the Excel 97 workbook the Excel reader's tests open, from the
# flat OpenDocument spreadsheet quendra-test.fods beside it with LibreOffice (run once;
# the .xls is kept in the repository, so the tests need no LibreOffice). Needs
# libreoffice-calc-nogui.
#
# Sheet "Kunden": header row, texts with umlauts and "€", numbers with decimals, dates,
# an empty cell. Sheet "Artikel": integers, decimals and a column mixing numbers and text.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
soffice --headless -env:UserInstallation="file://$work/profile" \
  --convert-to 'xls:MS Excel 97' --outdir "$work" "$here/quendra-test.fods" >/dev/null
cp "$work/quendra-test.xls" "$here/quendra-test.xls"
echo "geschrieben: $here/quendra-test.xls"
