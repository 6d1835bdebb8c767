#pragma once

#include <QSettings>

#include <memory>

namespace realm::ui {

// What the windows remember between runs (sizes, positions, column widths,
// the last export folder), in the user's configuration folder; db.ini is
// never written. Nothing, after a note on standard error the first time,
// when what stands there is not a regular file of a plausible size: a
// device, a FIFO or a socket is neither read nor replaced.
std::unique_ptr<QSettings> openUserSettings();

// The file they are kept in.
QString userSettingsFile();

} // namespace realm::ui
