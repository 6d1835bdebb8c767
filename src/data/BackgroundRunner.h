#pragma once

#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>

namespace realm {

class Connection;

// Runs work off the caller's thread: one thread for each connection, which
// runs the work given for that connection one piece at a time, in order.
// Every statement on a connection runs on its thread, so no connection is
// ever used by two threads, and a statement waits behind the one before.
class BackgroundRunner {
public:
    BackgroundRunner();
    // Lets every thread finish the work it was given, then ends it.
    ~BackgroundRunner();
    BackgroundRunner(const BackgroundRunner &) = delete;
    BackgroundRunner &operator=(const BackgroundRunner &) = delete;

    // Queues `work` on the thread of `connection`; any thread may call it.
    void post(const Connection &connection, std::function<void()> work);

    // Runs `work` on the thread of `connection` and waits for it; what it
    // throws is thrown here.
    template <class Work>
    auto call(const Connection &connection, Work work) -> decltype(work())
    {
        auto task = std::make_shared<std::packaged_task<decltype(work())()>>(std::move(work));
        auto result = task->get_future();
        post(connection, [task] { (*task)(); });
        return result.get();
    }

private:
    class Lane;
    std::mutex m_mutex;
    std::map<const Connection *, std::unique_ptr<Lane>> m_lanes;
};

} // namespace realm
