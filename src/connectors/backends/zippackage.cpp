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

// One part of the package, read block by block: never more than it announces and never
// more than the limits allow.
class ZipPackage::PartFile {
public:
    PartFile(const ZipPackage& zip, const QString& part) : m_zip(zip), m_part(part)
    {
        const qint64 index = zip.locate(part);
        if (index < 0)
            zip.damaged(QStringLiteral("der Teil „%1“ fehlt.").arg(part));
        zip_stat_t stat;
        if (zip_stat_index(zip.m_zip, zip_uint64_t(index), 0, &stat) != 0 ||
            !(stat.valid & ZIP_STAT_SIZE) || !(stat.valid & ZIP_STAT_COMP_SIZE))
            zip.damaged(QStringLiteral("die Größe des Teils „%1“ ist unbekannt.").arg(part));
        if (stat.size > MaxPartSize ||
            stat.size > MaxPackingRatio * std::max<zip_uint64_t>(stat.comp_size, 1))
            zip.damaged(QStringLiteral("der Teil „%1“ wäre entpackt %2 Bytes groß (%3 Bytes "
                                       "gepackt); mehr als 2 GB oder das 1000-fache werden "
                                       "nicht gelesen.")
                            .arg(part)
                            .arg(stat.size)
                            .arg(stat.comp_size));
        m_size = stat.size;
        m_file.reset(zip_fopen_index(zip.m_zip, zip_uint64_t(index), 0));
        if (!m_file)
            zip.damaged(QStringLiteral("der Teil „%1“ kann nicht geöffnet werden (%2).")
                            .arg(part, QString::fromLocal8Bit(zip_strerror(zip.m_zip))));
    }

    // The next block into buffer: its size, 0 at the end of the part.
    int read(char* buffer, int size)
    {
        const zip_int64_t n = zip_fread(m_file.get(), buffer, zip_uint64_t(size));
        if (n < 0)
            m_zip.damaged(
                QStringLiteral("der Teil „%1“ kann nicht entpackt werden (%2).")
                    .arg(m_part, QString::fromLocal8Bit(zip_file_strerror(m_file.get()))));
        m_total += zip_uint64_t(n);
        if (m_total > m_size)
            m_zip.damaged(
                QStringLiteral("der Teil „%1“ ist länger, als das Archiv angibt.").arg(m_part));
        return int(n);
    }

private:
    const ZipPackage& m_zip;
    QString m_part;
    std::unique_ptr<zip_file_t, FileClose> m_file;
    zip_uint64_t m_size = 0;
    zip_uint64_t m_total = 0;
};

struct XmlPartReader::State {
    const ZipPackage& zip;
    QString part;
    ZipPackage::PartFile file;
    std::unique_ptr<XML_ParserStruct, ParserFree> parser;
    ParseState parse;
    bool ended = false;
    char buffer[1 << 16];

    State(const ZipPackage& zip, const QString& part, XmlHandler& handler)
        : zip(zip), part(part), file(zip, part),
          parser(XML_ParserCreateNS(nullptr, '|')), parse{handler, parser.get(), nullptr}
    {
        if (!parser)
            throw std::bad_alloc();
        XML_SetUserData(parser.get(), &parse);
        XML_SetElementHandler(parser.get(), ParseState::onStart, ParseState::onEnd);
        XML_SetCharacterDataHandler(parser.get(), ParseState::onText);
        XML_SetStartDoctypeDeclHandler(parser.get(), ParseState::onDoctype);
    }

    void check(bool parsed)
    {
        if (parse.failure) {
            try {
                std::rethrow_exception(parse.failure);
            } catch (const std::length_error&) {
                zip.damaged(QStringLiteral("im Teil „%1“ sind Elemente mehr als %2-fach "
                                           "ineinander geschachtelt.")
                                .arg(part)
                                .arg(MaxDepth));
            }
        }
        if (parse.doctype)
            zip.damaged(QStringLiteral("der Teil „%1“ enthält eine Dokumenttyp-Deklaration "
                                       "(DTD); solche Dateien werden nicht gelesen.")
                            .arg(part));
        if (!parsed)
            zip.damaged(
                QStringLiteral("der Teil „%1“ ist kein gültiges XML (Zeile %2: %3).")
                    .arg(part)
                    .arg(XML_GetCurrentLineNumber(parser.get()))
                    .arg(QString::fromUtf8(XML_ErrorString(XML_GetErrorCode(parser.get())))));
        if (parse.silent > MaxSilentBytes)
            zip.damaged(
                QStringLiteral("der Teil „%1“ enthält ein Element von mehr als 16 MB.").arg(part));
    }
};

XmlPartReader::XmlPartReader(const ZipPackage& zip, const QString& part, XmlHandler& handler)
    : d(std::make_unique<State>(zip, part, handler))
{
}

XmlPartReader::~XmlPartReader() = default;

bool XmlPartReader::parseMore()
{
    if (d->ended)
        return false;
    const int size = d->file.read(d->buffer, sizeof d->buffer);
    d->ended = size == 0;
    d->parse.silent += size;
    d->check(XML_Parse(d->parser.get(), d->buffer, size, d->ended) == XML_STATUS_OK);
    return !d->ended;
}

void ZipPackage::parse(const QString& part, XmlHandler& handler) const
{
    XmlPartReader reader(*this, part, handler);
    while (reader.parseMore()) {
    }
}

QByteArray ZipPackage::bytes(const QString& part) const
{
    QByteArray all;
    PartFile file(*this, part);
    char buffer[1 << 16];
    while (const int size = file.read(buffer, sizeof buffer)) {
        all.append(buffer, size);
        if (all.size() > MaxSmallPart)
            damaged(QStringLiteral("der Teil „%1“ ist zu groß.").arg(part));
    }
    return all;
}

} // namespace quendra
