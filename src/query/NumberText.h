#pragma once

#include <QString>

#include <optional>

namespace realm {

// The number a text box holds, as the text put into SQL: the trimmed text's
// leading number (blanks, tabs and line feeds skipped anywhere; a sign;
// digits with one decimal point; an E or D exponent; &H hexadecimal and &O
// octal), 0 when it starts with none, written back by formatNumber.
// nullopt when the number lies beyond the floating-point range.
std::optional<QString> numberText(const QString &boxText);

// The value itself; nullopt beyond the floating-point range.
std::optional<double> leadingNumber(QStringView text);

// When the box holds more than the number read ("1,000" read as 1, "abc"
// and "１０００" as 0), a note naming the box, its text and the number
// searched for; the empty text when the text is just the number.
QString numberReadNote(const QString &boxText, const QString &boxName);

} // namespace realm
