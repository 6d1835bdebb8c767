#include "cli/OutputBuffer.h"

#include <QByteArray>

#include <cerrno>
#include <cstring>

namespace realm::cli {

namespace {

constexpr std::size_t ChunkSize = 1 << 20;

bool isHighSurrogate(char16_t unit)
{
    return unit >= 0xD800 && unit < 0xDC00;
}
bool isLowSurrogate(char16_t unit)
{
    return unit >= 0xDC00 && unit < 0xE000;
}

char *writeFourBytes(char *out, char32_t codePoint)
{
    *out++ = char(0xF0 | (codePoint >> 18));
    *out++ = char(0x80 | ((codePoint >> 12) & 0x3F));
    *out++ = char(0x80 | ((codePoint >> 6) & 0x3F));
    *out++ = char(0x80 | (codePoint & 0x3F));
    return out;
}

char *writeReplacementCharacter(char *out)
{
    for (const char byte : {'\xEF', '\xBF', '\xBD'})
        *out++ = byte;
    return out;
}

} // namespace

OutputBuffer::OutputBuffer(std::FILE *stream)
    : m_stream(stream), m_buffer(ChunkSize)
{
}

void OutputBuffer::append(std::string_view ascii)
{
    if (m_buffer.size() - m_used < ascii.size())
        makeRoom(ascii.size());
    std::memcpy(m_buffer.data() + m_used, ascii.data(), ascii.size());
    m_used += ascii.size();
}

// A surrogate without its partner stands for no character; it is written
// as U+FFFD, as Qt's own conversion does.
char *OutputBuffer::appendSurrogates(char *out, const char16_t *&unit, const char16_t *end)
{
    const char16_t first = *unit++;
    if (isHighSurrogate(first) && unit != end && isLowSurrogate(*unit)) {
        const char16_t second = *unit++;
        return writeFourBytes(out, 0x10000 + ((char32_t(first) - 0xD800) << 10) + (char32_t(second) - 0xDC00));
    }
    return writeReplacementCharacter(out);
}

void OutputBuffer::makeRoom(std::size_t size)
{
    flush();
    if (m_buffer.size() < size)
        m_buffer.resize(size);
}

void OutputBuffer::flush()
{
    if (m_used > 0 && !m_failed)
        m_failed = std::fwrite(m_buffer.data(), 1, m_used, m_stream) != m_used;
    m_used = 0;
    if (!m_failed)
        m_failed = std::fflush(m_stream) != 0;
    if (m_failed && errno == EPIPE)
        m_readerGone = true;
}

void printLine(std::FILE *stream, const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, std::size_t(line.size()), stream);
}

bool printLineFlushed(std::FILE *stream, const QString &text)
{
    const QByteArray line = text.toUtf8() + '\n';
    const std::size_t written = std::fwrite(line.constData(), 1, std::size_t(line.size()), stream);
    return std::fflush(stream) == 0 && written == std::size_t(line.size());
}

} // namespace realm::cli
