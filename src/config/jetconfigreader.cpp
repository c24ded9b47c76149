#include "config/jetconfigreader.h"

#include "common/error.h"
#include "config/configsql.h"
#include "connectors/backends/mdbreading.h"
#include "connectors/backends/valueconversion.h"

#include <QDir>
#include <QFile>
#include <algorithm>

namespace quendra {

namespace {

// Page 0 of a Jet 3/4 or ACE file: a page type of 0 and the format's name.
bool hasJetHeader(const QByteArray& head)
{
    return head.size() == 19 && head.startsWith(QByteArray("\x00\x01\x00\x00", 4)) &&
           (head.mid(4) == "Standard Jet DB" || head.mid(4) == "Standard ACE DB");
}

class TableReader {
public:
    TableReader(const QString& file, const LibraryMessages& messages)
        : m_file(QDir::toNativeSeparators(file)), m_messages(messages)
    {
    }

    OldTable read(MdbCatalogEntry* entry, const LayoutTable& layout) const
    {
        const QString name = QString::fromUtf8(entry->object_name);
        MdbTable table(mdb_read_table(entry));
        if (!table || !mdb_read_columns(table.get()))
            fail(name, QStringLiteral("ihre Spalten sind nicht lesbar"));
        OldTable old{layout, {}};
        const std::vector<int> places = columnPlaces(table.get(), old.layout);
        BoundColumns bound(table.get());
        while (mdb_fetch_row(table.get())) {
            const int row = int(old.rows.size()) + 1;
            const std::vector<bool> nulls = nullColumns(table.get());
            QVector<QVariant> values(old.layout.columns.size());
            for (unsigned int i = 0; i < table->num_cols; ++i) {
                auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
                const QByteArray text(bound.buffers[i].constData(), bound.lengths[i]);
                if (mayBeCut(bound.lengths[i]))
                    fail(name, QStringLiteral("der Wert der Spalte %1 in Zeile %2 füllt den "
                                              "Puffer von libmdb (%3 Bytes) und wäre gekürzt")
                                   .arg(QString::fromUtf8(column->name))
                                   .arg(row)
                                   .arg(kBindSize));
                const bool isNull = column->col_type != MDB_BOOL && nulls[i];
                const std::optional<double> floating =
                    isNull ? std::nullopt : storedFloatingPoint(entry->mdb, *column);
                if (floating && places[i] >= 0)
                    values[places[i]] = *floating;
                else if (!isNull)
                    place(values, places[i], *column, text, name, row);
                bound.lengths[i] = 0;
            }
            old.rows << values;
        }
        // libmdb passes over rows and pages it cannot read without a word.
        if (unsigned(old.rows.size()) != table->num_rows)
            fail(name, QStringLiteral("gespeichert sind %1 Zeilen, lesbar nur %2")
                           .arg(table->num_rows)
                           .arg(old.rows.size()));
        return old;
    }

    [[noreturn]] void fail(const QString& table, const QString& what) const
    {
        throw Error(errnum::PathFileAccess, {},
                    QStringLiteral("Die Tabelle %1 der alten Konfiguration %2 kann nicht "
                                   "übernommen werden: %3.")
                            .arg(table, m_file, what) +
                        m_messages.text());
    }

private:
    // For each column of the old table, the index of the layout's column of its name
    // (letter case ignored), or -1; a further column of trgconvert is added to the layout.
    static std::vector<int> columnPlaces(MdbTableDef* table, LayoutTable& layout)
    {
        std::vector<int> places;
        for (unsigned int i = 0; i < table->num_cols; ++i) {
            auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
            const QString name = QString::fromUtf8(column->name);
            int place = -1;
            for (int c = 0; c < layout.columns.size() && place < 0; ++c) {
                if (layout.columns[c].name.compare(name, Qt::CaseInsensitive) == 0)
                    place = c;
            }
            if (place < 0 && layout.name == QStringView(FurtherColumnsTable)) {
                place = int(layout.columns.size());
                layout.columns << LayoutColumn{name, LayoutColumn::Kind::Memo, 0};
            }
            places.push_back(place);
        }
        return places;
    }

