#pragma once

#include <QString>
#include <QtGlobal>

namespace quendra {

// Characters of the values written that the target's code page does not hold and that
// were written as "?": how many, in how many lines (or rows), and the first of them.
// Every writer that replaces characters counts them here, one at a time.
struct ReplacedCharacters {
    qint64 characters = 0;
    qint64 lines = 0;
    qint64 firstLine = 0; // 1-based line of the file, or row of the writer
    int firstValue = -1;  // 0-based value of that line
    QString firstCharacter;
    qint64 lastLine = 0;

    void count(qint64 line, int value, const QString& character)
    {
        if (characters++ == 0) {
            firstLine = line;
            firstValue = value;
            firstCharacter = character;
        }
        if (lastLine != line) {
            lastLine = line;
            ++lines;
        }
    }
};

} // namespace quendra
