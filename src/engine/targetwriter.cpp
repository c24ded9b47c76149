#include "engine/targetwriter.h"

#include "common/error.h"
#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "connectors/filetypes.h"
#include "engine/formatting.h"
#include "values/numbers.h"

#include <QDate>
#include <QLocale>
#include <QVariant>
#include <utility>

namespace quendra {

namespace {
// A "Zahl" value for a database column: a decimal number read by the regional rules.
QVariant databaseNumber(const QString& value, const RegionalSettings& regional)
{
    double n = 0;
    if (!parseNumber(value, regional, n))
        throw standardError(errnum::TypeMismatch,
                            quotedValue(value) + QStringLiteral(" ist keine Zahl"));
    return n;
}

// A "Datum" value for a database column, read by the regional date order.
QVariant databaseDate(const QString& value, const RegionalSettings& regional)
{
    QDate d;
    if (!parseDate(value, regional, d))
        throw standardError(errnum::TypeMismatch,
                            quotedValue(value) + QStringLiteral(" ist kein Datum"));
    return d;
}
} // namespace

TargetWriter::TargetWriter(const TrgHead& head, const std::vector<trgBodyRec>& fields)
    : m_head(head)
{
    m_kinds.reserve(fields.size());
    for (const trgBodyRec& f : fields) {
        m_names.push_back(f.field.trimmed());
        m_qualifiers.push_back(f.fieldtype == QLatin1StringView("Text") ? QStringView(head.textsign)
                                                                        : QStringView());
        if (f.fieldtype == QLatin1StringView("Text"))
            m_kinds.push_back(Kind::Text);
        else if (f.fieldtype == QLatin1StringView("Zahl"))
            m_kinds.push_back(Kind::Number);
        else if (f.fieldtype == QLatin1StringView("Datum"))
            m_kinds.push_back(Kind::Date);
        else
            m_kinds.push_back(Kind::Other);
    }
}

TargetWriter::~TargetWriter() = default;

void TargetWriter::checkUsable() const
{
    const qint16 medium = m_head.frommedium;
    if (medium < 0 || medium > 2)
        throw standardError(errnum::InvalidProcedureCall,
                            QStringLiteral("Das Zielmedium %1 ist unbekannt (0 Textdatei, "
                                           "1 ODBC-Datenquelle, 2 Datenbankdatei)")
                                .arg(medium));
    if (m_head.path.trimmed().isEmpty())
        throw standardError(errnum::PathNotFound,
                            QStringLiteral("Für das Ziel ist kein Pfad angegeben"));
}

void TargetWriter::setOutput(TargetOutput output)
{
    if (output == TargetOutput::AllOrNothing && m_head.frommedium != 0 &&
        !canWriteInOneTransaction(
            getADOProvider(m_head.frommedium, m_head.path, m_head.filetype, false)))
        throw Error(errnum::Unsupported, {},
                    QStringLiteral("Der Dateityp „%1“ kann nicht ganz oder gar nicht geschrieben "
                                   "werden: seine Zeilen gehen einzeln in die Dateien. Bitte "
                                   "ohne „Alles oder nichts“ ausführen, oder als Ziel eine "
                                   "Textdatei, eine SQLite-Datenbank (Dateityp „MS Access“) "
                                   "oder eine ODBC-Datenquelle wählen.")
                        .arg(m_head.filetype));
    m_output = output;
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
    const qint16 medium = m_head.frommedium;
    checkUsable();
    if (medium == 0) {
        m_file = std::make_unique<clsFSConnect>();
        m_open = true;
        m_file->initWriting(m_head.path,
                            m_output == TargetOutput::Memory         ? LineTarget::Memory
                            : m_output == TargetOutput::AllOrNothing ? LineTarget::Replace
                                                                     : LineTarget::Truncate,
                            m_head.delimiter);
        m_file->setEncoding(m_head.encoding);
    } else if (m_output == TargetOutput::Memory) {
        m_open = true;
    } else {
        m_database = std::make_unique<clsADOConnect>();
        m_open = true;
        m_database->setSource(getADOProvider(medium, m_head.path, m_head.filetype, false));
        if (!m_head.dbtable.isEmpty())
            m_database->setTable(m_head.dbtable);
        if (m_output == TargetOutput::AllOrNothing)
            m_database->keepOneTransaction();
        m_database->init();
    }
}

void TargetWriter::write(const std::vector<QString>& values, const RegionalSettings& regional)
{
    ensureOpen();
    if (m_file)
        writeText(values);
    else if (m_database)
        writeDatabase(values, regional);
    else
        describeDatabase(values, regional);
}

void TargetWriter::writeText(const std::vector<QString>& values)
{
    m_file->setValues(values, m_qualifiers);
    m_file->update();
}

QVariant TargetWriter::boundValue(size_t i, const QString& value,
                                  const RegionalSettings& regional) const
{
    if (m_kinds[i] == Kind::Number)
        return value.isEmpty() ? QVariant() : databaseNumber(value, regional);
    if (m_kinds[i] == Kind::Date)
        return value.isEmpty() ? QVariant() : databaseDate(value, regional);
    return value.isNull() ? QStringLiteral("") : value;
}

void TargetWriter::writeDatabase(const std::vector<QString>& values,
                                 const RegionalSettings& regional)
{
    DatabaseRecord& record = m_database->record();
    record.AddNew();
    for (size_t i = 0; i < values.size(); ++i)
        record.setItem(int(i), boundValue(i, values[i], regional));
    record.update();
}

void TargetWriter::describeDatabase(const std::vector<QString>& values,
                                    const RegionalSettings& regional)
{
    QString line;
    for (size_t i = 0; i < values.size(); ++i) {
        const QVariant v = boundValue(i, values[i], regional);
        if (i > 0)
            line += QStringLiteral("; ");
        line += m_names[i] + QStringLiteral(" = ");
        if (v.isNull())
            line += QStringLiteral("NULL");
        else if (v.typeId() == QMetaType::Double)
            line += QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
        else if (v.typeId() == QMetaType::QDate)
            line += v.toDate().toString(Qt::ISODate);
        else
            line += QLatin1Char('\'') +
                    v.toString().replace(QLatin1Char('\''), QStringLiteral("''")) +
                    QLatin1Char('\'');
    }
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
        m_database->record().close();
}

void TargetWriter::release()
{
    m_open = false;
    m_file.reset();
    m_database.reset();
}

} // namespace quendra
