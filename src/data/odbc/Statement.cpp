#include "data/odbc/Statement.h"

#include "data/odbc/Diagnostics.h"

#include <QCoreApplication>

#include <sqlext.h>

#include <algorithm>

namespace realm {

namespace {

// The driver's state for an expired query timeout.
const QString TimeoutExpiredState = QStringLiteral("HYT00");
constexpr SQLULEN WideParameterSize = 4000;

} // namespace

Statement::Statement(SQLHDBC connection, int timeoutSeconds, QString timeoutText)
    : m_handle(allocateHandle(SQL_HANDLE_STMT, SQL_HANDLE_DBC, connection)), m_timeoutText(std::move(timeoutText))
{
    check(SQLSetStmtAttr(m_handle, SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(SQLULEN(timeoutSeconds)), 0));
}

Statement::~Statement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, m_handle);
}

DataError Statement::failure() const
{
    const Diagnostic diagnostic = diagnose(SQL_HANDLE_STMT, m_handle);
    if (diagnostic.state == TimeoutExpiredState)
        return DataError(ErrorNumber::QueryTimeout, m_timeoutText);
    if (diagnostic.text.isEmpty())
        return DataError(diagnostic.number, QCoreApplication::translate("realm::Statement", "SQL Server 报告语句失败，但没有给出原因。"));
    return DataError(diagnostic.number, diagnostic.text);
}

void Statement::bindTexts(const QStringList &parameters)
{
    m_parameterLengths.assign(std::size_t(parameters.size()), 0);
    for (int i = 0; i < parameters.size(); ++i) {
        SQLLEN &length = m_parameterLengths[std::size_t(i)];
        length = SQLLEN(parameters[i].size() * 2);
        check(SQLBindParameter(m_handle, SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, SQL_C_WCHAR,
                               SQL_WVARCHAR, std::max<SQLULEN>(WideParameterSize, parameters[i].size()), 0,
                               const_cast<ushort *>(parameters[i].utf16()), length, &length));
    }
}

void Statement::execute(const QString &sql) const
{
    check(SQLExecDirectW(m_handle, const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(sql.utf16())),
                         SQLINTEGER(sql.size())));
}

void Statement::throwIfFurtherResultsFailed() const
{
    for (;;) {
        const SQLRETURN rc = SQLMoreResults(m_handle);
        if (rc == SQL_NO_DATA)
            return;
        check(rc);
    }
}

} // namespace realm
