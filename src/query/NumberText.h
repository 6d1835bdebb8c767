#pragma once

#include <QString>

#include <optional>

namespace realm {

// A number box read once: the number as the text put into SQL, and the
// note for the status line when the box holds more than that number.
struct NumberBox {
    QString sqlText;
    QString note;
};

// The number a text box holds, as the text put into SQL: the trimmed text's
// leading number (blanks, tabs and line feeds skipped anywhere; a sign;
// digits with one decimal point; an E or D exponent; &H hexadecimal and &O
// octal; full-width digits, signs and point as their ASCII forms), 0 when
// it starts with none, written back by formatNumber.
// The note, when the box holds more than the number read ("1,000" read as
// 1, "abc" as 0), names the box, its text and the number
// searched for. nullopt when the number lies beyond the floating-point
// range.
std::optional<NumberBox> readNumberBox(const QString &boxText, const QString &boxName);

// The value itself; nullopt beyond the floating-point range.
std::optional<double> leadingNumber(QStringView text);

} // namespace realm
