#include "OutputBuffer.h"

namespace realm::cli {

namespace {

constexpr qsizetype ChunkSize = 1 << 20;

bool isHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit < 0xDC00; }
bool isLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit < 0xE000; }

char *writeCodePoint(char *out, char32_t codePoint)
{
    if (codePoint < 0x800) {
        *out++ = char(0xC0 | (codePoint >> 6));
    } else if (codePoint < 0x10000) {
        *out++ = char(0xE0 | (codePoint >> 12));
        *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
    } else {
        *out++ = char(0xF0 | (codePoint >> 18));
        *out++ = char(0x80 | ((codePoint >> 12) & 0x3F));
        *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
    }
    *out++ = char(0x80 | (codePoint & 0x3F));
    return out;
}

} // namespace

OutputBuffer::OutputBuffer(std::FILE *stream) : m_stream(stream)
{
    m_pending.reserve(ChunkSize + ChunkSize / 4);
}

void OutputBuffer::append(std::string_view ascii)
{
    m_pending.append(ascii.data(), qsizetype(ascii.size()));
}

// A surrogate without its partner stands for no character; it is written
// as U+FFFD, as Qt's own conversion does.
char *OutputBuffer::appendNonAscii(char *out, const char16_t *&unit, const char16_t *end)
{
    const char16_t first = *unit++;
    if (isHighSurrogate(first) && unit != end && isLowSurrogate(*unit)) {
        const char16_t second = *unit++;
        return writeCodePoint(out, 0x10000 + ((char32_t(first) - 0xD800) << 10) + (char32_t(second) - 0xDC00));
    }
    if (isHighSurrogate(first) || isLowSurrogate(first))
        return writeCodePoint(out, 0xFFFD);
    return writeCodePoint(out, first);
}

void OutputBuffer::flushIfFull()
{
    if (m_pending.size() >= ChunkSize)
        flush();
}

void OutputBuffer::flush()
{
    if (!m_pending.isEmpty() && !m_failed)
        m_failed = std::fwrite(m_pending.constData(), 1, std::size_t(m_pending.size()), m_stream)
                   != std::size_t(m_pending.size());
    m_pending.resize(0); // keeps the capacity for the next chunk
    if (!m_failed)
        m_failed = std::fflush(m_stream) != 0;
}

void printLine(std::FILE *stream, const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stream);
}

} // namespace realm::cli
