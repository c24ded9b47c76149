// Every folder under tests/data/engine is one conversion: definition.sql (TransID T,
// @DIR@ standing for the run's folder), the source file(s), the expected target bytes
// (expected.txt; without it no target file may appear) and, for a failing run, the
// expected error box (expected-box.txt: title line, then the text; @VERSION@ stands for
// the program's version).
#include "common/globals.h"
#include "common/messagehandler.h"
#include "common/version.h"
#include "engine/rundefinition.h"
#include "support/recordingsink.h"
#include "support/tempconfigdb.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace quendra;

namespace {

const QString caseRoot = QStringLiteral(QUENDRA_TEST_DATA_DIR "/engine");

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::vector<std::string> caseNames()
{
    std::vector<std::string> names;
    const QStringList dirs = QDir(caseRoot).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& d : dirs)
        names.push_back(d.toStdString());
    return names;
}

class Golden : public ::testing::TestWithParam<std::string> {};

TEST_P(Golden, ConvertsToExpectedBytes)
{
    const QDir dir(caseRoot + QLatin1Char('/') + QString::fromStdString(GetParam()));
    test::TempConfigDb db;
    const QStringList files = dir.entryList(QDir::Files);
    for (const QString& f : files) {
        if (!f.startsWith(QLatin1StringView("expected")) &&
            f != QLatin1StringView("definition.sql")) {
            ASSERT_TRUE(QFile::copy(dir.filePath(f), db.filePath(f)));
        }
    }
    db.execScript(QString::fromUtf8(readAll(dir.filePath(QStringLiteral("definition.sql"))))
                      .replace(QStringLiteral("@DIR@"), db.dir()));
    test::RecordingSink sink;
    showRunResult(runDefinition(QStringLiteral("T")));

    const QString expectedBox = dir.filePath(QStringLiteral("expected-box.txt"));
    if (QFile::exists(expectedBox)) {
        ASSERT_EQ(sink.boxes.size(), 1u);
        EXPECT_EQ(sink.boxes[0].style, StyleCritical);
        QString shown = sink.boxes[0].title + QLatin1Char('\n') + sink.boxes[0].text;
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
            .replace(db.dir(), QStringLiteral("@DIR@"));
        const QString wanted =
            QString::fromUtf8(readAll(expectedBox))
                .replace(QStringLiteral("@VERSION@"), QStringLiteral(QUENDRA_VERSION));
        EXPECT_EQ(shown.toStdString(), wanted.toStdString());
    } else {
        for (const MessageBoxData& box : sink.boxes)
            ADD_FAILURE() << box.title.toStdString() << "\n" << box.text.toStdString();
    }

    const QString expected = dir.filePath(QStringLiteral("expected.txt"));
    const QString written = db.filePath(QStringLiteral("out.txt"));
    if (QFile::exists(expected))
        EXPECT_EQ(readAll(written).toStdString(), readAll(expected).toStdString());
    else
        EXPECT_FALSE(QFile::exists(written)) << "no target file expected";
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, ::testing::ValuesIn(caseNames()),
                         [](const auto& info) { return info.param; });

} // namespace
