#include "engine/indivtorven.h"

#include "common/error.h"
#include "config/clsinitdbconnect.h"
#include "engine/clsfileconvert.h"
#include "values/numbers.h"

#include "config/configrowset.h"

#include <QDate>
#include <limits>
#include <memory>
#include <optional>

namespace quendra::indivTorven {

namespace {

// The booking state: it lives for the whole process and carries over from run to run.
struct BookingState {
    QString batchAccount;
    QString batchNumber;
    QString groupBranch;
    QDate groupDate;
    qint16 lineNumber = 0;
    DecimalSum amountSum; // exact, so that a balanced group really sums to zero

    std::unique_ptr<clsInitDBConnect> lookup;
    QString lookupTransId; // the TransID the lookup cursor was opened with
};

BookingState& state()
{
    static BookingState s;
    return s;
}

const QString& sourceValue(clsFileConvert& engine, const QString& name)
{
    const qint16 index = engine.getFromIndex(name);
    if (index == 0)
        throw standardError(errnum::SubscriptOutOfRange,
                            QStringLiteral("Quellfeld \"%1\" fehlt").arg(name));
    return engine.getFromValue(index);
}

// The booking date of the current record; at the end of a run without records there is
// none, which the closing call accepts (an empty date).
QDate bookingDate(clsFileConvert& engine, const RegionalSettings& regional, bool allowEmpty)
{
    const QString& text = sourceValue(engine, QStringLiteral("buchungsdatum"));
    QDate date;
    if (!parseDate(text, regional, date) && !(allowEmpty && text.trimmed().isEmpty()))
        throw standardError(
            errnum::TypeMismatch,
            QStringLiteral("Buchungsdatum %1 ist kein gültiges Datum").arg(quotedValue(text)));
    return date;
}

void nextLine(BookingState& s)
{
    if (s.lineNumber == std::numeric_limits<qint16>::max())
        throw standardError(errnum::Overflow, QStringLiteral("Zeilennummer der Buchung"));
    ++s.lineNumber;
}

QString takeLineNumber(BookingState& s)
{
    const QString text = QString::number(s.lineNumber);
    nextLine(s);
    return text;
}

void openLookup(BookingState& s, const QString& transId)
{
    auto cursor = std::make_unique<clsInitDBConnect>();
    cursor->setTable(QStringLiteral("trgconvert"));
    cursor->setTransID(transId);
    cursor->init();
    // The customer's init.mdb extends trgconvert; name the first column it lacks.
    static const char* const columns[] = {"Konto",        "filiale",      "kontoiris", "kontotyp",
                                          "kostenstelle", "kostenträger", "steuertyp", "steuerkey"};
    for (const char* column : columns) {
        const QString name = QString::fromUtf8(column);
        if (cursor->record().fieldIndex(name) < 0)
            throw standardError(
                errnum::ItemNotFound,
                QStringLiteral("Spalte \"%1\" fehlt in der Tabelle trgconvert").arg(name));
    }
    s.lookup = std::move(cursor);
    s.lookupTransId = transId;
}

bool sameText(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The amount without its sign, as a plain regional number ("12,5").
QString absoluteText(QString text)
{
    if (text.startsWith(QLatin1Char('-')))
        text.remove(0, 1);
    return text;
}

std::optional<DecimalNumber> readAmount(const QString& text, const RegionalSettings& regional)
{
    DecimalNumber n;
    if (!parseNumber(text, regional, n))
        return std::nullopt;
    return n;
}

void writeCorrection(clsFileConvert& engine, BookingState& s, const RegionalSettings& regional)
{
    const QString account = QStringLiteral("korrekturbuchung");
    const auto lookup = [&](const char* column) {
        return fieldConvert(engine.definition().transId, account, QString(),
                            QString::fromUtf8(column));
    };
    engine.setToValue(u"EWBQVA", absoluteText(s.amountSum.text(regional)));
    engine.setToValue(u"EWAUST",
                      s.amountSum.isNegative() ? QStringLiteral("H") : QStringLiteral("S"));
    engine.setToValue(u"EWJICD", lookup("kontoiris"));
    engine.setToValue(u"EWFJNB", takeLineNumber(s));
    engine.setToValue(u"EWENST", lookup("kontotyp"));
    engine.setToValue(u"EWCPCD", lookup("kostenstelle").trimmed());
    engine.setToValue(u"EWCQCD", lookup("kostenträger").trimmed());
    engine.setToValue(u"EWJEST", lookup("steuertyp"));
    engine.setToValue(u"EWI6NB", lookup("steuerkey"));
    engine.runTargedConvert(true);
}

QString bookingValue(clsFileConvert& engine, BookingState& s, const QString& value,
                     const QString& field)
{
    const RegionalSettings regional = RegionalSettings::fromLocale();
    const QString& account = sourceValue(engine, QStringLiteral("konto-nummer"));
    const QString& branch = sourceValue(engine, QStringLiteral("filiale"));
    const QDate date = bookingDate(engine, regional, false);
    torvenRunCorrectAmount(engine, false);

    const auto lookup = [&](const char* column) {
        return fieldConvert(engine.definition().transId, account, branch,
                            QString::fromUtf8(column));
    };
    const QString name = field.toUpper();
    if (name == u"EWJHCD") {
        if (s.batchNumber.isEmpty()) {
            s.batchAccount = lookup("kontoiris");
            s.batchNumber = s.batchAccount + date.toString(QStringLiteral("yyMMdd"));
            s.lineNumber = 0;
            s.amountSum = DecimalSum();
        }
        return s.batchNumber;
    }
    if (name == u"EWFJNB")
        return takeLineNumber(s);
    if (name == u"EWJICD") {
        const QString iris = lookup("kontoiris");
        return iris.isEmpty() ? QStringLiteral("999999") : iris;
    }
    if (name == u"EWENST")
        return lookup("kontotyp");
    const QString& betrag = sourceValue(engine, QStringLiteral("betrag"));
    if (name == u"EWAUST") {
        const auto amount = readAmount(betrag, regional);
        return amount && !amount->negative ? QStringLiteral("H") : QStringLiteral("S");
    }
    if (name == u"EWBQVA") {
        auto amount = readAmount(betrag, regional);
        if (!amount)
            return QStringLiteral("0");
        s.amountSum.add(*amount);
        if (!amount->negative)
            return betrag;
        amount->negative = false;
        QString text;
        formatPlainNumber(text, *amount, regional);
        return text;
    }
    if (name == u"EWCPCD")
        return lookup("kostenstelle").trimmed();
    if (name == u"EWCQCD")
        return lookup("kostenträger").trimmed();
    if (name == u"EWJEST")
        return lookup("steuertyp");
    if (name == u"EWI6NB")
        return lookup("steuerkey");
    return value;
}

} // namespace

QString torvenRun(clsFileConvert& engine, const QString& value, const QString& field)
{
    return trapped("indivTorven.torvenRun",
                   [&] { return bookingValue(engine, state(), value, field); });
}

void torvenRunCorrectAmount(clsFileConvert& engine, bool final)
{
    trapped("indivTorven.torvenRunCorrectAmount", [&] {
        BookingState& s = state();
        const RegionalSettings regional = RegionalSettings::fromLocale();
        const QString branch = sourceValue(engine, QStringLiteral("filiale"));
        const QDate date = bookingDate(engine, regional, final);
        if (!final && branch == s.groupBranch && date == s.groupDate)
            return;
        if (!s.groupBranch.isEmpty() && !s.amountSum.isZero())
            writeCorrection(engine, s, regional);
        s.batchAccount.clear();
        s.batchNumber.clear();
        s.amountSum = DecimalSum();
        s.groupBranch = branch;
        s.groupDate = date;
    });
}

QString fieldConvert(const QString& transId, const QString& account, const QString& branch,
                     const QString& column)
{
    return trapped("indivTorven.fieldConvert", [&] {
        BookingState& s = state();
        // A cursor opened for another definition would look values up in the wrong table.
        if (!s.lookup || s.lookupTransId != transId)
            openLookup(s, transId);
        else if (s.lookup->record().rowCount() > 0)
            s.lookup->MoveFirst(); // an empty table has no first row to return to
        clsInitDBConnect& c = *s.lookup;
        for (; !c.isEOF(); c.MoveNext()) {
            if (!sameText(c.value(QStringLiteral("Konto")).toString(), account))
                continue;
            const QString rowBranch = c.value(QStringLiteral("filiale")).toString();
            if (rowBranch.isEmpty() || sameText(rowBranch, branch))
                return c.value(column).toString();
        }
        return QString();
    });
}

void resetState()
{
    state() = BookingState();
}

} // namespace quendra::indivTorven
