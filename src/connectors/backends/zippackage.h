// A zip package whose parts are XML: an Excel 2007 workbook (.xlsx) or an OpenDocument
// file (.ods). Parts are read as streams, so that a sheet of any size takes the same
// memory. A file that is no zip, is damaged, lacks a part, holds a part of more than 2 GB
// or more than 1,000 times its packed size (a zip bomb), or XML with a document type
// declaration (where entities would live) ends in quendra::Error naming the file.
#pragma once

#include <QString>
#include <memory>
#include <string_view>

struct zip;

namespace quendra {

// What a part's XML is handed to, element by element. Names are local (without their
// namespace); attributes are name-value pairs, ended by nullptr, their names as expat
// gives them ("namespace|local" or "local").
class XmlHandler {
public:
    virtual ~XmlHandler() = default;
    virtual void start(std::string_view name, const char** attributes) = 0;
    virtual void end(std::string_view name) = 0;
    virtual void text(std::string_view characters) = 0;
};

// The value of the attribute of that local name; nullptr when there is none.
const char* xmlAttribute(const char** attributes, std::string_view name);

class ZipPackage {
public:
    // kind: what the file is to the user, in the messages ("Excel-Arbeitsmappe").
    ZipPackage(const QString& path, const QString& kind);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool has(const QString& part) const;
    // Reads the part's XML to its end; a missing part is an error.
    void parse(const QString& part, XmlHandler& handler) const;
    // The bytes of a small part (at most 1 MB; more is an error).
    QByteArray bytes(const QString& part) const;

    // Ends in the error "<kind> <path> ist beschädigt: <why>".
    [[noreturn]] void damaged(const QString& why) const;

    class PartFile; // one part, opened for reading

private:
    qint64 locate(const QString& part) const;

    QString m_path;
    QString m_kind;
    zip* m_zip = nullptr;
};

// One part's XML handed to a handler as the reader asks for more of it, so that the rows
// of a sheet can be taken one by one while the part is read. The package must outlive it.
class XmlPartReader {
public:
    XmlPartReader(const ZipPackage& zip, const QString& part, XmlHandler& handler);
    ~XmlPartReader();
    XmlPartReader(const XmlPartReader&) = delete;
    XmlPartReader& operator=(const XmlPartReader&) = delete;

    // Parses the next block of the part; false once it has been read to its end.
    bool parseMore();

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace quendra
