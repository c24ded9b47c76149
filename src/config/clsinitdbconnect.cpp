#include "config/clsinitdbconnect.h"

#include "common/beep.h"

#include "common/globals.h"
#include "common/messagehandler.h"
#include "config/configconnection.h"
#include "config/configrowset.h"
#include "config/configschema.h"
#include "config/configsql.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <optional>

namespace quendra {

struct clsInitDBConnect::Impl {
    QString table;
    QString sql;
    QString orderList;
    bool orderingOn = false;
    QString transId;
    bool filterOn = false;

    QString statement;                            // the statement of the open row set
    std::shared_ptr<ConfigConnection> connection; // shared with the thread's other cursors
    ConfigRowSet* rowSet = nullptr; // child of the cursor; the same object across openings
    bool open = false;

    QString builtStatement() const
    {
        return sql.isEmpty() ? buildStatement(table, filterOn, transId, orderingOn, orderList)
                             : sql;
    }
};

namespace {

// The stored schema version; nullopt when the version table cannot be read or has no
// row (the read error, if any, goes to readError).
std::optional<QVariant> readVersion(const QSqlDatabase& db, std::optional<Error>& readError)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select version from dbversion"))) {
        readError = sqlError(query.lastError());
        return std::nullopt;
    }
    if (!query.next()) {
        if (query.lastError().isValid())
            readError = sqlError(query.lastError());
        return std::nullopt;
    }
    const QVariant version = query.isNull(0) ? QVariant() : query.value(0);
    query.finish();
    return version;
}

bool isCurrentVersion(const QVariant& version)
{
    bool ok = false;
    const int v = version.toInt(&ok);
    return ok && v == CurrentDbVersion;
}

} // namespace

clsInitDBConnect::clsInitDBConnect(QObject* parent) : QObject(parent), d(std::make_unique<Impl>())
{
    d->rowSet = new ConfigRowSet(this);
}

clsInitDBConnect::~clsInitDBConnect()
{
    // Pending changes that nobody wrote with update go with the object; the connection is
    // closed and removed when no other cursor holds it.
    d->connection.reset();
}

void clsInitDBConnect::setTable(const QString& table)
{
    d->table = table;
}

void clsInitDBConnect::setSQL(const QString& sql)
{
    trapped("clsInitDBConnect.setSQL", [&] {
        d->sql = sql;
        if (!d->open)
            return;
        writeAllPending();
        openRowSet(d->builtStatement());
    });
}

void clsInitDBConnect::setOrderBy(const QString& order)
{
    if (order.isEmpty())
        return;
    d->orderList = order;
    d->orderingOn = true;
}

void clsInitDBConnect::setTransID(const QString& transId)
{
    d->transId = transId;
    d->filterOn = true;
}

void clsInitDBConnect::init()
{
    trapped("clsInitDBConnect.init", [&] {
        if (d->open)
            writeAllPending();
        d->open = false;
        bool opened = false;
        try {
            d->statement = d->builtStatement();
            // Taken before the old one is let go, so that reopening on the same file keeps
            // the connection open.
            d->connection = ConfigConnection::shared(globals().configDbPath);
            opened = chkDBVersion();
            if (opened)
                openRowSet(d->statement, false);
        } catch (...) {
            d->connection.reset();
            d->rowSet->reset({});
            throw;
        }
        d->open = true;
        // The opening's move is reported once the cursor is open, so that a listener
        // can read the position.
        if (opened)
            Q_EMIT MoveComplete();
    });
}

QString clsInitDBConnect::statement() const
{
    return d->open ? d->statement : d->builtStatement();
}

void clsInitDBConnect::requireOpen() const
{
    if (!d->open)
        throw standardError(errnum::ObjectMissing);
}

ConfigRowSet& clsInitDBConnect::rows() const
{
    return *d->rowSet;
}

void clsInitDBConnect::openRowSet(const QString& statement, bool reportMove)
{
    // A statement that fails leaves the row set open before untouched.
    Snapshot snapshot = loadSnapshot(d->connection->database(), statement);
    d->statement = statement;
    rows().reset(std::move(snapshot));
    if (reportMove)
        Q_EMIT MoveComplete();
}

