// What quendra-run leaves on a terminal: its progress line is redrawn in place and wiped
// before a box is written and when the run ends.
#include "common/streamoutput.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

// The lines a terminal shows for the bytes: a carriage return starts the line over.
QStringList screen(const QByteArray& bytes)
{
    QStringList lines{QString()};
    qsizetype column = 0;
    for (const char c : bytes) {
        QString& line = lines.last();
        if (c == '\n') {
            lines.append(QString());
            column = 0;
        } else if (c == '\r') {
            column = 0;
        } else {
            line = line.leftJustified(column + 1);
            line[column++] = QLatin1Char(c);
        }
    }
    for (QString& line : lines)
        line = line.trimmed();
    return lines;
}

TEST(TerminalProgress, IsWipedBeforeABoxAndAtTheEnd)
{
    char* buffer = nullptr;
    size_t size = 0;
    FILE* out = open_memstream(&buffer, &size);
    const auto shown = [&] {
        std::fflush(out);
        return screen(QByteArray(buffer, qsizetype(size)));
    };
    TerminalProgress progress(out);
    StreamMessageSink sink(out, &progress);
    progress.open();
    progress.setCount(100000, 100000);
    progress.open();
    progress.setCount(1, 9); // a run's first count is drawn at once, however soon after the last
    EXPECT_EQ(shown(), QStringList(u"Datensatz: 1/9"_s));
    progress.setCount(9, 9); // and its last one
    EXPECT_EQ(shown(), QStringList(u"Datensatz: 9/9"_s));
    MessageBoxData box;
    box.title = QStringLiteral("Fehler");
    box.text = QStringLiteral("Satz\r\n7");
    sink.show(box);
    progress.open();
    progress.setCount(3, 3);
    progress.close();
    EXPECT_EQ(shown(), QStringList({u"Fehler"_s, u"Satz"_s, u"7"_s, {}, {}}));
    EXPECT_EQ(sink.errorCount(), 1);
    std::fclose(out);
    std::free(buffer);
}

} // namespace
