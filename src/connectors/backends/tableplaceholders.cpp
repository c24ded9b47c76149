#include "connectors/backends/tableplaceholders.h"

#include "common/error.h"
#include "values/numbers.h"

#include <algorithm>
#include <cctype>

namespace quendra {

namespace {
const QString Marker = QStringLiteral("$TBL(");

// A number as every value is read: by the regional rules, and no other.
bool isNumeric(const QString& text, double& number)
{
    return parseNumber(text, RegionalSettings::fromLocale(), number);
}

const QString& pickTable(const QStringList& tables, const QString& argument)
{
    double number = 0;
    if (isNumeric(argument, number)) {
        if (isWholeNumber(number) && number >= 1 && number <= double(tables.size()))
            return tables[qsizetype(number) - 1];
    } else {
        for (const QString& table : tables) {
            if (table.startsWith(argument, Qt::CaseInsensitive))
                return table;
        }
    }
    return tables.last();
}

// Whether the text is one name that SQL takes without quotes.
bool isPlainName(QStringView name)
{
    const auto letter = [](QChar c) {
        return c.unicode() >= 0x80 || c == u'_' || (c >= u'a' && c <= u'z') ||
               (c >= u'A' && c <= u'Z');
    };
    if (name.isEmpty() || !letter(name.front()))
        return false;
    return std::all_of(name.begin(), name.end(),
                       [&](QChar c) { return letter(c) || c == u'$' || (c >= u'0' && c <= u'9'); });
}

// How a name is quoted: not at all, in a pair ("[Lager 1]", "\"Lager\"", "`Lager`") or in
// an opening quote or bracket the last character does not close (or that closes inside).
enum class Quoting { None, Paired, Unpaired };

// Sets inner to the name without the quotes or brackets around it (name itself when it
// has none).
Quoting quoting(QStringView name, QStringView& inner)
{
    inner = name;
    if (name.size() < 2 || !QStringView(u"[\"`").contains(name.front()))
        return Quoting::None;
    const QChar close = name.front() == u'[' ? u']' : name.front();
    inner = name.mid(1, name.size() - 2);
    return name.back() == close && !inner.contains(close) ? Quoting::Paired : Quoting::Unpaired;
}

bool sameName(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        const char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x != y && (x >= 0x80 || y >= 0x80 || std::tolower(x) != std::tolower(y)))
            return false;
    }
    return true;
}
} // namespace

QString resolveTablePlaceholders(const QString& sql, const std::function<QStringList()>& catalogue)
{
    QString text = sql;
    qsizetype from = 0;
    QStringList tables;
    bool loaded = false;
    while (true) {
        const qsizetype start = text.indexOf(Marker, from);
        if (start < 0)
            break;
        const qsizetype argStart = start + Marker.size();
        const qsizetype close = text.indexOf(QLatin1Char(')'), argStart);
        if (close < 0)
            break;
        if (!loaded) {
            tables = catalogue();
            loaded = true;
        }
        const QString argument = text.mid(argStart, close - argStart);
        if (tables.isEmpty()) {
            throw Error(errnum::ItemNotFound, {},
                        QStringLiteral("Die Datenbank enthält keine Tabelle, die für \"$TBL(%1)\" "
                                       "eingesetzt werden kann.")
                            .arg(argument));
        }
        const QString& table = pickTable(tables, argument);
        text.replace(start, close - start + 1, table);
        // Go on behind the inserted name, so that a name cannot be taken for a placeholder.
        from = start + table.size();
    }
    return text;
}

QString unquotedTableName(const QString& table)
{
    const QString name = table.trimmed();
    QStringView inner;
    return quoting(name, inner) == Quoting::None ? name : inner.toString();
}

qsizetype namedTable(const QStringList& tables, const QString& table)
{
    if (tables.isEmpty())
        return -1;
    const QString text = resolveTablePlaceholders(table, [&] { return tables; }).trimmed();
    QStringView name;
    const Quoting quotes = quoting(text, name);
    if (quotes == Quoting::Unpaired || (quotes == Quoting::None && !isPlainName(name)))
        return -1;
    for (qsizetype i = 0; i < tables.size(); ++i) {
        if (sameName(tables.at(i), name))
            return i;
    }
    return -1;
}

} // namespace quendra
