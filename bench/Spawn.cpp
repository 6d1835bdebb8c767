#include "Spawn.h"

#include "Measure.h"

#include <QProcess>

#include <stdexcept>

namespace bench {

double runToNull(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const double seconds = secondsOf([&] {
        process.start(program, arguments);
        process.waitForFinished(-1);
    });
    if (process.error() == QProcess::FailedToStart || process.exitStatus() != QProcess::NormalExit
        || process.exitCode() != 0)
        throw std::runtime_error((QStringLiteral("%1 failed (exit status %2)").arg(program).arg(process.exitCode()))
                                     .toStdString());
    return seconds;
}

// GNU time reports the peak resident memory of what it ran, in kilobytes,
// on the last line of its standard error.
SpawnedRun runToNullWithPeak(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    const double seconds = secondsOf([&] {
        process.start(QStringLiteral("/usr/bin/time"), QStringList{QStringLiteral("-f"), QStringLiteral("%M"), program} + arguments);
        process.waitForFinished(-1);
    });
    const QList<QByteArray> lines = process.readAllStandardError().trimmed().split('\n');
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        throw std::runtime_error((QStringLiteral("%1 failed (exit status %2)").arg(program).arg(process.exitCode())).toStdString());
    return {seconds, lines.constLast().toLongLong() * 1024};
}

} // namespace bench
