#include "data/odbc/DriverChoice.h"

namespace realm {

SqlServerDriver sqlServerDriver()
{
    return SqlServerDriver::FreeTds;
}

} // namespace realm
