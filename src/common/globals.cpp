#include "common/globals.h"
#include "common/configlocation.h"
#include "common/version.h"

#include <QLocale>

namespace quendra {

namespace {
Globals g_globals;
QString g_transId;
} // namespace

void initGlobals(const QString& configDbPath)
{
    Globals g;
    g.configDbPath = configDbPath.isEmpty() ? programConfigLocation().dbPath : configDbPath;
    g.appTitle = QStringLiteral("Quendra");
    g.versionText = QStringLiteral(QUENDRA_VERSION);
    g.appLabel = g.appTitle + QStringLiteral(" (") + g.versionText + QLatin1Char(')');

    g.specDelimiters = {QStringLiteral("Zeilenumbruch"), QStringLiteral("Tabulator")};

    g.fieldTypes = {QStringLiteral("Text"), QStringLiteral("Zahl"), QStringLiteral("Datum"),
                    QStringLiteral("AutoCount")};

    const QString yyyymmdd = QStringLiteral("yyyymmdd");
    const QString ddmmyyyy = QStringLiteral("ddmmyyyy");
    const QString dotted = QStringLiteral("dd.mm.yyyy");
    const QString tyymmdd = QStringLiteral("tyymmdd");
    g.formats = {{
        {QStringLiteral("Text"), yyyymmdd, ddmmyyyy, dotted, tyymmdd, QString(), QString()},
        {QStringLiteral("Zahl"), yyyymmdd, ddmmyyyy, tyymmdd, QString(), QString(), QString()},
        {QStringLiteral("Datum"), yyyymmdd, ddmmyyyy, dotted, tyymmdd, QString(), QString()},
    }};

    g.sumKinds = {QStringLiteral("Anzahl"), QStringLiteral("Summe")};
    g.alignments = {QStringLiteral("links"), QStringLiteral("rechts")};
    g_globals = std::move(g);
}

void applyRegionalDefault()
{
    if (QLocale::system().language() == QLocale::C)
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
}

const Globals& globals()
{
    return g_globals;
}

const QString& currentTransID()
{
    return g_transId;
}

void setCurrentTransID(const QString& transId)
{
    g_transId = transId;
}

} // namespace quendra