bool clsInitDBConnect::EditingRecord() const
{
    return trapped("clsInitDBConnect.EditingRecord", [&] {
        requireOpen();
        return rows().editMode() != ConfigRowSet::EditMode::None;
    });
}

bool clsInitDBConnect::isEOF() const
{
    return trapped("clsInitDBConnect.EOF", [&] {
        requireOpen();
        return rows().isEOF();
    });
}

qint64 clsInitDBConnect::AbsolutePosition() const
{
    return trapped("clsInitDBConnect.AbsolutePosition", [&] {
        requireOpen();
        return rows().hasCurrentRow() ? qint64{rows().position()} + 1 : qint64{-1};
    });
}

void clsInitDBConnect::AddNew()
{
    trapped("clsInitDBConnect.AddNew", [&] {
        requireOpen();
        ConfigRowSet& rs = rows();
        if (rs.hasCurrentRow() && rs.isPending(rs.position()))
            writeRow(rs.position());
        rs.setPosition(rs.appendRow());
        // A selection without a transid column (a statement of setSQL) gets none.
        if (rs.fieldIndex(QStringLiteral("transid")) >= 0)
            rs.setValue(QStringLiteral("transid"), d->transId, true);
        Q_EMIT MoveComplete();
    });
}

void clsInitDBConnect::Delete()
{
    trapped("clsInitDBConnect.Delete", [&] {
        requireOpen();
        ConfigRowSet& rs = rows();
        if (!rs.hasCurrentRow())
            throw standardError(errnum::NoCurrentRecord);
        const int r = rs.position();
        const SnapshotRow& row = rs.row(r);
        if (row.state != SnapshotRow::State::Added) {
            if (rs.isReadOnly())
                throw Error(errnum::Unsupported, {},
                            QStringLiteral("Der Datensatz kann nicht gelöscht werden, weil sich "
                                           "die Auswahl nicht genau einer Tabelle zuordnen "
                                           "lässt."));
            deleteRow(d->connection->database(), rs.table(), row.rowid);
        }
        rs.removeRow(r);
        // The row after the deleted one becomes current: MoveNext from the deleted row.
        rs.setPosition(r);
        Q_EMIT MoveComplete();
    });
}

ConfigRowSet& clsInitDBConnect::record()
{
    return trapped("clsInitDBConnect.record", [&]() -> ConfigRowSet& {
        requireOpen();
        return rows();
    });
}

void clsInitDBConnect::Requery()
{
    trapped("clsInitDBConnect.Requery", [&] {
        requireOpen();
        writeAllPending();
        openRowSet(d->statement);
        Q_EMIT dataMemberChanged(QStringLiteral("Primary"));
    });
}

void clsInitDBConnect::update()
{
    trapped("clsInitDBConnect.Update", [&] {
        requireOpen();
        writeAllPending();
        if (rows().editMode() == ConfigRowSet::EditMode::Adding)
            MoveLast();
    });
}

void clsInitDBConnect::Cancel()
{
    trapped("clsInitDBConnect.Cancel", [&] {
        requireOpen();
        // The row set runs no asynchronous operation that could be cancelled; a pending
        // change stays pending.
        if (rows().editMode() == ConfigRowSet::EditMode::Adding)
            MoveFirst();
    });
}

void clsInitDBConnect::crebas()
{
    try {
        if (!d->connection)
            throw standardError(errnum::ObjectMissing);
        QSqlQuery query(d->connection->database());
        const QStringList statements = schemaStatements();
        for (const QString& sql : statements) {
            if (!query.exec(sql))
                throw sqlError(query.lastError());
        }
    } catch (...) {
        showCurrentError(QStringLiteral("clsInitDBConnect.crebas"));
    }
}

