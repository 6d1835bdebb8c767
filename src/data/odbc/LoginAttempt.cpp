#include "data/odbc/LoginAttempt.h"

#include "data/odbc/ThreadPriority.h"

#include <sqlext.h>

#include <thread>

namespace realm {

LoginAttempt::LoginAttempt(SQLHENV environment, SQLHDBC connection, QString text)
    : m_environment(environment), m_connection(connection), m_text(std::move(text))
{
}

LoginAttempt::~LoginAttempt()
{
    if (!m_givenUp)
        return;
    if (m_result && SQL_SUCCEEDED(*m_result))
        SQLDisconnect(m_connection);
    SQLFreeHandle(SQL_HANDLE_DBC, m_connection);
    SQLFreeHandle(SQL_HANDLE_ENV, m_environment);
}

std::shared_ptr<LoginAttempt> LoginAttempt::start(SQLHENV environment, SQLHDBC connection, QString text)
{
    const std::shared_ptr<LoginAttempt> attempt(new LoginAttempt(environment, connection, std::move(text)));
    // The thread keeps the attempt alive for as long as the driver manager
    // keeps it.
    std::thread([attempt] { attempt->run(); }).detach();
    return attempt;
}

void LoginAttempt::run()
{
    {
        const std::lock_guard lock(m_mutex);
        m_threadId = currentThreadNumber();
        if (m_givenUp)
            giveUp();
    }
    const SQLRETURN rc = SQLDriverConnectW(m_connection, nullptr,
                                           const_cast<SQLWCHAR *>(reinterpret_cast<const SQLWCHAR *>(m_text.utf16())),
                                           SQLSMALLINT(m_text.size()), nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    const std::lock_guard lock(m_mutex);
    m_result = rc;
    m_changed.notify_all();
}

std::optional<SQLRETURN> LoginAttempt::wait(std::chrono::steady_clock::time_point deadline, StopFlag *stop)
{
    std::optional<InterruptScope> interruptible;
    if (stop) {
        try {
            interruptible.emplace(*stop, [this] { noteStop(); });
        } catch (const StatementStopped &) {
            noteStop();
        }
    }
    std::unique_lock lock(m_mutex);
    m_changed.wait_until(lock, deadline, [this] { return m_result.has_value() || m_stopped; });
    if (m_result)
        return m_result;
    giveUp();
    return std::nullopt;
}

void LoginAttempt::noteStop()
{
    const std::lock_guard lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

// The caller holds the mutex.
void LoginAttempt::giveUp()
{
    m_givenUp = true;
    if (m_threadId != 0)
        lowerThreadPriority(m_threadId);
}

} // namespace realm
