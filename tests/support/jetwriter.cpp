#include "support/jetwriter.h"

#include "config/definitionlayout.h"

#include <QtEndian>
#include <stdexcept>

namespace quendra::test {

namespace {

constexpr int Page = 4096;
constexpr int DataHeader = 14;   // page type, free space, owner, unknown, row count
constexpr int InlineMemo = 2000; // longer memos go to long-value pages

void put16(QByteArray& b, int at, int v)
{
    qToLittleEndian<quint16>(quint16(v), b.data() + at);
}
void put32(QByteArray& b, int at, qint64 v)
{
    qToLittleEndian<quint32>(quint32(v), b.data() + at);
}
QByteArray le16(int v)
{
    QByteArray b(2, '\0');
    put16(b, 0, v);
    return b;
}
QByteArray le32(qint64 v)
{
    QByteArray b(4, '\0');
    put32(b, 0, v);
    return b;
}
QByteArray ucs2(const QString& s)
{
    return QByteArray(reinterpret_cast<const char*>(s.utf16()), s.size() * 2);
}

// Page 0 from offset 0x18 on is masked with RC4 under the key 0x6b39dac7.
void maskHeader(QByteArray& page)
{
    const unsigned char key[4] = {0xc7, 0xda, 0x39, 0x6b};
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xff;
        std::swap(s[i], s[j]);
    }
    for (int n = 0, i = 0, j = 0; n < 128; ++n) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        page[0x18 + n] = char(page[0x18 + n] ^ s[(s[i] + s[j]) & 0xff]);
    }
}

bool isFixed(const JetColumn& c)
{
    return c.type == JetColumn::Long || c.type == JetColumn::Bool;
}

class Builder {
public:
    QByteArray build(const QVector<JetTable>& userTables)
    {
        JetTable catalogue{u"MSysObjects"_qs,
                           {{u"Id"_qs, JetColumn::Long},
                            {u"Name"_qs, JetColumn::Text, 128},
                            {u"Type"_qs, JetColumn::Long},
                            {u"Flags"_qs, JetColumn::Long},
                            {u"LvProp"_qs, JetColumn::Ole}},
                           {}};
        for (int t = 0; t < userTables.size(); ++t)
            catalogue.rows.push_back({3 + t, userTables[t].name, 1, 0, QVariant()});
        QVector<JetTable> tables{catalogue};
        tables += userTables;
        m_pages.resize(2 + tables.size()); // header, usage maps, table definitions
        m_pages[1] = dataPage(0);
        QVector<QVector<int>> owned;
        for (int t = 0; t < tables.size(); ++t)
            owned << writeRows(tables[t], 2 + t);
        for (int t = 0; t < tables.size(); ++t) {
            const int used = addRow(1, usageMap(owned[t]));
            const int free = addRow(1, usageMap({}));
            m_pages[2 + t] = tableDefinition(tables[t], t == 0, used, free);
        }
        QByteArray header(Page, '\0');
        header.replace(0, 19, QByteArray("\x00\x01\x00\x00Standard Jet DB", 19));
        put32(header, 0x14, 1);      // Jet 4
        put16(header, 0x3C, 1252);   // code page
        put16(header, 0x6E, 0x0409); // sort order "General"
        maskHeader(header);
        m_pages[0] = header;
        QByteArray file;
        for (const QByteArray& page : m_pages)
            file += page;
        return file;
    }

private:
    static QByteArray dataPage(qint64 owner)
    {
        QByteArray p(Page, '\0');
        p[0] = 0x01;
        p[1] = 0x01;
        put32(p, 4, owner);
        put16(p, 2, Page - DataHeader);
        return p;
    }

    // Adds row to the page (rows grow down from its end); its pointer (page << 8 | row),
    // or -1 when it does not fit.
    int addRow(int page, const QByteArray& row)
    {
        QByteArray& p = m_pages[page];
        const int count = qFromLittleEndian<quint16>(p.constData() + 12);
        const int end =
            count == 0 ? Page : qFromLittleEndian<quint16>(p.constData() + 12 + 2 * count);
        const int start = end - int(row.size());
        if (start < DataHeader + 2 * (count + 1))
            return -1;
        p.replace(start, row.size(), row);
        put16(p, 12 + 2 + 2 * count, start);
        put16(p, 12, count + 1);
        put16(p, 2, start - DataHeader - 2 * (count + 1));
        return page << 8 | count;
    }

    int newPage(qint64 owner)
    {
        m_pages << dataPage(owner);
        return int(m_pages.size()) - 1;
    }

    // A memo too long for its row, in a chain of long-value pages, one part a page.
    int longValue(const QByteArray& bytes)
    {
        int next = 0;
        constexpr int Part = Page - DataHeader - 2 - 4;
        for (qsizetype at = (bytes.size() - 1) / Part * Part; at >= 0; at -= Part) {
            const int page = newPage(qFromLittleEndian<quint32>("LVAL"));
            next = addRow(page, le32(next) + bytes.mid(at, Part));
        }
        return next;
    }

