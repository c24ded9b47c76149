// The SQLite reader on SQLite's own interface against the Qt SQL reader it stands in for:
// a file written by Python's sqlite3 module is read both ways, and every value must come
// out alike, down to its Qt type.
#include "connectors/backends/sqlbackend.h"
#include "connectors/clsadoconnect_rowset.h"
#include "qtsqlreader.h"
#include "support/casetable.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

const QString Cases = u"connectors/sqlite-values.tsv"_s;

// The column names, then every row of a query.
std::vector<QStringList> readAll(Backend& backend, const QString& sql)
{
    RowStream stream(backend, sql);
    std::vector<QStringList> rows{stream.columns()};
    QList<QVariant> row;
    while (stream.next(row)) {
        QStringList values;
        for (const QVariant& value : row)
            values.append(test::shownValue(value));
        rows.push_back(values);
    }
    EXPECT_FALSE(stream.next(row)) << "the rows begin again after the last";
    return rows;
}

class SqliteReading : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        folder = new QTemporaryDir;
        QProcess python;
        python.start(u"/usr/bin/python3"_s,
                     {QStringLiteral(QUENDRA_TEST_DATA_DIR "/connectors/sqlite-values.py"),
                      QStringLiteral(QUENDRA_TEST_DATA_DIR "/") + Cases,
                      folder->filePath(u"werte.db"_s)});
        ASSERT_TRUE(python.waitForFinished(60000) && python.exitCode() == 0)
            << python.readAllStandardError().toStdString();
    }
    static void TearDownTestSuite()
    {
        delete folder;
        folder = nullptr;
    }
    void SetUp() override
    {
        backend.database().setDatabaseName(folder->filePath(u"werte.db"_s));
        backend.open();
    }

    static QTemporaryDir* folder;
    SqlBackend backend{u"QSQLITE"_s, true};
    test::QtSqlReader qtSql{backend};
};

QTemporaryDir* SqliteReading::folder = nullptr;

TEST_F(SqliteReading, ValuesComeOutAsTheQtSqlReaderGivesThem)
{
    for (const test::CaseRow& c : test::caseTable(Cases)) {
        SCOPED_TRACE(c.name);
        const QString sql = u"select v from \"%1\""_s.arg(QString::fromStdString(c.name));
        const std::vector<QStringList> read = readAll(backend, sql);
        EXPECT_EQ(read, readAll(qtSql, sql));
        EXPECT_EQ(read, (std::vector<QStringList>{{u"v"_s}, {c[2] + u'|' + c[3]}}));
    }
}

TEST_F(SqliteReading, QueriesComeOutAsTheQtSqlReaderGivesThem)
{
    for (const QString& sql :
         {u"select * from alle order by nr"_s, u"select * from alle where nr > 9"_s,
          u"select nr, text as \"a\"\"b\", datum || '' as datum, 1.5 * nr from alle"_s,
          u"select a.datum, b.v from alle a join date_with_time b on a.nr < 3"_s,
          u"select max(zeit), count(*) from alle"_s}) {
        SCOPED_TRACE(sql.toStdString());
        const std::vector<QStringList> read = readAll(backend, sql);
        EXPECT_EQ(read, readAll(qtSql, sql));
        EXPECT_GE(read.size(), 1u);
    }
}

// The declared type of a column follows it under another name, also through a view
// (the Qt SQL reader looked the new name up in the table and left the dates as text).
TEST_F(SqliteReading, RenamedColumnsKeepTheirDeclaredType)
{
    const std::vector<QStringList> expected{
        {u"nr"_s, u"tag"_s},
        {u"qlonglong|2"_s, u"QString|<NULL>"_s},
        {u"qlonglong|3"_s, u"QDateTime|2024-02-01T10:30:00.000"_s}};
    EXPECT_EQ(readAll(backend, u"select nr, tag from sicht"_s), expected);
    EXPECT_EQ(readAll(backend, u"select nr, datum as tag from alle where nr > 1"_s), expected);
}

TEST_F(SqliteReading, RefusesWhatItCannotRead)
{
    for (const QString& sql : {u"select * from fehlt"_s, u"select 1; select 2"_s, u" "_s,
                               u"select abs(-9223372036854775807 - 1)"_s}) {
        SCOPED_TRACE(sql.toStdString());
        try {
            RowStream stream(backend, sql);
            for (QList<QVariant> row; stream.next(row);) {
            }
            ADD_FAILURE() << "kein Fehler";
        } catch (const Error& e) {
            EXPECT_EQ(e.source(), u"QSQLITE"_s);
            EXPECT_FALSE(e.description().isEmpty());
        }
    }
}

} // namespace
