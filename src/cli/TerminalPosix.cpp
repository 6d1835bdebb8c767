#include "cli/Terminal.h"

#include <termios.h>
#include <unistd.h>

namespace realm::cli {

std::optional<QString> readHidden(const QString &promptText)
{
    std::FILE *terminal = std::fopen("/dev/tty", "r+");
    if (!terminal)
        return std::nullopt;
    std::fputs(promptText.toLocal8Bit().constData(), terminal);
    std::fflush(terminal);
    termios before{};
    const bool canHide = tcgetattr(fileno(terminal), &before) == 0;
    termios hidden = before;
    hidden.c_lflag &= ~tcflag_t(ECHO);
    if (canHide)
        tcsetattr(fileno(terminal), TCSAFLUSH, &hidden);
    const auto line = readLine(terminal);
    if (canHide)
        tcsetattr(fileno(terminal), TCSAFLUSH, &before);
    std::fputs("\n", terminal);
    std::fclose(terminal);
    return line;
}

bool hasTerminal()
{
    return isatty(STDIN_FILENO) == 1;
}

} // namespace realm::cli
