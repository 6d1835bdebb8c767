#include "Spawn.h"

#include <QFile>
#include <QTemporaryFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

extern char **environ;

namespace bench {

namespace {

double seconds(const timeval &time)
{
    return double(time.tv_sec) + double(time.tv_usec) * 1e-6;
}

[[noreturn]] void fail(const QString &program, const QString &why)
{
    throw std::runtime_error(QStringLiteral("%1 failed (%2)").arg(program, why).toStdString());
}

// The child's standard input and output, opened before the spawn.
posix_spawn_file_actions_t redirections(const QByteArray &inputPath)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, inputPath.constData(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    return actions;
}

pid_t spawn(const QString &program, const QStringList &arguments, const QString &input)
{
    std::vector<QByteArray> texts{program.toLocal8Bit()};
    for (const QString &argument : arguments)
        texts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);
    const QByteArray inputPath = input.isEmpty() ? QByteArray("/dev/null") : input.toLocal8Bit();
    posix_spawn_file_actions_t actions = redirections(inputPath);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        fail(program, QStringLiteral("cannot start: %1").arg(QString::fromLocal8Bit(strerror(spawned))));
    return child;
}

long long peakFrom(QFile &report)
{
    const QList<QByteArray> lines = report.readAll().trimmed().split('\n');
    return lines.constLast().toLongLong() * 1024;
}

} // namespace

// The kernel counts into a process's peak memory that of the process it was
// started from, up to the moment it runs a new program; a child of the
// benchmark would report the benchmark's own. So GNU time, small itself,
// starts the program and gives its peak. The CPU time is wait4's: the
// program's and GNU time's own, about a millisecond.
ChildUsage runMeasured(const QString &program, const QStringList &arguments, const QString &input)
{
    QTemporaryFile report;
    if (!report.open())
        fail(program, QStringLiteral("no file for GNU time's report"));
    const QStringList timed = QStringList{QStringLiteral("-f"), QStringLiteral("%M"), QStringLiteral("-o"), report.fileName(), program} + arguments;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = spawn(QStringLiteral("/usr/bin/time"), timed, input);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0) {
        if (errno != EINTR)
            fail(program, QStringLiteral("lost"));
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(program, QStringLiteral("exit status %1").arg(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)));
    return {wall, seconds(usage.ru_utime) + seconds(usage.ru_stime), peakFrom(report)};
}

} // namespace bench
