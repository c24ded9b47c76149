#!/usr/bin/python3
# Makes an SQLite file with Python's sqlite3 module, for the SQLite readers' tests:
# sqlite-values.py CASES FILE. Every case of the table CASES (name, declared type, the
# value as a Python literal) becomes a table of that name with one column v of that type
# and one row holding the value, stored as the module stores it (str as TEXT, int as
# INTEGER, float as REAL, bytes as BLOB, None as NULL, converted by the column's
# affinity; bytes into a column declared text as TEXT). Besides, the table "alle" of
# several typed columns and the view "sicht".
import ast
import sqlite3
import sys

con = sqlite3.connect(sys.argv[2])
with open(sys.argv[1], encoding='utf-8') as f:
    for line in f:
        line = line.rstrip('\n')
        if not line or line.startswith('#'):
            continue
        name, declared, literal = line.split('\t')[:3]
        value = ast.literal_eval(literal)
        con.execute('create table "%s" (v %s)' % (name, declared))
        # Bytes into a text column: stored as TEXT as they are, whether UTF-8 or not.
        cast = 'cast(? as text)' if isinstance(value, bytes) and declared == 'text' else '?'
        con.execute('insert into "%s" values (%s)' % (name, cast), (value,))
con.execute('create table alle (nr integer, datum date, zeit datetime, ja boolean, '
            'betrag numeric(12,2), text varchar(20))')
con.executemany('insert into alle values (?, ?, ?, ?, ?, ?)', [
    (1, '2024-02-01', '2016-04-28 11:30:05', 1, 1234.5, 'Müller'),
    (2, None, '2016-04-28T00:00:00.250', 0, '-9999999999.99', ''),
    (3, '2024-02-01 10:30', None, None, 7, None),
])
con.execute('create view sicht as select nr, datum as tag, text from alle where nr > 1')
con.commit()
con.close()
