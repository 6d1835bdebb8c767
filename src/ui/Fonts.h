#pragma once

namespace realm::ui {

// Lets the Chinese face names the windows ask for ("宋体") resolve to an
// installed Song/Ming face on systems that do not have it.
void installFontSubstitutes();

} // namespace realm::ui
