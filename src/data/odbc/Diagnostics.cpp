#include "data/odbc/Diagnostics.h"

#include "data/DataError.h"

#include <QCoreApplication>
#include <QStringList>

#include <sqlext.h>

#include <algorithm>

namespace realm {

Diagnostic diagnose(SQLSMALLINT handleType, SQLHANDLE handle)
{
    Diagnostic diagnostic;
    QStringList texts;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[1024] = {};
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(handleType, handle, record, state, &native, message, 1024, &length)))
            break;
        diagnostic.states.push_back(QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5));
        if (record == 1) {
            diagnostic.number = native;
            diagnostic.state = diagnostic.states.front();
        }
        texts << QString::fromUtf16(reinterpret_cast<const char16_t *>(message), std::min<SQLSMALLINT>(length, 1023));
    }
    diagnostic.text = texts.join(u'\n');
    return diagnostic;
}

SQLHANDLE allocateHandle(SQLSMALLINT type, SQLSMALLINT parentType, SQLHANDLE parent)
{
    SQLHANDLE handle = SQL_NULL_HANDLE;
    const SQLRETURN rc = SQLAllocHandle(type, parent, &handle);
    if (SQL_SUCCEEDED(rc))
        return handle;
    Diagnostic diagnostic = parent == SQL_NULL_HANDLE ? Diagnostic{} : diagnose(parentType, parent);
    if (diagnostic.number == 0)
        diagnostic.number = rc;
    throw DataError(diagnostic.number, QCoreApplication::translate("realm::Diagnostics", "ODBC 驱动程序管理器无法分配句柄：%1").arg(diagnostic.text));
}

} // namespace realm
