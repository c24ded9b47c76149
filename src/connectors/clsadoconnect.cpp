#include "connectors/clsadoconnect.h"

#include "common/beep.h"
#include "common/error.h"
#include "common/variantnull.h"
#include "connectors/backends/backendchoice.h"
#include "connectors/backends/providererror.h"
#include "connectors/backends/sheetgrid.h"
#include "connectors/backends/tableplaceholders.h"
#include "connectors/clsadoconnect_rowset.h"
#include "connectors/databasetarget.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace quendra {

namespace {
// Positions without a current record, as the database layer reports them. There is no
// "before the first" position: MovePrevious on the first record beeps and stays.
constexpr qint64 PositionUnknown = -1;
constexpr qint64 PositionEOF = -3;

[[noreturn]] void notOpen()
{
    throw standardError(errnum::ObjectMissing,
                        QStringLiteral("Die Datenquelle ist nicht geöffnet."));
}
} // namespace

struct clsADOConnect::Impl {
    // The row set handed out by record(): the engine writes a database target through it.
    class Record : public DatabaseRecord {
    public:
        explicit Record(Impl& d) : d(d) {}
        int fieldsCount() const override { return static_cast<int>(d.rows.columns.size()); }
        void AddNew() override { d.addNew(); }
        void setItem(int ordinal, const QVariant& value) override { d.setItem(ordinal, value); }
        void update() override { d.writePending(); }
        void close() override
        {
            if (d.writer)
                explainingProviderErrors([&] { return d.writeSentence(); },
                                         [&] { d.writer->close(); });
        }
        qint64 rowsReceived() const override { return d.writer ? d.writer->rowsReceived() : -1; }
        qint64 failedRow() const override { return d.writer ? d.writer->failedRow() : 0; }
        const ReplacedCharacters* replaced() const override
        {
            return d.writer ? d.writer->replaced() : nullptr;
        }
        QString codePageName() const override
        {
            return d.writer ? d.writer->codePageName() : QString();
        }

    private:
        Impl& d;
    };

    DatabaseConnection source;
    QString table;
    QString sql;

    std::unique_ptr<Backend> backend; // declared before everything that queries it
    RowSet rows;
    qint64 pos = -1; // 0..size-1 current record, -1 before the first, size after the last
    bool forwardOnly = false;
    std::unique_ptr<RowSource> stream;       // a forward-only row set: rows holds the current row
    std::function<QString()> streamSentence; // what a failure of the stream is explained by
    qint64 passed = 0;                       // rows of the stream before the current one
    QString query;                           // the text the row set was opened on, for Requery
    RowSetModel* model = nullptr;            // child of the connector, made on first request

    RegionalText text;
    qint64 textRow = -1; // the row whose values texts holds, converted once per move
    std::vector<QString> texts;
    std::vector<QStringView> views; // the current record's values, for currentLine

    Record record{*this};
    std::unique_ptr<DatabaseRecord> writer; // opened at the first AddNew
    bool adding = false;
    QList<QVariant> pending; // the row being added, for the snapshot

    qint64 size() const { return rows.size(); }
    bool open() const { return backend || stream; }
    void requireOpen() const
    {
        if (!open())
            notOpen();
    }
    void requireCurrent() const
    {
        requireOpen();
        if (pos < 0 || pos >= size())
            throw standardError(errnum::NoCurrentRecord);
    }

    // The text of field index (at least 0) of the current row.
    QStringView fieldText(int index)
    {
        const QList<QVariant>& row = rows.rows[static_cast<size_t>(pos)];
        if (index >= row.size()) // a sheet's row ends at its last cell
            return QStringView();
        // A text is its own text; the other values are converted once per move, the
        // whole row at a time, into texts reused from move to move.
        const QVariant& value = row[index];
        if (value.typeId() == QMetaType::QString && !isNullValue(value))
            return *static_cast<const QString*>(value.constData());
        if (textRow != pos) {
            texts.resize(std::max(texts.size(), size_t(row.size())));
            for (qsizetype i = 0; i < row.size(); ++i) {
                if (row[i].typeId() != QMetaType::QString || isNullValue(row[i]))
                    text.toText(row[i], texts[static_cast<size_t>(i)]);
            }
            textRow = pos;
        }
        return texts[static_cast<size_t>(index)];
    }

