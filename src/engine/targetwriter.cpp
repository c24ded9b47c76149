#include "engine/targetwriter.h"

#include "common/error.h"
#include "common/fieldwords.h"
#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "connectors/databasetarget.h"
#include "connectors/filetypes.h"
#include "engine/formatting.h"
#include "engine/headconnection.h"
#include "values/columnnumbers.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QVariant>
#include <algorithm>
#include <utility>

namespace quendra {

namespace {
// A "Zahl" or "Datum" value that a database column cannot take as such.
[[noreturn]] void throwNotA(const QString& value, const QString& field, size_t column,
                            const char* what)
{
    throw standardError(errnum::TypeMismatch,
                        QStringLiteral("Der Wert %1 des Feldes %2 ist %3 und passt nicht in "
                                       "Spalte %4 der Zieltabelle")
                            .arg(quotedValue(value), field, QString::fromUtf8(what))
                            .arg(column + 1));
}
} // namespace

QStringView textQualifier(const TrgHead& head, const trgBodyRec& field)
{
    return field.fieldtype == fieldword::Text ? QStringView(head.textsign) : QStringView();
}

TargetWriter::TargetWriter(const TrgHead& head, const std::vector<trgBodyRec>& fields)
    : m_head(head)
{
    m_kinds.reserve(fields.size());
    for (const trgBodyRec& f : fields) {
        m_names.push_back(f.field.trimmed());
        m_qualifiers.push_back(textQualifier(head, f));
        if (f.fieldtype == fieldword::Text)
            m_kinds.push_back(Kind::Text);
        else if (f.fieldtype == fieldword::Zahl)
            m_kinds.push_back(Kind::Number);
        else if (f.fieldtype == fieldword::Datum)
            m_kinds.push_back(Kind::Date);
        else
            m_kinds.push_back(Kind::Other);
    }
}

TargetWriter::~TargetWriter() = default;

void TargetWriter::checkUsable() const
{
    const Medium medium = m_head.frommedium;
    checkMedium(medium, HeadSide::Target);
    checkFileType(medium, m_head.filetype);
    if (m_head.path.trimmed().isEmpty())
        throw standardError(errnum::PathNotFound,
                            QStringLiteral("Für das Ziel ist kein Pfad angegeben"));
    if (medium == Medium::TextFile && !m_head.textsign.isEmpty() &&
        m_head.textsign == m_head.delimiter)
        throw standardError(errnum::InvalidProcedureCall,
                            QStringLiteral("Der Textbegrenzer „%1“ des Ziels ist zugleich sein "
                                           "Trennzeichen: kein Leser könnte die Felder wieder "
                                           "trennen")
                                .arg(m_head.textsign));
}

void TargetWriter::setOutput(TargetOutput output)
{
    if (output == TargetOutput::AllOrNothing && m_head.frommedium != Medium::TextFile &&
        !takesWholeRun(m_head))
        throw Error(errnum::Unsupported, {},
                    QStringLiteral("Der Dateityp „%1“ kann nicht ganz oder gar nicht geschrieben "
                                   "werden: seine Zeilen gehen einzeln in die Dateien. Bitte "
                                   "ohne „Alles oder nichts“ ausführen, oder als Ziel eine "
                                   "Textdatei, eine SQLite-Datenbank (Dateityp „MS Access“) "
                                   "oder eine ODBC-Datenquelle wählen.")
                        .arg(m_head.filetype));
    m_output = output == TargetOutput::Write && writesWholeFile(m_head.frommedium, m_head.filetype)
                   ? TargetOutput::AllOrNothing
                   : output;
}

void TargetWriter::holdBack()
{
    m_holdBack = isText() && m_output == TargetOutput::Write;
}

qint64 TargetWriter::heldBytes() const
{
    return m_holdBack && m_file ? m_file->heldBytes() : 0;
}

void TargetWriter::letGo()
{
    if (m_holdBack && m_file)
        m_file->letGo();
    m_holdBack = false;
}

QByteArray TargetWriter::takeOutput()
{
    if (m_file)
        return m_file->takeWritten();
    return std::exchange(m_memory, {});
}

void TargetWriter::ensureOpen()
{
    // The head does not change during a run, so an open target stays the right one.
    if (m_open)
        return;
    const Medium medium = m_head.frommedium;
    checkUsable();
    if (medium == Medium::TextFile) {
        m_file =
            openTextTarget(m_head, m_output == TargetOutput::Memory         ? LineTarget::Memory
                                   : m_output == TargetOutput::AllOrNothing ? LineTarget::Replace
                                   : m_holdBack                             ? LineTarget::Held
                                                                            : LineTarget::Truncate);
        m_file->planValues(m_qualifiers);
    } else if (m_output != TargetOutput::Memory) {
        m_database = openDatabaseTarget(m_head, QStringList(m_names.begin(), m_names.end()),
                                        m_output == TargetOutput::AllOrNothing);
    }
    m_open = true;
}

void TargetWriter::write(const std::vector<QString>& values, const RegionalSettings& regional,
                         qint64 record, qsizetype* field)
{
    qsizetype ignored = -1;
    ensureOpen();
    if (m_file)
        writeText(values, record);
    else if (m_database)
        writeDatabase(values, regional, record, field ? field : &ignored);
    else
        describeDatabase(values, regional, field ? field : &ignored);
    ++m_records;
}

// A value holding its qualifier ends its quotes early; one without a qualifier that
// holds the delimiter becomes two columns: the receiving side would read other values.
// The file looks for them as it writes the values.
void TargetWriter::refuseSplitValue(size_t field, const QString& value) const
{
    const QStringView qualifier = m_qualifiers[field];
    const QStringView mark = qualifier.isEmpty() ? QStringView(m_head.delimiter) : qualifier;
    throw standardError(errnum::InvalidProcedureCall,
                        QStringLiteral("Der Wert %1 des Feldes %2 enthält %3 „%4“ des Ziels: "
                                       "das Zielsystem läse die Felder falsch")
                            .arg(quotedValue(value), m_names[field],
                                 qualifier.isEmpty() ? QStringLiteral("das Trennzeichen")
                                                     : QStringLiteral("den Textbegrenzer"),
                                 mark.toString()));
}

void TargetWriter::writeText(const std::vector<QString>& values, qint64 record)
{
    const qint64 replacedBefore = m_file->replaced().characters;
    const qsizetype split = m_file->setValues(values);
    if (split >= 0)
        refuseSplitValue(size_t(split), values[size_t(split)]);
    m_file->update();
    noteReplaced(replacedBefore, record);
}

// The source record of the first character written as "?".
void TargetWriter::noteReplaced(qint64 before, qint64 record)
{
    const ReplacedCharacters* r = replaced();
    if (r && r->characters != before && m_firstReplacedRecord == 0)
        m_firstReplacedRecord = record;
}

const ReplacedCharacters* TargetWriter::replaced() const
{
    if (m_file)
        return &m_file->replaced();
    return m_database ? m_database->replaced() : nullptr;
}

QString TargetWriter::note() const
{
    return m_database ? m_database->note() : QString();
}

QString TargetWriter::replacementWarning() const
{
    const ReplacedCharacters* r = replaced();
    if (!r || r->characters == 0)
        return {};
    const auto firstValue = size_t(r->firstValue);
    return QStringLiteral("%1 Zeichen in %2 %3 gibt es in Codepage %4 nicht; sie wurden als "
                          "„?“ geschrieben. Zuerst: Datensatz %5, Feld %6, „%7“.")
        .arg(r->characters)
        .arg(r->lines)
        .arg(r->lines == 1 ? QStringLiteral("Datensatz") : QStringLiteral("Datensätzen"),
             m_file ? m_file->codePageName() : m_database->codePageName())
        .arg(m_firstReplacedRecord > 0 ? m_firstReplacedRecord : r->firstLine)
        .arg(firstValue < m_names.size() ? m_names[firstValue] : QString(), r->firstCharacter);
}

// The number itself, not a double near it: the column decides what it can keep.
DecimalNumber TargetWriter::number(size_t i, const QString& value,
                                   const RegionalSettings& regional) const
{
    DecimalNumber n;
    if (!parseNumber(value, regional, n))
        throwNotA(value, m_names[i], i, "keine Zahl");
    return n;
}

QVariant TargetWriter::boundValue(size_t i, const QString& value,
                                  const RegionalSettings& regional) const
{
    if (m_kinds[i] == Kind::Number && !value.isEmpty())
        return QVariant::fromValue(WrittenNumber{number(i, value, regional), value});
    if (m_kinds[i] == Kind::Date && !value.isEmpty()) {
        QDate d;
        if (!parseDate(value, regional, d))
            throwNotA(value, m_names[i], i, "kein Datum");
        return d;
    }
    if (m_kinds[i] == Kind::Number || m_kinds[i] == Kind::Date)
        return {};
    return value.isNull() ? QStringLiteral("") : value;
}

void TargetWriter::writeDatabase(const std::vector<QString>& values,
                                 const RegionalSettings& regional, qint64 record, qsizetype* field)
{
    static const QString EmptyText = QStringLiteral(""); // a value, not NULL
    DatabaseRecord& rows = *m_database;
    const qint64 replacedBefore = rows.replaced() ? rows.replaced()->characters : 0;
    rows.AddNew();
    for (size_t i = 0; i < values.size(); ++i) {
        *field = qsizetype(i);
        try {
            if (m_kinds[i] == Kind::Number && !values[i].isEmpty())
                rows.setNumber(int(i), number(i, values[i], regional), values[i]);
            else if (m_kinds[i] == Kind::Text || m_kinds[i] == Kind::Other)
                rows.setText(int(i), values[i].isNull() ? EmptyText : values[i]);
            else
                rows.setItem(int(i), boundValue(i, values[i], regional));
        } catch (const Error& e) {
            if (e.number() != errnum::ItemNotFound)
                throw;
            // The table has no column for this field: name the field, not only its place.
            throw Error(e.number(), e.source(),
                        e.description() + QStringLiteral(" (Zielfeld „%1“: die Zieltabelle hat "
                                                         "keine Spalte an dieser Stelle)")
                                              .arg(m_names[i]));
        }
    }
    *field = -1;
    m_heldRecords.push_back(record);
    ++m_rowsHanded;
    rows.update();
    noteReplaced(replacedBefore, record);
    const qint64 received = rows.rowsReceived();
    const auto held = size_t(std::max<qint64>(m_rowsHanded - std::max<qint64>(received, 0), 0));
    while (m_heldRecords.size() > held)
        m_heldRecords.pop_front();
}

void TargetWriter::completeAfterFailure(Error& error, qint64& record)
{
    if (!m_database)
        return;
    DatabaseRecord& rows = *m_database;
    // All or nothing: the rows are taken back when the target is released.
    const bool keeps = m_output != TargetOutput::AllOrNothing;
    try {
        if (keeps)
            rows.close();
    } catch (...) {
        error = currentError();
    }
    const qint64 failed = rows.failedRow();
    const qint64 firstHeld = m_rowsHanded - qint64(m_heldRecords.size()) + 1;
    if (failed >= firstHeld && failed <= m_rowsHanded)
        record = m_heldRecords[size_t(failed - firstHeld)];
    const qint64 received = rows.rowsReceived();
    if (received >= 0 && keeps) {
        m_records = received;
        error = Error(
            error.number(), error.source(),
            error.description() +
                QStringLiteral("\nDatensätze dieses Laufs in der Zieltabelle: %1.").arg(received),
            error.helpFile(), error.helpContext());
    }
}

void TargetWriter::describeDatabase(const std::vector<QString>& values,
                                    const RegionalSettings& regional, qsizetype* field)
{
    QString line;
    for (size_t i = 0; i < values.size(); ++i) {
        *field = qsizetype(i);
        const QVariant v = boundValue(i, values[i], regional);
        if (i > 0)
            line += QStringLiteral("; ");
        line += m_names[i] + QStringLiteral(" = ");
        if (v.isNull())
            line += QStringLiteral("NULL");
        else if (v.metaType() == QMetaType::fromType<WrittenNumber>())
            line += decimalText(v.value<WrittenNumber>().number);
        else if (v.typeId() == QMetaType::QDate)
            line += isoDateText(v.toDate());
        else
            line += QLatin1Char('\'') +
                    v.toString().replace(QLatin1Char('\''), QStringLiteral("''")) +
                    QLatin1Char('\'');
    }
    *field = -1;
    m_memory += line.toUtf8() + '\n';
}

void TargetWriter::writeLine(const QString& line)
{
    if (!m_file)
        return;
    m_file->setValue(line);
    m_file->update();
}

void TargetWriter::close()
{
    if (m_file)
        m_file->close();
    if (m_database)
        m_database->close();
}

void TargetWriter::release()
{
    m_open = false;
    m_holdBack = false;
    m_records = 0;
    m_file.reset();
    m_database.reset();
}

TargetPlace targetPlace(const TrgHead& head)
{
    const QString table =
        head.dbtable.isEmpty() ? QString() : QStringLiteral(", Tabelle %1").arg(head.dbtable);
    if (head.frommedium == Medium::OdbcSource) {
        // "LAGER", "LAGER;Fetch=1000" or "DSN=LAGER;UID=…": the data source's name only.
        QString name = head.path.section(QLatin1Char(';'), 0, 0).trimmed();
        if (name.startsWith(QLatin1StringView("dsn="), Qt::CaseInsensitive))
            name = name.mid(4);
        if (name.contains(QLatin1Char('=')))
            name.clear();
        return {QStringLiteral("ODBC-Datenquelle %1").arg(name).trimmed() + table, {}};
    }
    if (head.path.trimmed().isEmpty() ||
        (head.frommedium != Medium::TextFile && head.frommedium != Medium::DatabaseFile))
        return {};
    if (head.frommedium == Medium::TextFile) {
        const QFileInfo info(head.path);
        return {QDir::toNativeSeparators(info.absoluteFilePath()), info.absolutePath()};
    }
    // A folder of table files shows the table's file, a database file its table; a
    // type whose path is no file (a server's data source) shows the path as it is.
    const QString file = databaseDataFile(head.path, head.filetype, head.dbtable);
    const QFileInfo info(file.isEmpty() ? head.path : file);
    if (!info.exists())
        return {head.path + table, {}};
    const QString shown = QDir::toNativeSeparators(info.absoluteFilePath());
    return {file == head.path || file.isEmpty() ? shown + table : shown,
            info.isDir() ? info.absoluteFilePath() : info.absolutePath()};
}

} // namespace quendra
