#pragma once

#include <QString>

namespace realm {

// How to log in to the game database on SQL Server.
struct GameServerLogin {
    QString server;
    QString userId;
    QString password;
    // How long one statement may wait for the server; 0 waits without end.
    int queryTimeoutSeconds = 300;
};

// The settings file beside the program: section "基础设置" with the keys
// "serverip", "userid" and "password" for the SQL Server game database.
// An extra key "gamedb" names a SQLite file (relative to the program folder,
// or absolute) to use as the game database instead: the demo and the tests
// use it; without it, the game database is SQL Server.
// "querytimeout" (seconds, 0 for none) bounds each statement on SQL Server.
struct Settings {
    GameServerLogin login;
    QString gameDatabaseFile;
    // Why the settings cannot reach SQL Server, naming the file: it is
    // missing, unreadable or UTF-16, lacks the section, names no server, or
    // holds a query timeout that is not a number. Empty when they can.
    QString problem;
};

QString settingsPath(const QString &programFolder);
// Reads serverip, userid, password (in that order), then gamedb and
// querytimeout; each value trimmed of blanks. A missing file, section or key
// gives empty values, and says why in `problem`.
Settings readSettings(const QString &programFolder);

} // namespace realm
