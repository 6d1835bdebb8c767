#pragma once

class QWidget;

namespace realm::ui {

// Lets the Chinese face names the windows ask for ("宋体") resolve to an
// installed Song/Ming face on systems that do not have it, and gives the
// interface font a proportional Latin face ahead of the system's face.
void installFontSubstitutes();

// Gives the boxes, lists and grids of `form` a Latin sans-serif face ahead
// of the face they had, so that Latin letters and digits are drawn in it
// (l and 1 stay apart) and Chinese in the face they had; list and grid rows
// get the height of the tallest face plus a gap. On Windows a Chinese face
// of the system (Microsoft YaHei, SimSun) goes ahead of the Latin one.
void useReadableFonts(QWidget *form);

} // namespace realm::ui
