#include "engine/targetwriter.h"

#include "common/error.h"
#include "common/functions.h"
#include "connectors/clsadoconnect.h"
#include "connectors/clsfsconnect.h"
#include "engine/formatting.h"
#include "engine/numbers.h"

#include <QDate>
#include <QVariant>

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
        m_file->init(m_head.path, 0, m_head.delimiter);
        m_file->setEncoding(m_head.encoding);
    } else {
        m_database = std::make_unique<clsADOConnect>();
        m_open = true;
        m_database->setSource(getADOProvider(medium, m_head.path, m_head.filetype, false));
        if (!m_head.dbtable.isEmpty())
            m_database->setTable(m_head.dbtable);
        m_database->init();
    }
}

void TargetWriter::write(const std::vector<QString>& values, const RegionalSettings& regional)
{
    ensureOpen();
    if (m_file)
        writeText(values);
    else
        writeDatabase(values, regional);
}

void TargetWriter::writeText(const std::vector<QString>& values)
{
    m_file->setValues(values, m_qualifiers);
    m_file->update();
}

void TargetWriter::writeDatabase(const std::vector<QString>& values,
                                 const RegionalSettings& regional)
{
    DatabaseRecord& record = m_database->record();
    record.AddNew();
    for (size_t i = 0; i < values.size(); ++i) {
        const QString& v = values[i];
        QVariant item;
        if (m_kinds[i] == Kind::Number) {
            if (!v.isEmpty())
                item = databaseNumber(v, regional);
        } else if (m_kinds[i] == Kind::Date) {
            if (!v.isEmpty())
                item = databaseDate(v, regional);
        } else {
            item = v.isNull() ? QStringLiteral("") : v;
        }
        record.setItem(int(i), item);
    }
    record.update();
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
