#include "connectors/backends/backendchoice.h"

#include "connectors/backends/providererror.h"
#include "connectors/backends/sqlbackend.h"

#include <QFile>
#include <QFileInfo>

namespace quendra {

namespace {

// Splits "key=value;key=\"quoted;value\";..." into (lower-case key, value) pairs.
QList<std::pair<QString, QString>> splitPairs(const QString& text)
{
    QList<std::pair<QString, QString>> pairs;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        const qsizetype eq = text.indexOf(QLatin1Char('='), i);
        const qsizetype semi = text.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) { // a piece without "=": skip it
            if (semi < 0)
                break;
            i = semi + 1;
            continue;
        }
        const QString key = text.mid(i, eq - i).trimmed().toLower();
        i = eq + 1;
        QString value;
        if (i < n && text[i] == u'"') {
            const qsizetype close = text.indexOf(QLatin1Char('"'), i + 1);
            value = text.mid(i + 1, close < 0 ? -1 : close - i - 1);
            i = close < 0 ? n : close + 1;
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            i = next < 0 ? n : next + 1;
        } else {
            const qsizetype next = text.indexOf(QLatin1Char(';'), i);
            value = text.mid(i, next < 0 ? -1 : next - i);
            i = next < 0 ? n : next + 1;
        }
        pairs.append({key, value});
    }
    return pairs;
}

struct FileTypeEntry {
    const char* propertyPrefix; // first extended property, lower case
    const char* name;           // catalogue name
};

constexpr FileTypeEntry FileTypeEntries[] = {
    {"dbase", "dBase III"}, {"paradox", "Paradox 5.0"}, {"excel", "MS Excel 8.0"},
    {"text", "Text"},       {"lotus", "Lotus 1-2-3"},
};

void classify(ConnectionFacts& facts)
{
    const QString provider = facts.provider.toLower();
    if (provider == u"msdasql" || provider.startsWith(u"msdasql.") || provider == u"ibmda400" ||
        provider.startsWith(u"ibmda400.")) {
        facts.kind = ConnectionFacts::Kind::Odbc;
        return;
    }
    if (!provider.startsWith(u"microsoft.jet.oledb") &&
        !provider.startsWith(u"microsoft.ace.oledb"))
        return;
    const QString first =
        facts.extendedProperties.section(QLatin1Char(';'), 0, 0).trimmed().toLower();
    if (first.isEmpty()) {
        facts.kind = ConnectionFacts::Kind::Access;
        facts.fileType = QStringLiteral("MS Access");
        return;
    }
    for (const FileTypeEntry& entry : FileTypeEntries) {
        if (first.startsWith(QLatin1String(entry.propertyPrefix))) {
            facts.fileType = QString::fromLatin1(entry.name);
            facts.kind = facts.fileType == u"Lotus 1-2-3" ? ConnectionFacts::Kind::Refused
                                                          : ConnectionFacts::Kind::FileType;
            return;
        }
    }
}

[[noreturn]] void refuse(const QString& text)
{
    throw Error(errnum::Unsupported, {}, text);
}

QString cannotRead(const QString& fileType)
{
    if (fileType == u"Lotus 1-2-3") {
        return QStringLiteral("Lotus-1-2-3-Dateien können hier nicht gelesen werden. Bitte die "
                              "Tabelle als CSV (Dateityp \"Text\") oder als Excel-8.0-Datei "
                              "speichern.");
    }
    return QStringLiteral("Dateien des Typs \"%1\" können hier nicht gelesen werden. Bitte die "
                          "Daten als CSV (Dateityp \"Text\") oder als SQLite-Datenbank "
                          "(Dateityp \"MS Access\") bereitstellen.")
        .arg(fileType);
}

QString cannotWrite(const QString& fileType)
{
    if (fileType == u"MS Access") {
        return QStringLiteral("Access-Datenbanken (Jet/ACE) können hier nur gelesen werden. Bitte "
                              "als Ziel eine SQLite-Datenbank (Dateityp \"MS Access\"), eine "
                              "dBase-Tabelle oder eine CSV-Datei (Dateityp \"Text\") verwenden.");
    }
    if (fileType == u"MS Excel 8.0") {
        return QStringLiteral("Excel-8.0-Dateien können hier nur gelesen werden. Bitte als Ziel "
                              "eine CSV-Datei (Dateityp \"Text\") oder eine dBase-Tabelle "
                              "(Dateityp \"dBase III\") verwenden.");
    }
    return QStringLiteral("In Dateien des Typs \"%1\" kann hier nicht geschrieben werden. Bitte "
                          "als Ziel eine CSV-Datei (Dateityp \"Text\") oder eine SQLite-Datenbank "
                          "(Dateityp \"MS Access\") verwenden.")
        .arg(fileType);
}

std::unique_ptr<Backend> openOdbc(const ConnectionFacts& facts)
{
    if (facts.dataSource.trimmed().isEmpty() && facts.odbcOptions.isEmpty()) {
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("Es ist keine ODBC-Datenquelle angegeben."));
    }
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QODBC"), false);
    QSqlDatabase db = backend->database();
    // Qt puts "DSN=" in front unless the text names a DRIVER= or SERVER= itself.
    QString name = facts.dataSource;
    if (!facts.odbcOptions.isEmpty())
        name += (name.isEmpty() ? QString() : QStringLiteral(";")) + facts.odbcOptions;
    db.setDatabaseName(name);
    if (!facts.userName.isEmpty())
        db.setUserName(facts.userName);
    if (!facts.password.isEmpty())
        db.setPassword(facts.password);
    backend->open();
    return backend;
}

