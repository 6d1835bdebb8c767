#include "data/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace realm {

namespace {

QString exponentForm(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.14E", value);
    QString text = QString::fromLatin1(buffer);
    qsizetype e = text.indexOf(u'E');
    QString mantissa = text.first(e);
    if (mantissa.contains(u'.')) {
        while (mantissa.endsWith(u'0'))
            mantissa.chop(1);
        if (mantissa.endsWith(u'.'))
            mantissa.chop(1);
    }
    int exponent = text.sliced(e + 1).toInt();
    return mantissa + (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"))
        + QString::number(std::abs(exponent)).rightJustified(2, u'0');
}

QString plainForm(double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", value);
    // %.15G keeps 15 significant digits; below 1E+15 and from 1E-4 it never
    // uses an exponent, and it drops trailing zeros by itself.
    return QString::fromLatin1(buffer);
}

} // namespace

QString formatNumber(double value)
{
    if (value == 0)
        return QStringLiteral("0");
    // Round to 15 significant digits first, so 999999999999999.9 counts as 1E+15.
    char rounded[40];
    std::snprintf(rounded, sizeof rounded, "%.14E", value);
    double magnitude = std::fabs(std::strtod(rounded, nullptr));
    if (magnitude >= 1e15 || magnitude < 1e-4)
        return exponentForm(value);
    return plainForm(value);
}

} // namespace realm
