#include "common/globals.h"
#include "common/configlocation.h"
#include "common/fieldwords.h"
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

    using namespace fieldword;
    const QString text = Text.toString(), zahl = Zahl.toString(), datum = Datum.toString();
    g.fieldTypes = {text, zahl, datum, AutoCount.toString()};

    const QString yyyymmdd = Yyyymmdd.toString(), ddmmyyyy = Ddmmyyyy.toString();
    const QString dotted = Dotted.toString(), tyymmdd = Tyymmdd.toString();
    g.formats = {{
        {text, yyyymmdd, ddmmyyyy, dotted, tyymmdd, QString(), QString()},
        {zahl, yyyymmdd, ddmmyyyy, tyymmdd, QString(), QString(), QString()},
        {datum, yyyymmdd, ddmmyyyy, dotted, tyymmdd, QString(), QString()},
    }};

    g.sumKinds = {Anzahl.toString(), Summe.toString()};
    g.alignments = {Links.toString(), Rechts.toString()};
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
