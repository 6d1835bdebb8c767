#pragma once

#include "data/Connection.h"

#include <functional>
#include <mutex>

namespace realm {

// A connection opened by its first statement, on the thread that runs it,
// so that a server nobody searches is never contacted and a window never
// waits for a login. An open that fails fails that statement, and the next
// statement tries again.
class LazyConnection : public Connection {
public:
    using Opener = std::function<std::shared_ptr<Connection>()>;
    LazyConnection(Opener open, QString description);

    void run(const QString &sql, const QStringList &parameters, BatchReceiver &rows, StopFlag &stop) override;
    QString description() const override { return m_description; }
    // Not encrypted until the first statement connected it (any thread).
    ConnectionSecurity security() const override;
    ConnectionFacts facts(StopFlag &stop) override;

private:
    // The connection, opened on the first call.
    std::shared_ptr<Connection> opened(StopFlag &stop);

    Opener m_open;
    QString m_description;
    mutable std::mutex m_openedLock; // security() reads from the window's thread
    std::shared_ptr<Connection> m_opened;
};

} // namespace realm
