// The ODBC block cursor against the Qt SQL reader it stands in for: a table of every
// column type of tests/data/connectors/odbc-values.tsv in the SQLite ODBC driver and in
// psqlODBC (without libpq) is read both ways, and every value must come out alike, down
// to its Qt type, with values longer than their place in the block and over several
// blocks; under the C locale the texts stay whole.
#include "connectors/backends/odbcrows.h"
#include "connectors/backends/sqlbackend.h"
#include "connectors/clsadoconnect_rowset.h"
#include "qtsqlreader.h"
#include "support/casetable.h"
#include "support/skip.h"
#include "support/testdatabases.h"
#include "support/thrown.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

struct OdbcSource {
    const char* name;
    QString (*dsn)();
    int column; // of the case table: the column type; +4 a value that differs
};

const OdbcSource Sources[] = {{"SqliteOdbc", test::sqliteOdbcDsn, 0},
                              {"Psqlodbc", test::postgresLogin, 1}};

void PrintTo(const OdbcSource* source, std::ostream* os)
{
    *os << source->name;
}

// Every row of a stream: the column names, then each value as "type|text".
std::vector<QStringList> readAll(RowSource& rows)
{
    std::vector<QStringList> read{rows.columns()};
    for (QList<QVariant> row; rows.next(row);) {
        QStringList values;
        for (const QVariant& value : row)
            values.append(test::shownValue(value));
        read.push_back(values);
    }
    return read;
}

std::vector<QStringList> readAll(Backend& backend, const QString& sql)
{
    RowStream stream(backend, sql);
    return readAll(stream);
}

// The rows of a query read by a block cursor whose places hold cellBytes.
class NarrowRows : public RowSource {
public:
    NarrowRows(Backend& backend, const QString& sql, size_t cellBytes)
        : m_rows(odbcConnectionOf(backend.database()), sql, cellBytes)
    {
    }
    QStringList columns() const override { return m_rows.columns(); }
    int width() const override { return int(m_rows.columns().size()); }
    bool next(QList<QVariant>& row) override { return m_rows.next(row); }

private:
    OdbcRows m_rows;
};

class OdbcReading : public ::testing::TestWithParam<const OdbcSource*> {
protected:
    void SetUp() override
    {
        const QString dsn = GetParam()->dsn();
        if (dsn.isEmpty())
            QUENDRA_SKIP() << "ODBC-Datenquelle fehlt (scripts/with-test-services.sh)";
        scratch = std::make_unique<test::ScratchConnection>(u"QODBC"_s, dsn);
        // The connection alone: PostgreSQL's rows come through the block cursor too.
        backend.database().setDatabaseName(dsn);
        backend.open();
    }
    void TearDown() override
    {
        for (const QString& table : tables)
            scratch->exec(u"drop table "_s + table);
    }

    // A table of every case this source has: row 1 their values, row 2 NULLs. The values
    // the block cursor gives otherwise than Qt SQL, by column.
    QString valueTable(QHash<int, QString>& differing)
    {
        const int at = GetParam()->column;
        QStringList columns{u"nr integer"_s}, values{u"1"_s}, nulls{u"2"_s};
        for (const test::CaseRow& c : test::caseTable(u"connectors/odbc-values.tsv"_s)) {
            if (c[at] == u"-")
                continue;
            columns.append(u"%1 %2"_s.arg(QString::fromStdString(c.name), c[at]));
            values.append(at == 1 && !c[3].isEmpty() ? c[3] : c[2]);
            nulls.append(u"null"_s);
            if (!c[4 + at].isEmpty())
                differing.insert(int(columns.size() - 1), c[4 + at]);
        }
        const QString table = test::uniqueTableName(u"werte"_s);
        scratch->execAll({u"create table %1 (%2)"_s.arg(table, columns.join(u", "_s)),
                          u"insert into %1 values (%2)"_s.arg(table, values.join(u", "_s)),
                          u"insert into %1 values (%2)"_s.arg(table, nulls.join(u", "_s))});
        tables.append(table);
        return table;
    }

    std::unique_ptr<test::ScratchConnection> scratch;
    SqlBackend backend{u"QODBC"_s, false};
    test::QtSqlReader qtSql{backend};
    QStringList tables;
};