bool clsInitDBConnect::chkDBVersion()
{
    return trapped("clsInitDBConnect.chkDBVersion", [&] {
        // One creation attempt: a schema that is still unreadable afterwards would fail
        // the same way for ever.
        for (bool created = false;; created = true) {
            std::optional<Error> readError;
            const auto version = readVersion(d->connection->database(), readError);
            if (version) {
                if (!version->isNull() && !isCurrentVersion(*version))
                    showError(nullptr, StyleWarning,
                              QStringLiteral("clsInitDBConnect.chkDBVersion"),
                              QStringLiteral("DB-Version ist nicht aktuell."));
                return true;
            }
            // Only a version table that is missing or empty is created; a locked file
            // has its tables, they just cannot be read now.
            if (readError && isLockedError(*readError))
                throw *readError;
            if (created)
                throw Error(readError ? readError->number() : errnum::NoCurrentRecord, {},
                            QStringLiteral("Die Konfigurationsdatenbank %1 enthält keine lesbare "
                                           "Versionstabelle (dbversion) und konnte nicht "
                                           "eingerichtet werden.")
                                .arg(QDir::toNativeSeparators(d->connection->path())));
            crebas();
        }
    });
}

void clsInitDBConnect::MoveFirst()
{
    trapped("clsInitDBConnect.MoveFirst", [&] {
        requireOpen();
        if (rows().rowCount() == 0)
            throw standardError(errnum::NoCurrentRecord);
        moveTo(0);
    });
}

void clsInitDBConnect::MoveLast()
{
    trapped("clsInitDBConnect.MoveLast", [&] {
        requireOpen();
        if (!rows().isEOF())
            moveTo(rows().rowCount() - 1);
    });
}

void clsInitDBConnect::MoveNext()
{
    trapped("clsInitDBConnect.MoveNext", [&] {
        requireOpen();
        if (!rows().isEOF())
            moveTo(rows().position() + 1);
    });
}

void clsInitDBConnect::MovePrevious()
{
    trapped("clsInitDBConnect.MovePrevious", [&] {
        requireOpen();
        if (!rows().isBOF())
            moveTo(rows().position() - 1);
        if (rows().isBOF() && rows().rowCount() > 0) {
            beep();
            moveTo(0);
        }
    });
}

void clsInitDBConnect::setAbsolutePosition(qint64 position)
{
    trapped("clsInitDBConnect.setAbsolutePosition", [&] {
        requireOpen();
        if (position < 1 || position > rows().rowCount())
            throw standardError(errnum::InvalidProcedureCall,
                                QStringLiteral("Position %1").arg(position));
        moveTo(static_cast<int>(position - 1));
    });
}

void clsInitDBConnect::moveTo(int position)
{
    ConfigRowSet& rs = rows();
    if (rs.hasCurrentRow() && position != rs.position() && rs.isPending(rs.position()))
        writeRow(rs.position());
    rs.setPosition(position);
    Q_EMIT MoveComplete();
}

void clsInitDBConnect::writeRow(int r)
{
    ConfigRowSet& rs = rows();
    const SnapshotRow& row = rs.row(r);
    const QSqlDatabase db = d->connection->database();
    if (row.state == SnapshotRow::State::Added) {
        rs.markStored(r, insertRow(db, rs.table(), rs.columnNames(), row));
    } else if (row.state == SnapshotRow::State::Changed) {
        updateRow(db, rs.table(), rs.columnNames(), row);
        rs.markStored(r, row.rowid);
    }
}

void clsInitDBConnect::writeAllPending()
{
    for (int r = 0; r < rows().rowCount(); ++r) {
        if (rows().isPending(r))
            writeRow(r);
    }
}

QVariant clsInitDBConnect::value(const QString& column) const
{
    return trapped("clsInitDBConnect.value", [&] {
        requireOpen();
        return rows().value(column);
    });
}

void clsInitDBConnect::setValue(const QString& column, const QVariant& value)
{
    trapped("clsInitDBConnect.setValue", [&] {
        requireOpen();
        rows().setValue(column, value);
    });
}

QAbstractItemModel* clsInitDBConnect::dataMember(const QString& name)
{
    return trapped("clsInitDBConnect.Class_GetDataMember", [&]() -> QAbstractItemModel* {
        if (name != QStringLiteral("Primary") || !d->open)
            return nullptr;
        return d->rowSet;
    });
}

QMetaObject::Connection clsInitDBConnect::connectMoveComplete(QObject* receiver,
                                                              std::function<void()> slot)
{
    return connect(this, &clsInitDBConnect::MoveComplete, receiver, std::move(slot));
}

} // namespace quendra
