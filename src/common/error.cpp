#include "common/error.h"

#include <cerrno>
#include <new>

namespace quendra {

Error::Error(qint32 number, QString source, QString description, QString helpFile,
             qint32 helpContext)
    : m_number(number), m_source(std::move(source)), m_description(std::move(description)),
      m_helpFile(std::move(helpFile)), m_helpContext(helpContext), m_what(m_description.toUtf8())
{
}

Error standardError(qint32 number, const QString& detail)
{
    QString text;
    switch (number) {
    case errnum::InvalidProcedureCall:
        text = QStringLiteral("Unzulässiger Prozeduraufruf oder ungültiges Argument");
        break;
    case errnum::Overflow:
        text = QStringLiteral("Überlauf");
        break;
    case errnum::OutOfMemory:
        text = QStringLiteral("Nicht genügend Speicher");
        break;
    case errnum::SubscriptOutOfRange:
        text = QStringLiteral("Index außerhalb des gültigen Bereichs");
        break;
    case errnum::TypeMismatch:
        text = QStringLiteral("Typen unverträglich");
        break;
    case errnum::FileNotFound:
        text = QStringLiteral("Datei nicht gefunden");
        break;
    case errnum::PathFileAccess:
        text = QStringLiteral("Fehler beim Zugriff auf Pfad/Datei");
        break;
    case errnum::PathNotFound:
        text = QStringLiteral("Pfad nicht gefunden");
        break;
    case errnum::ObjectMissing:
        text = QStringLiteral("Objektvariable oder With-Blockvariable nicht festgelegt");
        break;
    case errnum::NoCurrentRecord:
        text = QStringLiteral("Kein aktueller Datensatz.");
        break;
    case errnum::ItemNotFound:
        text = QStringLiteral("Das Element wurde in der Auflistung nicht gefunden.");
        break;
    default:
        text = QStringLiteral("Anwendungs- oder objektdefinierter Fehler");
        break;
    }
    if (!detail.isEmpty())
        text += QStringLiteral(": ") + detail;
    return Error(number, {}, text);
}

Error fileSystemError(int code, const QString& path)
{
    switch (code) {
    case ENOENT:
        return standardError(errnum::FileNotFound, path);
    case ENOSPC:
    case EDQUOT:
        return Error(errnum::DiskFull, {}, QStringLiteral("Datenträger voll: ") + path);
    case EFBIG:
        return Error(errnum::DiskFull, {},
                     QStringLiteral("Die Datei hat die größte erlaubte Dateigröße erreicht: ") +
                         path);
    default:
        return standardError(errnum::PathFileAccess, path);
    }
}

QString withDriverText(const QString& sentence, const QString& driverText)
{
    return sentence + QStringLiteral("\nMeldung des Datenbanktreibers: ") + driverText;
}

QString quotedValue(QStringView value)
{
    QString quoted = QStringLiteral("\"");
    if (value.size() <= MaxQuotedChars)
        return quoted.append(value).append(QLatin1Char('"'));
    return quoted.append(value.first(MaxQuotedChars))
        .append(QStringLiteral("…\" (%1 Zeichen)").arg(value.size()));
}

void raiseError(qint32 number, const QString& source, const QString& description,
                const QString& module)
{
    raiseError(Error(number, source, description), module);
}

// The caller's own source goes below the module line; without a module it has already
// become the first line and is appended once more, as the trap always does.
void raiseError(const Error& pending, const QString& module)
{
    QString built = module.isEmpty() ? pending.source() : QStringLiteral("Modul: ") + module;
    if (!pending.source().isEmpty()) {
        if (!built.isEmpty())
            built += QStringLiteral("\r\n");
        built += QStringLiteral("Source: ") + pending.source();
    }
    throw Error(pending.number(), built, pending.description(), pending.helpFile(),
                pending.helpContext());
}

Error currentError()
{
    try {
        throw;
    } catch (const Error& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return standardError(errnum::OutOfMemory);
    } catch (const std::exception& e) {
        return Error(errnum::InvalidProcedureCall, {}, QString::fromUtf8(e.what()));
    } catch (...) {
        return Error(errnum::InvalidProcedureCall, {}, QStringLiteral("Unbekannter Fehler"));
    }
}

} // namespace quendra
