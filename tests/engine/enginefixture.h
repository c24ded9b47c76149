#pragma once

#include "support/filebytes.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace quendra::test {

// A temporary init.mdb with helpers that write a text-to-text definition and files.
class EngineFixture {
public:
    // Heads of a text source (';') and a text target (';') in the fixture's folder.
    void heads(const QString& transId)
    {
        db.exec(QStringLiteral("insert into srcHead (transid, path, delimiter, frommedium) "
                               "values ('%1', '%2', ';', 0)")
                    .arg(quoted(transId), db.filePath(QStringLiteral("src.txt"))));
        db.exec(QStringLiteral("insert into trgHead (transid, path, delimiter, frommedium, "
                               "fixlength, chkrecord) values ('%1', '%2', ';', 0, 0, 0)")
                    .arg(quoted(transId), db.filePath(QStringLiteral("out.txt"))));
    }
    void srcField(const QString& transId, const QString& name, int sort)
    {
        db.exec(QStringLiteral("insert into srcBody (transid, field, sort) values ('%1', '%2', %3)")
                    .arg(quoted(transId), name)
                    .arg(sort));
    }
    void trgField(const QString& transId, const QString& name, const QString& srcfield, int sort,
                  const QString& chkfield = {})
    {
        db.exec(QStringLiteral("insert into trgBody (transid, field, fieldtype, srcfield, sort, "
                               "chkfield) values ('%1', '%2', 'Text', '%3', %4, '%5')")
                    .arg(quoted(transId), name, srcfield)
                    .arg(sort)
                    .arg(chkfield));
    }
    void writeSource(const QByteArray& bytes) const
    {
        writeFile(db.filePath(QStringLiteral("src.txt")), bytes);
    }
    void writeTarget(const QByteArray& bytes) const
    {
        writeFile(db.filePath(QStringLiteral("out.txt")), bytes);
    }
    QByteArray target(const QString& name = QStringLiteral("out.txt")) const
    {
        QFile f(db.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString quoted(QString s) { return s.replace(QLatin1Char('\''), QStringLiteral("''")); }

    TempConfigDb db;
    RecordingSink sink;
};

} // namespace quendra::test
