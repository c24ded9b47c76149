#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

namespace quendra::test {

// A column of a generated Jet 4 table.
struct JetColumn {
    enum Type { Long = 0x04, Text = 0x0A, Ole = 0x0B, Memo = 0x0C, Bool = 0x01 };
    QString name;
    Type type = Text;
    int chars = 255; // of a Text column
};

struct JetTable {
    QString name;
    QVector<JetColumn> columns;
    QVector<QVector<QVariant>> rows; // an invalid QVariant is NULL
    qint64 storedRows = -1;          // the count the table definition states; -1: rows.size()
};

// A Jet 4 (Access 2000) database of the tables, written byte by byte after the page layout
// mdbtools documents (HACKING.md): the masked header page, a page of usage maps, the
// catalogue MSysObjects, a table definition page per table, data pages with rows in the
// Jet 4 layout and long-value pages for memos that do not fit their row. No indexes.
QByteArray jetFile(const QVector<JetTable>& tables);

// The six tables of Quendra's schema as an old Jet configuration has them, without rows.
QVector<JetTable> schemaJetTables();

} // namespace quendra::test
