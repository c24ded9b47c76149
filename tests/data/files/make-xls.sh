#!/usr/bin/env bash
# Makes quendra-test.xls, the Excel 97 workbook the Excel reader's tests open, from the
# flat OpenDocument spreadsheet below with LibreOffice (run once; the .xls is kept in the
# repository, so the tests need no LibreOffice). Needs libreoffice-calc-nogui.
#
# Sheet "Kunden": header row, texts with umlauts and "€", numbers with decimals, dates,
# an empty cell. Sheet "Artikel": integers, decimals and a column mixing numbers and text.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat > "$work/quendra-test.fods" <<'FODS'
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
  xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
  xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
  xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
  xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
  office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
 <office:automatic-styles>
  <number:date-style style:name="N1"><number:year number:style="long"/><number:text>-</number:text><number:month number:style="long"/><number:text>-</number:text><number:day number:style="long"/></number:date-style>
  <style:style style:name="ce1" style:family="table-cell" style:data-style-name="N1"/>
 </office:automatic-styles>
 <office:body>
  <office:spreadsheet>
   <table:table table:name="Kunden">
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Name</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Ort</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Umsatz</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Seit</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Anzahl</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Müller</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Köln</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="1234.56"><text:p>1234.56</text:p></table:table-cell>
     <table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="2024-03-01"><text:p>2024-03-01</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="3"><text:p>3</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Weiß €</text:p></table:table-cell>
     <table:table-cell/>
     <table:table-cell office:value-type="float" office:value="0.5"><text:p>0.5</text:p></table:table-cell>
     <table:table-cell table:style-name="ce1" office:value-type="date" office:date-value="1999-12-31"><text:p>1999-12-31</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="12"><text:p>12</text:p></table:table-cell>
    </table:table-row>
   </table:table>
   <table:table table:name="Artikel">
    <table:table-row>
     <table:table-cell office:value-type="string"><text:p>Nr</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Bezeichnung</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Preis</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Code</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="float" office:value="1"><text:p>1</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Bügeleisen</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="19.99"><text:p>19.99</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="17"><text:p>17</text:p></table:table-cell>
    </table:table-row>
    <table:table-row>
     <table:table-cell office:value-type="float" office:value="2"><text:p>2</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>Töpfe-Set €</text:p></table:table-cell>
     <table:table-cell office:value-type="float" office:value="49.5"><text:p>49.5</text:p></table:table-cell>
     <table:table-cell office:value-type="string"><text:p>A-5</text:p></table:table-cell>
    </table:table-row>
   </table:table>
  </office:spreadsheet>
 </office:body>
</office:document>
FODS

soffice --headless -env:UserInstallation="file://$work/profile" \
  --convert-to 'xls:MS Excel 97' --outdir "$work" "$work/quendra-test.fods" >/dev/null
cp "$work/quendra-test.xls" "$here/quendra-test.xls"
echo "geschrieben: $here/quendra-test.xls"
