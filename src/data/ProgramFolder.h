#pragma once

#include <QString>

namespace realm {

// The folder the program reads db.ini and db.mdb from: the executable's
// folder, unless a --dir option chose another.
QString programFolder();
void setProgramFolder(const QString &folder);

} // namespace realm
