// Appending to a Paradox table by writing a complete new copy of it (see paradoxfile.cpp
// for why): the copy grows with every row and replaces the table when the row set ends.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/appendedrow.h"
#include "connectors/backends/paradoxfile.h"
#include "connectors/backends/tablefolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtDebug>

#include <cstdio>
#include <cstring>

namespace quendra {

namespace {

constexpr long kSdnOffset = 1721425;
constexpr double kMsPerDay = 86400000.0;

[[noreturn]] void throwTooLarge(const PxField& field, const QVariant& value)
{
    throw Error(errnum::Overflow, {},
                QStringLiteral("Der Wert %1 passt nicht in die Spalte %2.")
                    .arg(quotedValue(value.toString()), field.name));
}

long daysOf(const QDate& date)
{
    return PX_GregorianToSdn(date.year(), date.month(), date.day()) - kSdnOffset;
}

class ParadoxRecord : public AppendedRow {
public:
    explicit ParadoxRecord(const QString& path) : AppendedRow("ParadoxFile"), m_path(path)
    {
        m_source.open(path);
        const QFileInfo file(path);
        const bool hasIndex =
            !QDir(file.path())
                 .entryList({file.completeBaseName() + QStringLiteral(".px")}, QDir::Files)
                 .isEmpty();
        if (m_source.primaryKeyFields() > 0 || hasIndex)
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("Die Paradox-Tabelle %1 hat einen Primärschlüssel; an "
                                       "solche Tabellen kann Quendra keine Zeilen anhängen.")
                            .arg(QDir::toNativeSeparators(path)));
    }

    ~ParadoxRecord() override
    {
        try {
            commit();
        } catch (const Error& e) {
            qWarning().noquote() << e.description();
        }
        if (!m_tempPath.isEmpty())
            QFile::remove(m_tempPath);
    }

