#pragma once

#include "common/messagehandler.h"
#include "common/progress.h"

#include <QElapsedTimer>
#include <cstdio>

namespace quendra {

class TerminalProgress;

// Standard output of the batch runner. Every write is checked, so that a full disk, a
// closed descriptor or a reader that went away ends the program with an error instead of
// success.
void writeStandardOutput(const QByteArray& bytes);
// Writes out what is buffered; throws quendra::Error naming standard output (and the file
// it goes to) when this or an earlier write to it failed.
void checkStandardOutput();
// Puts /dev/null on standard input, output and error where they are closed, so that no
// file the program opens takes their place and receives what was meant for them. Output
// meant for a closed standard output is reported by checkStandardOutput.
void guardStandardDescriptors();

// Writes every box to a stream (the batch runner's standard error): the title line, the
// text with its CR LF line breaks as plain line breaks, then an empty line. Counts the
// error boxes (style 16), so that the caller can tell a failed run.
class StreamMessageSink : public MessageSink {
public:
    explicit StreamMessageSink(FILE* out, TerminalProgress* progress = nullptr)
        : m_out(out), m_progress(progress)
    {
    }
    void show(const MessageBoxData& box) override;
    int errorCount() const { return m_errors; }

    // The lines written for one box, UTF-8.
    static QByteArray format(const MessageBoxData& box);

private:
    FILE* m_out;
    TerminalProgress* m_progress;
    int m_errors = 0;
};

// One updating line "Datensatz: n/total" on a terminal, rewritten in place (carriage
// return) at most about ten times a second and wiped when the run ends.
class TerminalProgress : public ProgressSink {
public:
    explicit TerminalProgress(FILE* out) : m_out(out) {}
    void open() override;
    void setCount(qint64 count, qint64 maxCount) override;
    void close() override;
    // Wipes the line, so that other output starts at the beginning of a clean line.
    void clearLine();

private:
    void draw();
    FILE* m_out;
    ProgressCounter m_counter;
    QElapsedTimer m_sinceDraw;
    int m_drawnWidth = 0;
};

} // namespace quendra
