#include "data/odbc/DriverChoice.h"

#include <windows.h>

#include <sql.h>
#include <sqlext.h>

#include <QStringList>

#include <array>

namespace realm {

namespace {

QStringList installedDrivers()
{
    SQLHENV environment = SQL_NULL_HENV;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &environment)))
        return {};
    SQLSetEnvAttr(environment, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    QStringList names;
    std::array<SQLWCHAR, 256> name{};
    std::array<SQLWCHAR, 1024> attributes{};
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (SQL_SUCCEEDED(SQLDriversW(environment, direction, name.data(), SQLSMALLINT(name.size()), &nameLength,
                                     attributes.data(), SQLSMALLINT(attributes.size()), &attributesLength))) {
        names << QString::fromUtf16(reinterpret_cast<const char16_t *>(name.data()));
        direction = SQL_FETCH_NEXT;
    }
    SQLFreeHandle(SQL_HANDLE_ENV, environment);
    return names;
}

SqlServerDriver bestInstalledDriver()
{
    const QStringList installed = installedDrivers();
    for (const SqlServerDriver driver : {SqlServerDriver::MicrosoftOdbc18, SqlServerDriver::MicrosoftOdbc17, SqlServerDriver::WindowsSqlServer}) {
        if (installed.contains(driverName(driver), Qt::CaseInsensitive))
            return driver;
    }
    return SqlServerDriver::FreeTds;
}

} // namespace

// Asked of the driver manager once: installing a driver takes a new start.
SqlServerDriver sqlServerDriver()
{
    static const SqlServerDriver driver = bestInstalledDriver();
    return driver;
}

} // namespace realm
