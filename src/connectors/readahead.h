#pragma once

#include "connectors/fieldsplit.h"

#include <QStringView>
#include <array>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <mutex>
#include <span>
#include <string_view>
#include <thread>
#include <vector>

namespace quendra {

class LineReader;
struct CodePages;

// Reads, decodes and splits the lines of a text file on a thread of its own, a batch of
// lines ahead of the caller, so that reading the next lines overlaps with converting
// the current ones. The reader belongs to the thread from construction until the end
// of the file (after next() returned false or threw) or destruction; it starts at the
// line after the reader's current one.
class ReadAhead {
public:
    ReadAhead(LineReader& reader, const FieldSplit& split, const CodePages& cp);
    ~ReadAhead(); // stops the thread; the reader is somewhere after the lines taken
    ReadAhead(const ReadAhead&) = delete;
    ReadAhead& operator=(const ReadAhead&) = delete;

    // The next line, decoded, and its fields; false at the end of the file. Both stay
    // valid until the next call or the destruction. An error of reading is thrown where
    // its line would have come; afterwards next() returns false.
    bool next(QStringView& line, std::span<const QStringView>& fields);

    static constexpr std::size_t BatchLines = 2048;
    static constexpr std::size_t BatchChars = std::size_t(1) << 17;

private:
    struct Line {
        std::size_t text, length;  // in Batch::text
        std::size_t field, fields; // in Batch::fields
    };
    // Lines decoded side by side. The text never moves while the batch is filled, so
    // that the fields can point into it.
    struct Batch {
        std::vector<char16_t> text;
        std::size_t used = 0;
        std::vector<QStringView> fields;
        std::size_t fieldCount = 0;
        std::vector<Line> lines;
        std::size_t lineCount = 0;
        bool last = false; // no lines after this batch
        std::exception_ptr failure;
    };
    static constexpr std::size_t Batches = 3; // the caller's, a ready one, one being filled

    void run();
    bool fill(Batch& b);
    Batch* takeFree();
    void finishThread() noexcept;

    LineReader& m_reader;
    const FieldSplit m_split;
    const CodePages& m_cp;
    bool m_carry = false; // the reader's current line goes into the next batch first

    std::array<Batch, Batches> m_batches;
    Batch* m_current = nullptr; // the caller's
    std::size_t m_taken = 0;    // lines of m_current given out
    bool m_ended = false;

    alignas(64) std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Batch*> m_free;  // batches the thread may fill
    std::vector<Batch*> m_ready; // filled batches, oldest first
    bool m_stop = false;
    std::thread m_thread;
};

} // namespace quendra
