#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <stdexcept>

namespace realm {

// Thrown by a statement that stopped because its stop flag was raised: not
// a failure of the connection, which stays usable.
class StatementStopped : public std::runtime_error {
public:
    StatementStopped()
        : std::runtime_error("the statement was stopped") { }
};

// The request to stop one running search, raised from any thread. While a
// statement runs, the connection leaves here the way to interrupt it, so a
// statement waiting on its engine or its server stops too.
class StopFlag {
public:
    void raise()
    {
        const std::lock_guard lock(m_mutex);
        m_raised.store(true, std::memory_order_relaxed);
        if (m_interrupt)
            m_interrupt();
    }
    bool isRaised() const { return m_raised.load(std::memory_order_relaxed); }
    void throwIfRaised() const
    {
        if (isRaised())
            throw StatementStopped();
    }

    // Sets the interruption of the statement that runs from now on, and
    // throws at once when the flag is already up.
    void armInterrupt(std::function<void()> interrupt)
    {
        const std::lock_guard lock(m_mutex);
        throwIfRaised();
        m_interrupt = std::move(interrupt);
    }
    // After this returns, `raise` no longer touches the statement.
    void disarmInterrupt()
    {
        const std::lock_guard lock(m_mutex);
        m_interrupt = nullptr;
    }

private:
    std::mutex m_mutex;
    std::atomic<bool> m_raised = false;
    std::function<void()> m_interrupt;
};

// Keeps a statement's interruption armed for the scope's life.
class InterruptScope {
public:
    InterruptScope(StopFlag &flag, std::function<void()> interrupt)
        : m_flag(flag)
    {
        m_flag.armInterrupt(std::move(interrupt));
    }
    ~InterruptScope() { m_flag.disarmInterrupt(); }
    InterruptScope(const InterruptScope &) = delete;
    InterruptScope &operator=(const InterruptScope &) = delete;

private:
    StopFlag &m_flag;
};

} // namespace realm
