#!/usr/bin/python3
# Prints every cell of one sheet of an Excel workbook as German regional text, read with
# xlrd (Debian package python3-xlrd) for .xls and with openpyxl (python3-openpyxl) for
# .xlsx, so that the spreadsheet readers' tests can compare with readers that share no
# code with them. Usage: sheet-cells.py FILE SHEET
# One line per row, cells separated by tabs: texts as they are, numbers with a decimal
# comma in their shortest exact form, dates as 31.12.2005 (with the time of day when it
# is not midnight; a time of day alone as 12:00:00), logicals as Wahr/Falsch, error
# values as Excel shows them (#DIV/0!), empty cells as nothing. Rows without any value
# are left out.
import datetime
import decimal
import sys


def number(value):
    text = format(decimal.Decimal(repr(value)), 'f')
    if '.' in text:
        text = text.rstrip('0').rstrip('.')
    return text.replace('.', ',')


def date(value, datemode):
    y, m, d, hh, mm, ss = xlrd.xldate_as_tuple(value, datemode)
    if y == 0:
        return '%02d:%02d:%02d' % (hh, mm, ss)  # a time of day without a date
    text = '%02d.%02d.%04d' % (d, m, y)
    if (hh, mm, ss) != (0, 0, 0):
        text += ' %02d:%02d:%02d' % (hh, mm, ss)
    return text


def when(value):
    if isinstance(value, datetime.datetime):
        text = value.strftime('%d.%m.%Y')
        if value.time() != datetime.time(0, 0):
            text += value.strftime(' %H:%M:%S')
        return text
    if isinstance(value, datetime.date):
        return value.strftime('%d.%m.%Y')
    return value.strftime('%H:%M:%S')


def openpyxl_text(value):
    if value is None:
        return ''
    if isinstance(value, bool):
        return 'Wahr' if value else 'Falsch'
    if isinstance(value, (int, float)):
        return number(value)
    if isinstance(value, (datetime.datetime, datetime.date, datetime.time)):
        return when(value)
    return str(value)


def cell_text(cell, datemode):
    if cell.ctype in (xlrd.XL_CELL_EMPTY, xlrd.XL_CELL_BLANK):
        return ''
    if cell.ctype == xlrd.XL_CELL_TEXT:
        return cell.value
    if cell.ctype == xlrd.XL_CELL_DATE:
        return date(cell.value, datemode)
    if cell.ctype == xlrd.XL_CELL_BOOLEAN:
        return 'Wahr' if cell.value else 'Falsch'
    if cell.ctype == xlrd.XL_CELL_NUMBER:
        return number(cell.value)
    if cell.ctype == xlrd.XL_CELL_ERROR:
        return xlrd.error_text_from_code[cell.value]
    raise ValueError('cell kind %d' % cell.ctype)


def rows():
    if sys.argv[1].endswith('.xls'):
        global xlrd
        import xlrd
        book = xlrd.open_workbook(sys.argv[1])
        sheet = book.sheet_by_name(sys.argv[2])
        for r in range(sheet.nrows):
            texts = [cell_text(c, book.datemode) for c in sheet.row(r)]
            yield texts + [''] * (sheet.ncols - len(texts))
        return
    import openpyxl
    book = openpyxl.load_workbook(sys.argv[1], data_only=True)
    sheet = book[sys.argv[2]]
    for row in sheet.iter_rows(min_row=1, min_col=1, max_col=sheet.max_column):
        yield [openpyxl_text(c.value) for c in row]


for texts in rows():
    if any(texts):
        sys.stdout.write('\t'.join(texts) + '\n')
