#include "engine/indivtorven.h"

#include "common/error.h"
#include "common/globals.h"
#include "config/clsinitdbconnect.h"
#include "engine/clsfileconvert.h"
#include "engine/torvenamount.h"

#include <QDate>
#include <memory>

namespace quendra::indivTorven {

namespace {

// The booking state: it lives for the whole process and carries over from run to run.
struct BookingState {
    QString batchAccount;
    QString batchNumber;
    QString groupBranch;
    QDate groupDate;
    qint16 lineNumber = 0;
    TorvenAmount amountSum;

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
QDate bookingDate(clsFileConvert& engine, bool allowEmpty)
{
    const QString& text = sourceValue(engine, QStringLiteral("buchungsdatum"));
    const QDate date = readTorvenDate(text);
    if (!date.isValid() && !(allowEmpty && text.trimmed().isEmpty()))
        throw standardError(errnum::TypeMismatch,
                            QStringLiteral("Buchungsdatum \"%1\" ist kein gültiges Datum").arg(text));
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

void openLookup(BookingState& s)
{
    auto cursor = std::make_unique<clsInitDBConnect>();
    cursor->setTable(QStringLiteral("trgconvert"));
    cursor->setTransID(currentTransID());
    cursor->init();
    s.lookup = std::move(cursor);
    s.lookupTransId = currentTransID();
}

bool sameText(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

void writeCorrection(clsFileConvert& engine, BookingState& s)
{
    const QString account = QStringLiteral("korrekturbuchung");
    const auto lookup = [&](const char* column) {
        return fieldConvert(account, QString(), QString::fromUtf8(column));
    };
    engine.setToValue(u"EWBQVA", s.amountSum.absText());
    engine.setToValue(u"EWAUST", s.amountSum.isNegative() ? QStringLiteral("H") : QStringLiteral("S"));
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
    const QString& account = sourceValue(engine, QStringLiteral("konto-nummer"));
    const QString& branch = sourceValue(engine, QStringLiteral("filiale"));
    const QDate date = bookingDate(engine, false);
    torvenRunCorrectAmount(engine, false);

    const auto lookup = [&](const char* column) {
        return fieldConvert(account, branch, QString::fromUtf8(column));
    };
    const QString name = field.toUpper();
    if (name == u"EWJHCD") {
        if (s.batchNumber.isEmpty()) {
            s.batchAccount = lookup("kontoiris");
            s.batchNumber = s.batchAccount + date.toString(QStringLiteral("yyMMdd"));
            s.lineNumber = 0;
            s.amountSum = TorvenAmount();
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
        const auto amount = TorvenAmount::read(betrag);
        return amount && !amount->isNegative() ? QStringLiteral("H") : QStringLiteral("S");
    }
    if (name == u"EWBQVA") {
        const auto amount = TorvenAmount::read(betrag);
        if (!amount)
            return QStringLiteral("0");
        s.amountSum += *amount;
        return amount->isNegative() ? amount->absText() : betrag;
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
        const QString branch = sourceValue(engine, QStringLiteral("filiale"));
        const QDate date = bookingDate(engine, final);
        if (!final && branch == s.groupBranch && date == s.groupDate)
            return;
        if (!s.groupBranch.isEmpty() && !s.amountSum.isZero())
            writeCorrection(engine, s);
        s.batchAccount.clear();
        s.batchNumber.clear();
        s.amountSum = TorvenAmount();
        s.groupBranch = branch;
        s.groupDate = date;
    });
}

QString fieldConvert(const QString& account, const QString& branch, const QString& column)
{
    return trapped("indivTorven.fieldConvert", [&] {
        BookingState& s = state();
        // A cursor opened for another definition would look values up in the wrong table.
        if (!s.lookup || s.lookupTransId != currentTransID())
            openLookup(s);
        else if (!s.lookup->isEOF() || s.lookup->AbsolutePosition() > 0)
            s.lookup->MoveFirst();
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
