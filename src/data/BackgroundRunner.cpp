#include "data/BackgroundRunner.h"

#include "data/odbc/ThreadPriority.h"

#include <condition_variable>
#include <deque>
#include <thread>

namespace realm {

class BackgroundRunner::Lane {
public:
    Lane()
        : m_thread([this] { work(); }) { }

    ~Lane()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
        }
        m_wake.notify_one();
        m_thread.join();
    }
    Lane(const Lane &) = delete;
    Lane &operator=(const Lane &) = delete;

    void post(std::function<void()> work)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_queue.push_back(std::move(work));
        }
        m_wake.notify_one();
    }

private:
    void work()
    {
        yieldToInteractiveThreads();
        for (;;) {
            std::function<void()> next;
            {
                std::unique_lock lock(m_mutex);
                m_wake.wait(lock, [this] { return m_closing || !m_queue.empty(); });
                if (m_queue.empty())
                    return;
                next = std::move(m_queue.front());
                m_queue.pop_front();
            }
            next();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::function<void()>> m_queue;
    bool m_closing = false;
    std::thread m_thread; // last: it starts once the rest is made
};

BackgroundRunner::BackgroundRunner() = default;

BackgroundRunner::~BackgroundRunner() = default;

void BackgroundRunner::post(const Connection &connection, std::function<void()> work)
{
    const std::lock_guard lock(m_mutex);
    std::unique_ptr<Lane> &lane = m_lanes[&connection];
    if (!lane)
        lane = std::make_unique<Lane>();
    lane->post(std::move(work));
}

} // namespace realm
