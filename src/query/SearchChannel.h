#pragma once

#include "query/BackgroundRunner.h"
#include "query/Searches.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace realm {

// One caller's searches in the background (a window's, the command line's):
// at most one runs at a time for it, a new one stops the one before, and
// the rows and the end of a search reach the caller on the caller's own
// thread, through queued signals. What a replaced search still sends is
// dropped by its generation number.
class SearchChannel : public QObject {
    Q_OBJECT
public:
    // A search as it runs on the connection's thread. It may hand its rows
    // to a list of its own instead of `list`, as the command line does to
    // write them on the thread that fetched them.
    using Work = std::function<SearchOutcome(ListFeed &list, StopFlag &stop)>;

    explicit SearchChannel(BackgroundRunner &runner, QObject *parent = nullptr);
    // Stops this channel's searches and waits for them.
    ~SearchChannel() override;

    // Stops the running search and starts `work` on the connection's thread.
    // The connection is kept alive until the work has run.
    void start(std::shared_ptr<Connection> connection, Work work);
    // Asks the running search to stop; its end still comes, as Stopped.
    void stop();
    // Stops every search of this channel and returns once none runs; what
    // they sent after that is never delivered.
    void stopAndWait();
    bool isRunning() const { return m_running; }

signals:
    void rowsCleared();
    void rowsArrived(const std::shared_ptr<const ResultTable> &batch);
    void finished(const SearchOutcome &outcome);

private:
    class Job;
    class Feed;

    void runJob(const std::shared_ptr<Job> &job, const Work &work);
    bool isCurrent(quint64 generation) const { return generation == m_generation; }

    BackgroundRunner &m_runner;
    std::vector<std::shared_ptr<Job>> m_jobs; // not yet known to have ended
    quint64 m_generation = 0;
    bool m_running = false;
};

} // namespace realm
