#!/usr/bin/python3
# Writes the Excel 2007 workbooks of the spreadsheet readers' tests into the folder given
# as the first argument, as other programs write them:
#   openpyxl.xlsx, openpyxl-1904.xlsx (python3-openpyxl): shared texts, the same cells in
#   both date systems. Sheet "Notizen": a note above the header row, columns whose cells
#   differ in kind, a merged range; sheet "Typen": columns of one kind each.
#   xlsxwriter.xlsx (python3-xlsxwriter): formula results of every kind as Excel stores
#   them, rich text, dates in formats of their own; xlsxwriter-inline.xlsx the same with
#   texts stored in their cells (constant memory mode).
import datetime
import os
import sys

import openpyxl
import xlsxwriter

out = sys.argv[1]
D = datetime.datetime


def openpyxl_book(name, epoch):
    book = openpyxl.Workbook()
    book.epoch = epoch
    notes = book.active
    notes.title = 'Notizen'
    notes.append(['Stand: März 2024 – bitte nicht ändern'])
    notes.append(['Name', 'Betrag', 'Datum', 'Flag', 'Mix'])
    notes.append(['Müller', 1234.56, D(2024, 3, 1), True, 'A-5'])
    notes.append(['Weiß €', -0.1, D(1999, 12, 31, 13, 45, 30), False, 17])
    notes.append([None, 1e-7, datetime.date(2100, 2, 28), None, 2.5])
    notes.append(['Zeilen­umbruch', 123456789012345.0, None, True, D(2024, 1, 2)])
    notes.merge_cells('A8:C8')
    notes['A8'] = 'verbunden'
    types = book.create_sheet('Typen')
    types.append(['Ganz', 'Bruch', 'Tag', 'Zeit', 'Logisch'])
    for i in range(1, 6):
        types.append([i * 1000, i / 8, D(2000, 1, i), datetime.time(i, 30), i % 2 == 0])
    for cell in types['D'][1:]:
        cell.number_format = 'hh:mm:ss'
    book.save(os.path.join(out, name))


openpyxl_book('openpyxl.xlsx', openpyxl.utils.datetime.CALENDAR_WINDOWS_1900)
openpyxl_book('openpyxl-1904.xlsx', openpyxl.utils.datetime.CALENDAR_MAC_1904)


def xlsxwriter_book(name, options):
    book = xlsxwriter.Workbook(os.path.join(out, name), options)
    sheet = book.add_worksheet('Formeln')
    bold = book.add_format({'bold': True})
    german = book.add_format({'num_format': 'dd/mm/yyyy hh:mm'})
    quoted = book.add_format({'num_format': '0.00" Tage"'})
    sheet.write_row(0, 0, ['Art', 'Wert', 'Text'])
    sheet.write(1, 0, 'Summe')
    sheet.write_formula(1, 1, '=1+2', None, 3)
    sheet.write_rich_string(1, 2, 'fett ', bold, 'und', ' normal')
    sheet.write(2, 0, 'Text')
    sheet.write_formula(2, 1, '="a"&"b"', None, 'ab')
    sheet.write(2, 2, ' Leerzeichen  ')
    sheet.write(3, 0, 'Logisch')
    sheet.write_formula(3, 1, '=1=1', None, True)
    sheet.write(4, 0, 'Fehler')
    sheet.write_formula(4, 1, '=1/0', None, '#DIV/0!')
    sheet.write(5, 0, 'Zeitpunkt')
    sheet.write_datetime(5, 1, D(2024, 12, 24, 18, 0), german)
    sheet.write(6, 0, 'Leer')
    sheet.write(7, 0, 'Zahl mit Wort')
    sheet.write_number(7, 1, 2.25, quoted)
    sheet.write_boolean(8, 2, False)
    book.close()


xlsxwriter_book('xlsxwriter.xlsx', {})
xlsxwriter_book('xlsxwriter-inline.xlsx', {'constant_memory': True})
