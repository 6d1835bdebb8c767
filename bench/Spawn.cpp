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

} // namespace bench
