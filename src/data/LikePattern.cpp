#include "data/LikePattern.h"

namespace realm {

namespace {

// Whether the character is one of a `[...]` class's members: `^` first
// negates, `x-y` is a range of code points. Pattern and text come
// case-folded, so `[A-C]` is `[a-c]`.
bool classMatches(QStringView members, QChar character)
{
    const bool negated = members.startsWith(u'^');
    if (negated)
        members = members.sliced(1);
    bool found = false;
    for (qsizetype i = 0; i < members.size() && !found; ++i) {
        if (i + 2 < members.size() && members[i + 1] == u'-') {
            found = members[i] <= character && character <= members[i + 2];
            i += 2;
        } else {
            found = members[i] == character;
        }
    }
    return found != negated;
}

// Where the pattern element (`_`, a class or a character) starting at `p`
// ends; -1 for a class never closed, which matches no text.
qsizetype elementEnd(QStringView pattern, qsizetype p)
{
    if (pattern[p] != u'[')
        return p + 1;
    const qsizetype close = pattern.indexOf(u']', p + 1);
    return close < 0 ? -1 : close + 1;
}

bool elementMatches(QStringView element, QChar character)
{
    if (element.size() == 1)
        return element[0] == u'_' || element[0] == character;
    return classMatches(element.sliced(1, element.size() - 2), character);
}

// The game server's `like`: `%`, `_` and `[...]` classes (`[a-c]`, `[^a-c]`,
// and `[%]` or `[_]` for the wildcard itself), for every letter of any case.
} // namespace

bool likeMatches(QStringView pattern, QStringView text)
{
    qsizetype p = 0;
    qsizetype t = 0;
    qsizetype afterStar = -1;
    qsizetype starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == u'%') {
            afterStar = ++p;
            starT = t;
            continue;
        }
        const qsizetype next = p < pattern.size() ? elementEnd(pattern, p) : -1;
        if (next > 0 && elementMatches(pattern.sliced(p, next - p), text[t])) {
            p = next;
            ++t;
        } else if (afterStar >= 0) {
            p = afterStar;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'%')
        ++p;
    return p == pattern.size();
}

} // namespace realm
