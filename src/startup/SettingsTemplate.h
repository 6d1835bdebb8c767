#pragma once

#include <QString>

#include <optional>

namespace realm {

// The first start: no folder holds db.ini yet. The user's configuration
// folder gets a commented db.ini to fill in, and db.mdb goes beside it.

// What is missing, where it was looked for (in the search order) and what
// to put where.
QString missingSettingsReport();

// db.ini with the game server's keys left empty and the demo's game
// database line commented out.
QByteArray settingsTemplate();

// Writes the template as db.ini into `folder`, making the folder when it is
// missing. The password goes into that file: both are made readable by the
// user alone. An existing db.ini (even a dangling link) is never replaced.
// Returns why it failed, or nothing when the file was written.
std::optional<QString> createSettingsTemplate(const QString &folder);

// A warning, as ssh gives for its keys, when the db.ini in `folder` holds a
// password and users other than its owner may read it; nothing otherwise.
std::optional<QString> exposedPasswordNote(const QString &folder);

} // namespace realm
