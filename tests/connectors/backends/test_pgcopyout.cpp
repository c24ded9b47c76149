// PostgreSQL rows read through libpq's COPY: the text format taken apart, each type's
// value as the ODBC path gives it, and a data source whose libpq session cannot be had
// read over ODBC with a note.
#include "connectors/backends/backendchoice.h"
#include "connectors/backends/pgcopyout.h"
#include "connectors/backends/pgsession.h"
#include "connectors/backends/sqlbackend.h"
#include "connectors/clsadoconnect_rowset.h"
#include "connectors/filetypes.h"
#include "support/casetable.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

// The fields of a COPY line, NULL as "<NULL>".
QStringList fieldsOf(QByteArray line)
{
    std::vector<CopyField> fields;
    splitCopyLine(line.data(), int(line.size()), fields);
    QStringList texts;
    for (const CopyField& f : fields)
        texts.append(f.null ? u"<NULL>"_s : QString::fromUtf8(f.data, f.size));
    return texts;
}

TEST(CopyLine, SplitsAtTabsAndUndoesEscapes)
{
    const struct {
        const char* line;
        QStringList fields;
    } cases[] = {
        {"a\tb\n", {u"a"_s, u"b"_s}},
        {"\\N\t\n", {u"<NULL>"_s, u""_s}}, // NULL and the empty text stay apart
        {"\t\\N", {u""_s, u"<NULL>"_s}},
        {"\\\\N\t\\Nx\taN", {u"\\N"_s, u"Nx"_s, u"aN"_s}}, // only "\N" alone is NULL
        {"x\\ty\\\\z\\nw\\r", {u"x\ty\\z\nw\r"_s}},
        {"\\101\\x42\\7\\q\\", {u"AB\aq\\"_s}},
        {"M\303\274ller\\t\\303\\244", {u"Müller\tä"_s}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fieldsOf(c.line), c.fields) << c.line;
}

PgKind kindNamed(const QString& name)
{
    static const QHash<QString, PgKind> kinds = {
        {u"text"_s, PgKind::Text},       {u"boolean"_s, PgKind::Boolean},
        {u"integer"_s, PgKind::Integer}, {u"biginteger"_s, PgKind::BigInteger},
        {u"number"_s, PgKind::Number},   {u"date"_s, PgKind::Date},
        {u"time"_s, PgKind::Time},       {u"datetime"_s, PgKind::DateTime},
        {u"bytes"_s, PgKind::Bytes}};
    return kinds.value(name);
}

// Columns: kind, the field's text as COPY gives it, the value's regional text, its type.
TEST(CopyValue, IsTheValueTheOdbcPathGives)
{
    for (const test::CaseRow& c : test::caseTable(u"connectors/copy-values.tsv"_s)) {
        SCOPED_TRACE(c.name);
        QByteArray text = c[1].toUtf8();
        const CopyField field{text.data(), int(text.size()), false};
        const QVariant value = pgValue(field, kindNamed(c[0]));
        EXPECT_EQ(RegionalText().toText(value), c[2]);
        EXPECT_EQ(QString::fromLatin1(value.metaType().name()), c[3]);
        EXPECT_TRUE(pgValue(CopyField{nullptr, 0, true}, kindNamed(c[0])).isNull());
    }
}

// The server of scripts/with-test-services.sh, or a skip.
#define NEEDS_POSTGRES()                                                                           \
    if (test::postgresLogin().isEmpty())                                                           \
    QUENDRA_SKIP() << "PostgreSQL-Testserver fehlt (scripts/with-test-services.sh)"

TEST(PgDataSourceKeys, TheConnectionTextWinsOverOdbcIni)
{
    NEEDS_POSTGRES();
    const QString dsn = test::postgresDsn();
    const QByteArray database = qgetenv("QUENDRA_TEST_PG_DATABASE");
    EXPECT_EQ(libpqConnectionText({dsn, {}, {}, {}}),
              "host='127.0.0.1' port='" + qgetenv("QUENDRA_TEST_PG_PORT") + "' dbname='" +
                  database + "' user='postgres' ");
    EXPECT_EQ(
        libpqConnectionText({dsn, u"SERVER=h;PORT=1;PQOPT={keepalives=0};"_s, u"ich"_s, u"it's"_s}),
        "host='h' port='1' dbname='" + database + "' user='ich' password='it\\'s' keepalives=0");
}

// The connection of a definition's ODBC data source path.
DatabaseConnection odbcSource(const QString& path)
{
    return describeConnection(Medium::OdbcSource, path, {}, false);
}

// Every row of sql through the back-end, as regional texts with NULL as "<NULL>".
QList<QStringList> readAll(Backend& backend, const QString& sql)
{
    RowStream stream(backend, sql);
    const RegionalText text;
    QList<QStringList> rows;
    for (QList<QVariant> row; stream.next(row);) {
        QStringList texts;
        for (const QVariant& v : row)
            texts.append(v.isNull() ? u"<NULL>"_s : text.toText(v));
        rows.append(texts);
    }
    return rows;
}

// Columns: the column's type, a value as an SQL literal, its regional text, and that
// over ODBC alone where it differs. A row of these values and a row of NULLs read
// through libpq and through ODBC alone.
TEST(PgCopyRead, EveryTypeReadsAsOverOdbc)
{
    NEEDS_POSTGRES();
    const test::ScratchConnection server(u"QODBC"_s, test::postgresLogin());
    const std::vector<test::CaseRow> cases = test::caseTable(u"connectors/pg-values.tsv"_s);
    const QString table = test::uniqueTableName(u"werte"_s);
    QStringList columns, literals, nulls;
    QStringList expected{u"1"_s}, expectedOverOdbc{u"1"_s};
    for (size_t i = 0; i < cases.size(); ++i) {
        columns.append(u"c%1 %2"_s.arg(i).arg(cases[i][0]));
        literals.append(cases[i][1]);
        nulls.append(u"null"_s);
        expected.append(cases[i][2]);
        expectedOverOdbc.append(cases[i][3].isEmpty() ? cases[i][2] : cases[i][3]);
    }
    server.execAll({u"create table %1 (n int, %2)"_s.arg(table, columns.join(u", "_s)),
                    u"insert into %1 values (1, %2), (2, %3)"_s.arg(table, literals.join(u", "_s),
                                                                    nulls.join(u", "_s))});
    const QString sql = u"select * from %1 order by n"_s.arg(table);
    const std::unique_ptr<Backend> viaLibpq = openBackend(odbcSource(test::postgresLogin()));
    ASSERT_NE(viaLibpq->bulkRows(sql), nullptr) << viaLibpq->note().toStdString();
    SqlBackend viaOdbc(u"QODBC"_s, false);
    viaOdbc.database().setDatabaseName(test::postgresLogin());
    viaOdbc.open();
    const QStringList allNull = QStringList(u"2"_s) + QStringList(nulls.size(), u"<NULL>"_s);
    EXPECT_EQ(readAll(*viaLibpq, sql), (QList<QStringList>{expected, allNull}));
    EXPECT_EQ(readAll(viaOdbc, sql), (QList<QStringList>{expectedOverOdbc, allNull}));
    server.exec(u"drop table "_s + table);
}

// Each row's texts are its own, whatever the rows before held: longer, shorter, beyond
// ASCII, empty or NULL.
TEST(PgCopyRead, EachRowKeepsItsOwnTexts)
{
    NEEDS_POSTGRES();
    const test::ScratchConnection server(u"QODBC"_s, test::postgresLogin());
    const QString table = test::uniqueTableName(u"texte"_s);
    server.execAll(
        {u"create table %1 (n int, t text, u text)"_s.arg(table),
         u"insert into %1 values (1, 'abcdef', 'a'), (2, 'ab', 'Müller'), "
         "(3, 'Söhne', 'xyz'), (4, '', null), (5, null, 'b'), (6, 'c', '')"_s.arg(table)});
    const std::unique_ptr<Backend> backend = openBackend(odbcSource(test::postgresLogin()));
    EXPECT_EQ(readAll(*backend, u"select t, u from %1 order by n"_s.arg(table)),
              (QList<QStringList>{{u"abcdef"_s, u"a"_s},
                                  {u"ab"_s, u"Müller"_s},
                                  {u"Söhne"_s, u"xyz"_s},
                                  {u""_s, u"<NULL>"_s},
                                  {u"<NULL>"_s, u"b"_s},
                                  {u"c"_s, u""_s}}));
    server.exec(u"drop table "_s + table);
}

// A read left after its first row (a preview) stops the server's sending and gives back
// what the session held for it: the same session reads the next query at once.
TEST(PgCopyRead, ReadLeftEarlyLeavesTheSessionReady)
{
    NEEDS_POSTGRES();
    const std::unique_ptr<Backend> backend = openBackend(odbcSource(test::postgresLogin()));
    {
        RowStream stream(*backend, u"select g from generate_series(1, 2000000) g"_s);
        QList<QVariant> row;
        ASSERT_TRUE(stream.next(row));
        EXPECT_EQ(row.value(0).toLongLong(), 1);
    }
    EXPECT_EQ(readAll(*backend, u"select count(*) from generate_series(1, 3)"_s),
              QList<QStringList>{{u"3"_s}});
}

// A query the server gives up on after it has sent rows (division by zero in row 50,000)
// is an error, not a source that ends early.
TEST(PgCopyRead, AQueryFailingAfterItsFirstRowsIsAnError)
{
    NEEDS_POSTGRES();
    const std::unique_ptr<Backend> backend = openBackend(odbcSource(test::postgresLogin()));
    RowStream stream(*backend, u"select 1 / (50000 - g) from generate_series(1, 100000) g"_s);
    QList<QVariant> row;
    qint64 rows = 0;
    const Error e = test::thrownBy([&] {
        while (stream.next(row))
            ++rows;
    });
    EXPECT_TRUE(e.description().contains(u"division by zero"_s) ||
                e.description().contains(u"Division durch Null"_s))
        << e.description().toStdString();
    EXPECT_LT(rows, 50000);
}

// A user that may hold one session only: the libpq session beside the ODBC one is
// refused, and the rows come over ODBC with a note that says so and why.
TEST(PgCopyRead, RefusedSessionFallsBackToOdbcWithANote)
{
    NEEDS_POSTGRES();
    const test::ScratchConnection admin(u"QODBC"_s, test::postgresDsn());
    const QString user = test::uniqueTableName(u"einzeln"_s);
    const QString table = test::uniqueTableName(u"werte"_s);
    admin.execAll({u"create role %1 login connection limit 1"_s.arg(user),
                   u"create table %1 (t text)"_s.arg(table),
                   u"insert into %1 values ('Müller'), (''), (null)"_s.arg(table),
                   u"grant select on %1 to %2"_s.arg(table, user)});
    {
        const std::unique_ptr<Backend> backend =
            openBackend(odbcSource(u"%1;uid=%2"_s.arg(test::postgresDsn(), user)));
        const QString sql = u"select t from %1 order by t nulls last"_s.arg(table);
        EXPECT_EQ(readAll(*backend, sql),
                  (QList<QStringList>{{u""_s}, {u"Müller"_s}, {u"<NULL>"_s}}));
        EXPECT_TRUE(backend->note().startsWith(
            u"Die Datenquelle „%1“ wird über ODBC gelesen und beschrieben"_s.arg(
                test::postgresDsn())))
            << backend->note().toStdString();
        EXPECT_TRUE(backend->note().contains(u"too many connections"_s))
            << backend->note().toStdString();
    }
    admin.execAll({u"drop table "_s + table, u"drop role "_s + user});
}

} // namespace
