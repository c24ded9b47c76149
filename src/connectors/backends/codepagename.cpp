#include "connectors/backends/codepagename.h"

#include <QStringDecoder>

namespace quendra {

QByteArray codePageCodec(int number)
{
    if (number == 65001)
        return "UTF-8";
    const QByteArray digits = QByteArray::number(number);
    if (digits.startsWith("8859") && digits.size() > 4) // 88592, 885915
        return "ISO-8859-" + digits.mid(4);
    // Thai and the East Asian Windows code pages have IBM twins that differ in some bytes.
    const bool windows = number >= 1250 || number == 874 || number == 932 || number == 936 ||
                         number == 949 || number == 950;
    for (const char* prefix : {windows ? "windows-" : "IBM", "cp"}) {
        const QByteArray name = prefix + digits;
        if (QStringDecoder(name.constData()).isValid())
            return name;
    }
    return {};
}

} // namespace quendra
