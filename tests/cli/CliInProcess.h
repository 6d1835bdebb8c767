#pragma once

#include "CliRun.h"
#include "cli/CommandLine.h"

#include <cstdio>

namespace realm::test {

// Runs the command line inside the test's own process, with its output and
// error streams going to files of their own, and keeps all it wrote.
inline CliRun runCliInProcess(const QStringList &arguments)
{
    std::FILE *out = std::tmpfile();
    std::FILE *err = std::tmpfile();
    if (!out || !err)
        qFatal("no temporary file for the command line's streams");
    CliRun run;
    run.exitCode = cli::runCommandLine(QStringList{QStringLiteral("realmquery-cli")} + arguments, {out, err});
    const auto readBack = [](std::FILE *stream) {
        QByteArray text;
        std::fflush(stream);
        std::rewind(stream);
        char chunk[65536];
        while (const std::size_t read = std::fread(chunk, 1, sizeof chunk, stream))
            text.append(chunk, qsizetype(read));
        std::fclose(stream);
        return text;
    };
    run.out = readBack(out);
    run.err = readBack(err);
    return run;
}

} // namespace realm::test
