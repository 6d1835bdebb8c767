#pragma once

#include "data/StopFlag.h"

#include <QString>

#include <sql.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

namespace realm {

// A login run on a thread of its own, so that a driver manager that never
// returns from it (unixODBC loops without end on a refusal message longer
// than its buffer) cannot hold the program: the caller waits until a
// deadline or a stop. An attempt given up is left to run at the lowest
// priority and frees its handles itself if it ever returns.
class LoginAttempt : public std::enable_shared_from_this<LoginAttempt> {
public:
    // Starts SQLDriverConnectW on `connection` (allocated in `environment`)
    // with the connection string `text`.
    static std::shared_ptr<LoginAttempt> start(SQLHENV environment, SQLHDBC connection, QString text);
    ~LoginAttempt();
    LoginAttempt(const LoginAttempt &) = delete;
    LoginAttempt &operator=(const LoginAttempt &) = delete;

    // The driver's return code, or nothing when the deadline passed or
    // `stop` was raised first: then the attempt owns both handles from now
    // on, and the caller must forget them.
    std::optional<SQLRETURN> wait(std::chrono::steady_clock::time_point deadline, StopFlag *stop);

private:
    LoginAttempt(SQLHENV environment, SQLHDBC connection, QString text);
    void run();
    void noteStop();
    void giveUp();

    SQLHENV m_environment;
    SQLHDBC m_connection;
    QString m_text;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::optional<SQLRETURN> m_result;
    bool m_stopped = false;
    bool m_givenUp = false;
    int m_threadId = 0;
};

} // namespace realm
