#include "data/odbc/DriverChoice.h"

namespace realm {

QString driverName(SqlServerDriver driver)
{
    switch (driver) {
    case SqlServerDriver::MicrosoftOdbc18:
        return QStringLiteral("ODBC Driver 18 for SQL Server");
    case SqlServerDriver::MicrosoftOdbc17:
        return QStringLiteral("ODBC Driver 17 for SQL Server");
    case SqlServerDriver::WindowsSqlServer:
        return QStringLiteral("SQL Server");
    case SqlServerDriver::FreeTds:
        break;
    }
    return QStringLiteral("FreeTDS");
}

} // namespace realm
