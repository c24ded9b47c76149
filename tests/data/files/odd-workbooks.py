#!/usr/bin/python3
# Writes the hand-made workbooks of the spreadsheet readers' tests into the folder given
# as the first argument: what the programs that write workbooks do not write (hand.xlsx,
# hand.ods: rare but sound cells) and damaged or hostile files, each named after what is
# wrong with it (a zip bomb, a missing part, a document type declaration, ...).
import os
import struct
import sys
import zipfile

out = sys.argv[1]
MAIN = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
REL = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
PKG = 'http://schemas.openxmlformats.org/package/2006/relationships'
OFFICE = 'urn:oasis:names:tc:opendocument:xmlns:office:1.0'
TABLE = 'urn:oasis:names:tc:opendocument:xmlns:table:1.0'
TEXT = 'urn:oasis:names:tc:opendocument:xmlns:text:1.0'
CALC = 'urn:org:documentfoundation:names:experimental:calc:xmlns:calcext:1.0'


def write(name, parts):
    with zipfile.ZipFile(os.path.join(out, name), 'w', zipfile.ZIP_DEFLATED) as z:
        for part, text in parts.items():
            z.writestr(part, text)


def sheet(rows):
    return f'<x:worksheet xmlns:x="{MAIN}"><x:sheetData>{rows}</x:sheetData></x:worksheet>'


def book(sheet_xml, strings='<x:sst xmlns:x="%s"/>' % MAIN, workbook=None):
    return {
        '_rels/.rels': f'<Relationships xmlns="{PKG}"><Relationship Id="r1" '
                       f'Type="{REL}/officeDocument" Target="/xl/workbook.xml"/></Relationships>',
        'xl/workbook.xml': workbook or f'<x:workbook xmlns:x="{MAIN}" xmlns:r="{REL}">'
                           '<x:sheets><x:sheet name="Hand" sheetId="1" r:id="s1"/></x:sheets>'
                           '</x:workbook>',
        'xl/_rels/workbook.xml.rels':
            f'<Relationships xmlns="{PKG}">'
            f'<Relationship Id="s1" Type="{REL}/worksheet" Target="/xl/blatt/eins.xml"/>'
            f'<Relationship Id="t" Type="{REL}/sharedStrings" Target="texte.xml"/>'
            '</Relationships>',
        'xl/texte.xml': strings,
        'xl/blatt/eins.xml': sheet_xml,
    }


# Sound: an empty row element, phonetic hints, ISO dates in cells, prefixed names, absolute part names, a cell
# without its name, text with spaces and an entity of XML itself, a number of more digits
# than a double holds.
write('hand.xlsx', book(
    sheet('<x:row r="1"><x:c r="A1" t="s"><x:v>0</x:v></x:c><x:c r="B1" t="s"><x:v>3</x:v>'
          '</x:c><x:c r="C1" t="inlineStr"><x:is><x:t>Lang</x:t></x:is></x:c></x:row>'
          '<x:row r="2"/><x:row r="3"><x:c r="A3" t="s"><x:v>1</x:v></x:c><x:c t="d"><x:v>'
          '2024-02-29T00:00:00</x:v></x:c><x:c r="C3"><x:v>12345678901234567</x:v></x:c>'
          '</x:row><x:row><x:c r="A4" t="s"><x:v>2</x:v>'
          '</x:c><x:c r="B4" t="d"><x:v>2024-02-29T08:15:00</x:v></x:c></x:row>'),
    f'<x:sst xmlns:x="{MAIN}"><x:si><x:t>Name</x:t></x:si><x:si><x:r><x:t>東京</x:t></x:r>'
    '<x:rPh sb="0" eb="2"><x:t>トウキョウ</x:t></x:rPh></x:si><x:si><x:t xml:space="preserve">'
    ' a &amp; b </x:t></x:si><x:si><x:t>Tag</x:t></x:si></x:sst>'))

# Serials around the 29 February 1900 that the 1900 date system counts, in a date format.
days = book(sheet('<x:row r="1"><x:c r="A1" t="inlineStr"><x:is><x:t>Tag</x:t></x:is></x:c></x:row>'
                  + ''.join(f'<x:row r="{n + 2}"><x:c r="A{n + 2}" s="1"><x:v>{v}</x:v></x:c></x:row>'
                            for n, v in enumerate(['59', '60', '60.5', '61']))))
days['xl/_rels/workbook.xml.rels'] = days['xl/_rels/workbook.xml.rels'].replace(
    '</Relationships>', f'<Relationship Id="st" Type="{REL}/styles" Target="stile.xml"/>'
    '</Relationships>')
days['xl/stile.xml'] = (f'<x:styleSheet xmlns:x="{MAIN}"><x:cellXfs count="2"><x:xf numFmtId="0"/>'
                        '<x:xf numFmtId="14"/></x:cellXfs></x:styleSheet>')
write('tage.xlsx', days)

GOOD_ROW = '<x:row r="1"><x:c r="A1"><x:v>1</x:v></x:c></x:row>'
write('ohne-verweis.xlsx', {'hallo.txt': 'Hallo'})
parts = book(sheet(GOOD_ROW))
del parts['xl/blatt/eins.xml']
write('teil-fehlt.xlsx', parts)
write('dtd.xlsx', book(sheet(GOOD_ROW), workbook='<!DOCTYPE x [<!ENTITY a "aaaaaaaaaa">'
                       '<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">]><x>&b;</x>'))
