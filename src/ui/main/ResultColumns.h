#pragma once

#include "ui/Controls.h"

namespace realm::ui {

// The main window's result list, one entry per column of
// resultListFormat: the heading and its width.
QList<ColumnSpec> resultColumns();

} // namespace realm::ui
