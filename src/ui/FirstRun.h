#pragma once

namespace realm::ui {

// Tells what is missing when no folder holds db.ini and asks whether to
// create a db.ini to fill in, in the user's configuration folder. Nothing is
// written without a yes. Returns true when the file was created.
bool offerSettingsTemplate();

} // namespace realm::ui
