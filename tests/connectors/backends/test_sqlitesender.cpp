// SQLite's own interface against the Qt SQL driver: the same rows, as the engine hands
// them over, go into two equal tables of one file, one through each sender; every value
// must be stored alike, down to its storage class (quote()).
#include "connectors/backends/sqlitesender.h"
#include "connectors/backends/sqltablewriter.h"
#include "support/testdatabases.h"

#include <QDateTime>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

QVariant zahl(const QString& text)
{
    WrittenNumber n{{}, text};
    parseNumber(text, RegionalSettings(), n.number);
    return QVariant::fromValue(n);
}

// text, whole, real, decimal, date, date-time, time, Boolean; the last column keeps its
// default when a row leaves it out.
const std::vector<std::vector<QVariant>> Rows = {
    {u"Müller €"_s, zahl(u"9223372036854775807"_s), zahl(u"1,7976931348623157E308"_s),
     zahl(u"-9999999999,99"_s), QDate(2024, 2, 1), QDateTime(QDate(2016, 4, 28), QTime(11, 30)),
     QTime(8, 5, 30), true},
    {u""_s, zahl(u"-9223372036854775808"_s), zahl(u"0,1"_s), zahl(u"0,01"_s), u"01.02.2024"_s,
     u"28.04.2016 11:30:05"_s, u"23:59:59"_s, u"Falsch"_s},
    {QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(), QVariant(),
     QVariant()},
    {u"Zoë\tStraße\r\n\"'"_s, u"42"_s, u"-0,5"_s, u"1234567890,12"_s, QDate(1, 1, 1),
     QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59, 999)), QVariant(), u"Ja"_s},
    {u" "_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s, u""_s},
};

TEST(SqliteSender, StoresEveryValueAsTheQtDriverDoes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(u"ziel.db"_s);
    const QString columns = u"(t text, n integer, r real, d numeric(12,2), dt date, "
                            "ts datetime, tm time, b boolean, rest text default 'offen')"_s;
    test::ScratchConnection scratch(u"QSQLITE"_s, file);
    scratch.execAll({u"create table qt "_s + columns, u"create table lite "_s + columns});
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"sender-test"_s);
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        ASSERT_NE(SqliteRowSender::handleOf(db), nullptr);
        BlockWriter qt(std::make_unique<SqlRowSender>(db, u"qt"_s, u"QSQLITE"_s, true));
        BlockWriter lite(std::make_unique<SqliteRowSender>(db, u"lite"_s));
        // The Qt driver's rows as variants; SQLite's as the engine hands texts and
        // numbers over, without them.
        for (const std::vector<QVariant>& row : Rows) {
            qt.AddNew();
            lite.AddNew();
            for (size_t c = 0; c < row.size(); ++c) {
                qt.setItem(int(c), row[c]);
                if (row[c].typeId() == QMetaType::QString) {
                    lite.setText(int(c), row[c].toString());
                } else if (row[c].metaType() == QMetaType::fromType<WrittenNumber>()) {
                    const auto& n = *static_cast<const WrittenNumber*>(row[c].constData());
                    lite.setNumber(int(c), n.number, n.text);
                } else {
                    lite.setItem(int(c), row[c]);
                }
            }
            qt.update();
            lite.update();
        }
        qt.close();
        lite.close();
    }
    QSqlDatabase::removeDatabase(u"sender-test"_s);
    const QString quoted = u"select quote(t)||'|'||quote(n)||'|'||quote(r)||'|'||quote(d)||'|'||"
                           "quote(dt)||'|'||quote(ts)||'|'||quote(tm)||'|'||quote(b)||'|'||"
                           "quote(rest) from %1 order by rowid"_s;
    const QStringList expected = scratch.column(quoted.arg(u"qt"_s));
    ASSERT_EQ(expected.size(), qsizetype(Rows.size()));
    EXPECT_EQ(scratch.column(quoted.arg(u"lite"_s)), expected);
    // Empty text stays apart from NULL, and the digits stay exact.
    EXPECT_TRUE(expected[1].startsWith(u"''|"_s)) << expected[1].toStdString();
    EXPECT_TRUE(expected[2].startsWith(u"NULL|NULL|"_s)) << expected[2].toStdString();
    EXPECT_TRUE(expected[0].contains(u"|9223372036854775807|"_s)) << expected[0].toStdString();
}

} // namespace
