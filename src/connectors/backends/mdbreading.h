#pragma once

// Reading a Jet/ACE file through mdbtools' libmdb: what the Access reader and the taking
// over of an old Jet configuration share.

// GLib first: mdbtools.h includes it inside its extern "C" block, where GLib's C++ parts fail.
#include <glib.h>
#include <mdbtools.h>

#include <QString>
#include <cstdio>
#include <memory>
#include <optional>
#include <vector>

namespace quendra {

// Memo columns longer than this are cut by libmdb.
constexpr size_t kBindSize = 256 * 1024;

// libmdb stops a value one byte before the end of its buffer, or up to one character
// (four bytes of UTF-8) earlier: a value of that length may have been cut, so it is
// refused instead of passed on shortened.
inline bool mayBeCut(int length)
{
    return length >= int(kBindSize) - 4;
}

// What libmdb writes to standard error while it reads (pages it skips, rows it cannot
// read), taken from the stream for the time of one load, so that an error can quote it.
class LibraryMessages {
public:
    LibraryMessages();
    ~LibraryMessages();
    LibraryMessages(const LibraryMessages&) = delete;
    LibraryMessages& operator=(const LibraryMessages&) = delete;

    // The lines written so far, after a line break; empty when there were none.
    QString text() const;

private:
    void restore();

    std::FILE* m_file = nullptr;
    int m_saved = -1;
};

struct MdbCloser {
    void operator()(MdbHandle* mdb) const { mdb_close(mdb); }
};
struct TableDefFreer {
    void operator()(MdbTableDef* table) const { mdb_free_tabledef(table); }
};
using MdbFile = std::unique_ptr<MdbHandle, MdbCloser>;
using MdbTable = std::unique_ptr<MdbTableDef, TableDefFreer>;

// Opens the file with its catalogue read, dates as "yyyy-MM-dd HH:mm:ss", booleans as
// 1/0 and kBindSize as the bind size. libmdb loops without end on some damaged files (a
// property block of length zero): every user table is first read in a child process
// (childprobe.h). Throws quendra::Error for a missing file, one libmdb cannot read, one
// whose catalogue libmdb complained about or does not list whole (it may lack tables),
// with libmdb's lines (messages).
MdbFile openAccessFile(const QString& file, const LibraryMessages& messages);

// A table of the catalogue that holds data: no system table (MSys...).
bool isUserTable(MdbCatalogEntry* entry);

// Why a table's definition is damaged when it gives more columns than a Jet table has
// (255; a buffer of kBindSize is bound for each); empty when it does not.
QString tooManyColumns(MdbTableDef* table);

// A table's columns bound to buffers that libmdb fills row by row; throws quendra::Error
// for a definition of too many columns.
struct BoundColumns {
    explicit BoundColumns(MdbTableDef* table);
    std::vector<QByteArray> buffers;
    std::vector<int> lengths;
};

// For the row mdb_fetch_row has just read: which of the table's columns are NULL (a bound
// buffer is empty both for NULL and for empty text).
std::vector<bool> nullColumns(MdbTableDef* table);

// For the row mdb_fetch_row has just read: the value of a Single or Double column as the
// file stores it, for libmdb's text of it has 8 or 16 digits, too few to give every value
// back (a Single as the double of its shortest decimal form); nothing for NULL and for
// other columns.
std::optional<double> storedFloatingPoint(MdbHandle* mdb, const MdbColumn& column);

} // namespace quendra
