#pragma once

#include <functional>
#include <map>
#include <memory>
#include <mutex>

namespace realm {

class Connection;

// Runs work off the caller's thread: one thread for each connection, which
// runs the work given for that connection one piece at a time, in order.
class BackgroundRunner {
public:
    BackgroundRunner();
    // Lets every thread finish the work it was given, then ends it.
    ~BackgroundRunner();
    BackgroundRunner(const BackgroundRunner &) = delete;
    BackgroundRunner &operator=(const BackgroundRunner &) = delete;

    // Queues `work` on the thread of `connection`; any thread may call it.
    void post(const Connection &connection, std::function<void()> work);

private:
    class Lane;
    std::mutex m_mutex;
    std::map<const Connection *, std::unique_ptr<Lane>> m_lanes;
};

} // namespace realm
