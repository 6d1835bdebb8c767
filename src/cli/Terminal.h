#pragma once

#include <QString>

#include <cstdio>
#include <optional>

namespace realm::cli {

// One line from `stream`, without its line end; none at the end of input.
std::optional<QString> readLine(std::FILE *stream);

// A line typed on the terminal (the console on Windows) with its echo off,
// after `promptText`; none when there is no terminal to ask.
std::optional<QString> readHidden(const QString &promptText);

// Whether the standard input is a terminal someone types on.
bool hasTerminal();

} // namespace realm::cli
