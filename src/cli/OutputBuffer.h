#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdio>
#include <string_view>

namespace realm::cli {

// Text for a stream, gathered in memory and handed to the stream in large
// chunks: a million rows cost a few hundred writes, not millions. Texts are
// written as UTF-8 whatever the locale.
class OutputBuffer {
public:
    explicit OutputBuffer(std::FILE *stream);

    void append(std::string_view ascii);
    void append(char ascii) { m_pending.append(ascii); }

    // Appends `text` as UTF-8; each character below 0x80 goes through
    // `escape(char, out)`, which writes it (or its escaped form, at most
    // MaxEscapeLength bytes) at `out` and returns the end of what it wrote.
    template <class Escape>
    void appendText(QStringView text, Escape escape);

    // Writes out what is gathered once it is large enough.
    void flushIfFull();
    void flush();
    // Whether a write to the stream fell short (a full disk, a closed pipe).
    bool failed() const { return m_failed; }

    static constexpr qsizetype MaxEscapeLength = 6;

private:
    static char *appendNonAscii(char *out, const char16_t *&unit, const char16_t *end);

    std::FILE *m_stream;
    QByteArray m_pending;
    bool m_failed = false;
};

// Writes `text` and a line break to `stream` at once, as UTF-8.
void printLine(std::FILE *stream, const QString &text);

template <class Escape>
void OutputBuffer::appendText(QStringView text, Escape escape)
{
    const qsizetype start = m_pending.size();
    m_pending.resize(start + text.size() * MaxEscapeLength);
    char *out = m_pending.data() + start;
    const auto *unit = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = unit + text.size();
    while (unit != end) {
        if (*unit < 0x80)
            out = escape(char(*unit++), out);
        else
            out = appendNonAscii(out, unit, end);
    }
    m_pending.resize(out - m_pending.constData());
}

} // namespace realm::cli
