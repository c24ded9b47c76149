// "Text": the data source is a folder, each *.csv and *.txt file in it is one table,
// named after the file without its suffix ("kunden" for kunden.csv; when kunden.txt is
// there too, the later one in file-name order is "kunden#txt"). Tables are listed in the
// order of their file names (ignoring letter case). Fields are separated by commas and
// may be enclosed in double quotes (a doubled quote inside stands for one, line breaks
// inside are kept). The bytes are read in the source's encoding (Windows-1252, code page
// 850 or UTF-8), and as UTF-8 whatever was chosen when the file begins with the UTF-8
// byte order mark. Every column is text: no guessing turns "00123" into 123.
// An empty field is NULL. Rows are appended to existing files only (an empty file is
// fine); a missing file is refused, because its columns are unknown.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/appendedrow.h"
#include "connectors/backends/memorytable.h"
#include "connectors/backends/tablefolder.h"
#include "connectors/codepage.h"
#include "connectors/textencoding.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <vector>

namespace quendra {

namespace {

constexpr char kBom[] = "\xEF\xBB\xBF";

using CsvRow = std::vector<QVariant>;

QByteArray readWholeFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Textdatei %1 kann nicht gelesen werden: %2")
                        .arg(QDir::toNativeSeparators(path), file.errorString()));
    return file.readAll();
}

// The line (from 1) of the byte at offset.
qsizetype lineAt(const QByteArray& bytes, qsizetype offset)
{
    qsizetype line = 1;
    for (qsizetype i = 0; i < offset; ++i)
        line += bytes[i] == '\r' || (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) ? 1 : 0;
    return line;
}

// A file to be read in a single-byte code page that holds UTF-8 is refused (refuseUtf8),
// as a text file source is; one chosen as UTF-8 must be UTF-8 throughout.
QString decodeText(const QByteArray& bytes, const QString& path, const QString& encoding,
                   bool refuseUtf8)
{
    const TextEncoding e = bytes.startsWith(kBom) ? TextEncoding::Utf8 : textEncoding(encoding);
    const QString file = QDir::toNativeSeparators(path);
    if (isUtf8(e)) {
        QStringDecoder utf8(QStringConverter::Utf8);
        const QString text = utf8.decode(bytes);
        if (utf8.hasError())
            throw Error(errnum::InvalidProcedureCall, {},
                        QStringLiteral("Die Textdatei %1 ist kein gültiges UTF-8. Prüfen Sie die "
                                       "Kodierung der Quelle (im Hauptfenster unter „Von“).")
                            .arg(file));
        return text;
    }
    Utf8Evidence evidence;
    evidence.feed(bytes.constData(), std::size_t(bytes.size()), 0, true);
    if (refuseUtf8 && evidence.found())
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("Die Textdatei %1 ist in UTF-8 geschrieben (zuerst in Zeile "
                                   "%2), die Definition liest sie aber als %3: Umlaute und andere "
                                   "Sonderzeichen würden verfälscht. Wählen Sie im Hauptfenster "
                                   "unter „Von“ die Kodierung „UTF-8“.")
                        .arg(file)
                        .arg(lineAt(bytes, qsizetype(evidence.firstSequence())))
                        .arg(e == TextEncoding::Oem ? QStringLiteral("Codepage 850 (ASCII)")
                                                    : QStringLiteral("Windows-1252 (ANSI)")));
    return CodePages::instance().text(bytes, e == TextEncoding::Oem);
}

struct CsvRows {
    std::vector<CsvRow> rows;
    std::vector<int> lines; // the line each row begins on, 1-based
};

[[noreturn]] void throwCsvFault(const QString& path, int line, const QString& what)
{
    throw Error(errnum::TypeMismatch, {},
                QStringLiteral("Die Textdatei %1 ist in Zeile %2 nicht lesbar: %3")
                    .arg(QDir::toNativeSeparators(path))
                    .arg(line)
                    .arg(what));
}

