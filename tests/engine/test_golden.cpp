// Every folder under tests/data/engine is one conversion: definition.sql (TransID T, @DIR@ standing
// for the run's folder), the files the run starts with (sources, an old target), the expected
// target bytes (expected.EXT for out.EXT; without expected.txt no out.txt may appear) and the boxes
// shown: expected-box.txt for the error that stops the run, expected-warning.txt for the warnings
// of a run that ends well (each box as title line, then the text; @VERSION@ stands for the
// program's version). Without such a file no box of that kind may appear. The files the run starts
// with, but for out.EXT, stay as they were. expected-rows.txt holds the rows of every table of the
// SQLite file ziel.db after the run, each value with its type as Qt reads it. A folder with
// expected-records.txt is previewed instead: each record's bytes, or a line with the error it would
// stop the run with.
#include "common/messagehandler.h"
#include "common/version.h"
#include "config/definitionexport.h"
#include "config/definitionimport.h"
#include "config/definitionstore.h"
#include "engine/indivtorven.h"
#include "engine/rundefinition.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"
#include "support/testdatabases.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

const QString caseRoot = QStringLiteral(QUENDRA_TEST_DATA_DIR "/engine");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The rows of every table of an SQLite file, each value with its type as Qt reads it.
QStringList tableRows(const QString& path)
{
    QStringList rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(u"QSQLITE"_s, u"golden-rows"_s);
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        for (const QString& table : db.tables()) {
            QSqlQuery q(u"select * from %1 order by rowid"_s.arg(table), db);
            while (q.next()) {
                QStringList values;
                for (int i = 0; i < q.record().count(); ++i) {
                    const QVariant v = q.value(i);
                    values << (v.isNull() ? u"NULL"_s
                               : v.typeId() == QMetaType::Double
                                   ? u"double "_s + QString::number(v.toDouble(), 'g',
                                                                    QLocale::FloatingPointShortest)
                                   : QString::fromLatin1(v.typeName()) + u' ' + v.toString());
                }
                rows << table + u": "_s + values.join(u" | "_s);
            }
        }
    }
    QSqlDatabase::removeDatabase(u"golden-rows"_s);
    return rows;
}

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    for (const QString& d : QDir(caseRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        names.push_back(d.toStdString());
    return names;
}

// The boxes of one style, as the expected files hold them.
QString shownBoxes(const test::RecordingSink& sink, qint32 style, const QString& dir)
{
    QString shown;
    for (const MessageBoxData& box : sink.boxes) {
        if (box.style == style)
            shown += (shown.isEmpty() ? QString() : u"\n\n"_s) + box.title + QLatin1Char('\n') +
                     box.text;
    }
    return shown.replace(u"\r\n"_s, u"\n"_s).replace(dir, u"@DIR@"_s);
}

// What a preview hands over, record by record.
struct PreviewedRecords : RunObserver {
    QByteArray all;
    void record(const RecordOutcome& o) override
    {
        if (!o.error) {
            all += o.bytes;
            return;
        }
        const Error& e = o.error->error;
        all +=
            u"Fehler %1 in %2 (%3): %4\n"_s.arg(e.number())
                .arg(QString(e.source()).replace(u"\r\n"_s, u" "_s), o.error->note, e.description())
                .toUtf8();
    }
};

class Golden : public ::testing::TestWithParam<std::string> {
protected:
    // Copies the files the run starts with beside db's init.mdb and runs definition.sql there.
    void prepare(const test::TempConfigDb& db)
    {
        inputs = dir.entryList(QDir::Files);
        inputs.removeIf([](const QString& f) {
            return f.startsWith(QLatin1StringView("expected")) || f == u"definition.sql";
        });
        for (const QString& f : inputs)
            ASSERT_TRUE(QFile::copy(dir.filePath(f), db.filePath(f)));
        db.execScript(QString::fromUtf8(readAll(dir.filePath(u"definition.sql"_s)))
                          .replace(u"@DIR@"_s, db.dir()));
        indivTorven::resetState();
    }

    // The boxes shown and the files in folder after the run, as the case expects them.
    void expectOutcome(const test::RecordingSink& sink, const QString& folder) const
    {
        const std::pair<const char*, qint32> kinds[] = {{"expected-box.txt", StyleCritical},
                                                        {"expected-warning.txt", StyleWarning}};
        for (const auto& [name, style] : kinds) {
            const QString wanted = QString::fromUtf8(readAll(dir.filePath(QLatin1StringView(name))))
                                       .replace(u"@VERSION@"_s, QStringLiteral(QUENDRA_VERSION));
            EXPECT_EQ(shownBoxes(sink, style, folder).toStdString(), wanted.toStdString()) << name;
        }
        const QDir written(folder);
        for (const QString& f : inputs) {
            if (!f.startsWith(QLatin1StringView("out."))) {
                EXPECT_EQ(readAll(written.filePath(f)), readAll(dir.filePath(f)));
            }
        }
        if (QFile::exists(dir.filePath(u"expected-rows.txt"_s))) {
            EXPECT_EQ(tableRows(written.filePath(u"ziel.db"_s)).join(u'\n').toStdString(),
                      readAll(dir.filePath(u"expected-rows.txt"_s)).trimmed().toStdString());
        }
        if (!QFile::exists(dir.filePath(u"expected.txt"_s))) {
            EXPECT_FALSE(written.exists(u"out.txt"_s)) << "no target file expected";
        }
        for (const QString& expected : dir.entryList({u"expected.*"_s}, QDir::Files)) {
            const QString out = u"out"_s + expected.mid(8);
            EXPECT_EQ(readAll(written.filePath(out)).toStdString(),
                      readAll(dir.filePath(expected)).toStdString())
                << out.toStdString();
        }
    }

    const QDir dir{caseRoot + QLatin1Char('/') + QString::fromStdString(GetParam())};
    QStringList inputs;
};

TEST_P(Golden, ConvertsToExpectedBytes)
{
    test::TempConfigDb db;
    prepare(db);
    test::RecordingSink sink;
    const QString records = dir.filePath(u"expected-records.txt"_s);
    if (QFile::exists(records)) {
        PreviewedRecords shown;
        runDefinition(u"T"_s, nullptr, {RunMode::Preview, MaxPreviewRecords, false, &shown});
        EXPECT_EQ(shown.all.toStdString(), readAll(records).toStdString());
        return;
    }
    showRunResult(runDefinition(u"T"_s));
    expectOutcome(sink, db.dir());
}

// The customer's cases as definition files: exported, imported into a configuration of the
// plain schema with the same customer marker (which gains the lookup columns), they give the
// same rows with the same types, export to the same bytes and run there to the same result.
class GoldenTransfer : public Golden {};

TEST_P(GoldenTransfer, TravelsAsTextAndRunsAlike)
{
    test::TempConfigDb original;
    prepare(original);
    QList<QByteArray> texts;
    {
        const auto store = openDefinitionStore();
        for (const QString& id : definitionIds(store->database()))
            texts << exportDefinition(store->database(), id).text;
    }
    QStringList rows = tableRows(original.path());
    const qsizetype further = test::ScratchConnection(u"QSQLITE"_s, original.path())
                                  .column(u"select count(*) - 4 from pragma_table_info("
                                          "'trgconvert')"_s)
                                  .front()
                                  .toInt();
    test::TempConfigDb other;
    other.execAll({u"attach database '%1' as o"_s.arg(original.path()),
                   u"update dbversion set indiv = (select indiv from o.dbversion)"_s});
    QStringList notes;
    {
        const auto store = openDefinitionStore();
        for (const QByteArray& text : texts) {
            notes << importDefinition(store->database(), text, u"x.toml"_s).warnings;
            EXPECT_EQ(
                exportDefinition(store->database(), definitionIdOf(text, {})).text.toStdString(),
                text.toStdString());
        }
    }
    EXPECT_EQ(notes.size(), further) << notes.join(u'\n').toStdString();
    QStringList copied = tableRows(other.path());
    rows.sort();
    copied.sort();
    EXPECT_EQ(copied.join(u'\n').toStdString(), rows.join(u'\n').toStdString());
    test::RecordingSink sink;
    indivTorven::resetState();
    showRunResult(runDefinition(u"T"_s));
    expectOutcome(sink, original.dir());
}

// (A table that lacks a lookup column is a fault of an installation, which a definition file
// does not carry.)
std::vector<std::string> customerCases()
{
    std::vector<std::string> names = caseNames();
    std::erase_if(names, [](const std::string& n) {
        return n.find("torven") == n.npos || n == "fail_torven_missing_column";
    });
    return names;
}

INSTANTIATE_TEST_SUITE_P(Customer, GoldenTransfer, ::testing::ValuesIn(customerCases()),
                         [](const auto& info) { return info.param; });

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

} // namespace
