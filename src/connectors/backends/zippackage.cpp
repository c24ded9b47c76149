#include "connectors/backends/zippackage.h"

#include "common/error.h"

#include <QDir>
#include <QFile>
#include <cstring>
#include <exception>
#include <expat.h>
#include <stdexcept>
#include <zip.h>

namespace quendra {

namespace {

constexpr zip_uint64_t MaxPartSize = zip_uint64_t(2) << 30; // 2 GB unpacked
constexpr zip_uint64_t MaxPackingRatio = 1000;
constexpr qsizetype MaxSmallPart = 1 << 20;
// Bytes of XML that may pass without a single element or text coming out of them: a
// sound part never has a tag that long, and expat would hold all of it.
constexpr qint64 MaxSilentBytes = 16 << 20;
// Elements nested deeper than any sound part nests them (expat would keep each open one).
constexpr int MaxDepth = 256;

std::string_view localName(const char* name)
{
    const std::string_view whole(name);
    const size_t bar = whole.rfind('|');
    return bar == std::string_view::npos ? whole : whole.substr(bar + 1);
}

// Hands expat's callbacks to the handler. An exception must not travel through expat's C
// code: it is kept, the parser stopped, and thrown again when XML_Parse returns.
struct ParseState {
    XmlHandler& handler;
    XML_Parser parser;
    std::exception_ptr failure;
    bool doctype = false;
    qint64 silent = 0;
    int depth = 0; // elements open

    template <class Fn> static void guarded(void* data, Fn&& fn)
    {
        auto* state = static_cast<ParseState*>(data);
        if (state->failure)
            return;
        state->silent = 0;
        try {
            fn(*state);
        } catch (...) {
            state->failure = std::current_exception();
            XML_StopParser(state->parser, XML_FALSE);
        }
    }
    static void XMLCALL onStart(void* data, const char* name, const char** attributes)
    {
        guarded(data, [&](ParseState& s) {
            if (++s.depth > MaxDepth)
                throw std::length_error("depth");
            s.handler.start(localName(name), attributes);
        });
    }
    static void XMLCALL onEnd(void* data, const char* name)
    {
        guarded(data, [&](ParseState& s) {
            --s.depth;
            s.handler.end(localName(name));
        });
    }
    static void XMLCALL onText(void* data, const char* text, int length)
    {
        guarded(data, [&](ParseState& s) { s.handler.text({text, size_t(length)}); });
    }
    static void XMLCALL onDoctype(void* data, const char*, const char*, const char*, int)
    {
        auto* state = static_cast<ParseState*>(data);
        state->doctype = true;
        XML_StopParser(state->parser, XML_FALSE);
    }
};

struct ParserFree {
    void operator()(XML_ParserStruct* parser) const { XML_ParserFree(parser); }
};

struct FileClose {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

} // namespace

const char* xmlAttribute(const char** attributes, std::string_view name)
{
    for (; *attributes; attributes += 2) {
        if (localName(attributes[0]) == name)
            return attributes[1];
    }
    return nullptr;
}

ZipPackage::ZipPackage(const QString& path, const QString& kind) : m_path(path), m_kind(kind)
{
    if (!QFile::exists(path))
        throw standardError(errnum::FileNotFound, path);
    int code = 0;
    m_zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &code);
    if (!m_zip) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString why = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Datei %1 ist keine lesbare %2 (kein gültiges "
                                   "Zip-Archiv: %3).")
                        .arg(QDir::toNativeSeparators(path), kind, why));
    }
}

ZipPackage::~ZipPackage()
{
    zip_discard(m_zip); // opened read-only: nothing to write back
}

void ZipPackage::damaged(const QString& why) const
{
    throw Error(errnum::PathFileAccess, {},
                QStringLiteral("Die %1 %2 ist beschädigt: %3")
                    .arg(m_kind, QDir::toNativeSeparators(m_path), why));
}

qint64 ZipPackage::locate(const QString& part) const
{
    return zip_name_locate(m_zip, part.toUtf8().constData(), ZIP_FL_NOCASE | ZIP_FL_ENC_GUESS);
}

bool ZipPackage::has(const QString& part) const
{
    return locate(part) >= 0;
}

