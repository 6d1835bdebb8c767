#pragma once

#include <QStringList>

#include <optional>

namespace realm {

// The program's arguments as typed, the program's name first: each decoded
// on its own from the system's encoding, a U+FEFF at its start kept (Qt's
// own list drops it). Bytes that are no text there become U+FFFD.
struct TypedArguments {
    QStringList arguments;
    // The first argument that held such bytes (a character cut off at its
    // end, say): it must not be used as if it were the text it shows.
    std::optional<qsizetype> undecodable;
};
TypedArguments typedArguments(int argc, const char *const *argv);

// Why the undecodable argument at `index` cannot be used, naming the option
// it was given to.
QString undecodableArgumentMessage(const QStringList &arguments, qsizetype index);

} // namespace realm
