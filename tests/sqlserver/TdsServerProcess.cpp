#include "TdsServerProcess.h"

#include <QFile>
#include <QJsonDocument>
#include <QStringEncoder>

#include <sys/prctl.h>

#include <csignal>

namespace realm::test {

namespace {

// A cold Python start on a busy machine can take seconds.
constexpr int StartTimeoutMs = 30000;
constexpr int StopTimeoutMs = 10000;

} // namespace

TdsServerProcess::Options standardServerOptions(const FixtureFolder &folder, const QString &password)
{
    TdsServerProcess::Options options;
    options.database = folder.file(QStringLiteral("realmdb.sqlite"));
    options.password = password;
    options.logPath = folder.file(QStringLiteral("server.log"));
    return options;
}

TdsServerProcess::TdsServerProcess(Options options)
    : m_options(std::move(options)), m_port(m_options.port)
{
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // A test ended by exit() (a fatal start-up) runs no destructor; the
    // server must not outlive it and hold the test's output open.
    m_process.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

TdsServerProcess::~TdsServerProcess()
{
    stop();
}

bool TdsServerProcess::start(QString *error)
{
    QStringList arguments = {QStringLiteral(TDSSERVER_SCRIPT),
                             QStringLiteral("--db"), m_options.database,
                             QStringLiteral("--login"), m_options.login,
                             QStringLiteral("--password"), m_options.password,
                             QStringLiteral("--collation"), m_options.collation,
                             QStringLiteral("--host"), m_options.host,
                             QStringLiteral("--port"), QString::number(m_port)};
    arguments << m_options.arguments;
    if (!m_options.logPath.isEmpty())
        arguments << QStringLiteral("--log") << m_options.logPath;
    if (!m_options.stallOn.isEmpty())
        arguments << QStringLiteral("--stall-on") << m_options.stallOn;
    m_process.start(QStringLiteral("python3"), arguments);
    while (!m_process.canReadLine() && m_process.waitForReadyRead(StartTimeoutMs)) {
    }
    bool ok = false;
    const quint16 port = m_process.readLine().trimmed().toUShort(&ok);
    if (!ok || port == 0) {
        if (error)
            *error = QStringLiteral("the test server did not start: %1").arg(m_process.errorString());
        stop();
        return false;
    }
    m_port = port;
    return true;
}

void TdsServerProcess::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(StopTimeoutMs)) {
        m_process.kill();
        m_process.waitForFinished(StopTimeoutMs);
    }
}

QString TdsServerProcess::serverAddress() const
{
    return QStringLiteral("%1,%2").arg(m_options.host).arg(m_port);
}

QList<QJsonObject> TdsServerProcess::requests() const
{
    QFile log(m_options.logPath);
    QList<QJsonObject> entries;
    if (!log.open(QIODevice::ReadOnly))
        return entries;
    while (!log.atEnd()) {
        const QByteArray line = log.readLine().trimmed();
        if (!line.isEmpty())
            entries << QJsonDocument::fromJson(line).object();
    }
    return entries;
}

QList<QJsonObject> TdsServerProcess::statementsSince(qsizetype skip) const
{
    QList<QJsonObject> statements;
    const QList<QJsonObject> entries = requests();
    for (qsizetype i = skip; i < entries.size(); ++i) {
        if (entries[i].value(u"kind").toString() != u"login")
            statements << entries[i];
    }
    return statements;
}

QString sqlServerIni(const QString &server, const QString &login, const QString &password)
{
    return QStringLiteral("[基础设置]\nserverip=%1\nuserid=%2\npassword=%3\n").arg(server, login, password);
}

QByteArray encodeGbk(const QString &text)
{
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
}

SqlServerFixture::SqlServerFixture(const QString &password)
    : server(standardServerOptions(folder, password))
{
    folder.writeItems(standardItems());
    folder.writeGameDatabase(standardGameSql());
}

bool SqlServerFixture::start(IniEncoding encoding, QString *error)
{
    if (!server.start(error))
        return false;
    const QString ini = sqlServerIni(server.serverAddress(), server.options().login, server.options().password);
    folder.writeIni(encoding == IniEncoding::Gbk ? encodeGbk(ini) : ini.toUtf8());
    return true;
}

} // namespace realm::test