// Hands the part's bytes, block by block, to sink, never more than it announces and
// never more than the limits allow.
template <class Sink> void ZipPackage::stream(const QString& part, Sink&& sink) const
{
    const qint64 index = locate(part);
    if (index < 0)
        damaged(QStringLiteral("der Teil „%1“ fehlt.").arg(part));
    zip_stat_t stat;
    if (zip_stat_index(m_zip, zip_uint64_t(index), 0, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
        damaged(QStringLiteral("die Größe des Teils „%1“ ist unbekannt.").arg(part));
    if (stat.size > MaxPartSize ||
        stat.size > MaxPackingRatio * std::max<zip_uint64_t>(stat.comp_size, 1))
        damaged(QStringLiteral("der Teil „%1“ wäre entpackt %2 Bytes groß (%3 Bytes gepackt); "
                               "mehr als 2 GB oder das 1000-fache werden nicht gelesen.")
                    .arg(part)
                    .arg(stat.size)
                    .arg(stat.comp_size));
    const std::unique_ptr<zip_file_t, FileClose> file(
        zip_fopen_index(m_zip, zip_uint64_t(index), 0));
    if (!file)
        damaged(QStringLiteral("der Teil „%1“ kann nicht geöffnet werden (%2).")
                    .arg(part, QString::fromLocal8Bit(zip_strerror(m_zip))));
    char buffer[1 << 16];
    zip_uint64_t total = 0;
    for (;;) {
        const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
        if (n < 0)
            damaged(QStringLiteral("der Teil „%1“ kann nicht entpackt werden (%2).")
                        .arg(part, QString::fromLocal8Bit(zip_file_strerror(file.get()))));
        total += zip_uint64_t(n);
        if (total > stat.size)
            damaged(QStringLiteral("der Teil „%1“ ist länger, als das Archiv angibt.").arg(part));
        sink(buffer, int(n), n == 0);
        if (n == 0)
            return;
    }
}

void ZipPackage::parse(const QString& part, XmlHandler& handler) const
{
    const std::unique_ptr<XML_ParserStruct, ParserFree> parser(XML_ParserCreateNS(nullptr, '|'));
    if (!parser)
        throw std::bad_alloc();
    ParseState state{handler, parser.get(), nullptr};
    XML_SetUserData(parser.get(), &state);
    XML_SetElementHandler(parser.get(), ParseState::onStart, ParseState::onEnd);
    XML_SetCharacterDataHandler(parser.get(), ParseState::onText);
    XML_SetStartDoctypeDeclHandler(parser.get(), ParseState::onDoctype);
    stream(part, [&](const char* data, int size, bool last) {
        state.silent += size;
        const bool parsed = XML_Parse(parser.get(), data, size, last) == XML_STATUS_OK;
        if (state.failure) {
            try {
                std::rethrow_exception(state.failure);
            } catch (const std::length_error&) {
                damaged(QStringLiteral("im Teil „%1“ sind Elemente mehr als %2-fach ineinander "
                                       "geschachtelt.")
                            .arg(part)
                            .arg(MaxDepth));
            }
        }
        if (state.doctype)
            damaged(QStringLiteral("der Teil „%1“ enthält eine Dokumenttyp-Deklaration "
                                   "(DTD); solche Dateien werden nicht gelesen.")
                        .arg(part));
        if (!parsed)
            damaged(QStringLiteral("der Teil „%1“ ist kein gültiges XML (Zeile %2: %3).")
                        .arg(part)
                        .arg(XML_GetCurrentLineNumber(parser.get()))
                        .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser.get())))));
        if (state.silent > MaxSilentBytes)
            damaged(
                QStringLiteral("der Teil „%1“ enthält ein Element von mehr als 16 MB.").arg(part));
    });
}

QByteArray ZipPackage::bytes(const QString& part) const
{
    QByteArray all;
    stream(part, [&](const char* data, int size, bool) {
        all.append(data, size);
        if (all.size() > MaxSmallPart)
            damaged(QStringLiteral("der Teil „%1“ ist zu groß.").arg(part));
    });
    return all;
}

} // namespace quendra
