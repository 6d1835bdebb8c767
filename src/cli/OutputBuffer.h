#pragma once

#include <QString>
#include <QStringView>

#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

namespace realm::cli {

// Text for a stream, gathered in memory and handed to the stream in large
// chunks: a million rows cost a few hundred writes, not millions. Texts are
// written as UTF-8 whatever the locale.
class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE *stream);

    void append(std::string_view ascii);
    void append(char ascii)
    {
        if (m_used == m_buffer.size())
            makeRoom(1);
        m_buffer[m_used++] = ascii;
    }

    // Decimal digits, a minus sign first below zero.
    void appendInteger(qint64 value)
    {
        constexpr std::size_t LongestInteger = 20;
        if (m_buffer.size() - m_used < LongestInteger)
            makeRoom(LongestInteger);
        char *const start = m_buffer.data() + m_used;
        m_used += std::size_t(std::to_chars(start, start + LongestInteger, value).ptr - start);
    }

    // Appends `text` as UTF-8; each character below 0x80 goes through
    // `escape(char, out)`, which writes it (or its escaped form, at most
    // MaxEscapeLength bytes) at `out` and returns the end of what it wrote.
    template <class Escape>
    void appendText(QStringView text, Escape escape);

    void flush();
    // Whether a write to the stream fell short (a full disk, a closed pipe).
    bool failed() const { return m_failed; }
    // Whether the write failed because nobody reads the stream any more.
    bool readerGone() const { return m_readerGone; }

    static constexpr std::size_t MaxEscapeLength = 6;

private:
    // Writes out what is gathered, and grows the buffer if `size` bytes
    // would not fit even then.
    void makeRoom(std::size_t size);
    // A pair beyond the Basic Multilingual Plane, or a stray half of one.
    static char *appendSurrogates(char *out, const char16_t *&unit, const char16_t *end);

    std::FILE *m_stream;
    std::vector<char> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    bool m_readerGone = false;
};

// Writes `text` and a line break to `stream` at once, as UTF-8.
void printLine(std::FILE *stream, const QString &text);
// The line, flushed at once; false when it could not be written whole.
bool printLineFlushed(std::FILE *stream, const QString &text);

template <class Escape>
void OutputBuffer::appendText(QStringView text, Escape escape)
{
    const std::size_t longest = std::size_t(text.size()) * MaxEscapeLength;
    if (m_buffer.size() - m_used < longest)
        makeRoom(longest);
    char *const start = m_buffer.data() + m_used;
    char *out = start;
    const auto *unit = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = unit + text.size();
    while (unit != end) {
        const char16_t c = *unit;
        if (c < 0x80) {
            out = escape(char(c), out);
            ++unit;
        } else if (c < 0x800) {
            *out++ = char(0xC0 | (c >> 6));
            *out++ = char(0x80 | (c & 0x3F));
            ++unit;
        } else if (c < 0xD800 || c >= 0xE000) {
            *out++ = char(0xE0 | (c >> 12));
            *out++ = char(0x80 | ((c >> 6) & 0x3F));
            *out++ = char(0x80 | (c & 0x3F));
            ++unit;
        } else {
            out = appendSurrogates(out, unit, end);
        }
    }
    m_used += std::size_t(out - start);
}

} // namespace realm::cli
