#pragma once

#include <QString>

namespace realm::ui {

enum class Delimiter { Comma,
                       Tab };

// One field of a delimited line. A field holding the delimiter, a double
// quote or a line break is put in double quotes, its quotes doubled.
void appendField(QString &line, QStringView field, Delimiter delimiter);

// A field that a spreadsheet would take as a formula (starting with = + - @,
// a tab or a carriage return) gets a leading apostrophe; plain numbers such
// as -5 or +12 are left as they are.
QString guardFormula(const QString &field);

} // namespace realm::ui
