#!/usr/bin/python3
# Writes the Excel 97 workbooks of the spreadsheet reader's tests into the folder given
# as the first argument, with xlwt (Debian package python3-xlwt):
#   mixed-1900.xls and mixed-1904.xls: the same cells in both Excel date systems.
#   large.xls: sheet "Danach" behind 7.5 MB of sheet "Ballast".
#   texts.xls: formulas with long text results, stored in a STRING record and CONTINUE
#   records whose pieces switch between 8-bit and UTF-16 characters.
#   text-missing-piece.xls, text-extra-piece.xls: a text result whose pieces hold fewer
#   or more characters than its STRING record announces; text-no-string-KIND.xls: a text
#   result without its STRING record, followed by cells of each kind xlwt writes and a
#   STRING record of nobody's.
# Sheet "Notizen": a note above the header row, then columns whose cells differ in kind
# (numbers among texts, numbers stored as text, logicals among texts, dates, date-times,
# formula results, empty cells). Sheet "Typen": columns of one kind each (a time in a code
# of two bytes a character). Sheet "Formate": formula results in number formats of their
# own. Sheet "Fehler": every error value, as a cell and as a formula's result.
import datetime
import struct
import sys

import xlwt
from xlwt import BIFFRecords


# xlwt leaves a formula's cached result empty; Excel stores the value it computed, and
# that value is what a reader shows. Each formula below carries its result in CACHED,
# found by its cell and its formula (cells of other sheets share row and column).
CACHED = {}
DATES_1904 = [False]


class TextResult(list):
    """A formula's text result in the pieces it is stored in: a STRING record, then one
    CONTINUE record for each further piece. A piece is 8-bit when its characters allow
    it, else UTF-16. count, when given, replaces the true character count."""

    def __init__(self, pieces, count=None):
        super().__init__(pieces)
        self.count = sum(len(p) for p in pieces) if count is None else count

    def records(self):
        out = b''
        for i, piece in enumerate(self):
            wide = any(ord(c) > 255 for c in piece)
            data = bytes([wide]) + piece.encode('utf-16-le' if wide else 'latin-1')
            if i == 0:
                data = struct.pack('<H', self.count) + data
            assert len(data) <= 8224, 'piece longer than a record'
            out += struct.pack('<2H', 0x003C if i else 0x0207, len(data)) + data
        return out


class StrayText:
    """A STRING record standing among a row's cells, as a damaged file may hold it."""

    def __init__(self, text):
        self.text = TextResult([text])

    def get_biff_data(self):
        return self.text.records()


class Failure(int):
    """An error value (#DIV/0! and the like) by its code."""


class CachedFormulaRecord(BIFFRecords.BiffRecord):
    _REC_ID = 0x0006

    def __init__(self, row, col, xf_index, rpn, calc_flags=0):
        result = CACHED.get((row, col, rpn))
        self.text = result if isinstance(result, TextResult) else None
        if isinstance(result, datetime.datetime):
            base = D(1904, 1, 1) if DATES_1904[0] else D(1899, 12, 30)
            result = (result - base).total_seconds() / 86400.0
        if self.text is not None:
            cached = struct.pack('<BBBBHH', 0, 0, 0, 0, 0, 0xFFFF)
        elif isinstance(result, Failure):
            cached = struct.pack('<BBBBHH', 2, 0, result, 0, 0, 0xFFFF)
        elif isinstance(result, bool):
            cached = struct.pack('<BBBBHH', 1, 0, int(result), 0, 0, 0xFFFF)
        else:
            cached = struct.pack('<d', result)
        self._rec_data = (struct.pack('<3H', row, col, xf_index) + cached +
                          struct.pack('<HL', calc_flags & 3, 0) + rpn)

    def get(self):
        record = super().get()
        return record + self.text.records() if self.text is not None else record


BIFFRecords.FormulaRecord = CachedFormulaRecord

DATE = xlwt.easyxf(num_format_str='DD.MM.YYYY')
DATETIME = xlwt.easyxf(num_format_str='DD.MM.YYYY HH:MM:SS')
D = datetime.datetime


class Shown:
    """A value or formula shown with its own number format code."""

    def __init__(self, value, code):
        self.value = value
        self.code = code


def cell(sheet, row, col, value):
    """A value, or a formula as (text, cached result); a day or time shown as one."""
    style = ()
    if isinstance(value, Shown):
        style = (xlwt.easyxf(num_format_str=value.code),)
        value = value.value
    shown = value[1] if isinstance(value, tuple) else value
    if isinstance(shown, D):
        style = (DATE if shown.time() == datetime.time(0) else DATETIME,)
    if isinstance(value, Failure):
        sheet.row(row).set_cell_error(col, int(value))
    elif isinstance(value, tuple):
        formula = xlwt.Formula(value[0])
        CACHED[(row, col, formula.rpn())] = shown
        sheet.write(row, col, formula, *style)
    elif value is not None:
        sheet.write(row, col, value, *style)


def fill(book, name, rows):
    sheet = book.add_sheet(name)
    for r, values in enumerate(rows):
        for c, value in enumerate(values):
            cell(sheet, r, c, value)


