#pragma once

#include <QString>

namespace realm {

// Shortest decimal text of a number with at most 15 significant digits, the
// exponent form (1E+15) from 10^15 up and below 10^-4. One form for both
// uses: the lists show numbers in it and the searches write their SQL
// number literals in it.
QString formatNumber(double value);

} // namespace realm