    void openStream(const QString& queryText, bool byTable)
    {
        startStream(
            explainingProviderErrors(
                [&] { return readSentence(byTable); },
                [&] { return std::make_unique<RowStream>(*backend, queryText); }),
            [this, byTable] { return readSentence(byTable); }, queryText);
    }
    void startStream(std::unique_ptr<RowSource> source, std::function<QString()> sentence,
                     const QString& queryText)
    {
        stream = std::move(source);
        streamSentence = std::move(sentence);
        passed = 0;
        RowSet first;
        first.columns = stream->columns();
        QList<QVariant> row;
        if (nextRow(row))
            first.rows.push_back(std::move(row));
        replaceRows(std::move(first), queryText);
    }
    bool nextRow(QList<QVariant>& row)
    {
        return explainingProviderErrors(streamSentence, [&] { return stream->next(row); });
    }
    void advanceStream()
    {
        if (nextRow(rows.rows.front())) {
            ++passed;
            textRow = -1;
        } else {
            pos = size();
        }
    }
    void requireBackward() const
    {
        if (stream)
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("Die Datensätze dieser Quelle werden nur vorwärts "
                                       "gelesen."));
    }

    void replaceRows(RowSet fresh, const QString& queryText)
    {
        if (model)
            model->beginChange();
        rows = std::move(fresh);
        query = queryText;
        pos = rows.rows.empty() ? -1 : 0;
        textRow = -1;
        texts.assign(static_cast<size_t>(rows.columns.size()), QString());
        if (model)
            model->endChange();
    }

    // A sheet read straight from its file has no database behind it to query or change.
    void requireBackend() const
    {
        requireOpen();
        if (!backend)
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("Die Datensätze dieser Quelle werden nur einmal vorwärts "
                                       "gelesen."));
    }

    QString resolve(const QString& text)
    {
        requireBackend();
        return resolveTablePlaceholders(text, [this] { return backend->tables(); });
    }

    // The table that writing and deleting address: the stored table, placeholders resolved.
    QString tableToChange()
    {
        requireOpen();
        if (table.trimmed().isEmpty()) {
            throw Error(errnum::Unsupported, {},
                        QStringLiteral("Zum Schreiben oder Löschen muss die Tabelle angegeben "
                                       "sein, nicht nur eine SQL-Abfrage."));
        }
        return resolve(table);
    }

    DatabaseRecord& openWriter()
    {
        if (!writer) {
            const QString target = tableToChange(); // checks that the connector is open
            writer = openTableWriter(*backend, target, table, sourceName(), false);
        }
        return *writer;
    }

    // What the data source is called in a message: the data source name or the file.
    QString sourceName() const { return source.name(); }
    QString writeSentence() const { return writeRefusal(table, sourceName()); }
    // Reads the rows of a query; a driver's failure says which table or query of which
    // data source could not be read, and whether the table is missing altogether.
    RowSet fetch(const QString& queryText, bool byTable)
    {
        requireBackend();
        stream.reset();
        passed = 0;
        return explainingProviderErrors([&] { return readSentence(byTable); },
                                        [&] { return fetchRowSet(*backend, queryText); });
    }
    QString readSentence(bool byTable) const
    {
        if (!byTable)
            return QStringLiteral("Die SQL-Abfrage der Quelle kann in „%1“ nicht ausgeführt "
                                  "werden.")
                .arg(sourceName());
        const QString name = resolvedTable();
        if (!hasTable(name))
            return QStringLiteral("Die Tabelle „%1“ gibt es in „%2“ nicht.")
                .arg(name, sourceName());
        return QStringLiteral("Die Tabelle „%1“ kann in „%2“ nicht gelesen werden.")
            .arg(name, sourceName());
    }
    QString resolvedTable() const
    {
        try {
            return resolveTablePlaceholders(table, [this] { return backend->tables(); }).trimmed();
        } catch (...) {
            return table.trimmed();
        }
    }
    bool hasTable(const QString& name) const { return listsTable(*backend, name); }

    void addNew()
    {
        DatabaseRecord& w = openWriter();
        w.AddNew();
        adding = true;
        pending = QList<QVariant>(rows.columns.size());
    }

    void setItem(int ordinal, const QVariant& value)
    {
        if (!writer)
            throw standardError(errnum::NoCurrentRecord);
        writer->setItem(ordinal, value);
        if (ordinal < pending.size())
            pending[ordinal] = value;
    }

    void writePending()
    {
        if (!adding || !writer)
            return;
        explainingProviderErrors([&] { return writeSentence(); }, [&] { writer->update(); });
        adding = false;
    }
};

