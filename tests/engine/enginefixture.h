#pragma once

#include "support/filebytes.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <QString>
#include <QStringList>

namespace quendra::test {

using namespace Qt::StringLiterals;

// A temporary init.mdb with helpers that write a text-to-text definition and files.
class EngineFixture {
public:
    explicit EngineFixture(TempConfigDb::Place place = TempConfigDb::Place::TempFolder)
        : db(TempConfigDb::Content::Schema, place)
    {
    }

    // Heads of a text source (';') and a text target (';') in the fixture's folder.
    void heads(const QString& transId)
    {
        db.exec(u"insert into srcHead (transid, path, delimiter, frommedium) "
                "values ('%1', '%2', ';', 0)"_s.arg(quoted(transId), db.filePath(u"src.txt"_s)));
        db.exec(u"insert into trgHead (transid, path, delimiter, frommedium, "
                "fixlength, chkrecord) values ('%1', '%2', ';', 0, 0, 0)"_s.arg(
                    quoted(transId), db.filePath(u"out.txt"_s)));
    }
    void srcField(const QString& transId, const QString& name, int sort)
    {
        db.exec(u"insert into srcBody (transid, field, sort) values ('%1', '%2', %3)"_s
                    .arg(quoted(transId), name)
                    .arg(sort));
    }
    void trgField(const QString& transId, const QString& name, const QString& srcfield, int sort,
                  const QString& chkfield = {})
    {
        db.exec(u"insert into trgBody (transid, field, fieldtype, srcfield, sort, "
                "chkfield) values ('%1', '%2', 'Text', '%3', %4, '%5')"_s
                    .arg(quoted(transId), name, srcfield)
                    .arg(sort)
                    .arg(chkfield));
    }
    // A definition that copies one text field a line and counts them in a check line.
    void lineCopy(const QString& transId)
    {
        heads(transId);
        srcField(transId, u"S"_s, 1);
        trgField(transId, u"Z"_s, u"S"_s, 1, u"Anzahl"_s);
        db.exec(u"update trgHead set chkrecord = -1"_s);
    }
    void writeSource(const QByteArray& bytes) const { writeFile(db.filePath(u"src.txt"_s), bytes); }
    void writeTarget(const QByteArray& bytes) const { writeFile(db.filePath(u"out.txt"_s), bytes); }
    QByteArray target(const QString& name = u"out.txt"_s) const
    {
        QFile f(db.filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QString quoted(QString s) { return s.replace(QLatin1Char('\''), u"''"_s); }

    TempConfigDb db;
    RecordingSink sink;
};

} // namespace quendra::test
