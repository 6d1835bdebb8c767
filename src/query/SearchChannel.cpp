#include "query/SearchChannel.h"

#include "data/Module1.h"
#include "query/AuditResults.h"
#include "query/Messages.h"

#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>

namespace realm {

namespace {

// Batches sent but not yet taken by the caller; beyond this the search
// waits, so a slow reader does not make the rows pile up in memory.
constexpr int MaxBatchesInFlight = 32;

using Status = SearchOutcome::Status;

QString endOfServer(const QString &name, const SearchOutcome &outcome)
{
    switch (outcome.status) {
    case Status::Failed:
        return messages::serverFailed(name, outcome.errorNumber);
    case Status::Stopped:
        return messages::serverStopped(name);
    default:
        return messages::serverRows(name, outcome.rowCount);
    }
}

// The one end of a search that read several servers, from each server's.
SearchOutcome combinedOutcome(const std::vector<SearchOutcome> &outcomes, const QStringList &names)
{
    const auto has = [&outcomes](Status status) {
        return std::ranges::any_of(outcomes, [status](const SearchOutcome &outcome) { return outcome.status == status; });
    };
    SearchOutcome combined = outcomes.front();
    if (has(Status::InvalidInput) || has(Status::NotRun))
        return combined;
    QStringList ends;
    combined.rowCount = 0;
    for (std::size_t server = 0; server < outcomes.size(); ++server) {
        combined.rowCount += outcomes[server].rowCount;
        ends << endOfServer(names[qsizetype(server)], outcomes[server]);
        if (combined.note.isEmpty())
            combined.note = outcomes[server].note;
    }
    combined.message = messages::serverEnds(ends);
    if (has(Status::Stopped))
        combined.status = Status::Stopped;
    else if (has(Status::Failed))
        combined.status = Status::Failed;
    else
        combined.status = has(Status::Done) ? Status::Done : Status::NotFound;
    return combined;
}

// Totals by item of several servers are also added up over the servers; a
// character lives on one server, so a character of one server's group is
// never also counted by another's, and the counts of characters add up.
std::optional<TotalsSum> sumOverServers(const Search &search, std::size_t serverCount)
{
    const auto *totals = std::get_if<TotalsSearch>(&search);
    if (!totals || totals->grouping != TotalsGrouping::ByItem || serverCount < 2)
        return std::nullopt;
    return TotalsSum(TotalsGrouping::ByItem);
}

} // namespace

// What the caller's thread and the connection's thread share of one search.
class SearchChannel::Job {
public:
    Job(quint64 number, std::vector<std::size_t> chosen, std::optional<TotalsSum> overServers)
        : generation(number), servers(std::move(chosen)), outcomes(servers.size()),
          allServers(std::move(overServers)), m_lanesLeft(int(servers.size()))
    {
        for (std::size_t server = 0; server < servers.size(); ++server)
            m_stopFlags.push_back(std::make_unique<StopFlag>());
    }

    const quint64 generation;
    // The servers it reads, positions in Module1::servers.
    const std::vector<std::size_t> servers;
    bool readsSeveral() const { return servers.size() > 1; }
    std::size_t positionOf(std::size_t server) const
    {
        return std::size_t(std::ranges::find(servers, server) - servers.begin());
    }
    // Each server's statement arms its own interruption, so each server
    // has its own flag; stop raises them all.
    StopFlag &stopFlagOf(std::size_t server) { return *m_stopFlags[positionOf(server)]; }
    // Each server's end, kept on the caller's thread until the last.
    std::vector<SearchOutcome> outcomes;
    std::size_t outcomesLeft = servers.size();
    // Every server's totals as they reach the caller's thread.
    std::optional<TotalsSum> allServers;
    std::atomic_bool listCleared = false;

    void stop()
    {
        for (const std::unique_ptr<StopFlag> &flag : m_stopFlags)
            flag->raise();
        const std::lock_guard lock(m_mutex);
        m_changed.notify_all();
    }

    void waitForRoom()
    {
        std::unique_lock lock(m_mutex);
        const StopFlag &anyFlag = *m_stopFlags.front();
        m_changed.wait(lock, [this, &anyFlag] { return m_inFlight < MaxBatchesInFlight || anyFlag.isRaised(); });
        anyFlag.throwIfRaised();
        ++m_inFlight;
    }
    void batchTaken()
    {
        const std::lock_guard lock(m_mutex);
        --m_inFlight;
        m_changed.notify_all();
    }

