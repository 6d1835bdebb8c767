#pragma once

#include "data/Connection.h"
#include "data/Settings.h"

#include <functional>
#include <memory>
#include <optional>

namespace realm {

// Why and for what the user is asked for a game server's password.
struct PasswordQuestion {
    QString serverName; // as the settings name the server
    QString server; // its address
    QString userId;
    bool refused = false; // the password tried last was refused
    // Why the keyring cannot keep the password; said once per process.
    QString keyringProblem;
    bool keyringAvailable = true;
};

struct PasswordAnswer {
    QString password;
    bool remember = false; // in the keyring, once the login succeeded
};

// Asks the user; nothing when the user cancels or cannot be asked.
using PasswordPrompt = std::function<std::optional<PasswordAnswer>(const PasswordQuestion &)>;

// The programs' own way of asking (a dialog, the terminal); without one,
// a missing password is an error.
void setPasswordPrompt(PasswordPrompt prompt);

// The game connection of `settings`. A login without a password key takes
// its password from the keyring, or asks for it; a refused password is
// asked again. An asked password is stored in the keyring only after a
// login with it succeeded, and only when the user said so. Throws
// DataError like openGameConnection, and when no password can be had.
std::shared_ptr<Connection> openGameServer(const Settings &settings, const QString &programFolder);

// Logs in with `password` and, when that succeeded, stores it in the
// keyring for the server's address and login. Throws DataError when the
// login fails or the keyring cannot store it; the keyring is unchanged then.
void storeServerPassword(const Settings &settings, const QString &programFolder, const QString &password);

} // namespace realm
