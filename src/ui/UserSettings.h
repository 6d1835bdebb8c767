#pragma once

#include <QSettings>

#include <memory>

namespace realm::ui {

// What the windows remember between runs (sizes, positions, column widths,
// the last export folder), in the user's configuration folder; db.ini is
// never written.
std::unique_ptr<QSettings> openUserSettings();

} // namespace realm::ui
