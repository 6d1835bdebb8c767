#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace realm {

// The folder the program reads db.ini and db.mdb from: the one a --dir
// option chose; else the first folder of settingsSearchFolders() that holds
// db.ini; else the program's own folder, whose missing files the start-up
// then reports.
QString programFolder();
void setProgramFolder(const QString &folder);

// Where db.ini is looked for when no folder was chosen, in this order: the
// program's own folder (so a copied folder keeps working), then the user's
// configuration folder.
QStringList settingsSearchFolders();
// $XDG_CONFIG_HOME/realmquery, usually ~/.config/realmquery; on Windows
// %LOCALAPPDATA%\realmquery, the user's local application-data folder.
QString userSettingsFolder();
// The first searched folder that holds db.ini, if any.
std::optional<QString> findSettingsFolder();
// The bundled demo data of an installed program, found from the program's
// folder as the install lays them out.
QString installedDemoFolder();

// The search order as --help tells it.
QString settingsSearchHelp();

} // namespace realm
