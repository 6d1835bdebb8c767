#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

namespace realm {

// Why a file is not read.
struct FileProblem {
    enum class Kind { Missing,
                      Folder,
                      NotRegular, // a FIFO, a device or a socket
                      TooLarge,
                      Unreadable };
    Kind kind;
    // The system's reason, for an unreadable file.
    QString reason;
};

// What stands in the way of reading `path` (links followed) as a regular
// file of at most `maxBytes`; nothing when it can be read.
std::optional<FileProblem> regularFileProblem(const QString &path, qint64 maxBytes);

// The whole content of the regular file at `path`, or why not. Nothing else
// is ever opened: opening a FIFO waits for a writer, and a device may never
// end. The reading stops past `maxBytes` even when the file grows meanwhile.
std::variant<QByteArray, FileProblem> readRegularFile(const QString &path, qint64 maxBytes);

// True when writing `path` replaces at most a regular file: nothing stands
// there yet (a dangling link included), or a regular file does, links
// followed. A device, a FIFO or a socket must never become a file.
bool mayWriteFile(const QString &path);

// Moves the closed file `from` to `to` in one step, replacing a file
// standing there, so that `to` is never missing or half written. False,
// with both files as they were, when the system refuses.
bool replaceFile(const QString &from, const QString &to);

} // namespace realm
