#include "ReplayServer.h"

#include "query/EquipmentQuery.h"

#include <stdexcept>

namespace bench {

ReplayServer::ReplayServer(const QString &gameFile, const QString &password)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(QStringLiteral("python3"), {QStringLiteral(REALMBENCH_TDSSERVER), QStringLiteral("--db"), gameFile, QStringLiteral("--login"), QStringLiteral("operator"), QStringLiteral("--password"), password, QStringLiteral("--replay-sql"), realm::EquipmentSelect});
    // Encoding a million rows once takes the server a while.
    constexpr int PreparingMilliseconds = 600'000;
    while (!m_process.canReadLine() && m_process.waitForReadyRead(PreparingMilliseconds)) { }
    m_port = m_process.readLine().trimmed().toUShort();
    if (m_port == 0)
        throw std::runtime_error("the TDS test server did not start");
}

ReplayServer::~ReplayServer()
{
    m_process.terminate();
    m_process.waitForFinished();
}

} // namespace bench
