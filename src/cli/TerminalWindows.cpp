#include "cli/Terminal.h"

#include <windows.h>

#include <memory>

// The console itself (CONIN$ and CONOUT$), not the standard streams, which
// may be redirected; its text is UTF-16, so Chinese prompts and passwords
// pass whatever the console's code page is.
namespace realm::cli {

namespace {

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using ConsoleHandle = std::unique_ptr<void, HandleCloser>;

ConsoleHandle openConsole(const wchar_t *name)
{
    HANDLE handle = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    return ConsoleHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

void writeConsole(HANDLE output, const QString &text)
{
    DWORD written = 0;
    WriteConsoleW(output, text.utf16(), DWORD(text.size()), &written, nullptr);
}

std::optional<QString> readConsoleLine(HANDLE input)
{
    QString line;
    wchar_t buffer[256];
    for (DWORD got = 0; ReadConsoleW(input, buffer, DWORD(std::size(buffer)), &got, nullptr) && got > 0;) {
        line += QString::fromWCharArray(buffer, qsizetype(got));
        if (line.endsWith(u'\n'))
            break;
    }
    if (line.isEmpty())
        return std::nullopt;
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    return line;
}

} // namespace

std::optional<QString> readHidden(const QString &promptText)
{
    const ConsoleHandle input = openConsole(L"CONIN$");
    const ConsoleHandle output = openConsole(L"CONOUT$");
    if (!input || !output)
        return std::nullopt;
    writeConsole(output.get(), promptText);
    DWORD before = 0;
    const bool canHide = GetConsoleMode(input.get(), &before);
    if (canHide)
        SetConsoleMode(input.get(), before & ~DWORD(ENABLE_ECHO_INPUT));
    const auto line = readConsoleLine(input.get());
    if (canHide)
        SetConsoleMode(input.get(), before);
    writeConsole(output.get(), QStringLiteral("\r\n"));
    return line;
}

// A redirected or NUL input has no console mode, where _isatty would take
// NUL for a terminal.
bool hasTerminal()
{
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

} // namespace realm::cli
