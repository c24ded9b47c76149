#include "support/tempconfigdb.h"

#include "common/globals.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <stdexcept>

namespace quendra::test {

TempConfigDb::TempConfigDb(Content content)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder");
    QFile f(path());
    if (!f.open(QIODevice::WriteOnly))
        throw std::runtime_error("cannot create init.mdb");
    f.close();
    if (content == Content::Schema)
        execAll(schemaStatements());
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
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path());
        if (!db.open())
            throw std::runtime_error(db.lastError().text().toStdString());
        QSqlQuery q(db);
        for (const QString& sql : statements) {
            if (sql.trimmed().isEmpty())
                continue;
            if (!q.exec(sql))
                throw std::runtime_error(
                    (q.lastError().text() + QStringLiteral(": ") + sql).toStdString());
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

void TempConfigDb::execScript(const QString& script) const
{
    QStringList statements;
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        if (line.trimmed().startsWith(QStringLiteral("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statements << current;
            current.clear();
        }
    }
    statements << current;
    execAll(statements);
}

QStringList TempConfigDb::schemaStatements()
{
    return {
        QStringLiteral("create table srcHead (transid varchar(20), path varchar(255), filetype "
                       "varchar(20), header int, dbtable varchar(50), delimiter varchar(10), "
                       "specdelimiter varchar(20), sqlstring memo, frommedium int)"),
        QStringLiteral("create table trgHead (transid varchar(20), path varchar(255), filetype "
                       "varchar(20), header int, dbtable varchar(50), delimiter varchar(10), "
                       "specdelimiter varchar(20), textsign varchar(10), frommedium int, "
                       "fixlength int, chkrecord int, encoding varchar(10))"),
        QStringLiteral("create table srcBody (transid varchar(20), field varchar(20), length int, "
                       "decscale int, fieldtype varchar(10), format varchar(20), description "
                       "varchar(50), pos int, splitdelimiter varchar(10), sort integer)"),
        QStringLiteral("create index id_srcbody_sort on srcBody (sort)"),
        QStringLiteral("create table trgBody (transid varchar(20), field varchar(20), length int, "
                       "decscale int, fieldtype varchar(10), format varchar(20), description "
                       "varchar(50), defaultvalue varchar(200), srcfield varchar(20), adjustment "
                       "varchar(10), chkfield varchar(10), sort integer, plus integer, "
                       "\"0padding\" integer, ltrim integer, command varchar(255))"),
        QStringLiteral("create index id_trgbody_sort on trgBody (sort)"),
        QStringLiteral("create table trgconvert (transid varchar(20), field varchar(20), old "
                       "varchar(255), new varchar(255))"),
        QStringLiteral("create table dbversion (version int, indiv varchar(50))"),
        QStringLiteral("insert into dbversion (version) values (2)"),
    };
}

} // namespace quendra::test