// Splits text into records of fields. A field that is empty (quoted or not) is NULL;
// a line with nothing on it is no record. A quote that is never closed would swallow
// every following line into one value: it is an error naming its line.
CsvRows parseCsv(const QString& text, const QString& path)
{
    CsvRows parsed;
    CsvRow row;
    QString field;
    bool quoted = false;    // inside a quoted section
    bool fieldSeen = false; // the current line has content (so it is a record)
    int line = 1;
    int rowLine = 1;
    int quoteLine = 0;
    auto endField = [&] {
        row.push_back(field.isEmpty() ? QVariant() : QVariant(field));
        field.clear();
    };
    auto endRecord = [&] {
        if (fieldSeen) {
            endField();
            parsed.rows.push_back(std::move(row));
            parsed.lines.push_back(rowLine);
        }
        row = CsvRow();
        field.clear();
        fieldSeen = false;
        rowLine = line;
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        const bool lineBreak =
            c == u'\n' || (c == u'\r' && (i + 1 == n || text.at(i + 1) != u'\n'));
        if (lineBreak)
            ++line;
        if (quoted) {
            if (c == u'"' && i + 1 < n && text.at(i + 1) == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
            quoteLine = line;
            fieldSeen = true;
        } else if (c == u',') {
            endField();
            fieldSeen = true;
        } else if (c == u'\r' || c == u'\n') {
            if (lineBreak)
                endRecord();
        } else {
            field += c;
            fieldSeen = true;
        }
    }
    if (quoted)
        throwCsvFault(path, quoteLine,
                      QStringLiteral("Ein Anführungszeichen wird bis zum Dateiende nicht "
                                     "geschlossen."));
    endRecord();
    return parsed;
}

void loadCsv(const QFileInfo& file, bool header, const QString& encoding, QSqlDatabase& db)
{
    const QString path = file.filePath();
    CsvRows parsed = parseCsv(decodeText(readWholeFile(path), path, encoding, true), path);
    std::vector<CsvRow>& rows = parsed.rows;
    QStringList names;
    const size_t first = header && !rows.empty() ? 1 : 0;
    // The first line says how many columns the table has, as a header or as values; a
    // value beyond them would belong to no column (an empty place there is none).
    const size_t columnsOfFirst = rows.empty() ? 0 : rows.front().size();
    size_t width = columnsOfFirst;
    for (size_t r = 1; r < rows.size(); ++r) {
        width = std::max(width, rows[r].size());
        for (size_t i = columnsOfFirst; i < rows[r].size(); ++i) {
            if (!rows[r][i].isNull())
                throwCsvFault(file.filePath(), parsed.lines[r],
                              QStringLiteral("Sie hat %1 Werte, %2 nur %3 Spalten.")
                                  .arg(rows[r].size())
                                  .arg(header ? QStringLiteral("die Kopfzeile")
                                              : QStringLiteral("die erste Zeile"))
                                  .arg(columnsOfFirst));
        }
    }
    if (first == 1) {
        for (const QVariant& name : rows.front())
            names << name.toString();
    }
    const QStringList numbered = numberedColumnNames(int(width));
    for (int i = int(names.size()); i < int(width); ++i)
        names << numbered.at(i);
    names = usableColumnNames(names);

    QList<TableColumn> columns;
    for (const QString& name : std::as_const(names))
        columns << TableColumn{name, ColumnKind::Text};
    if (columns.isEmpty()) // an empty file: a table of one column without rows
        columns << TableColumn{QStringLiteral("F1"), ColumnKind::Text};

    MemoryTableBuilder table(db, freeTableName(db, file.completeBaseName(), file.suffix()),
                             columns);
    for (size_t r = first; r < rows.size(); ++r) {
        QVariantList values(rows[r].begin(), rows[r].end());
        values.resize(columns.size());
        table.addRow(values);
    }
    table.finish();
}

class CsvFolderReader : public FileTypeReader {
public:
    void load(const DataSourceLocation& location, QSqlDatabase& memoryDb) override
    {
        trapped("CsvFolder.load", [&] {
            const QFileInfoList files = folderTableFiles(location.dataSource, location.tableFiles);
            for (const QFileInfo& file : files)
                loadCsv(file, location.header, location.encoding, memoryDb);
        });
    }
};

// A value as it goes into a line: enclosed in double quotes when it holds a comma, a
// quote, a line break or spaces at either end.
QString csvField(const QString& text)
{
    const bool needsQuotes = text.contains(u',') || text.contains(u'"') || text.contains(u'\r') ||
                             text.contains(u'\n') || text.startsWith(u' ') || text.endsWith(u' ');
    if (!needsQuotes)
        return text;
    QString inner = text;
    inner.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

// Appends each row as one line with CR LF, written and flushed in one piece. A file
// without any line yet takes as many columns as its first row fills.
class CsvRecord : public AppendedRow {
public:
    explicit CsvRecord(const QString& path) : AppendedRow("CsvFolder"), m_file(path)
    {
        const QByteArray existing = readWholeFile(path);
        m_utf8 = existing.startsWith(kBom);
        // Only its columns are counted: how it is written stays as it was.
        const std::vector<CsvRow> rows = parseCsv(decodeText(existing, path, {}, false), path).rows;
        m_columns = rows.empty() ? 0 : int(rows.front().size());
        m_growable = rows.empty();
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
            throwUnwritable();
        // The last line of a file written elsewhere may lack its line break.
        m_pendingBreak = !existing.isEmpty() && !existing.endsWith('\n') &&
                         !existing.endsWith('\r') && existing != kBom;
    }

    int fieldsCount() const override { return m_columns; }

protected:
    bool acceptsColumn(int ordinal) const override { return m_growable || ordinal < m_columns; }

    void writeRow(const std::vector<QVariant>& values) override
    {
        QByteArray bytes = m_pendingBreak ? QByteArrayLiteral("\r\n") : QByteArray();
        for (size_t i = 0; i < values.size(); ++i) {
            const QString field = csvField(rules().toText(values[i]));
            if (i > 0)
                bytes += ',';
            bytes += m_utf8 ? field.toUtf8()
                            : encodeText(QByteArrayLiteral("windows-1252"), field, int(i));
        }
        bytes += "\r\n";
        if (m_file.write(bytes) != bytes.size() || !m_file.flush())
            throwUnwritable();
        m_pendingBreak = false;
        m_columns = std::max(m_columns, int(values.size()));
    }

private:
    [[noreturn]] void throwUnwritable() const
    {
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("In die Textdatei %1 kann nicht geschrieben werden: %2")
                        .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
    }

    QFile m_file;
    bool m_utf8 = false;
    bool m_growable = false;
    bool m_pendingBreak = false;
    int m_columns = 0;
};

} // namespace

static std::unique_ptr<FileTypeReader> makeCsvFolderReader()
{
    return std::make_unique<CsvFolderReader>();
}

static std::unique_ptr<FileTypeWriter> makeCsvFolderWriter()
{
    return std::make_unique<FolderTableWriter<CsvRecord>>(
        "CsvFolder.openTable",
        QStringLiteral("Die Textdatei %1 gibt es im Ordner %2 nicht. Legen Sie die Zieldatei "
                       "an (eine leere Datei genügt)."));
}

const FileTypeSupport TextType{.name = "Text",
                               .providerText = JetProvider,
                               .extendedProperties = "Extended Properties=\"text;",
                               .header = true,
                               .makeReader = makeCsvFolderReader,
                               .makeWriter = makeCsvFolderWriter,
                               .tableFiles = "csv txt",
                               .textSource = true};

} // namespace quendra
