#include "cli/Terminal.h"

#include <QByteArray>

namespace realm::cli {

std::optional<QString> readLine(std::FILE *stream)
{
    QByteArray line;
    for (int c; (c = std::fgetc(stream)) != '\n';) {
        if (c == EOF) {
            if (line.isEmpty())
                return std::nullopt;
            break;
        }
        line += char(c);
    }
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

} // namespace realm::cli