write('verschachtelt.xlsx', book(sheet('<a>' * 300 + '</a>' * 300)))
write('text-fehlt.xlsx', book(sheet('<x:row r="1"><x:c r="A1" t="s"><x:v>7</x:v></x:c></x:row>')))
write('keine-zahl.xlsx', book(sheet('<x:row r="1"><x:c r="A1"><x:v>12abc</x:v></x:c></x:row>')))
write('zellname.xlsx', book(sheet('<x:row r="1"><x:c r="1A"><x:v>1</x:v></x:c></x:row>')))
write('kein-xml.xlsx', book(sheet('<x:row r="1"><x:c r="A1"><x:v>1</x:c></x:row>')))
write('entitaet.xlsx', book(sheet('<x:row r="1"><x:c r="A1" t="str"><x:v>&xxe;</x:v></x:c>'
                                  '</x:row>')))


def declare_size(name, size):
    """The sheet part's unpacked size, as the zip's headers state it, set to size."""
    path = os.path.join(out, name)
    data = bytearray(open(path, 'rb').read())
    entry = b'xl/blatt/eins.xml'
    at = data.find(b'PK\x01\x02')
    while at >= 0:
        length = struct.unpack_from('<H', data, at + 28)[0]
        if data[at + 46:at + 46 + length] == entry:
            struct.pack_into('<I', data, at + 24, size)
            local = struct.unpack_from('<I', data, at + 42)[0]
            struct.pack_into('<I', data, local + 22, size)
        at = data.find(b'PK\x01\x02', at + 4)
    open(path, 'wb').write(data)


write('zu-gross.xlsx', book(sheet(GOOD_ROW)))
declare_size('zu-gross.xlsx', 3 << 30)
write('bombe.xlsx', book(sheet(GOOD_ROW * 2000)))  # packs to about 1 KB
declare_size('bombe.xlsx', 4 << 20)
write('laenger.xlsx', book(sheet(GOOD_ROW * 50)))
declare_size('laenger.xlsx', 100)


def ods(content, mimetype='application/vnd.oasis.opendocument.spreadsheet'):
    parts = {'mimetype': mimetype} if mimetype else {}
    if content is not None:
        parts['content.xml'] = (
            f'<office:document-content xmlns:office="{OFFICE}" xmlns:table="{TABLE}" '
            f'xmlns:text="{TEXT}" xmlns:calcext="{CALC}"><office:body><office:spreadsheet>'
            f'{content}</office:spreadsheet></office:body></office:document-content>')
    return parts


def cell(attributes='', text=None, repeat=1):
    r = f' table:number-columns-repeated="{repeat}"' if repeat > 1 else ''
    body = f'<text:p>{text}</text:p>' if text is not None else ''
    return f'<table:table-cell{r} {attributes}>{body}</table:table-cell>'


# Sound: every value type, repeated rows and cells, a merged range with covered cells
# that hold text, a note, a paragraph with spaces, a tab and a line break, an error value,
# and the empty rest of the sheet as one row repeated a million times.
hand_rows = (
    '<table:table-row>' + cell('office:value-type="string"', 'Art') +
    cell('office:value-type="string"', 'Wert') + '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Prozent') +
    cell('office:value-type="percentage" office:value="0.155"', '15,5 %') + '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Betrag') +
    cell('office:value-type="currency" office:currency="EUR" office:value="-12.5"', '-12,50 €') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Lang') +
    cell('office:value-type="float" office:value="-12345678901234567"', 'x') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Tag') +
    cell('office:value-type="date" office:date-value="2024-02-29"', '29.02.24') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Zeitpunkt') +
    cell('office:value-type="date" office:date-value="2024-02-29T08:15:00"', 'x') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Uhrzeit') +
    cell('office:value-type="time" office:time-value="PT13H45M30S"', '13:45:30') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Logisch') +
    cell('office:value-type="boolean" office:boolean-value="true"', 'WAHR') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Fehler') +
    cell('office:value-type="float" office:value="0" calcext:value-type="error"', '#DIV/0!') +
    '</table:table-row>'
    '<table:table-row>' + cell('office:value-type="string"', 'Text') +
    '<table:table-cell office:value-type="string"><office:annotation><text:p>Notiz</text:p>'
    '</office:annotation><text:p>a<text:s text:c="2"/>b<text:tab/>c</text:p><text:p>'
    'zwei<text:line-break/>drei</text:p></table:table-cell></table:table-row>'
    '<table:table-row table:number-rows-repeated="2">' +
    cell('office:value-type="string"', 'doppelt') +
    cell('office:value-type="float" office:value="7"', '7', 2) + cell('', None, 1020) +
    '</table:table-row>'
    '<table:table-row>' + cell('table:number-columns-spanned="2" office:value-type="string"',
                               'verbunden') +
    '<table:covered-table-cell office:value-type="string"><text:p>verdeckt</text:p>'
    '</table:covered-table-cell></table:table-row>'
    '<table:table-row table:number-rows-repeated="1048560">' + cell('', None, 1024) +
    '</table:table-row>')
write('hand.ods', ods(f'<table:table table:name="Hand">{hand_rows}</table:table>'))
write('kein-mimetype.ods', ods('<table:table table:name="T"/>', mimetype=None))
write('inhalt-fehlt.ods', ods(None))
write('dtd.ods', {'mimetype': 'application/vnd.oasis.opendocument.spreadsheet',
                  'content.xml': '<!DOCTYPE x [<!ENTITY a "b">]><x>&a;</x>'})
write('zu-viele-zeilen.ods', ods(
    '<table:table table:name="T"><table:table-row table:number-rows-repeated="1048577">' +
    cell('office:value-type="float" office:value="1"', '1') + '</table:table-row></table:table>'))