    int fieldsCount() const override { return int(m_source.fields().size()); }
    void close() override { commit(); }

protected:
    void writeRow(const std::vector<QVariant>& values) override
    {
        if (m_broken)
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("Die Paradox-Tabelle %1 wird nicht mehr geschrieben.")
                            .arg(QDir::toNativeSeparators(m_path)));
        if (!m_copy)
            startCopy();
        QByteArray record(m_copy->recordSize(), '\0');
        for (size_t i = 0; i < values.size(); ++i)
            putValue(record, m_source.fields()[i], values[i], int(i));
        try {
            m_copy->putRecord(record);
        } catch (...) {
            m_broken = true;
            throw;
        }
        ++m_added;
    }

private:
    // The new file next to the table, holding every record of the table so far.
    void startCopy()
    {
        QTemporaryFile temp(m_path + QStringLiteral(".XXXXXX.tmp"));
        temp.setAutoRemove(false);
        if (!temp.open())
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("Im Ordner der Paradox-Tabelle %1 kann keine Datei "
                                       "angelegt werden.")
                            .arg(QDir::toNativeSeparators(m_path)));
        m_tempPath = temp.fileName();
        temp.close();
        m_copy = std::make_unique<PxDocument>();
        m_copy->create(m_tempPath, m_source);
        try {
            for (int i = 0; i < m_source.recordCount(); ++i) {
                const QByteArray record = m_source.record(i);
                noteAutoIncrement(record);
                m_copy->putRecord(record);
            }
        } catch (...) {
            m_broken = true;
            throw;
        }
    }

    void noteAutoIncrement(const QByteArray& record)
    {
        for (const PxField& field : m_source.fields()) {
            if (field.type == pxfAutoInc) {
                const QVariant value = m_source.value(record, field);
                if (!value.isNull())
                    m_nextAutoInc = std::max(m_nextAutoInc, value.toLongLong() + 1);
            }
        }
    }

    static ColumnType columnType(char type)
    {
        switch (type) {
        case pxfShort: // the lowest value of each marks NULL
            return {ValueKind::Number, NumberColumn::whole(-32767, 32767)};
        case pxfLong:
        case pxfAutoInc:
            return {ValueKind::Number, NumberColumn::whole(-2147483647, 2147483647)};
        case pxfNumber:
        case pxfCurrency:
            return {ValueKind::Number, NumberColumn::binary()};
        case pxfDate:
            return {ValueKind::Date, {}};
        case pxfTime:
            return {ValueKind::Time, {}};
        case pxfTimestamp:
            return {ValueKind::DateTime, {}};
        case pxfLogical:
            return {ValueKind::Boolean, {}};
        default:
            return {ValueKind::Text, {}};
        }
    }

    void putValue(QByteArray& record, const PxField& field, const QVariant& value, int ordinal)
    {
        char* data = record.data() + field.offset;
        pxdoc_t* doc = m_copy->handle();
        const bool blank = value.isNull() || (value.typeId() == QMetaType::QString &&
                                              value.toString().trimmed().isEmpty());
        const ColumnType type = columnType(field.type);
        if (field.type != pxfAlpha && type.kind == ValueKind::Text && !blank)
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("In die Paradox-Spalte %1 kann Quendra nicht schreiben.")
                            .arg(field.name));
        const QVariant typed = rules().forColumn(value, type, field.name);
        if (field.type == pxfAlpha) {
            const QByteArray bytes = encodeText(m_source.codec(), typed.toString(), ordinal);
            if (bytes.size() > field.length)
                throwTooLarge(field, value);
            std::memcpy(data, bytes.constData(), size_t(bytes.size()));
            return;
        }
        if (field.type == pxfAutoInc && typed.isNull()) {
            PX_put_data_long(doc, data, field.length, int(m_nextAutoInc++));
            return;
        }
        if (typed.isNull() || type.kind == ValueKind::Text)
            return; // all zeros: NULL
        switch (field.type) {
        case pxfShort:
        case pxfLong:
        case pxfAutoInc: {
            const qlonglong number = typed.toLongLong();
            if (field.type == pxfShort)
                PX_put_data_short(doc, data, field.length, short(number));
            else
                PX_put_data_long(doc, data, field.length, int(number));
            break;
        }
        case pxfNumber:
        case pxfCurrency:
            PX_put_data_double(doc, data, field.length, typed.toDouble());
            break;
        case pxfDate:
            PX_put_data_long(doc, data, field.length, int(daysOf(typed.toDate())));
            break;
        case pxfTime:
            PX_put_data_long(doc, data, field.length, typed.toTime().msecsSinceStartOfDay());
            break;
        case pxfTimestamp: {
            const QDateTime stamp = typed.toDateTime();
            PX_put_data_double(doc, data, field.length,
                               double(daysOf(stamp.date())) * kMsPerDay +
                                   stamp.time().msecsSinceStartOfDay());
            break;
        }
        case pxfLogical:
            PX_put_data_byte(doc, data, field.length, typed.toBool() ? 1 : 0);
            break;
        }
    }

    // Puts the finished copy in place of the table, after reading it back once.
    void commit()
    {
        if (!m_copy || m_broken || m_added == 0)
            return;
        m_copy->close();
        m_copy.reset();
        // A copy cut short (a full disk) may not even open: either way the table stays.
        bool whole = false;
        try {
            PxDocument check;
            check.open(m_tempPath);
            whole = check.recordCount() == m_source.recordCount() + m_added;
        } catch (const Error&) {
        }
        if (!whole)
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("Die neue Fassung der Paradox-Tabelle %1 ist "
                                       "unvollständig; die Tabelle bleibt unverändert.")
                            .arg(QDir::toNativeSeparators(m_path)));
        QFile::setPermissions(m_tempPath, QFile::permissions(m_path));
        if (std::rename(QFile::encodeName(m_tempPath).constData(),
                        QFile::encodeName(m_path).constData()) != 0)
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("Die Paradox-Tabelle %1 kann nicht ersetzt werden.")
                            .arg(QDir::toNativeSeparators(m_path)));
        m_tempPath.clear();
    }

    QString m_path;
    QString m_tempPath;
    PxDocument m_source;
    std::unique_ptr<PxDocument> m_copy;
    qlonglong m_nextAutoInc = 1;
    int m_added = 0;
    bool m_broken = false;
};

} // namespace

std::unique_ptr<FileTypeWriter> makeParadoxWriter()
{
    return std::make_unique<FolderTableWriter<ParadoxRecord>>(
        "ParadoxFile.openTable",
        QStringLiteral("Die Paradox-Tabelle %1 gibt es in %2 nicht. Legen Sie die Zieltabelle "
                       "mit ihren Spalten an."));
}

} // namespace quendra
