#include "connectors/backends/appendedrow.h"

#include "common/error.h"

#include <QStringEncoder>

namespace quendra {

AppendedRow::AppendedRow(const char* name)
    : m_setItemWhere(QByteArray(name) + ".setItem"), m_updateWhere(QByteArray(name) + ".Update")
{
}

void AppendedRow::AddNew()
{
    m_values.assign(size_t(fieldsCount()), QVariant());
    m_adding = true;
}

void AppendedRow::setItem(int ordinal, const QVariant& value)
{
    trapped(m_setItemWhere.constData(), [&] {
        if (!m_adding)
            throw standardError(errnum::NoCurrentRecord);
        if (ordinal < 0 || !acceptsColumn(ordinal))
            throw standardError(errnum::ItemNotFound, QString::number(ordinal));
        if (size_t(ordinal) >= m_values.size())
            m_values.resize(size_t(ordinal) + 1);
        m_values[size_t(ordinal)] = value;
    });
}

void AppendedRow::update()
{
    trapped(m_updateWhere.constData(), [&] {
        if (!m_adding)
            throw standardError(errnum::NoCurrentRecord);
        writeRow(m_values);
        m_adding = false;
        ++m_rowsWritten;
    });
}

QByteArray AppendedRow::encodeText(const QByteArray& codec, const QString& text, int ordinal)
{
    m_codec = codec;
    QStringEncoder encoder(codec.constData());
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        QStringEncoder single(codec.constData()); // a fresh one: the error state sticks
        const QByteArray one = single.encode(QStringView(text).mid(i, length));
        if (single.hasError()) {
            bytes += '?';
            m_replaced.count(m_rowsWritten + 1, ordinal, text.mid(i, length));
        } else {
            bytes += one;
        }
        i += length;
    }
    return bytes;
}

QString AppendedRow::codePageName() const
{
    // "windows-1252" and "IBM850" as "1252" and "850".
    QString name = QString::fromLatin1(m_codec);
    while (!name.isEmpty() && !name.front().isDigit())
        name.remove(0, 1);
    return name.isEmpty() ? QString::fromLatin1(m_codec) : name;
}

} // namespace quendra
