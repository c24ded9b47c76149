#include "endtoend.h"

#include "connectors/clsadoconnect.h"
#include "engine/rundefinition.h"
#include "support/filebytes.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QFile>
#include <QStringEncoder>

using namespace Qt::StringLiterals;

namespace quendra::test {

void storeDefinition(const TempConfigDb& config, const Side& src, const Side& trg)
{
    QString script = QString::fromUtf8(
        readFile(QStringLiteral(QUENDRA_TEST_DATA_DIR "/connectors/definition.sql")));
    for (const auto& [name, side] : {std::pair{u"@SRC"_s, &src}, std::pair{u"@TRG"_s, &trg}}) {
        script.replace(name + u"MEDIUM@"_s, QString::number(side->medium));
        const std::pair<const char*, QString> texts[] = {
            {"PATH@", side->path}, {"TYPE@", side->fileType}, {"TABLE@", side->table}};
        for (const auto& [what, text] : texts)
            script.replace(name + QLatin1String(what), QString(text).replace(u'\'', u"''"_s));
    }
    config.execScript(script);
}

std::vector<MessageBoxData> runDefinition()
{
    RecordingSink sink;
    showRunResult(quendra::runDefinition(u"T"_s));
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
    file.write(encode(lines.join(u"\r\n"_s) + u"\r\n"_s));
}

QString tableDdl(const QString& table)
{
    return u"create table %1 (nr integer, name varchar(40), betrag numeric(10,2), "
           "datum date, notiz varchar(40) default 'offen')"_s.arg(table);
}

QStringList sourceRows(const QString& table)
{
    return {
        u"insert into %1 values (1, 'Müller', 12.5, '2005-12-31', NULL)"_s.arg(table),
        u"insert into %1 values (2, 'Zoë € Straße', -1234.75, '2024-02-29', 'x')"_s.arg(table),
        u"insert into %1 values (3, NULL, NULL, NULL, 'leer')"_s.arg(table),
    };
}

const QStringList ExpectedTextLines = {
    u"1;Müller;12,5;31.12.2005;"_s,
    u"2;Zoë € Straße;-1234,75;29.02.2024;x"_s,
    u"3;;;;leer"_s,
};

QStringList readBack(const DatabaseConnection& connection, const QString& table)
{
    clsADOConnect c;
    c.setSource(connection);
    c.setSQL(u"select * from %1 order by nr"_s.arg(table));
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
    u"1|Müller|12,5|31.12.2005|"_s,
    u"2|Zoë € Straße|-1234,75|29.02.2024|x"_s,
    u"3||0||leer"_s,
};

} // namespace quendra::test
