#pragma once

#include "data/BackgroundRunner.h"
#include "query/Searches.h"

#include <QObject>

#include <limits>
#include <memory>
#include <vector>

namespace realm {

// The server of the rows that add up the totals by item of every server a
// search read; they come after every server's own rows.
inline constexpr std::size_t AllServers = std::numeric_limits<std::size_t>::max();
// How the lists and the output name it.
inline QString allServersName()
{
    return QStringLiteral("*");
}

// One caller's searches in the background (a window's, the command line's,
// the benchmark's): at most one runs at a time for it, a new one stops the
// one before, and the rows and the end of a search reach the caller on the
// caller's own thread, through queued signals: the one hand-off of a row
// between threads, from the connection's thread, where runSearch hands its
// batches to the channel, to the caller's list or writer. What a replaced
// search still sends is dropped by its generation number.
class SearchChannel : public QObject {
    Q_OBJECT
public:
    explicit SearchChannel(Module1 &shared, QObject *parent = nullptr);
    // Stops this channel's searches and waits for them.
    ~SearchChannel() override;

    // Stops the running search and starts `search` on the thread of the
    // connection it reads, which is kept alive until it has run.
    void start(Search search);
    // The same on each of `servers` (positions in Module1::servers) at
    // once; the list is emptied once, by the first server, and each
    // server's end comes through serverFinished before the one end. The
    // item lookup reads the item file only, whatever the servers. Totals
    // by item of several servers end, when every server's ran, with the
    // lines of AllServers.
    void start(Search search, std::vector<std::size_t> servers);
    // Asks the running search to stop; its end still comes, as Stopped.
    void stop();
    // Stops every search of this channel and returns once none runs; what
    // they sent after that is never delivered.
    void stopAndWait();
    bool isRunning() const { return m_running; }

signals:
    void rowsCleared();
    void rowsArrived(const std::shared_ptr<const ResultTable> &batch, std::size_t server);
    void serverFinished(std::size_t server, const SearchOutcome &outcome);
    // With several servers: Done with every server's rows counted when each
    // ran, Failed when one failed (message names each server's end),
    // Stopped when stopped.
    void finished(const SearchOutcome &outcome);

private:
    class Job;
    class Feed;

    void runJob(const std::shared_ptr<Job> &job, const Search &search, std::size_t server);
    void serverEnded(const std::shared_ptr<Job> &job, std::size_t server, const SearchOutcome &outcome);
    int sendAllServersTotals(const Job &job);
    bool isCurrent(quint64 generation) const { return generation == m_generation; }

    Module1 &m_shared;
    std::vector<std::shared_ptr<Job>> m_jobs; // not yet known to have ended
    quint64 m_generation = 0;
    bool m_running = false;
};

} // namespace realm
