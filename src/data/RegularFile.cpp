#include "data/RegularFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace realm {

namespace {

// Small enough that a file's growth past its limit costs little memory.
constexpr qint64 ChunkBytes = qint64(1) << 20;

FileProblem unreadable(const QFile &file)
{
    return {FileProblem::Kind::Unreadable, file.errorString()};
}

} // namespace

std::optional<FileProblem> regularFileProblem(const QString &path, qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return FileProblem{FileProblem::Kind::Missing, {}};
    if (info.isDir())
        return FileProblem{FileProblem::Kind::Folder, {}};
    if (!info.isFile())
        return FileProblem{FileProblem::Kind::NotRegular, {}};
    if (info.size() > maxBytes)
        return FileProblem{FileProblem::Kind::TooLarge, {}};
    return std::nullopt;
}

std::variant<QByteArray, FileProblem> readRegularFile(const QString &path, qint64 maxBytes)
{
    if (const auto problem = regularFileProblem(path, maxBytes))
        return *problem;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return unreadable(file);
    // The entry may have been swapped since it was looked at.
    if (file.isSequential())
        return FileProblem{FileProblem::Kind::NotRegular, {}};
    QByteArray bytes;
    bytes.reserve(qsizetype(file.size()));
    while (bytes.size() <= maxBytes) {
        const QByteArray chunk = file.read(std::min(ChunkBytes, maxBytes + 1 - bytes.size()));
        if (chunk.isEmpty())
            break;
        bytes += chunk;
    }
    if (file.error() != QFileDevice::NoError)
        return unreadable(file);
    if (bytes.size() > maxBytes)
        return FileProblem{FileProblem::Kind::TooLarge, {}};
    return bytes;
}

bool mayWriteFile(const QString &path)
{
    const QFileInfo target(path);
    return !target.exists() || target.isFile();
}

} // namespace realm
