#pragma once

#include <QString>

namespace realm {

// The ODBC drivers for SQL Server the connection string knows, in the order
// they are preferred where more than one is installed.
enum class SqlServerDriver { MicrosoftOdbc18,
                             MicrosoftOdbc17,
                             WindowsSqlServer,
                             FreeTds };

// The driver this system uses for SQL Server: FreeTDS through unixODBC, or
// on Windows the best one installed (FreeTDS when none of Microsoft's is).
SqlServerDriver sqlServerDriver();
// Its name as ODBC lists it and the connection string's DRIVER names it.
QString driverName(SqlServerDriver driver);

} // namespace realm
