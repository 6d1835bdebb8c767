#pragma once

#include <QProcess>
#include <QString>

namespace bench {

// The TDS test server, replaying the unfiltered equipment reply it
// prepared at start from a game file.
class ReplayServer {
public:
    // Throws std::runtime_error when the server does not start.
    ReplayServer(const QString &gameFile, const QString &password);
    ~ReplayServer();
    ReplayServer(const ReplayServer &) = delete;
    ReplayServer &operator=(const ReplayServer &) = delete;

    QString port() const { return QString::number(m_port); }

private:
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace bench
