#pragma once

#include <QString>

namespace realm {

// What a search takes from a text box: the text without leading and trailing
// U+0020; tabs and other white space stay.
QString trimBlanks(QStringView text);

} // namespace realm
