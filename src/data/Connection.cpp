#include "data/Connection.h"

namespace realm {

namespace {

// Joins the batches of one statement into one table.
class WholeResult : public BatchReceiver {
public:
    explicit WholeResult(BatchReceiver *showTo)
        : m_showTo(showTo) { }
    void receive(std::shared_ptr<const ResultTable> batch) override
    {
        if (!m_table)
            m_table = std::make_shared<ResultTable>(batch->columnNames());
        m_table->appendRows(*batch);
        if (m_showTo)
            m_showTo->receive(std::move(batch));
    }
    std::shared_ptr<const ResultTable> table() const { return m_table; }

private:
    BatchReceiver *m_showTo;
    std::shared_ptr<ResultTable> m_table;
};

} // namespace

std::shared_ptr<const ResultTable> Connection::query(const QString &sql, const QStringList &parameters, StopFlag &stop,
                                                     BatchReceiver *showTo)
{
    WholeResult result(showTo);
    run(sql, parameters, result, stop);
    return result.table();
}

std::shared_ptr<const ResultTable> Connection::query(const QString &sql, const QStringList &parameters)
{
    StopFlag neverRaised;
    return query(sql, parameters, neverRaised);
}

ConnectionFacts Connection::facts(StopFlag &stop)
{
    ConnectionFacts facts;
    facts.security = security();
    const auto start = std::chrono::steady_clock::now();
    query(QStringLiteral("select 1"), {}, stop);
    facts.roundTrip = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    return facts;
}

} // namespace realm
