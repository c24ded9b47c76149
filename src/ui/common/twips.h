#pragma once

#include <QRect>

namespace quendra::ui {

// Window positions are designed in twips; 15 twips make one pixel at 96 dots per inch.
// Rounded to the nearest pixel, halves away from zero, the same on both sides of zero.
constexpr int twips(int t)
{
    return t >= 0 ? (t + 7) / 15 : -((-t + 7) / 15);
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twips(left), twips(top), twips(width), twips(height));
}

} // namespace quendra::ui
