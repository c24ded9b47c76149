// Appending to a Paradox table by writing a complete new copy of it (see paradoxfile.cpp
// for why): the copy grows with every row and replaces the table when the row set ends.
#include "connectors/backends/filetypes.h"

#include "common/error.h"
#include "connectors/backends/paradoxfile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtDebug>

#include <cmath>
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

QTime timeFromVariant(const QVariant& value)
{
    if (value.typeId() == QMetaType::QTime || value.typeId() == QMetaType::QDateTime)
        return value.toTime();
    const QString text = value.toString().trimmed();
    for (const char* pattern : {"HH:mm:ss", "H:mm:ss", "HH:mm", "H:mm"}) {
        const QTime time = QTime::fromString(text, QString::fromLatin1(pattern));
        if (time.isValid())
            return time;
    }
    throw standardError(errnum::TypeMismatch, quotedValue(text));
}

class ParadoxRecord : public AppendedRow {
public:
    explicit ParadoxRecord(const QString& path) : AppendedRow("ParadoxFile.setItem"), m_path(path)
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
            qWarning().noquote() << QStringLiteral("Quendra:") << e.description();
        }
        if (!m_tempPath.isEmpty())
            QFile::remove(m_tempPath);
    }

    int fieldsCount() const override { return int(m_source.fields().size()); }
    void close() override { commit(); }

    void update() override
    {
        trapped("ParadoxFile.Update", [&] {
            requireRow();
            if (m_broken)
                throw Error(errnum::PathFileAccess, {},
                            QStringLiteral("Die Paradox-Tabelle %1 wird nicht mehr geschrieben.")
                                .arg(QDir::toNativeSeparators(m_path)));
            if (!m_copy)
                startCopy();
            QByteArray record(m_copy->recordSize(), '\0');
            for (size_t i = 0; i < values().size(); ++i)
                putValue(record, m_source.fields()[i], values()[i]);
            try {
                m_copy->putRecord(record);
            } catch (...) {
                m_broken = true;
                throw;
            }
            ++m_added;
            rowWritten();
        });
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

    void putValue(QByteArray& record, const PxField& field, const QVariant& value)
    {
        char* data = record.data() + field.offset;
        pxdoc_t* doc = m_copy->handle();
        if (field.type == pxfAlpha) {
            const QByteArray bytes = encodeText(m_source.codec(), textFromVariant(value));
            if (bytes.size() > field.length)
                throwTooLarge(field, value);
            std::memcpy(data, bytes.constData(), size_t(bytes.size()));
            return;
        }
        if (field.type == pxfAutoInc && value.isNull()) {
            PX_put_data_long(doc, data, field.length, int(m_nextAutoInc++));
            return;
        }
        if (value.isNull() ||
            (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty()))
            return; // all zeros: NULL
        switch (field.type) {
        case pxfShort:
        case pxfLong:
        case pxfAutoInc: {
            const double number = std::round(*numberFromVariant(value));
            const double limit = field.type == pxfShort ? 32767.0 : 2147483647.0;
            if (std::fabs(number) > limit)
                throwTooLarge(field, value);
            if (field.type == pxfShort)
                PX_put_data_short(doc, data, field.length, short(number));
            else
                PX_put_data_long(doc, data, field.length, int(number));
            break;
        }
        case pxfNumber:
        case pxfCurrency:
            PX_put_data_double(doc, data, field.length, *numberFromVariant(value));
            break;
        case pxfDate:
            PX_put_data_long(doc, data, field.length, int(daysOf(*dateFromVariant(value))));
            break;
        case pxfTime:
            PX_put_data_long(doc, data, field.length,
                             timeFromVariant(value).msecsSinceStartOfDay());
            break;
        case pxfTimestamp: {
            const QTime time =
                value.typeId() == QMetaType::QDateTime ? value.toTime() : QTime(0, 0);
            PX_put_data_double(doc, data, field.length,
                               double(daysOf(*dateFromVariant(value))) * kMsPerDay +
                                   time.msecsSinceStartOfDay());
            break;
        }
        case pxfLogical:
            PX_put_data_byte(doc, data, field.length, *booleanFromVariant(value) ? 1 : 0);
            break;
        default:
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("In die Paradox-Spalte %1 kann Quendra nicht schreiben.")
                            .arg(field.name));
        }
    }

    // Puts the finished copy in place of the table, after reading it back once.
    void commit()
    {
        if (!m_copy || m_broken || m_added == 0)
            return;
        m_copy->close();
        m_copy.reset();
        {
            PxDocument check;
            check.open(m_tempPath);
            if (check.recordCount() != m_source.recordCount() + m_added)
                throw Error(errnum::PathFileAccess, {},
                            QStringLiteral("Die neue Fassung der Paradox-Tabelle %1 ist "
                                           "unvollständig; die Tabelle bleibt unverändert.")
                                .arg(QDir::toNativeSeparators(m_path)));
        }
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

class ParadoxWriter : public FileTypeWriter {
public:
    std::unique_ptr<DatabaseRecord> openTable(const DataSourceLocation& location,
                                              const QString& table) override
    {
        return trapped("ParadoxFile.openTable", [&]() -> std::unique_ptr<DatabaseRecord> {
            const QFileInfo source(location.dataSource);
            QString path;
            if (source.isFile()) {
                if (table.isEmpty() ||
                    source.completeBaseName().compare(table, Qt::CaseInsensitive) == 0 ||
                    source.fileName().compare(table, Qt::CaseInsensitive) == 0)
                    path = source.filePath();
            } else if (source.isDir()) {
                path = findTableFile(location.dataSource, table, {QStringLiteral("db")});
            } else {
                throw standardError(errnum::PathNotFound, location.dataSource);
            }
            if (path.isEmpty())
                throw Error(errnum::FileNotFound, {},
                            QStringLiteral("Die Paradox-Tabelle %1 gibt es in %2 nicht. Legen "
                                           "Sie die Zieltabelle mit ihren Spalten an.")
                                .arg(table, QDir::toNativeSeparators(location.dataSource)));
            return std::make_unique<ParadoxRecord>(path);
        });
    }
};

} // namespace

std::unique_ptr<FileTypeWriter> makeParadoxWriter()
{
    return std::make_unique<ParadoxWriter>();
}

} // namespace quendra
