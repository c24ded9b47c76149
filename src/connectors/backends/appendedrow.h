#pragma once

#include "connectors/backends/valueconversion.h"
#include "connectors/recordaccess.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace quendra {

// The row a file-table writer appends: AddNew starts it with every column NULL, setItem
// fills one column by its ordinal, update hands the row to writeRow and ends it. Errors
// carry the where-texts "<name>.setItem" and "<name>.Update".
class AppendedRow : public DatabaseRecord {
public:
    void AddNew() override;
    void setItem(int ordinal, const QVariant& value) override;
    void update() override;
    const ReplacedCharacters* replaced() const override { return &m_replaced; }
    QString codePageName() const override;

protected:
    // name: the writer's module name ("DbaseFile").
    explicit AppendedRow(const char* name);
    // Writes one complete row; nothing of it when it throws.
    virtual void writeRow(const std::vector<QVariant>& values) = 0;
    // Whether setItem may fill column ordinal: by default the columns of the table.
    virtual bool acceptsColumn(int ordinal) const { return ordinal < fieldsCount(); }

    // text in the table's code page codec (an ICU name such as "windows-1252"); a
    // character the code page lacks becomes "?" rather than a control character, and is
    // counted as one of column ordinal in the row being written.
    QByteArray encodeText(const QByteArray& codec, const QString& text, int ordinal);

    // The writers' one rule set for turning a value into what a column holds.
    const RegionalText& rules() const { return m_rules; }

private:
    QByteArray m_setItemWhere;
    QByteArray m_updateWhere;
    RegionalText m_rules;
    std::vector<QVariant> m_values;
    bool m_adding = false;
    qint64 m_rowsWritten = 0;
    ReplacedCharacters m_replaced;
    QByteArray m_codec; // the code page of the values encoded last
};

} // namespace quendra
