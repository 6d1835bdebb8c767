#include "query/SearchChannel.h"

#include "data/Module1.h"

#include <QMetaObject>

#include <condition_variable>
#include <mutex>

namespace realm {

namespace {

// Batches sent but not yet taken by the caller; beyond this the search
// waits, so a slow reader does not make the rows pile up in memory.
constexpr int MaxBatchesInFlight = 32;

} // namespace

// What the caller's thread and the connection's thread share of one search.
class SearchChannel::Job {
public:
    explicit Job(quint64 number)
        : generation(number) { }

    const quint64 generation;
    StopFlag stopFlag;

    void stop()
    {
        stopFlag.raise();
        const std::lock_guard lock(m_mutex);
        m_changed.notify_all();
    }

    void waitForRoom()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_inFlight < MaxBatchesInFlight || stopFlag.isRaised(); });
        stopFlag.throwIfRaised();
        ++m_inFlight;
    }
    void batchTaken()
    {
        const std::lock_guard lock(m_mutex);
        --m_inFlight;
        m_changed.notify_all();
    }

    void end()
    {
        const std::lock_guard lock(m_mutex);
        m_ended = true;
        m_changed.notify_all();
    }
    bool hasEnded()
    {
        const std::lock_guard lock(m_mutex);
        return m_ended;
    }
    void waitForEnd()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_ended; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_inFlight = 0;
    bool m_ended = false;
};

// The list as the search sees it on the connection's thread: each call
// becomes a queued call on the caller's thread.
class SearchChannel::Feed : public ListFeed {
public:
    Feed(SearchChannel &channel, std::shared_ptr<Job> job)
        : m_channel(channel), m_job(std::move(job)) { }

    void clearRows() override
    {
        m_rowsSent = 0;
        QMetaObject::invokeMethod(
            &m_channel,
            [channel = &m_channel, generation = m_job->generation] {
                if (channel->isCurrent(generation))
                    emit channel->rowsCleared();
            },
            Qt::QueuedConnection);
    }

    void receive(std::shared_ptr<const ResultTable> batch) override
    {
        m_job->waitForRoom();
        m_rowsSent += batch->rowCount();
        QMetaObject::invokeMethod(
            &m_channel,
            [channel = &m_channel, job = m_job, batch = std::move(batch)] {
                job->batchTaken();
                if (channel->isCurrent(job->generation))
                    emit channel->rowsArrived(batch);
            },
            Qt::QueuedConnection);
    }

    // Emptying the list starts the count again.
    int rowsSent() const { return m_rowsSent; }

private:
    SearchChannel &m_channel;
    std::shared_ptr<Job> m_job;
    int m_rowsSent = 0;
};

SearchChannel::SearchChannel(Module1 &shared, QObject *parent)
    : QObject(parent), m_shared(shared)
{
}

SearchChannel::~SearchChannel()
{
    stopAndWait();
}

void SearchChannel::start(Search search)
{
    stop();
    std::erase_if(m_jobs, [](const std::shared_ptr<Job> &job) { return job->hasEnded(); });
    auto job = std::make_shared<Job>(++m_generation);
    m_jobs.push_back(job);
    m_running = true;
    std::shared_ptr<Connection> connection = connectionOf(search, m_shared);
    const Connection &lane = *connection;
    m_shared.runner.post(lane, [this, job, keptAlive = std::move(connection), search = std::move(search)] {
        runJob(job, search);
    });
}

void SearchChannel::runJob(const std::shared_ptr<Job> &job, const Search &search)
{
    Feed feed(*this, job);
    SearchOutcome outcome;
    try {
        job->stopFlag.throwIfRaised();
        outcome = runSearch(search, m_shared, feed, job->stopFlag);
    } catch (const StatementStopped &) {
        outcome = {SearchOutcome::Status::Stopped, 0, {}, {}};
    } catch (const std::exception &error) {
        outcome = {SearchOutcome::Status::Failed, 0, QString::fromUtf8(error.what()), {}};
    }
    outcome.rowCount = feed.rowsSent();
    QMetaObject::invokeMethod(
        this,
        [this, generation = job->generation, outcome] {
            if (!isCurrent(generation))
                return;
            m_running = false;
            emit finished(outcome);
        },
        Qt::QueuedConnection);
    job->end();
}

void SearchChannel::stop()
{
    for (const std::shared_ptr<Job> &job : m_jobs)
        job->stop();
}

void SearchChannel::stopAndWait()
{
    stop();
    for (const std::shared_ptr<Job> &job : m_jobs)
        job->waitForEnd();
    m_jobs.clear();
    m_running = false;
    // What the stopped searches sent before they ended is stale now.
    ++m_generation;
}

} // namespace realm