    void place(QVector<QVariant>& values, int at, const MdbColumn& column, const QByteArray& text,
               const QString& table, int row) const
    {
        const QString columnName = QString::fromUtf8(column.name);
        if (at < 0)
            fail(table, QStringLiteral("die Spalte %1 gibt es in Quendras Tabelle nicht, und "
                                       "Zeile %2 hat in ihr einen Wert")
                            .arg(columnName)
                            .arg(row));
        bool ok = true;
        switch (column.col_type) {
        case MDB_BOOL:
            values[at] = text == "0" ? 0 : -1;
            break;
        case MDB_BYTE:
        case MDB_INT:
        case MDB_LONGINT:
            values[at] = text.toLongLong(&ok);
            break;
        case MDB_FLOAT:
        case MDB_DOUBLE:
        case MDB_MONEY:
        case MDB_NUMERIC: {
            double number = 0;
            ok = readPrintedNumber(text, number);
            values[at] = number;
            break;
        }
        case MDB_OLE:
        case MDB_BINARY:
            fail(table, QStringLiteral("die Spalte %1 enthält in Zeile %2 binäre Daten")
                            .arg(columnName)
                            .arg(row));
        default:
            values[at] = QString::fromUtf8(text);
        }
        if (!ok)
            fail(table, QStringLiteral("der Wert %1 der Spalte %2 in Zeile %3 ist keine Zahl")
                            .arg(quotedValue(QString::fromUtf8(text)), columnName)
                            .arg(row));
    }

    QString m_file;
    const LibraryMessages& m_messages;
};

MdbCatalogEntry* findTable(MdbHandle* mdb, const QString& name)
{
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        if (isUserTable(entry) &&
            QString::fromUtf8(entry->object_name).compare(name, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return nullptr;
}

} // namespace

bool isJetFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && hasJetHeader(file.read(19));
}

OldConfiguration readJetConfiguration(const QString& path)
{
    if (!isJetFile(path)) {
        if (!QFile::exists(path))
            throw standardError(errnum::FileNotFound, path);
        throw Error(errnum::UnrecognizedDatabase, {},
                    QStringLiteral("Die Datei %1 ist keine Access-Datenbank (Jet) und kann nicht "
                                   "als alte Konfiguration übernommen werden.")
                        .arg(QDir::toNativeSeparators(path)));
    }
    const LibraryMessages messages;
    const MdbFile mdb = openAccessFile(path, messages);
    const TableReader reader(path, messages);
    OldConfiguration old;
    for (const LayoutTable& layout : schemaTables()) {
        MdbCatalogEntry* entry = findTable(mdb.get(), layout.name);
        // libmdb lists no tables at all for a file that was cut short.
        if (!entry)
            throw Error(errnum::PathFileAccess, {},
                        QStringLiteral("In der Datei %1 fehlt die Tabelle %2: sie ist keine "
                                       "Quendra-Konfiguration oder ist beschädigt.")
                                .arg(QDir::toNativeSeparators(path), layout.name) +
                            messages.text());
        old.tables << reader.read(entry, layout);
    }
    for (unsigned int i = 0; i < mdb->num_catalog; ++i) {
        auto* entry = static_cast<MdbCatalogEntry*>(g_ptr_array_index(mdb->catalog, i));
        const QString name = QString::fromUtf8(entry->object_name);
        const bool known =
            std::any_of(old.tables.begin(), old.tables.end(), [&](const OldTable& t) {
                return t.layout.name.compare(name, Qt::CaseInsensitive) == 0;
            });
        if (isUserTable(entry) && !known)
            old.otherTables << name;
    }
    return old;
}

} // namespace quendra
