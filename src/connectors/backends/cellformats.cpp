#include "connectors/backends/cellformats.h"

#include "connectors/backends/valueconversion.h"
#include "values/regionaltext.h"

#include <QDateTime>
#include <QFile>
#include <cmath>

namespace quendra {

bool formatShowsDate(QStringView code)
{
    if (code.compare(u"General", Qt::CaseInsensitive) == 0 ||
        code.compare(u"Standard", Qt::CaseInsensitive) == 0)
        return false;
    bool quoted = false;
    bool bracket = false;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i).toLower();
        if (quoted || bracket) {
            quoted = quoted && c != u'"';
            bracket = bracket && c != u']';
        } else if (c == u'"' || c == u'[') {
            quoted = c == u'"';
            bracket = c == u'[';
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else if (QStringView(u"dmyhs").contains(c)) {
            return true;
        }
    }
    return false;
}

bool builtInFormatShowsDate(int format)
{
    return (format >= 14 && format <= 22) || (format >= 45 && format <= 47);
}

QVariant serialDateValue(double serial, bool dates1904, const RegionalText& text)
{
    if (!(serial >= 0 && serial < 2958466)) // beyond 31.12.9999: a number
        return serial;
    qint64 days = qint64(std::floor(serial));
    qint64 seconds = std::llround((serial - double(days)) * 86400.0);
    if (seconds == 86400 && days == 0)
        seconds = 86399;
    else if (seconds == 86400) {
        ++days;
        seconds = 0;
    }
    const QTime time = QTime(0, 0).addSecs(int(seconds));
    if (days == 0)
        return time;
    if (days == 60 && !dates1904) {
        QString day;
        formatDate(day, CalendarDate{1900, 2, 29}, text.regional().datePattern);
        return seconds == 0 ? day : day + QLatin1Char(' ') + text.toText(time);
    }
    const QDate base = dates1904   ? QDate(1904, 1, 1)
                       : days < 60 ? QDate(1899, 12, 31)
                                   : QDate(1899, 12, 30);
    const QDate date = base.addDays(days);
    return seconds == 0 ? QVariant(date) : QVariant(QDateTime(date, time));
}

namespace {
bool beginsWith(const QString& path, QByteArrayView magic)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(magic.size()) == magic;
}
} // namespace

bool isCompoundDocument(const QString& path)
{
    return beginsWith(path, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
}

bool isZipFile(const QString& path)
{
    return beginsWith(path, "PK\x03\x04");
}

QVariant cellNumberValue(const QByteArray& stored, double number)
{
    const QVariant exact = printedNumberValue(stored, false);
    return exact.typeId() == QMetaType::QString ? QVariant(number) : exact;
}

} // namespace quendra
