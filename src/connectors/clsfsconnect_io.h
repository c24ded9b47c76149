#pragma once

#include <QString>
#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quendra {

class ReplacementFile;

// Takes the blocks a LineReader reads from its file as it reads them (to hash them, say).
class ReadBlocks {
public:
    virtual ~ReadBlocks() = default;
    // The reader holds size bytes of its file from offset on; last: the file ends after
    // them. The bytes stay valid until release().
    virtual void take(long long offset, const char* bytes, std::size_t size, bool last) = 0;
    // Returns once the bytes taken last are no longer needed: the reader overwrites them.
    virtual void release() = 0;
};

// Reads the lines of a file as raw bytes through one large buffer. A line ends at
// CR LF, CR, LF or the end of the file; the line end is not part of the line. The bytes
// of the current line stay valid until the next call of next() or rewind().
class LineReader {
public:
    LineReader();
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Throws error 53 (missing file) or 75 (not readable), with the path.
    void open(const QString& path);
    void close();
    bool isOpen() const { return m_fd >= 0; }
    // Starts again at the first byte of the file.
    void rewind();
    // Makes the next line current; false (and the current line kept) at the end.
    bool next();
    std::string_view line() const { return {m_buf.get() + m_lineStart, m_lineLen}; }
    // True once the reader has reached the end of a regular file that holds fewer bytes
    // than it did when it was opened: another program shortened it meanwhile.
    bool endedShort() const { return m_drained && m_sizeAtOpen >= 0 && m_consumed < m_sizeAtOpen; }
    // True when the current line is the last of such a shortened file and has no line
    // end: it was cut off in the middle.
    bool lineCutShort() const { return endedShort() && m_pos == m_lineStart + m_lineLen; }
    long long sizeAtOpen() const { return m_sizeAtOpen; }
    long long bytesRead() const { return m_consumed; } // since opening or rewinding
    // Offset in the file of the current line's first byte.
    long long lineOffset() const { return m_consumed - (long long)(m_end - m_lineStart); }

    // Whether a regular file holds UTF-8 although it is to be read in a single-byte code
    // page: the offset of its first UTF-8 sequence when every byte above 0x7F belongs to
    // a well-formed one, else -1 (also for a pipe, which cannot be read twice). Looks no
    // further than the first byte that settles it is no UTF-8 (an umlaut of Windows-1252
    // does at once); reads beside the current line, which stays.
    long long utf8Start() const;
    // The line (from 1) of the byte at offset; reads beside the current line.
    long long lineAt(long long offset) const;

    // Hands to blocks what the buffer holds now and every block read from now on, until
    // handBlocks(nullptr), close() or open(). Not for a pipe.
    void handBlocks(ReadBlocks* blocks);

private:
    void startOver();
    // Reads the file from offset on in blocks beside the current line; look(bytes, n,
    // offset, last) returns how many bytes it took, or 0 to stop; last: the file ends.
    template <class Look> void readBeside(long long offset, Look look) const;
    std::size_t findLineEnd();
    void refill();

    int m_fd = -1;
    QString m_path;
    std::unique_ptr<char[]> m_buf;
    std::size_t m_cap = 0;
    std::size_t m_end = 0;       // bytes held in the buffer
    std::size_t m_pos = 0;       // first byte after the current line's end
    std::size_t m_lineStart = 0; // current line
    std::size_t m_lineLen = 0;
    bool m_drained = false;      // the file has no bytes beyond m_end
    long long m_sizeAtOpen = -1; // size of a regular file when opened, -1 for others
    long long m_consumed = 0;    // bytes read from the file since opening or rewinding
    ReadBlocks* m_blocks = nullptr;
};

// Where a LineWriter's lines go.
enum class LineTarget {
    Truncate, // the file, created or truncated at opening
    Replace,  // a new file in the same folder that takes the file's place at close()
    Memory,   // nowhere but the buffer, for takeLines()
    Held,     // the file, changed only at release(): until then the lines go to a new file
              // beside it that takes its place at release(), or, where a new file would
              // lose something of the old one (replaceableWholly), wait in the buffer,
              // however many they are, and the file is created or truncated at release()
};

// Writes bytes to a file through one large buffer, reporting every refusal of the
// file system (disk full, ...) as an error. A file that could not take a whole block is
// cut back to its last complete line, so that it never ends in a torn record.
class LineWriter {
public:
    LineWriter();
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    // Creates or truncates the file, or (Replace, Held) creates its replacement beside
    // it; throws error 76 (folder missing) or 75. Memory opens nothing, nor does Held
    // where it holds the lines in the buffer.
    void open(const QString& path, LineTarget target = LineTarget::Truncate);
    bool isOpen() const { return m_fd >= 0 || m_memory || m_held; }
    // Held: the bytes waiting in the buffer for release(); 0 otherwise.
    std::size_t heldBytes() const { return m_held && !m_replacement ? m_size : 0; }
    // Held: puts the new file in the file's place, or creates or truncates the file and
    // writes the lines held (throwing as open does), and lets the lines go
    // to it from now on; nothing otherwise.
    void release();
    // The complete lines written since opening or the last call (Memory only); the line
    // being built stays.
    std::string takeLines();

    // Room for n more bytes at the end of the buffer; commit what was written there.
    char* reserve(std::size_t n)
    {
        if (m_size + n > m_cap)
            grow(n);
        return m_buf.get() + m_size;
    }
    void commit(std::size_t n) { m_size += n; }
    void append(const char* bytes, std::size_t n)
    {
        std::memcpy(reserve(n), bytes, n);
        commit(n);
    }
    // The bytes of the line being built (everything after the last endLine).
    char* lineData() { return m_buf.get() + m_complete; }
    std::size_t lineSize() const { return m_size - m_complete; }
    // Closes the line being built; the buffer goes to the file once it holds a large block.
    void endLine()
    {
        m_complete = m_size;
        m_lineEnds.push_back(m_complete);
        if (m_complete >= FlushBlock && m_fd >= 0)
            writeOut();
    }
    // Writes the complete lines and closes the file; throws when the file system refuses.
    // A line without endLine is not written. A replacement takes the file's place only
    // here, once every line is on disk. Lines still held are dropped: the file stays as
    // it was.
    void close();
    // Closes without reporting anything (last resort of a destructor). A replacement is
    // removed, the file keeps its old content.
    void closeSilently() noexcept;

private:
    static constexpr std::size_t FlushBlock = std::size_t(1) << 20;

    void grow(std::size_t n);
    void writeOut();
    void discardReplacement() noexcept;
    [[noreturn]] void failWrite(int code, std::size_t done);

    int m_fd = -1;
    bool m_memory = false;
    bool m_held = false; // Held, not yet released
    QString m_path;
    std::unique_ptr<ReplacementFile> m_replacement; // Replace: the new file, which owns m_fd
    std::unique_ptr<char[]> m_buf;
    std::size_t m_cap = 0;
    std::size_t m_size = 0;
    std::size_t m_complete = 0;          // bytes of complete lines at the front
    std::vector<std::size_t> m_lineEnds; // where each complete line in the buffer ends
    long long m_written = 0;             // bytes of complete lines in the file
    long long m_linesWritten = 0;
};

} // namespace quendra
