#pragma once

#include <QString>

#include <vector>

namespace realm {

// Whether the connection to SQL Server is encrypted: never; when the
// server offers it (the default); or always, refusing a server that will not.
enum class Encryption { No,
                        Request,
                        Require };

// How to log in to the game database on SQL Server.
struct GameServerLogin {
    QString server;
    QString userId;
    QString password;
    // How long one statement may wait for the server; 0 waits without end.
    int queryTimeoutSeconds = 300;
    // No "password" key: the password comes from the system keyring (or is
    // asked for), never from the settings file.
    bool passwordFromKeyring = false;
    Encryption encryption = Encryption::Request;
    // Trusted certificates (a PEM bundle or the server's own certificate)
    // that the server's certificate and host name are verified against;
    // empty: an encrypted connection is not verified.
    QString caFile{};
};

// One game server of the settings file beside the program. The section
// "基础设置" is the base server, with the keys "serverip", "userid" and
// "password" for the SQL Server game database. An extra key "gamedb" names
// a SQLite file (relative to the program folder, or absolute) to use as the
// game database instead: the demo and the tests use it; without it, the
// game database is SQL Server. "querytimeout" (seconds, 0 for none) bounds
// each statement on SQL Server; "name" gives the base server's display
// name. "encrypt" (no, request, require) and "cafile" say how the
// connection is protected; with "userid" and no "password" key the password
// is kept in the system keyring. Each further section "服务器:NAME" is one
// more server with the same keys, NAME its display name.
struct Settings {
    GameServerLogin login;
    QString gameDatabaseFile;
    // Why the settings cannot reach SQL Server, naming the file and the
    // section: it is missing, unreadable or UTF-16, lacks the section,
    // names no server, or holds a query timeout or an encryption that is not
    // one; for a further server also a section without a name or with a name
    // taken before. Empty when they can.
    QString problem;
    QString section{};
    QString displayName{};
};

QString settingsPath(const QString &programFolder);
// The base server: reads serverip, userid, password (in that order), then
// gamedb and querytimeout; each value trimmed of blanks. A missing file,
// section or key gives empty values, and says why in `problem`.
Settings readSettings(const QString &programFolder);
// Every server of the file: the base one first, then the further ones in
// the order of the file, each read as the base one is. A damaged section
// says so in its own `problem` and leaves the others as they are.
std::vector<Settings> readServerProfiles(const QString &programFolder);

// Whether the server can be opened at all: a game file, or a SQL Server
// login without a problem.
bool isUsable(const Settings &server);

} // namespace realm
