#pragma once

#include <QString>

#include <sql.h>

#include <vector>

namespace realm {

// What the driver recorded on a handle about the call that failed there.
struct Diagnostic {
    long number = 0;
    QString state;
    QString text;
    std::vector<QString> states; // of every record, first to last
};

Diagnostic diagnose(SQLSMALLINT handleType, SQLHANDLE handle);

// A handle of `type` under `parent` (of `parentType`); the reasons for a
// failure are recorded on the parent, when there is one. Throws DataError.
SQLHANDLE allocateHandle(SQLSMALLINT type, SQLSMALLINT parentType, SQLHANDLE parent);

} // namespace realm
