#include "common/medium.h"

#include "common/error.h"

namespace quendra {

QString knownMedia()
{
    return QStringLiteral("0 Textdatei, 1 ODBC-Datenquelle, 2 Datenbankdatei");
}

void checkMedium(Medium medium, HeadSide side)
{
    if (isKnown(medium))
        return;
    const bool source = side == HeadSide::Source;
    throw standardError(
        source ? errnum::ObjectMissing : errnum::InvalidProcedureCall,
        QStringLiteral("Das %1 %2 ist unbekannt (%3)")
            .arg(source ? QStringLiteral("Quellmedium") : QStringLiteral("Zielmedium"))
            .arg(qint16(medium))
            .arg(knownMedia()));
}

} // namespace quendra
