#include "connectors/backends/odbcstatement.h"

#include "connectors/backends/providererror.h"

#include <QSqlDriver>
#include <QVariant>
#include <clocale>
#include <locale.h>
#include <sql.h>

namespace quendra {

namespace {
// The name under which ODBC's errors reach a message.
const QString OdbcSource = QStringLiteral("QODBC");
} // namespace

void* odbcConnectionOf(const QSqlDatabase& db)
{
    if (db.driverName() != QLatin1String("QODBC") || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<void*>())
        return nullptr;
    return *static_cast<void* const*>(handle.constData());
}

Error odbcError(short handleType, void* handle)
{
    QString text;
    SQLINTEGER firstCode = 0;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER code = 0;
        SQLCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        if (!odbcSucceeded(SQLGetDiagRec(handleType, handle, record, state, &code, message,
                                         SQLSMALLINT(sizeof message), &length)))
            break;
        if (record == 1)
            firstCode = code;
        const QString line = QString::fromUtf8(reinterpret_cast<const char*>(message)).trimmed();
        if (!line.isEmpty())
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + line;
    }
    if (text.isEmpty())
        text = QStringLiteral("Unbekannter Fehler des Datenbanktreibers.");
    return Error(firstCode != 0 ? firstCode : GenericProviderError, OdbcSource, text);
}

Utf8Characters::Utf8Characters()
{
    // The process's locale with UTF-8 characters; none where the system lacks C.UTF-8.
    static const locale_t utf8 = [] {
        const locale_t base = duplocale(LC_GLOBAL_LOCALE);
        const locale_t made = base ? newlocale(LC_CTYPE_MASK, "C.UTF-8", base) : nullptr;
        if (base && !made)
            freelocale(base);
        return made;
    }();
    if (utf8)
        m_previous = uselocale(utf8);
}

Utf8Characters::~Utf8Characters()
{
    if (m_previous)
        uselocale(static_cast<locale_t>(m_previous));
}

OdbcStatement::OdbcStatement(void* connection)
{
    SQLHANDLE statement = nullptr;
    if (!odbcSucceeded(SQLAllocHandle(SQL_HANDLE_STMT, connection, &statement)))
        throw odbcError(SQL_HANDLE_DBC, connection);
    m_handle = statement;
}

OdbcStatement::~OdbcStatement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
}

void OdbcStatement::execute(const QByteArray& sql)
{
    check(SQLExecDirect(m_handle, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.constData())),
                        SQLINTEGER(sql.size())));
}

void OdbcStatement::prepare(const QByteArray& sql)
{
    check(SQLPrepare(m_handle, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.constData())),
                     SQLINTEGER(sql.size())));
}

void OdbcStatement::close()
{
    SQLFreeStmt(m_handle, SQL_CLOSE);
}

} // namespace quendra
