#include "support/tempconfigdb.h"

#include "common/globals.h"
#include "config/configschema.h"
#include "support/testdatabases.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace quendra::test {

namespace {

QString folderTemplate(TempConfigDb::Place place)
{
    const QString memory = QStringLiteral("/dev/shm");
    const bool inMemory = place == TempConfigDb::Place::Memory && QFileInfo(memory).isWritable();
    return (inMemory ? memory : QDir::tempPath()) + QStringLiteral("/quendra-test-XXXXXX");
}

} // namespace

TempConfigDb::TempConfigDb(Content content, Place place) : m_dir(folderTemplate(place))
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    QFile f(path());
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot create init.mdb");
    f.close();
    if (content == Content::Schema)
        execAll(quendra::schemaStatements());
    initGlobals(path());
}

TempConfigDb::~TempConfigDb() = default;

QString TempConfigDb::path() const
{
    return m_dir.filePath(QStringLiteral("init.mdb"));
}

QString TempConfigDb::dir() const
{
    return m_dir.path();
}

QString TempConfigDb::filePath(const QString& name) const
{
    return m_dir.filePath(name);
}

void TempConfigDb::exec(const QString& sql) const
{
    execAll({sql});
}

void TempConfigDb::execAll(const QStringList& statements) const
{
    ScratchConnection(QStringLiteral("QSQLITE"), path()).execAll(statements);
}

void TempConfigDb::execScript(const QString& script) const
{
    QStringList statements;
    QString current;
    for (const QString& line : script.split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QStringLiteral("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statements << current;
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current;
    execAll(statements);
}

} // namespace quendra::test
