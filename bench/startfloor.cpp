// The floor of a small run's start-up: what every run of quendra-run has to do before it
// converts anything, and nothing more. Starts Qt Core, opens the configuration database
// through Qt SQL's SQLite driver and reads the version row; converts nothing.
//   quendra-startfloor INIT.MDB
#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("Aufruf: quendra-startfloor INIT.MDB\n", stderr);
        return 2;
    }
    int version = -1;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
        db.setDatabaseName(QString::fromLocal8Bit(argv[1]));
        if (db.open()) {
            QSqlQuery query(db);
            if (query.exec(QStringLiteral("select version from dbversion")) && query.next())
                version = query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase(QLatin1StringView(QSqlDatabase::defaultConnection));
    return version >= 0 ? 0 : 1;
}
