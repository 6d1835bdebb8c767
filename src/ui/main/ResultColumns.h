#pragma once

#include "ui/Controls.h"

namespace realm::ui {

// The main window's result list, one entry per column in the order the
// searches fill them: the heading and its width.
const QList<ColumnSpec> &resultColumns();

} // namespace realm::ui
