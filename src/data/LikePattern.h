#pragma once

#include <QStringView>

namespace realm {

// The game server's `like`: `%`, `_` and `[...]` classes (`[a-c]`, `[^a-c]`,
// and `[%]` or `[_]` for the wildcard itself). Pattern and text come
// case-folded, so letters of any case match.
bool likeMatches(QStringView pattern, QStringView text);

} // namespace realm