NOTIZEN = [
    ["Stand: März 2024 (nur zur Information)"],
    ["Nr", "Name", "Betrag", "Datum", "Aktiv", "Formel", "Termin"],
    [1, "Müller", 12.5, D(2007, 1, 1), True, ("C3*2", 25.0), ("D3+1", D(2007, 1, 2))],
    ["2", "Zoë € Straße", -1234567.25, D(2016, 4, 28, 11, 30), "ja", ("C4+1", -1234566.25),
     ("D4+0.5", D(2016, 4, 28, 23, 30))],
    [3, 4711, 123456789012345.0, None, False, ("C5>0", True), ("1+1", 2.0)],
    ["Summe", "", 0.1, D(1904, 1, 2), "nein", None, ("D6+1", D(1904, 1, 2, 23, 59, 59, 999900))],
    [None, None, None, None, None, None, None],
    [5, "Ende", 1e-7, "31.12.1999", 1, ("1/3", 1.0 / 3), None],
]

TYPEN = [
    ["Ganz", "Dezimal", "Tag", "Zeitpunkt", "Logisch", "Uhrzeit"],
    [1, 0.5, D(2007, 1, 1), D(2016, 4, 28, 11, 30), True, Shown(0.5, 'HH:MM')],
    [-42, 1234.56, D(1999, 12, 31), D(2000, 2, 29, 23, 59, 59), False, Shown(('3/4', 0.75), 'HH:MM:SS "→"')],
    [1234567890, -0.25, D(2024, 2, 29), D(2024, 3, 1, 1, 0), True, None],
]

# Formula results in format codes that hold date letters only in quoted text, in
# brackets or escaped: numbers all the same; a formula and a number in the header row.
HOURS = '0.0 "Std. €"'  # a code in two bytes a character
SALDO = '#,##0.00;[Red]-#,##0.00'
FORMATE = [
    ["Stunden", "Saldo", ("2000+24", 2024.0), 2.5],
    [Shown(("15/2", 7.5), HOURS), Shown(("0-3.5", -3.5), SALDO)],
    [Shown(("38+0.25", 38.25), HOURS), Shown(("1234+0.5", 1234.5), SALDO)],
    [Shown(("4+4", 8.0), '0\\ \\h')],
]

FEHLER = [["Wert", "Formel"]] + [[Failure(code), ('1/0', Failure(code))]
                                 for code in (0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A)]


# Each STRING record holds at most 8224 bytes: the count, a flags byte, the characters.
FULL = 8224 - 3
TEXTE = [
    ["Nr", "Ergebnis"],
    [1, ('"Zoë €"', TextResult(["Zoë €"]))],
    [2, ('REPT("x",8221)', TextResult(["x" * FULL]))],
    [3, ('REPT("Ab",4200)', TextResult(["Ab" * (FULL // 2), "Ab" * 90 + "Ende"]))],
    [4, ('A1&B1', TextResult(["a" * FULL, "Preis 5 € " * 300, "Grüße aus Köln " * 10]))],
    [5, ('A1&B1', TextResult(["€" * ((FULL - 1) // 2), "Straße ", "‰" * 4000, "ÄÖÜ"]))],
    [6, ('""', TextResult([""]))],
    [7, ('B1', TextResult(["", "erst im zweiten Stück"]))],
]


def text_workbook(path, rows):
    book = xlwt.Workbook(encoding='utf-8')
    fill(book, "Texte", rows)
    book.save(path)


def workbook(path, dates_1904):
    book = xlwt.Workbook(encoding='utf-8')
    book.dates_1904 = dates_1904
    DATES_1904[0] = dates_1904
    fill(book, "Notizen", NOTIZEN)
    fill(book, "Typen", TYPEN)
    fill(book, "Formate", FORMATE)
    fill(book, "Fehler", FEHLER)
    book.save(path)


if __name__ == '__main__':
    folder = sys.argv[1]
    workbook(folder + '/mixed-1900.xls', False)
    workbook(folder + '/mixed-1904.xls', True)
    DATES_1904[0] = False
    text_workbook(folder + '/texts.xls', TEXTE)
    # Beyond about 7 MB the compound file lists its allocation table's sectors in further
    # sectors of their own: a sheet behind 7.5 MB of long texts.
    book = xlwt.Workbook(encoding='utf-8')
    fill(book, "Ballast", [[("%04d " % i) * 500] for i in range(3000)])
    fill(book, "Danach", TEXTE[:2] + [[2, 2.5]])
    book.save(folder + '/large.xls')
    pieces = ["a" * FULL, "Grüße €"]
    text_workbook(folder + '/text-missing-piece.xls',
                  [["Nr", "Ergebnis"], [1, ('A1', TextResult(pieces[:1], count=FULL + 7))]])
    text_workbook(folder + '/text-extra-piece.xls',
                  [["Nr", "Ergebnis"], [1, ('A1', TextResult(pieces, count=FULL + 6))]])
    # The cells after the formula: a text (LABELSST), whole numbers (RK, MULRK), a
    # fraction (NUMBER), a logical (BOOLERR), empty cells (BLANK, MULBLANK), another
    # formula (FORMULA); after them a STRING record that belongs to none of them.
    for kind, after in [('text', ['danach']), ('whole', [7]), ('wholes', [7, 8]),
                        ('fraction', [3.14159]), ('logical', [True]), ('blank', ['']),
                        ('blanks', ['', '']), ('formula', [('1+1', 2.0)])]:
        book = xlwt.Workbook(encoding='utf-8')
        sheet = book.add_sheet("Texte")
        for c, value in enumerate(["Nr", "Ergebnis"]):
            cell(sheet, 0, c, value)
        for c, value in enumerate([1, ('A1', TextResult([]))] + after):
            cell(sheet, 1, c, value)
        sheet.row(1)._Row__cells[2 + len(after)] = StrayText("verirrt")
        book.save(folder + '/text-no-string-' + kind + '.xls')