clsADOConnect::clsADOConnect(QObject* parent) : QObject(parent), d(std::make_unique<Impl>()) {}

clsADOConnect::~clsADOConnect()
{
    // Pending rows are dropped; the writer ends (and commits) before the connection closes.
    d->writer.reset();
    d->stream.reset(); // its statement ends before its connection
    d->backend.reset();
}

void clsADOConnect::setSource(const DatabaseConnection& connection)
{
    d->source = connection;
}

void clsADOConnect::setTable(const QString& table)
{
    d->table = table;
}

void clsADOConnect::setSQL(const QString& sql)
{
    trapped("clsADOConnect.setSQL", [&] {
        d->sql = sql;
        if (!d->open())
            return;
        // A new row set on the same connection; the placeholders stay as they are.
        d->replaceRows(d->fetch(sql, false), sql);
        Q_EMIT dataMemberChanged(QStringLiteral("Primary"));
    });
}

void clsADOConnect::init()
{
    trapped("clsADOConnect.init", [&] {
        d->writer.reset();
        d->stream.reset();
        d->adding = false;
        const bool byTable = d->sql.isEmpty();
        if (byTable && d->table.trimmed().isEmpty())
            throw noTableNamed(d->sourceName());
        const auto openSentence = [&] { return openRefusal(d->sourceName()); };
        d->text = RegionalText();
        if (d->forwardOnly && byTable) {
            // Read once through in order: a sheet comes straight from its file.
            if (auto sheet = explainingProviderErrors(
                    openSentence, [&] { return openSheetStream(d->source, d->table); })) {
                d->startStream(std::make_unique<SheetRowSource>(std::move(sheet)), openSentence,
                               {});
                Q_EMIT dataMemberChanged(QStringLiteral("Primary"));
                return;
            }
        }
        d->backend = explainingProviderErrors(openSentence, [&] { return openBackend(d->source); });
        const QString query = byTable ? QStringLiteral("select * from ") + d->table : d->sql;
        const QString resolved = d->resolve(query);
        if (d->forwardOnly)
            d->openStream(resolved, byTable);
        else
            d->replaceRows(d->fetch(resolved, byTable), resolved);
        Q_EMIT dataMemberChanged(QStringLiteral("Primary"));
    });
}

void clsADOConnect::setForwardOnly(bool on)
{
    d->forwardOnly = on;
}

bool clsADOConnect::isEOF() const
{
    return !d->open() || d->size() == 0 || d->pos >= d->size();
}

bool clsADOConnect::isBOF() const
{
    return !d->open() || d->size() == 0 || d->pos < 0;
}

qint64 clsADOConnect::AbsolutePosition() const
{
    if (!d->open() || d->size() == 0)
        return PositionUnknown;
    if (d->pos >= d->size())
        return PositionEOF;
    return d->passed + d->pos + 1;
}

void clsADOConnect::MoveFirst()
{
    trapped("clsADOConnect.MoveFirst", [&] {
        d->requireOpen();
        if (d->size() == 0)
            throw standardError(errnum::NoCurrentRecord);
        if (d->passed > 0)
            d->requireBackward();
        d->pos = 0;
    });
    Q_EMIT MoveComplete();
}

void clsADOConnect::MoveLast()
{
    bool moved = false;
    trapped("clsADOConnect.MoveLast", [&] {
        if (isEOF())
            return;
        d->requireBackward();
        d->pos = d->size() - 1;
        moved = true;
    });
    if (moved)
        Q_EMIT MoveComplete();
}

void clsADOConnect::MoveNext()
{
    trapped("clsADOConnect.MoveNext", [&] {
        d->requireOpen();
        if (isEOF())
            throw standardError(errnum::NoCurrentRecord);
        if (d->stream)
            d->advanceStream();
        else
            ++d->pos;
    });
    Q_EMIT MoveComplete();
}

void clsADOConnect::MovePrevious()
{
    bool moved = false;
    trapped("clsADOConnect.MovePrevious", [&] {
        d->requireOpen();
        d->requireBackward();
        if (!isBOF()) {
            --d->pos;
            moved = true;
        }
        if (isBOF() && d->size() > 0) {
            beep();
            d->pos = 0;
            moved = true;
        }
    });
    if (moved)
        Q_EMIT MoveComplete();
}

