#include "spreadsheet/XmlText.h"

#include <array>
#include <cstring>

namespace realm::spreadsheet {

namespace {

// The ASCII characters written other than as themselves: control
// characters but tab and line feed (a carriage return would read back as a
// line feed), markup characters, and the underscore that may start an
// escape.
constexpr std::array<bool, 0x80> SpecialAscii = [] {
    std::array<bool, 0x80> special{};
    for (char16_t unit = 0; unit < 0x20; ++unit)
        special[unit] = unit != u'\t' && unit != u'\n';
    special[u'&'] = special[u'<'] = special[u'>'] = special[u'_'] = true;
    return special;
}();

bool isHexDigit(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// "_x0041_" (either case of x and of the digits): what a spreadsheet reads
// as the character it names.
bool startsEscape(QStringView text, qsizetype at)
{
    if (at + 7 > text.size() || (text[at + 1] != u'x' && text[at + 1] != u'X') || text[at + 6] != u'_')
        return false;
    for (qsizetype digit = at + 2; digit < at + 6; ++digit) {
        if (!isHexDigit(text[digit].unicode()))
            return false;
    }
    return true;
}

char *copy(const char *bytes, std::size_t size, char *out)
{
    std::memcpy(out, bytes, size);
    return out + size;
}

char *escapeCode(char16_t unit, char *out)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    *out++ = '_';
    *out++ = 'x';
    for (int shift = 12; shift >= 0; shift -= 4)
        *out++ = Hex[(unit >> shift) & 0xF];
    *out++ = '_';
    return out;
}

char *specialAscii(QStringView text, qsizetype at, char *out)
{
    switch (text[at].unicode()) {
    case u'&':
        return copy("&amp;", 5, out);
    case u'<':
        return copy("&lt;", 4, out);
    case u'>':
        return copy("&gt;", 4, out);
    case u'_':
        return startsEscape(text, at) ? copy("_x005F_", 7, out) : copy("_", 1, out);
    default:
        return escapeCode(text[at].unicode(), out);
    }
}

char *threeBytes(char16_t unit, char *out)
{
    *out++ = char(0xE0 | (unit >> 12));
    *out++ = char(0x80 | ((unit >> 6) & 0x3F));
    *out++ = char(0x80 | (unit & 0x3F));
    return out;
}

char *fourBytes(char32_t code, char *out)
{
    *out++ = char(0xF0 | (code >> 18));
    *out++ = char(0x80 | ((code >> 12) & 0x3F));
    *out++ = char(0x80 | ((code >> 6) & 0x3F));
    *out++ = char(0x80 | (code & 0x3F));
    return out;
}

} // namespace

char *encodeXmlText(QStringView text, char *out)
{
    const qsizetype size = text.size();
    for (qsizetype at = 0; at < size; ++at) {
        const char16_t unit = text[at].unicode();
        if (unit < 0x80) {
            if (SpecialAscii[unit])
                out = specialAscii(text, at, out);
            else
                *out++ = char(unit);
        } else if (unit < 0x800) {
            *out++ = char(0xC0 | (unit >> 6));
            *out++ = char(0x80 | (unit & 0x3F));
        } else if (QChar::isHighSurrogate(unit) && at + 1 < size && text[at + 1].isLowSurrogate()) {
            out = fourBytes(QChar::surrogateToUcs4(unit, text[at + 1].unicode()), out);
            ++at;
        } else if (QChar::isSurrogate(unit)) {
            out = threeBytes(0xFFFD, out);
        } else if (unit >= 0xFFFE) {
            // Not characters in XML.
            out = escapeCode(unit, out);
        } else {
            out = threeBytes(unit, out);
        }
    }
    return out;
}

bool hasOuterSpace(QStringView text)
{
    const auto isSpace = [](QChar c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); };
    return !text.isEmpty() && (isSpace(text.front()) || isSpace(text.back()));
}

} // namespace realm::spreadsheet
