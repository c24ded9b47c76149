// The value translation lookup against a plain linear search over the rows. Rules: the first row of
// the field (names compared by upper-case form) whose old value equals the value wins; without one,
// the last "(*)" row of the field; an empty new value leaves the value as it is.
//
// Input: target field names, rows (field, old, new) and values to look up, all made of
// a few characters, so that names and values meet often, also in other letter cases.
#include "common.h"

#include "engine/translationcache.h"

#include <fuzzer/FuzzedDataProvider.h>

using namespace quendra;

namespace {

QString shortText(FuzzedDataProvider& in)
{
    static const char16_t* const Pieces[] = {u"a", u"A",   u"b", u"\u00E4", u"\u00C4", u"\u00DF",
                                             u" ", u"(*)", u"1", u"\u0131", u"I",      u"i"};
    QString text;
    for (int n = in.ConsumeIntegralInRange(0, 3); n > 0; --n)
        text += QString::fromUtf16(Pieces[in.ConsumeIntegralInRange<std::size_t>(0, 11)]);
    return text;
}

// Equal by the upper-case form of each UTF-16 unit.
bool sameUpper(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].toUpper() != b[i].toUpper())
            return false;
    }
    return true;
}

QString linearLookup(const std::vector<std::array<QString, 3>>& rows, const QString& field,
                     const QString& value)
{
    const QString* wildcard = nullptr;
    for (const auto& [name, oldValue, newValue] : rows) {
        if (sameUpper(name, field) && sameUpper(oldValue, QStringLiteral("(*)")))
            wildcard = &newValue; // the last one
    }
    for (const auto& [name, oldValue, newValue] : rows) {
        if (sameUpper(name, field) && sameUpper(oldValue, value))
            return newValue.isEmpty() ? value : newValue; // the first one
    }
    return wildcard && !wildcard->isEmpty() ? *wildcard : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    std::vector<trgBodyRec> fields(in.ConsumeIntegralInRange<std::size_t>(1, 4));
    for (trgBodyRec& f : fields)
        f.field = shortText(in);
    std::vector<std::array<QString, 3>> rows(in.ConsumeIntegralInRange<std::size_t>(0, 40));
    for (auto& row : rows)
        row = {shortText(in), shortText(in), shortText(in)};

    TranslationCache cache;
    cache.build(rows, fields);
    while (in.remaining_bytes() > 0) {
        const auto index = in.ConsumeIntegralInRange<std::size_t>(0, fields.size() - 1);
        const QString value = shortText(in);
        QString got = value;
        if (cache.hasRows(qsizetype(index)))
            cache.apply(qsizetype(index), got);
        const QString expected = linearLookup(rows, fields[index].field, value);
        FUZZ_CHECK(got == expected, "field %s, value %s: %s, expected %s",
                   qPrintable(fields[index].field), qPrintable(value), qPrintable(got),
                   qPrintable(expected));
    }
    return 0;
}
