#pragma once

#include "data/Connection.h"

#include <functional>

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

private:
    Opener m_open;
    QString m_description;
    std::shared_ptr<Connection> m_opened;
};

} // namespace realm
