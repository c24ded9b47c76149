#pragma once

#include "connectors/backends/backend.h"

#include <QVariant>

namespace quendra::test {

// The same connection without a bulk path: RowStream reads it through Qt SQL.
class QtSqlReader : public Backend {
public:
    explicit QtSqlReader(Backend& inner) : m_inner(inner) {}
    QSqlDatabase database() const override { return m_inner.database(); }
    QString driverName() const override { return m_inner.driverName(); }
    bool isSqlite() const override { return m_inner.isSqlite(); }
    QStringList tables() const override { return m_inner.tables(); }
    std::unique_ptr<DatabaseRecord> openWriter(const QString&) override { return nullptr; }
    void deleteRow(const QString&, const QStringList&, const QList<QVariant>&) override {}

private:
    Backend& m_inner;
};

// A value as "type|text": NULL (or a null text) as <NULL>, bytes outside ASCII letters as
// \xNN.
inline QString shownValue(const QVariant& value)
{
    QString text = value.toString();
    if (value.isNull() || text.isNull()) {
        text = QStringLiteral("<NULL>");
    } else if (value.typeId() == QMetaType::QByteArray) {
        text.clear();
        for (const char c : value.toByteArray())
            text += QChar::isLetter(uchar(c)) && uchar(c) < 128
                        ? QString(QLatin1Char(c))
                        : QStringLiteral("\\x%1").arg(uchar(c), 2, 16, QLatin1Char('0'));
    }
    return QString::fromLatin1(value.typeName()) + u'|' + text;
}

} // namespace quendra::test
