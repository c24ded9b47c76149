#!/usr/bin/python3
# Prints every cell of one sheet of an Excel 97 workbook as German regional text, read
# with xlrd (Debian package python3-xlrd), so that the spreadsheet reader's tests can
# compare with a reader that shares no code with it. Usage: xls-cells.py FILE SHEET
# One line per row, cells separated by tabs: texts as they are, numbers with a decimal
# comma in their shortest exact form, dates as 31.12.2005 (with the time of day when it
# is not midnight; a time of day alone as 12:00:00), logicals as Wahr/Falsch, error
# values as Excel shows them (#DIV/0!), empty cells as nothing. Rows without any value
# are left out.
import decimal
import sys

import xlrd


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


book = xlrd.open_workbook(sys.argv[1])
sheet = book.sheet_by_name(sys.argv[2])
for r in range(sheet.nrows):
    texts = [cell_text(c, book.datemode) for c in sheet.row(r)]
    texts += [''] * (sheet.ncols - len(texts))
    if any(texts):
        sys.stdout.write('\t'.join(texts) + '\n')