// Loads a file-type database into an in-memory SQLite copy; writes go to the type's
// writer, or are refused where the type has none.
std::unique_ptr<Backend> openMemoryCopy(const ConnectionFacts& facts,
                                        std::unique_ptr<FileTypeReader> reader,
                                        std::unique_ptr<FileTypeWriter> (*makeWriter)())
{
    if (!reader)
        refuse(cannotRead(facts.fileType));
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QSQLITE"), true);
    QSqlDatabase db = backend->database();
    db.setDatabaseName(QStringLiteral(":memory:"));
    backend->open();
    reader->load(facts.location(), db);
    const DataSourceLocation location = facts.location();
    std::shared_ptr<FileTypeWriter> writer;
    backend->setWriterFactory([location, makeWriter, writer](
                                  const QString& table) mutable -> std::unique_ptr<DatabaseRecord> {
        if (!writer && makeWriter)
            writer = makeWriter();
        if (!writer)
            refuse(cannotWrite(location.fileType));
        return writer->openTable(location, table);
    });
    return backend;
}

enum class DatabaseFile { Sqlite, Jet, Other };

DatabaseFile sniff(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return DatabaseFile::Other;
    const QByteArray head = file.read(32);
    if (head.isEmpty() || head.startsWith(QByteArrayLiteral("SQLite format 3")))
        return DatabaseFile::Sqlite; // an empty file is an empty SQLite database
    if (head.contains("Standard Jet DB") || head.contains("Standard ACE DB"))
        return DatabaseFile::Jet;
    return DatabaseFile::Other;
}

std::unique_ptr<Backend> openAccess(const ConnectionFacts& facts)
{
    const QFileInfo info(facts.dataSource);
    if (facts.dataSource.isEmpty() || !info.isFile()) {
        throw Error(errnum::FileNotFound, {},
                    QStringLiteral("Die Datenbankdatei \"%1\" wurde nicht gefunden.")
                        .arg(facts.dataSource));
    }
    switch (sniff(facts.dataSource)) {
    case DatabaseFile::Jet:
        return openMemoryCopy(facts, makeJetReader(), nullptr);
    case DatabaseFile::Other:
        throw Error(errnum::Unsupported, {},
                    QStringLiteral("Die Datei \"%1\" ist weder eine SQLite- noch eine "
                                   "Access-Datenbank.")
                        .arg(facts.dataSource));
    case DatabaseFile::Sqlite:
        break;
    }
    auto backend = std::make_unique<SqlBackend>(QStringLiteral("QSQLITE"), true);
    QSqlDatabase db = backend->database();
    db.setDatabaseName(facts.dataSource);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    backend->open();
    return backend;
}

std::unique_ptr<Backend> openFileType(const ConnectionFacts& facts)
{
    if (facts.fileType == u"dBase III")
        return openMemoryCopy(facts, makeDbaseReader(), &makeDbaseWriter);
    if (facts.fileType == u"Paradox 5.0")
        return openMemoryCopy(facts, makeParadoxReader(), &makeParadoxWriter);
    if (facts.fileType == u"MS Excel 8.0")
        return openMemoryCopy(facts, makeExcelReader(), nullptr);
    return openMemoryCopy(facts, makeCsvFolderReader(), &makeCsvFolderWriter);
}

} // namespace

ConnectionFacts parseConnectionString(const QString& connectionString)
{
    ConnectionFacts facts;
    QString dsn;
    QSet<QString> seen;
    for (const auto& [key, value] : splitPairs(connectionString)) {
        if (seen.contains(key))
            continue; // the first occurrence counts (Paradox repeats an empty Data Source)
        seen.insert(key);
        if (key == u"provider")
            facts.provider = value.trimmed();
        else if (key == u"data source")
            facts.dataSource = value;
        else if (key == u"extended properties")
            facts.extendedProperties = value;
        else if (key == u"dsn")
            dsn = value;
        else if (key == u"uid" || key == u"user id")
            facts.userName = value;
        else if (key == u"pwd" || key == u"password")
            facts.password = value;
        else if (key == u"database")
            continue; // repeats the data source name; the data source's own database applies
        else
            facts.odbcOptions += key.toUpper() + QLatin1Char('=') + value + QLatin1Char(';');
    }
    classify(facts);
    if (facts.kind == ConnectionFacts::Kind::Odbc && facts.dataSource.isEmpty())
        facts.dataSource = dsn;
    for (const auto& [key, value] : splitPairs(facts.extendedProperties)) {
        if (key == u"hdr")
            facts.header = value.trimmed().compare(u"yes", Qt::CaseInsensitive) == 0;
    }
    return facts;
}

std::unique_ptr<Backend> openBackend(const QString& connectionString)
{
    const ConnectionFacts facts = parseConnectionString(connectionString);
    switch (facts.kind) {
    case ConnectionFacts::Kind::Odbc:
        return openOdbc(facts);
    case ConnectionFacts::Kind::Access:
        return openAccess(facts);
    case ConnectionFacts::Kind::FileType:
        return openFileType(facts);
    case ConnectionFacts::Kind::Refused:
        refuse(cannotRead(facts.fileType));
    case ConnectionFacts::Kind::Unknown:
        break;
    }
    throw Error(errnum::Unsupported, {},
                QStringLiteral("Die Verbindungszeichenfolge \"%1\" nennt keinen Datenbanktreiber, "
                               "den Quendra kennt (ODBC-Datenquelle oder Dateityp des Katalogs).")
                    .arg(connectionString));
}

} // namespace quendra
