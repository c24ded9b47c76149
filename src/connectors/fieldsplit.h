#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <cstddef>
#include <string_view>
#include <vector>

namespace quendra {

struct CodePages;

// How the lines of a text file are cut into fields: at the delimiter's bytes in the
// file. Decoding maps each byte to one character, so the positions found in the bytes
// are those of the decoded line. A delimiter that no byte sequence can hold never
// matches, and the whole line is one field.
struct FieldSplit {
    QByteArray bytes;    // the delimiter as file bytes
    char first = 0;      // its first byte
    bool inFile = false; // every delimiter character has a byte of its own

    static FieldSplit of(const QString& delimiter, const CodePages& cp);

    // Stores the fields of raw, decoded as text, in fields from index count on (growing
    // it when needed) and returns the new count.
    std::size_t split(std::string_view raw, const QChar* text, std::vector<QStringView>& fields,
                      std::size_t count) const;
};

} // namespace quendra
