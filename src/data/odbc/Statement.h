#pragma once

#include "data/DataError.h"

#include <QStringList>

#include <sql.h>

#include <vector>

namespace realm {

// One statement handle on a connection; every failure of a call on it
// becomes a DataError with the driver's diagnostics.
class Statement {
public:
    // A statement that waits at most `timeoutSeconds` for the server (0: no
    // limit); its expiry is reported as `timeoutText`.
    Statement(SQLHDBC connection, int timeoutSeconds, QString timeoutText);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    SQLHSTMT handle() const { return m_handle; }
    void check(SQLRETURN rc) const
    {
        if (SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA)
            return;
        fail();
    }
    // Throws the statement's diagnostic.
    [[noreturn]] void fail() const { throw failure(); }
    // The statement's diagnostic as an error.
    DataError failure() const;
    const QString &timeoutText() const { return m_timeoutText; }

    // Binds each text to its placeholder as wide characters, so the server
    // receives Unicode whatever its collation. The texts must outlive the
    // statement's execution.
    void bindTexts(const QStringList &parameters);
    void execute(const QString &sql) const;
    // An error the server sends after the last row ends the statement's
    // results, not its data: each further result is asked for until none is
    // left.
    void throwIfFurtherResultsFailed() const;

private:
    SQLHSTMT m_handle;
    QString m_timeoutText;
    std::vector<SQLLEN> m_parameterLengths;
};

} // namespace realm
