#pragma once

#include "connectors/backends/memorytable.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
extern "C" { // pxlib declares its functions without C linkage for C++
#include <paradox.h>
}

#include <memory>
#include <vector>

namespace quendra {

// One field of a Paradox table and where it lies in a record.
struct PxField {
    QString name;
    char type = pxfAlpha;
    int length = 0;
    int decimals = 0;
    int offset = 0;
};

// One pxlib document: a table opened for reading, or a new table being written. pxlib's
// messages are kept and added to the German error text. Throws quendra::Error.
class PxDocument {
public:
    PxDocument();
    ~PxDocument();
    PxDocument(const PxDocument&) = delete;
    PxDocument& operator=(const PxDocument&) = delete;

    void open(const QString& path);
    // Creates path as a table without primary key with the fields of source, in its code
    // page. The new table is complete once close() has returned.
    void create(const QString& path, const PxDocument& source);
    void putRecord(QByteArray record);
    void close();

    const std::vector<PxField>& fields() const { return m_fields; }
    QList<TableColumn> columns() const;
    int recordCount() const;
    int recordSize() const;
    int primaryKeyFields() const { return m_doc->px_head->px_primarykeyfields; }
    // The ICU name of the table's code page.
    const QByteArray& codec() const { return m_codec; }

    // Raw bytes of record index (0-based) and one typed value of it; NULL as a null QVariant.
    QByteArray record(int index);
    QVariant value(const QByteArray& record, const PxField& field);

    pxdoc_t* handle() { return m_doc; }

private:
    QString m_message;
    pxdoc_t* m_doc = nullptr;
    bool m_open = false;
    std::vector<PxField> m_fields;
    QByteArray m_codec = "windows-1252";
};

class FileTypeWriter;
// The writer of Paradox tables (paradoxfile_writer.cpp), for the row in paradoxfile.cpp.
std::unique_ptr<FileTypeWriter> makeParadoxWriter();

} // namespace quendra