TEST_P(OdbcReading, EveryTypeComesOutAsQtSqlGaveIt)
{
    QHash<int, QString> differing;
    const QString sql = u"select * from %1 order by nr"_s.arg(valueTable(differing));
    std::vector<QStringList> expected = readAll(qtSql, sql);
    ASSERT_EQ(expected.size(), 3u);
    for (auto it = differing.begin(); it != differing.end(); ++it)
        expected[1][it.key()] = it.value();
    EXPECT_EQ(readAll(backend, sql), expected);
    // Values cut short in the block are read whole on their own.
    NarrowRows narrow(backend, sql, 4);
    EXPECT_EQ(readAll(narrow), expected);
}

// A program started under the C locale, which knows no umlauts (a driver takes the
// locale it converts by when it first converts): texts and queries in UTF-8 all the same.
TEST_P(OdbcReading, Utf8UnderTheCLocale)
{
    QHash<int, QString> differing;
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANG", "LC_ALL", "LC_CTYPE"})
        environment.insert(QString::fromLatin1(name), u"C"_s);
    environment.insert(u"QUENDRA_TEST_ODBC_TABLE"_s, valueTable(differing));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {u"--gtest_also_run_disabled_tests"_s,
                 u"--gtest_filter=*OdbcReading.DISABLED_InTheCLocale/%1"_s.arg(
                     QString::fromLatin1(GetParam()->name))});
    ASSERT_TRUE(child.waitForFinished(60000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains(u"[  PASSED  ] 1 test"_s)) << output.toStdString();
}

// Run by Utf8UnderTheCLocale alone, in a program of its own, on the table it made (Qt
// SQL would not write the umlauts whole under the C locale).
TEST_P(OdbcReading, DISABLED_InTheCLocale)
{
    const QString table = qEnvironmentVariable("QUENDRA_TEST_ODBC_TABLE");
    ASSERT_FALSE(table.isEmpty());
    const std::vector<QStringList> read = readAll(backend, u"select umlauts from %1"_s.arg(table));
    ASSERT_EQ(read.size(), 3u);
    EXPECT_EQ(read[1], QStringList{u"QString|Müller & Söhne ß €"_s});
    const QString sql = u"select nr from %1 where umlauts = 'Müller & Söhne ß €'"_s.arg(table);
    EXPECT_EQ(readAll(backend, sql).size(), 2u);
}

// Rows of several blocks, each text of another length than the row before.
TEST_P(OdbcReading, ManyRowsOverSeveralBlocks)
{
    const QString table = test::uniqueTableName(u"viele"_s);
    scratch->execAll({u"create table %1 (nr integer, name varchar(40))"_s.arg(table)});
    tables.append(table);
    QStringList rows;
    for (int i = 1; i <= 2345; ++i)
        rows.append(u"(%1, '%2')"_s.arg(i).arg(i % 7 == 0 ? u"Müller"_s : QString(i % 37, u'x')));
    for (qsizetype i = 0; i < rows.size(); i += 500)
        scratch->exec(u"insert into %1 values %2"_s.arg(table, rows.mid(i, 500).join(u", "_s)));
    const QString all = u"select name, nr from %1 order by nr"_s.arg(table);
    const std::vector<QStringList> expected = readAll(qtSql, all);
    ASSERT_EQ(expected.size(), 2346u);
    EXPECT_EQ(readAll(backend, all), expected);
}

TEST_P(OdbcReading, RefusesWithTheDriversMessage)
{
    const QString sql = u"select * from gibt_es_nicht"_s;
    const Error viaBlocks = test::thrownBy([&] { readAll(backend, sql); });
    const Error viaQtSql = test::thrownBy([&] { readAll(qtSql, sql); });
    EXPECT_EQ(viaBlocks.source(), u"QODBC"_s);
    EXPECT_EQ(viaBlocks.number(), viaQtSql.number());
    EXPECT_TRUE(viaBlocks.description().contains(u"gibt_es_nicht"_s))
        << viaBlocks.description().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sources, OdbcReading, ::testing::Values(&Sources[0], &Sources[1]),
                         [](const auto& info) { return std::string(info.param->name); });

} // namespace
