#pragma once

#include "data/ServerAddress.h"
#include "data/Settings.h"
#include "data/odbc/DriverChoice.h"

namespace realm {

// The ODBC connection string for this system's SQL Server driver (see
// sqlServerDriver()), to the host and port of `address` (whose port is
// known). Every value is wrapped in braces, so a ";" in it cannot add
// keywords; for FreeTDS, which cannot escape it, a value holding "};" is
// refused with a DataError.
QString odbcConnectionString(const GameServerLogin &login, const ServerAddress &address);
// The same for a given driver.
QString odbcConnectionString(SqlServerDriver driver, const GameServerLogin &login, const ServerAddress &address);
// The address in the login's server text; a DataError when it is none.
ServerAddress serverAddressOf(const GameServerLogin &login);

} // namespace realm