void clsADOConnect::setAbsolutePosition(qint64 position)
{
    trapped("clsADOConnect.setAbsolutePosition", [&] {
        d->requireOpen();
        d->requireBackward();
        if (position < 1 || position > d->size())
            throw standardError(errnum::InvalidProcedureCall,
                                QStringLiteral("Position %1").arg(position));
        d->pos = position - 1;
    });
    Q_EMIT MoveComplete();
}

int clsADOConnect::fieldCount() const
{
    return d->stream ? d->stream->width() : static_cast<int>(d->rows.columns.size());
}

int clsADOConnect::valueCount() const
{
    return isEOF() ? 0 : int(d->rows.rows[static_cast<size_t>(d->pos)].size());
}

QStringView clsADOConnect::getField(int index) const
{
    return trapped("clsADOConnect.getField", [&]() -> QStringView {
        d->requireCurrent();
        if (index < 0 || index >= fieldCount())
            throw standardError(errnum::ItemNotFound, QString::number(index));
        return d->fieldText(index);
    });
}

bool clsADOConnect::currentLine(std::span<const QStringView>& fields) const
{
    return trapped("clsADOConnect.currentLine", [&] {
        d->requireCurrent();
        const int count = valueCount();
        d->views.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            d->views[size_t(i)] = d->fieldText(i);
        fields = d->views;
        return true;
    });
}

QString clsADOConnect::note() const
{
    return d->backend ? d->backend->note() : QString();
}

DatabaseRecord& clsADOConnect::record()
{
    return d->record;
}

bool canWriteInOneTransaction(const DatabaseConnection& connection)
{
    const FileTypeSupport* row = connection.fileType;
    return row && (row->backend != BackendKind::MemoryCopy || row->wholeFile);
}

bool clsADOConnect::EditingRecord() const
{
    return d->adding;
}

void clsADOConnect::AddNew()
{
    trapped("clsADOConnect.AddNew", [&] { d->addNew(); });
}

void clsADOConnect::Delete()
{
    trapped("clsADOConnect.Delete", [&] {
        d->requireCurrent();
        const QString target = d->tableToChange();
        d->record.close(); // rows added before are committed first
        d->writer.reset();
        d->backend->deleteRow(target, d->rows.columns, d->rows.rows[static_cast<size_t>(d->pos)]);
        if (d->model)
            d->model->beginChange();
        d->rows.rows.erase(d->rows.rows.begin() + d->pos);
        d->textRow = -1;
        if (d->model)
            d->model->endChange();
    });
    // The record after the deleted one (or EOF) becomes current.
    Q_EMIT MoveComplete();
}

void clsADOConnect::update()
{
    bool moved = false;
    trapped("clsADOConnect.Update", [&] {
        if (!d->adding)
            return;
        d->writePending();
        d->record.close(); // the row is in the database now
        d->writer.reset();
        if (d->model)
            d->model->beginChange();
        d->rows.rows.push_back(d->pending);
        if (d->model)
            d->model->endChange();
        d->pos = d->size() - 1;
        d->textRow = -1;
        moved = true;
    });
    if (moved)
        Q_EMIT MoveComplete();
}

void clsADOConnect::Cancel()
{
    trapped("clsADOConnect.Cancel", [&] {
        if (!d->adding)
            return;
        d->adding = false;
        d->pending.clear(); // the next AddNew starts the writer's row afresh
        if (d->size() > 0)
            d->pos = 0;
        d->textRow = -1;
    });
}

void clsADOConnect::Requery()
{
    trapped("clsADOConnect.Requery", [&] {
        d->requireOpen();
        d->replaceRows(d->fetch(d->query, d->sql.isEmpty()), d->query);
    });
    Q_EMIT dataMemberChanged(QStringLiteral("Primary"));
}

QAbstractItemModel* clsADOConnect::dataMember(const QString& name)
{
    return trapped("clsADOConnect.Class_GetDataMember", [&]() -> QAbstractItemModel* {
        if (name != u"Primary")
            return nullptr;
        if (!d->model)
            d->model = new RowSetModel(d->rows, this);
        return d->model;
    });
}

QMetaObject::Connection clsADOConnect::connectMoveComplete(QObject* receiver,
                                                           std::function<void()> slot)
{
    return connect(this, &clsADOConnect::MoveComplete, receiver, std::move(slot));
}

QString clsADOConnect::replSQLTable(const QString& sql)
{
    return trapped("clsADOConnect.replSQLTable", [&] {
        if (!sql.contains(QStringLiteral("$TBL(")))
            return sql;
        d->requireOpen();
        return d->resolve(sql);
    });
}

} // namespace quendra
