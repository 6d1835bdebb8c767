#pragma once

#include <QRect>
#include <QSize>

namespace realm::ui {

// Window layouts are drawn in twips: 15 twips to a pixel at 96 dpi; Qt
// scales the pixels for high-dpi screens.
constexpr int TwipsPerPixel = 15;

constexpr int twips(int value)
{
    return (value + TwipsPerPixel / 2) / TwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return {twips(left), twips(top), twips(width), twips(height)};
}

inline QSize twipsSize(int width, int height)
{
    return {twips(width), twips(height)};
}

} // namespace realm::ui
