#pragma once

#include "common/messagehandler.h"
#include "common/progress.h"

#include <QElapsedTimer>
#include <cstdio>

namespace quendra {

class TerminalProgress;

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
