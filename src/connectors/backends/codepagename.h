#pragma once

#include <QByteArray>

namespace quendra {

// The ICU name of a code page given by its number, as database files store it ("1252",
// "850", "65001", "88592"): DOS code pages by IBM's name, Windows code pages by
// Microsoft's, ISO 8859 by its digits. Empty when ICU knows no such code page.
QByteArray codePageCodec(int number);

} // namespace quendra
