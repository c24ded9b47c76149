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
#include "engine/indivtorven.h"
#include "engine/rundefinition.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

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

QString tableRows(const QString& path)
{
    QString rows;
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
                    values << QString::fromLatin1(v.typeName()) + u' ' +
                                  (v.typeId() == QMetaType::Double
                                       ? QString::number(v.toDouble(), 'g',
                                                         QLocale::FloatingPointShortest)
                                       : v.toString());
                }
                rows += table + u": "_s + values.join(u" | "_s) + u'\n';
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

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, ConvertsToExpectedBytes)
{
    const QDir dir(caseRoot + QLatin1Char('/') + QString::fromStdString(GetParam()));
    test::TempConfigDb db;
    QStringList inputs = dir.entryList(QDir::Files);
    inputs.removeIf([](const QString& f) {
        return f.startsWith(QLatin1StringView("expected")) || f == u"definition.sql";
    });
    for (const QString& f : inputs)
        ASSERT_TRUE(QFile::copy(dir.filePath(f), db.filePath(f)));
    db.execScript(QString::fromUtf8(readAll(dir.filePath(u"definition.sql"_s)))
                      .replace(u"@DIR@"_s, db.dir()));
    indivTorven::resetState();
    test::RecordingSink sink;
    const QString records = dir.filePath(u"expected-records.txt"_s);
    if (QFile::exists(records)) {
        PreviewedRecords shown;
        runDefinition(u"T"_s, nullptr, {RunMode::Preview, MaxPreviewRecords, false, &shown});
        EXPECT_EQ(shown.all.toStdString(), readAll(records).toStdString());
        return;
    }
    showRunResult(runDefinition(u"T"_s));

    const std::pair<const char*, qint32> kinds[] = {{"expected-box.txt", StyleCritical},
                                                    {"expected-warning.txt", StyleWarning}};
    for (const auto& [name, style] : kinds) {
        const QString wanted = QString::fromUtf8(readAll(dir.filePath(QLatin1StringView(name))))
                                   .replace(u"@VERSION@"_s, QStringLiteral(QUENDRA_VERSION));
        EXPECT_EQ(shownBoxes(sink, style, db.dir()).toStdString(), wanted.toStdString()) << name;
    }

    for (const QString& f : inputs) {
        if (f.startsWith(QLatin1StringView("out.")))
            continue;
        EXPECT_EQ(readAll(db.filePath(f)).toStdString(), readAll(dir.filePath(f)).toStdString());
    }
    if (QFile::exists(dir.filePath(u"expected-rows.txt"_s))) {
        EXPECT_EQ(tableRows(db.filePath(u"ziel.db"_s)).toStdString(),
                  readAll(dir.filePath(u"expected-rows.txt"_s)).toStdString());
    }
    if (!QFile::exists(dir.filePath(u"expected.txt"_s))) {
        EXPECT_FALSE(QFile::exists(db.filePath(u"out.txt"_s))) << "no target file expected";
    }
    const QStringList targets = dir.entryList({u"expected.*"_s}, QDir::Files);
    for (const QString& expected : targets) {
        const QString written = u"out"_s + expected.mid(8);
        EXPECT_EQ(readAll(db.filePath(written)).toStdString(),
                  readAll(dir.filePath(expected)).toStdString())
            << written.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

} // namespace
