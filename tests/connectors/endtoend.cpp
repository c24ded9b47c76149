#include "endtoend.h"

#include "common/globals.h"
#include "connectors/clsadoconnect.h"
#include "engine/rundefinition.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <QStringEncoder>

namespace quendra::test {

namespace {
QString quoted(const QString& text)
{
    return QLatin1Char('\'') + QString(text).replace(QLatin1Char('\''), QStringLiteral("''")) +
           QLatin1Char('\'');
}
} // namespace

const QStringList SourceFields = {QStringLiteral("nr"), QStringLiteral("name"),
                                  QStringLiteral("betrag"), QStringLiteral("datum"),
                                  QStringLiteral("notiz")};

const std::vector<TargetField> TextFields = {{"NR", "Text", 0, 0, ""},
                                             {"NAME", "Text", 0, 0, ""},
                                             {"BETRAG", "Text", 0, 0, ""},
                                             {"DATUM", "Text", 0, 0, ""},
                                             {"NOTIZ", "Text", 0, 0, ""}};

const std::vector<TargetField> TypedFields = {{"NR", "Text", 0, 0, ""},
                                              {"NAME", "Text", 0, 0, ""},
                                              {"BETRAG", "Zahl", 12, 2, ""},
                                              {"DATUM", "Datum", 0, 0, "dd.mm.yyyy"},
                                              {"NOTIZ", "Text", 0, 0, ""}};

void storeDefinition(const TempConfigDb& config, const Side& src, const Side& trg,
                     const std::vector<TargetField>& fields)
{
    QStringList sql;
    sql << QStringLiteral("insert into srcHead (transid, path, filetype, header, dbtable, "
                          "delimiter, specdelimiter, sqlstring, frommedium) values ('T', %1, %2, "
                          "%3, %4, ';', '', %5, %6)")
               .arg(quoted(src.path), quoted(src.fileType),
                    src.header ? QStringLiteral("-1") : QStringLiteral("0"), quoted(src.table),
                    src.sql.isEmpty() ? QStringLiteral("NULL") : quoted(src.sql))
               .arg(src.medium);
    sql << QStringLiteral("insert into trgHead (transid, path, filetype, header, dbtable, "
                          "delimiter, specdelimiter, textsign, frommedium, fixlength, chkrecord, "
                          "encoding) values ('T', %1, %2, 0, %3, ';', '', '', %4, 0, 0, 'ANSI')")
               .arg(quoted(trg.path), quoted(trg.fileType), quoted(trg.table))
               .arg(trg.medium);
    for (qsizetype i = 0; i < SourceFields.size(); ++i) {
        sql << QStringLiteral("insert into srcBody (transid, field, format, sort) values ('T', "
                              "%1, '', %2)")
                   .arg(quoted(SourceFields[i]))
                   .arg((i + 1) * 10);
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        const TargetField& f = fields[i];
        sql << QStringLiteral("insert into trgBody (transid, field, length, decscale, fieldtype, "
                              "format, defaultvalue, srcfield, adjustment, chkfield, sort, plus, "
                              "\"0padding\", ltrim, command) values ('T', %1, %2, %3, %4, %5, '', "
                              "%6, '', '', %7, 0, 0, 0, '')")
                   .arg(quoted(QString::fromLatin1(f.name)))
                   .arg(f.length)
                   .arg(f.decscale)
                   .arg(quoted(QString::fromLatin1(f.type)), quoted(QString::fromLatin1(f.format)),
                        quoted(SourceFields[static_cast<qsizetype>(i)]))
                   .arg((i + 1) * 10);
    }
    config.execAll(sql);
}

std::vector<MessageBoxData> runDefinition()
{
    RecordingSink sink;
    showRunResult(quendra::runDefinition(QStringLiteral("T")));
    return sink.boxes;
}

QString boxesText(const std::vector<MessageBoxData>& boxes)
{
    QString all;
    for (const MessageBoxData& b : boxes)
        all += b.title + QLatin1Char('\n') + b.text + QLatin1Char('\n');
    return all;
}

void writeAnsiLines(const QString& path, const QStringList& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot write the source file");
    QStringEncoder encode("windows-1252");
    file.write(encode(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
}

QString tableDdl(const QString& table)
{
    return QStringLiteral("create table %1 (nr integer, name varchar(40), betrag numeric(10,2), "
                          "datum date, notiz varchar(40) default 'offen')")
        .arg(table);
}

QStringList sourceRows(const QString& table)
{
    return {
        QStringLiteral("insert into %1 values (1, 'Müller', 12.5, '2005-12-31', NULL)").arg(table),
        QStringLiteral("insert into %1 values (2, 'Zoë € Straße', -1234.75, '2024-02-29', 'x')")
            .arg(table),
        QStringLiteral("insert into %1 values (3, NULL, NULL, NULL, 'leer')").arg(table),
    };
}

const QStringList ExpectedTextLines = {
    QStringLiteral("1;Müller;12,5;31.12.2005;"),
    QStringLiteral("2;Zoë € Straße;-1234,75;29.02.2024;x"),
    QStringLiteral("3;;;;leer"),
};

QStringList readBack(const QString& connectionString, const QString& table)
{
    clsADOConnect c;
    c.setSource(connectionString);
    c.setSQL(QStringLiteral("select * from %1 order by nr").arg(table));
    c.init();
    QStringList rows;
    for (; !c.isEOF(); c.MoveNext()) {
        QStringList values;
        for (int i = 0; i < c.fieldCount(); ++i)
            values.append(c.getField(i).toString());
        rows.append(values.join(QLatin1Char('|')));
    }
    return rows;
}

// A text field is always assigned (empty text, not the default); an empty date leaves
// the column NULL; the number formatting makes an empty amount 0.
const QStringList ExpectedTypedRows = {
    QStringLiteral("1|Müller|12,5|31.12.2005|"),
    QStringLiteral("2|Zoë € Straße|-1234,75|29.02.2024|x"),
    QStringLiteral("3||0||leer"),
};

} // namespace quendra::test
