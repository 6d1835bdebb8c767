#include "jet4/Utf.h"

#include <cstdint>

namespace jet4 {
namespace {

struct LeadByte {
    int continuationCount;
    char32_t initialBits;
    char32_t minimum; // smallest code point that needs this many bytes
};

std::optional<LeadByte> classifyLead(unsigned char byte)
{
    if (byte < 0x80) {
        return LeadByte{0, byte, 0};
    }
    if ((byte & 0xE0) == 0xC0) {
        return LeadByte{1, byte & 0x1Fu, 0x80};
    }
    if ((byte & 0xF0) == 0xE0) {
        return LeadByte{2, byte & 0x0Fu, 0x800};
    }
    if ((byte & 0xF8) == 0xF0) {
        return LeadByte{3, byte & 0x07u, 0x10000};
    }
    return std::nullopt;
}

bool isValidScalar(char32_t codePoint, char32_t minimum)
{
    const bool overlong = codePoint < minimum;
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    return !overlong && !surrogate && codePoint <= 0x10FFFF;
}

void appendUtf16(std::u16string &out, char32_t codePoint)
{
    if (codePoint < 0x10000) {
        out.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    const char32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

} // namespace

std::optional<std::u16string> utf8ToUtf16(std::string_view utf8)
{
    std::u16string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const auto lead = classifyLead(static_cast<unsigned char>(utf8[pos++]));
        if (!lead || utf8.size() - pos < static_cast<std::size_t>(lead->continuationCount)) {
            return std::nullopt;
        }
        char32_t codePoint = lead->initialBits;
        for (int i = 0; i < lead->continuationCount; ++i) {
            const auto byte = static_cast<unsigned char>(utf8[pos++]);
            if ((byte & 0xC0) != 0x80) {
                return std::nullopt;
            }
            codePoint = (codePoint << 6) | (byte & 0x3Fu);
        }
        if (!isValidScalar(codePoint, lead->minimum)) {
            return std::nullopt;
        }
        appendUtf16(out, codePoint);
    }
    return out;
}

} // namespace jet4
