// The rows of a query on an ODBC data source read as a run reads them (RowStream), through
// the block cursor or through Qt SQL, each value written as its regional text, ";" between
// the values, one line a row: quendra-odbcread blocks|qtsql DSN SQL OUT
#include "common/error.h"
#include "connectors/backends/sqlbackend.h"
#include "connectors/clsadoconnect_rowset.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstring>

using namespace quendra;

namespace {
// The same connection without its bulk path: RowStream reads it through Qt SQL.
class QtSqlOnly : public Backend {
public:
    explicit QtSqlOnly(Backend& inner) : m_inner(inner) {}
    QSqlDatabase database() const override { return m_inner.database(); }
    QString driverName() const override { return m_inner.driverName(); }
    bool isSqlite() const override { return false; }
    QStringList tables() const override { return {}; }
    std::unique_ptr<DatabaseRecord> openWriter(const QString&) override { return nullptr; }
    void deleteRow(const QString&, const QStringList&, const QList<QVariant>&) override {}

private:
    Backend& m_inner;
};
} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 5 || (std::strcmp(argv[1], "blocks") && std::strcmp(argv[1], "qtsql"))) {
        std::fputs("quendra-odbcread blocks|qtsql DSN SQL OUT\n", stderr);
        return 2;
    }
    QFile out(QString::fromLocal8Bit(argv[4]));
    if (!out.open(QIODevice::WriteOnly))
        return 1;
    try {
        SqlBackend backend(QStringLiteral("QODBC"), false);
        backend.database().setDatabaseName(QString::fromLocal8Bit(argv[2]));
        backend.open();
        QtSqlOnly qtSql(backend);
        Backend& reader = std::strcmp(argv[1], "qtsql") ? static_cast<Backend&>(backend) : qtSql;
        RowStream rows(reader, QString::fromUtf8(argv[3]));
        const RegionalText text;
        QString line, value;
        for (QList<QVariant> row; rows.next(row);) {
            line.clear();
            for (qsizetype i = 0; i < row.size(); ++i) {
                text.toText(row[i], value);
                line += (i ? QStringLiteral(";") : QString()) + value;
            }
            line += u'\n';
            out.write(line.toUtf8());
        }
    } catch (const Error& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        return 1;
    }
    return out.flush() ? 0 : 1;
}