    // One server's search ended; the job ends with the last.
    void end()
    {
        const std::lock_guard lock(m_mutex);
        m_ended = --m_lanesLeft <= 0;
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
    std::vector<std::unique_ptr<StopFlag>> m_stopFlags;
    int m_inFlight = 0;
    int m_lanesLeft;
    bool m_ended = false;
};

// The list as the search sees it on the connection's thread: each call
// becomes a queued call on the caller's thread.
class SearchChannel::Feed : public ListFeed {
public:
    Feed(SearchChannel &channel, std::shared_ptr<Job> job, std::size_t server)
        : m_channel(channel), m_job(std::move(job)), m_server(server) { }

    // With several servers the first server's start empties the list:
    // another's start or failure leaves the rows that came.
    void clearRows() override
    {
        if (m_job->readsSeveral() && m_job->listCleared.exchange(true))
            return;
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
            [channel = &m_channel, job = m_job, batch = std::move(batch), server = m_server] {
                job->batchTaken();
                if (!channel->isCurrent(job->generation))
                    return;
                if (job->allServers)
                    job->allServers->add(*batch);
                emit channel->rowsArrived(batch, server);
            },
            Qt::QueuedConnection);
    }

    // Emptying the list starts the count again.
    int rowsSent() const { return m_rowsSent; }

private:
    SearchChannel &m_channel;
    std::shared_ptr<Job> m_job;
    std::size_t m_server;
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
    start(std::move(search), {0});
}

void SearchChannel::start(Search search, std::vector<std::size_t> servers)
{
    stop();
    std::erase_if(m_jobs, [](const std::shared_ptr<Job> &job) { return job->hasEnded(); });
    if (sourceOf(search) == SearchSource::ItemFile || servers.empty())
        servers = {0};
    auto job = std::make_shared<Job>(++m_generation, servers, sumOverServers(search, servers.size()));
    m_jobs.push_back(job);
    m_running = true;
    for (const std::size_t server : servers) {
        std::shared_ptr<Connection> connection = connectionOf(search, m_shared, server);
        const Connection &lane = *connection;
        m_shared.runner.post(lane, [this, job, server, keptAlive = std::move(connection), search] {
            runJob(job, search, server);
        });
    }
}

void SearchChannel::runJob(const std::shared_ptr<Job> &job, const Search &search, std::size_t server)
{
    Feed feed(*this, job, server);
    SearchOutcome outcome;
    try {
        StopFlag &stopFlag = job->stopFlagOf(server);
        stopFlag.throwIfRaised();
        outcome = runSearch(search, m_shared, feed, stopFlag, server);
    } catch (const StatementStopped &) {
        outcome = {SearchOutcome::Status::Stopped, 0, {}, {}};
    } catch (const std::exception &error) {
        outcome = {SearchOutcome::Status::Failed, 0, QString::fromUtf8(error.what()), {}};
    }
    outcome.rowCount = feed.rowsSent();
    QMetaObject::invokeMethod(
        this, [this, job, server, outcome] { serverEnded(job, server, outcome); }, Qt::QueuedConnection);
    job->end();
}

void SearchChannel::serverEnded(const std::shared_ptr<Job> &job, std::size_t server, const SearchOutcome &outcome)
{
    if (!isCurrent(job->generation))
        return;
    job->outcomes[job->positionOf(server)] = outcome;
    if (job->readsSeveral())
        emit serverFinished(server, outcome);
    if (--job->outcomesLeft > 0)
        return;
    m_running = false;
    if (!job->readsSeveral()) {
        emit finished(outcome);
        return;
    }
    QStringList names;
    for (const std::size_t chosen : job->servers)
        names << m_shared.servers.at(chosen).settings.displayName;
    SearchOutcome combined = combinedOutcome(job->outcomes, names);
    combined.rowCount += sendAllServersTotals(*job);
    emit finished(combined);
}

// Only when every server's totals came whole: a sum without a failed or
// stopped server's would look like the sum of all.
int SearchChannel::sendAllServersTotals(const Job &job)
{
    const bool everyServerRan = std::ranges::all_of(job.outcomes, [](const SearchOutcome &outcome) {
        return outcome.status == Status::Done;
    });
    if (!job.allServers || !everyServerRan)
        return 0;
    const std::shared_ptr<const ResultTable> totals = job.allServers->sortedTable();
    if (totals->rowCount() > 0)
        emit rowsArrived(totals, AllServers);
    return totals->rowCount();
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
