// The identity of a database source over its values.
#include "connectors/recordaccess.h"
#include "engine/sourceidentity.h"

#include <gtest/gtest.h>

using namespace quendra;
using namespace Qt::StringLiterals;

namespace {

// Records as a reader hands them out: fieldCount fields, each record holding its values.
class Records : public RecordReader {
public:
    Records(int fields, std::vector<QStringList> records) : m_fields(fields), m_records(records) {}
    bool isEOF() const override { return m_at >= m_records.size(); }
    qint64 AbsolutePosition() const override { return qint64(m_at) + 1; }
    void MoveFirst() override { m_at = 0; }
    void MoveLast() override { m_at = m_records.size() - 1; }
    void MoveNext() override { ++m_at; }
    int fieldCount() const override { return m_fields; }
    int valueCount() const override { return int(m_records[m_at].size()); }
    QStringView getField(int index) const override
    {
        return index < m_records[m_at].size() ? QStringView(m_records[m_at][index]) : QStringView();
    }

private:
    int m_fields;
    std::vector<QStringList> m_records;
    size_t m_at = 0;
};

QByteArray identity(Records records)
{
    ValueFingerprint values;
    for (; !records.isEOF(); records.MoveNext())
        values.addRecord(records, records.fieldCount());
    return values.result().sha256;
}

// A sheet read straight from its file ends each record at its last cell; read through a
// table, the same record has its empty fields up to the table's width: one identity. The
// values still belong to their records.
TEST(ValueFingerprint, EmptyFieldsAtTheEndDoNotCountButRecordsDo)
{
    const QByteArray table =
        identity(Records(3, {{u"a"_s, u""_s, u""_s}, {u"b"_s, u"c"_s, u""_s}}));
    EXPECT_EQ(identity(Records(16384, {{u"a"_s}, {u"b"_s, u"c"_s}})), table);
    EXPECT_NE(identity(Records(3, {{u"a"_s, u"b"_s, u"c"_s}})), table);
    EXPECT_NE(identity(Records(3, {{u"a"_s, u""_s, u""_s}, {u"b"_s, u""_s, u"c"_s}})), table);
}

} // namespace
