// What makes a text file's line unusable, and the messages that say so.

#include "connectors/clsfsconnect_impl.h"

#include "common/error.h"

#include <algorithm>
#include <utility>

namespace quendra {

namespace {
QString fieldsText(std::size_t count)
{
    return count == 1 ? QStringLiteral("1 Feld") : QStringLiteral("%1 Felder").arg(count);
}
} // namespace

// Says what is wrong with the current line when it has no field index (counted from 0).
QString clsFSConnect::Impl::missingField(int index) const
{
    const qint64 field = qint64(index) + 1;
    if (line.isEmpty() && lineCount > 1)
        return QStringLiteral("Zeile %1 ist leer, die erste Zeile hat %2: es fehlt Feld %3.")
            .arg(lineCount)
            .arg(fieldsText(firstLineFields))
            .arg(field);
    const QString has = QStringLiteral("Zeile %1 hat nur %2 (Trennzeichen \"%3\")")
                            .arg(lineCount)
                            .arg(fieldsText(fieldTotal), delimiter);
    if (lineCount > 1 && fieldTotal < firstLineFields)
        return has + QStringLiteral(", die erste Zeile %1: es fehlt Feld %2.")
                         .arg(firstLineFields)
                         .arg(field);
    return has + QStringLiteral(": es gibt kein Feld %1.").arg(field);
}

QString clsFSConnect::Impl::cutShortText() const
{
    return QStringLiteral("Die Quelldatei %1 wurde während des Lesens kürzer: beim Öffnen hatte "
                          "sie %2 Bytes, jetzt endet sie nach %3 Bytes mitten in Zeile %4. Ein "
                          "anderes Programm hat sie verändert.")
        .arg(fileName)
        .arg(reader.sizeAtOpen())
        .arg(reader.bytesRead())
        .arg(lineCount);
}

namespace {
// Latin letters in UTF-16 without byte order mark: every other byte is zero.
bool zeroEveryOther(std::string_view raw)
{
    if (raw.size() < 2)
        return false;
    for (std::size_t first = 0; first < 2; ++first) {
        bool all = true;
        for (std::size_t i = first; i < raw.size() && all; i += 2)
            all = raw[i] == '\0';
        if (all)
            return true;
    }
    return false;
}
} // namespace

// The first line tells the encoding of a file: the UTF-8 byte order mark says UTF-8,
// whatever was chosen; UTF-16 (a mark, or the zero bytes of Latin letters) is refused.
// A file chosen as single-byte that holds UTF-8 without the mark is refused once, before
// its first line is used: read byte by byte it would give "BÃ¼ro" for "Büro".
void clsFSConnect::Impl::checkEncoding(std::string_view raw)
{
    byteOrderMark = raw.starts_with(Utf8ByteOrderMark);
    readAs = byteOrderMark ? TextEncoding::Utf8 : kind;
    if (!delimiter.isEmpty())
        setDelimiter(delimiter);
    if (raw.starts_with("\xFF\xFE") || raw.starts_with("\xFE\xFF") || zeroEveryOther(raw))
        throw Error(errnum::InvalidProcedureCall, {},
                    QStringLiteral("Die Quelldatei %1 ist in UTF-16 geschrieben; gelesen werden "
                                   "Windows-1252 (ANSI), Codepage 850 (ASCII) und UTF-8. "
                                   "Speichern Sie sie in einer dieser Kodierungen.")
                        .arg(fileName));
    if (!isUtf8(readAs) && !std::exchange(encodingChecked, true))
        refuseUtf8ReadAsSingleByte();
}

void clsFSConnect::Impl::refuseUtf8ReadAsSingleByte() const
{
    const long long at = reader.utf8Start();
    if (at < 0)
        return;
    throw Error(errnum::InvalidProcedureCall, {},
                QStringLiteral("Die Quelldatei %1 ist in UTF-8 geschrieben (zuerst in Zeile %2), "
                               "die Definition liest sie aber als %3: Umlaute und andere "
                               "Sonderzeichen würden verfälscht. Es wurde nichts geschrieben. "
                               "Wählen Sie im Hauptfenster unter „Von“ die Kodierung „UTF-8“ "
                               "(in der Textform der Definition: encoding = \"UTF-8\" im "
                               "Abschnitt [source]).")
                    .arg(fileName)
                    .arg(reader.lineAt(at))
                    .arg(kind == TextEncoding::Oem ? QStringLiteral("Codepage 850 (ASCII)")
                                                   : QStringLiteral("Windows-1252 (ANSI)")));
}

void clsFSConnect::Impl::refuseInvalidUtf8(std::size_t bad) const
{
    const std::string_view raw = reader.line();
    const std::size_t inLine = bad + (byteOrderMark && lineCount == 1 ? 3 : 0);
    throw Error(errnum::InvalidProcedureCall, {},
                QStringLiteral("Die Quelldatei %1 ist kein gültiges UTF-8: Zeile %2, Byte %3 "
                               "der Zeile (Byte %4 der Datei) ist 0x%5. Prüfen Sie die Kodierung "
                               "der Quelle (im Hauptfenster unter „Von“); in Windows-1252 wäre "
                               "die Zeile „%6“.")
                    .arg(fileName)
                    .arg(lineCount)
                    .arg(inLine + 1)
                    .arg(reader.lineOffset() + (long long)inLine + 1)
                    .arg(std::uint8_t(raw[inLine]), 2, 16, QLatin1Char('0'))
                    .arg(QString::fromStdU16String([&] {
                        // enough to recognise the line
                        const std::size_t n = std::min<std::size_t>(raw.size(), 60);
                        std::u16string text(n, u' ');
                        cp.fromAnsi(raw.data(), n, text.data());
                        return n < raw.size() ? text + u"…" : text;
                    }())));
}

// A line with more fields than the first one holds a delimiter inside a value (as in
// "Meier; Hans"): every value after it would be taken for the next field. Empty fields
// at its end (a closing delimiter) lose nothing.
void clsFSConnect::Impl::refuseExtraFields() const
{
    const std::span<const QStringView> extra(fields.data() + recordWidth, fieldTotal - recordWidth);
    if (std::all_of(extra.begin(), extra.end(), [](QStringView v) { return v.isEmpty(); }))
        return;
    throw standardError(errnum::SubscriptOutOfRange,
                        QStringLiteral("Zeile %1 hat %2 Felder, die erste Zeile nur %3 "
                                       "(Trennzeichen „%4“): ein Trennzeichen in einem Wert "
                                       "verschiebt die Werte dahinter in andere Felder.")
                            .arg(lineCount)
                            .arg(fieldTotal)
                            .arg(recordWidth)
                            .arg(delimiter));
}

} // namespace quendra
