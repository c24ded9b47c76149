#pragma once

#include "common/error.h"
#include "connectors/backends/filetypes.h"

#include <QFileInfoList>
#include <QString>
#include <QStringList>

namespace quendra {

// The files of folder whose suffix is one of suffixes (lower case, compared ignoring
// case), sorted by file name ignoring case; this order is the order of the tables.
// Throws error 76 when the folder does not exist.
QFileInfoList folderTableFiles(const QString& folder, const QStringList& suffixes);

// The file of folder that holds table: the table name with one of the suffixes, the
// table name itself when it carries a suffix ("kunden.csv"), or the "#" form
// ("kunden#csv"); an empty path when there is none.
QString findTableFile(const QString& folder, const QString& table, const QStringList& suffixes);

// The file a writer appends to: the table's file in the data source folder. Throws
// error 76 as folderTableFiles does when that is no folder (any more), and error 53 with
// missingText (%1 the table, %2 the data source) when the table has no file: a writer
// never creates a table, because nothing tells which columns it should have.
QString tableFileToAppend(const DataSourceLocation& location, const QString& table,
                          const QStringList& suffixes, const QString& missingText);

// The writer of a folder file type: finds the table's file by tableFileToAppend and
// appends to it through Record(path). where is the where-text of openTable.
template <class Record> class FolderTableWriter : public FileTypeWriter {
public:
    FolderTableWriter(const char* where, QString missingText)
        : m_where(where), m_missingText(std::move(missingText))
    {
    }

    std::unique_ptr<DatabaseRecord> openTable(const DataSourceLocation& location,
                                              const QString& table) override
    {
        return trapped(m_where, [&]() -> std::unique_ptr<DatabaseRecord> {
            return std::make_unique<Record>(
                tableFileToAppend(location, table, location.tableFiles, m_missingText));
        });
    }

private:
    const char* m_where;
    QString m_missingText;
};

} // namespace quendra
