#pragma once

#include <QString>

namespace realm {

// How to log in to the game database on SQL Server.
struct GameServerLogin {
    QString server;
    QString userId;
    QString password;
};

// The settings file beside the program: section "基础设置" with the keys
// "serverip", "userid" and "password" for the SQL Server game database.
// An extra key "gamedb" names a SQLite file (relative to the program folder,
// or absolute) to use as the game database instead: the demo and the tests
// use it; without it, the game database is SQL Server.
struct Settings {
    GameServerLogin login;
    QString gameDatabaseFile;
};

QString settingsPath(const QString &programFolder);
// Reads serverip, userid, password (in that order), then gamedb; each value
// trimmed of blanks. A missing file, section or key gives empty values.
Settings readSettings(const QString &programFolder);

} // namespace realm
