#pragma once

#include <QStringView>

#include <cstddef>

namespace realm::spreadsheet {

// The most bytes encodeXmlText writes for a text of `length` UTF-16 units:
// seven for an escaped character.
constexpr std::size_t encodedXmlTextBound(qsizetype length)
{
    return std::size_t(length) * 7;
}

// `text` as the UTF-8 content of a worksheet's text element, written from
// `out` on; returns the end. Markup characters become entities, characters
// that XML cannot hold the file's `_xHHHH_` escapes (which a spreadsheet
// reads back as the characters), an underscore that would start such an
// escape is itself escaped, and a lone surrogate becomes U+FFFD.
char *encodeXmlText(QStringView text, char *out);

// Whether a spreadsheet drops the text's leading or trailing white space
// unless the element says to keep it.
bool hasOuterSpace(QStringView text);

} // namespace realm::spreadsheet
