#pragma once

// The state of a clsFSConnect, shared by the files that read, split, check and write
// its lines.

#include "connectors/clsfsconnect.h"
#include "connectors/clsfsconnect_io.h"
#include "connectors/codepage.h"
#include "connectors/textencoding.h"

#include <QString>
#include <cstddef>
#include <span>
#include <string_view>
#include <vector>

namespace quendra {

struct clsFSConnect::Impl {
    static constexpr qint16 WriteMode = 0;
    static constexpr qint16 ReadMode = 1;

    const CodePages& cp = CodePages::instance();
    QString fileName;
    qint16 mode = WriteMode;
    bool open = false;
    bool eof = false;
    qint64 lineCount = 0;
    std::size_t firstLineFields = 0; // fields of line 1, for the message about a short line
    // Reading a source: its fields, and the fields of line 1 at opening, which every line
    // must have (up to the source's fields).
    std::size_t sourceFields = std::size_t(-1);
    std::size_t recordWidth = 0;
    QString delimiter;
    QByteArray delimiterBytes;    // the delimiter as file bytes
    bool delimiterInFile = false; // every delimiter character has a byte of its own
    QString encoding;
    TextEncoding kind = TextEncoding::Ansi;
    bool oem = false; // encoding "ASCII": lines are written in code page 850
    TextEncoding readAs = TextEncoding::Ansi; // the encoding, or UTF-8 for a file with a mark
    bool byteOrderMark = false;               // line 1 begins with the UTF-8 mark, which is no text
    bool encodingChecked = false;
    LineTarget target = LineTarget::Truncate;

    LineReader reader;
    QString line;                    // the current line, decoded
    std::vector<QStringView> fields; // the fields of line: the first fieldTotal entries
    std::size_t fieldTotal = 0;
    bool fieldsReady = false;

    LineWriter writer;
    // How each value of a record is written (planValues), worked out once for all records.
    struct ValueWrite {
        QStringView qualifier; // empty for none
        QStringView mark;      // what the value must not hold: its qualifier, or the delimiter
        char quote = 0;        // the qualifier as one byte (quoted), else 0
        bool quoted = false;
        char16_t markUnit = 0; // mark, when it is one unit
    };
    std::vector<ValueWrite> valueWrites;
    bool writesPlanned = true; // valueWrites fits the delimiter; false after it changed
    // Every value is written the short way: one byte of delimiter, a qualifier of one
    // ASCII character or none, a mark of one unit.
    bool shortWrites = false;
    std::size_t qualifierBytes = 0; // all qualifiers of a record, at most
    int valuesInLine = 0;
    qint64 linesWritten = 0;
    Replaced replaced;

    bool reading() const { return open && mode == ReadMode; }
    bool writing() const { return open && mode == WriteMode; }
    // Opens file for reading or writing (after close()).
    void start(const QString& file, qint16 how, LineTarget target, const QString& delimiter);
    void setDelimiter(const QString& text);
    void readNext();
    void useCurrentLine();
    void prepareFields(std::string_view raw);
    void prepareFieldsOfText();
    void checkEncoding(std::string_view raw);
    void refuseUtf8ReadAsSingleByte() const;
    [[noreturn]] void refuseInvalidUtf8(std::size_t bad) const;
    bool writesUtf8() const { return writing() && isUtf8(kind); }
    QString missingField(int index) const;
    bool mayHaveReplaced(const char* bytes, std::size_t n) const;
    void countReplaced(std::span<const QString> values, int firstValue);
    void countReplaced(QStringView value, int valueIndex);
    void settleWrites();
    qsizetype valueHoldingMark(std::span<const QString> values) const;
    char* reserveLine(std::span<const QString> values, std::size_t delimiterSize);
    void commitValues(std::span<const QString> values, const char* out, std::size_t k,
                      const CodePages::EncodeNotes& notes);
    qsizetype setValuesShort(std::span<const QString> values);
    qsizetype setValuesGeneral(std::span<const QString> values);
    QString cutShortText() const;
    void refuseExtraFields() const;
};

} // namespace quendra