    QByteArray memo(const QString& text)
    {
        const QByteArray bytes = ucs2(text);
        if (bytes.size() <= InlineMemo)
            return le32(bytes.size() | 0x80000000u) + le32(0) + le32(0) + bytes;
        return le32(bytes.size()) + le32(longValue(bytes)) + le32(0);
    }

    QByteArray row(const JetTable& t, const QVector<QVariant>& values)
    {
        const auto n = t.columns.size();
        QByteArray fixed, variable, mask((n + 7) / 8, '\0');
        QVector<int> starts;
        for (qsizetype c = 0; c < n; ++c) {
            const JetColumn& col = t.columns[c];
            const QVariant& v = values.value(c);
            const bool present = v.isValid() && (col.type != JetColumn::Bool || v.toBool());
            if (present)
                mask[c / 8] = char(mask[c / 8] | (1 << (c % 8)));
            if (col.type == JetColumn::Long)
                fixed += le32(v.toLongLong());
            if (isFixed(col))
                continue;
            starts << int(variable.size());
            if (v.isValid())
                variable += col.type == JetColumn::Memo ? memo(v.toString()) : ucs2(v.toString());
        }
        const int base = 2 + int(fixed.size());
        QByteArray r = le16(int(n)) + fixed + variable + le16(base + int(variable.size()));
        for (auto it = starts.crbegin(); it != starts.crend(); ++it)
            r += le16(base + *it);
        return r + le16(int(starts.size())) + mask;
    }

    QVector<int> writeRows(const JetTable& t, int definitionPage)
    {
        QVector<int> pages;
        for (const QVector<QVariant>& values : t.rows) {
            const QByteArray r = row(t, values);
            if (pages.isEmpty() || addRow(pages.back(), r) < 0) {
                pages << newPage(definitionPage);
                if (addRow(pages.back(), r) < 0)
                    throw std::runtime_error("row longer than a page");
            }
        }
        return pages;
    }

    // A map of type 0: the first page it covers, then one bit a page.
    static QByteArray usageMap(const QVector<int>& pages)
    {
        const int first = pages.isEmpty() ? 0 : pages.front();
        QByteArray bits(64, '\0');
        for (const int p : pages)
            bits[(p - first) / 8] = char(bits[(p - first) / 8] | (1 << ((p - first) % 8)));
        return QByteArray(1, '\0') + le32(first) + bits;
    }

    static QByteArray tableDefinition(const JetTable& t, bool system, int used, int free)
    {
        QByteArray p(0x3F, '\0');
        p[0] = 0x02;
        p[1] = 0x01;
        put32(p, 0x10, t.storedRows < 0 ? t.rows.size() : t.storedRows);
        p[0x28] = char(system ? 0x53 : 0x4e);
        int fixedAt = 0, varNo = 0;
        QByteArray names;
        for (qsizetype c = 0; c < t.columns.size(); ++c) {
            const JetColumn& col = t.columns[c];
            QByteArray d(25, '\0');
            d[0] = char(col.type);
            put16(d, 5, int(c));
            put16(d, 7, isFixed(col) ? 0 : varNo++);
            put16(d, 9, int(c));
            put16(d, 11, col.type == JetColumn::Text ? 0x0409 : 0);
            d[15] = char((isFixed(col) ? 0x01 : 0) | 0x02);
            put16(d, 21, isFixed(col) ? fixedAt : 0);
            put16(d, 23,
                  col.type == JetColumn::Long   ? 4
                  : col.type == JetColumn::Text ? 2 * col.chars
                                                : 0);
            fixedAt += col.type == JetColumn::Long ? 4 : 0;
            p += d;
            names += le16(int(col.name.size()) * 2) + ucs2(col.name);
        }
        p += names + le16(0xFFFF);
        put16(p, 0x29, int(t.columns.size()));
        put16(p, 0x2B, varNo);
        put16(p, 0x2D, int(t.columns.size()));
        put32(p, 0x37, used);
        put32(p, 0x3B, free);
        put32(p, 8, p.size() - 8);
        put16(p, 2, Page - int(p.size()) - 8);
        return p.leftJustified(Page, '\0');
    }

    QVector<QByteArray> m_pages;
};

} // namespace

QByteArray jetFile(const QVector<JetTable>& tables)
{
    return Builder().build(tables);
}

QVector<JetTable> schemaJetTables()
{
    QVector<JetTable> tables;
    for (const LayoutTable& t : schemaTables()) {
        JetTable jet{t.name, {}, {}};
        for (const LayoutColumn& c : t.columns) {
            const auto type = c.kind == LayoutColumn::Kind::Integer ? JetColumn::Long
                              : c.kind == LayoutColumn::Kind::Memo  ? JetColumn::Memo
                                                                    : JetColumn::Text;
            jet.columns << JetColumn{c.name, type, c.maxLength};
        }
        tables << jet;
    }
    return tables;
}

} // namespace quendra::test
