#include "query/NumberText.h"

#include "data/NumberFormat.h"
#include "query/BoxText.h"
#include "query/Messages.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace realm {

namespace {

bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

// Reads characters one by one, skipping the blanks, tabs and line feeds
// that may stand anywhere inside the number.
class Scanner {
public:
    explicit Scanner(QStringView text)
        : m_text(text) { }

    // Where reading stopped, past any blanks that follow the number.
    qsizetype end()
    {
        peek();
        return m_at;
    }
    QChar peek()
    {
        while (m_at < m_text.size() && isSkipped(m_text[m_at]))
            ++m_at;
        return m_at < m_text.size() ? m_text[m_at] : QChar();
    }
    void take() { ++m_at; }
    bool takeIf(auto accepts, QString &into)
    {
        const QChar c = peek();
        if (c.isNull() || !accepts(c))
            return false;
        into += c;
        take();
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_at = 0;
};

// What a Chinese input method types in full-width mode: the digits, the
// signs and the point, read as the ASCII characters they stand for.
QString withAsciiNumberCharacters(QString text)
{
    for (QChar &c : text) {
        if ((c >= u'\uFF10' && c <= u'\uFF19') || c == u'\uFF0B' || c == u'\uFF0D' || c == u'\uFF0E')
            c = QChar(c.unicode() - 0xFF00 + 0x20);
    }
    return text;
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// &H and &O values: up to 16 bits they are signed 16-bit, up to 32 bits
// signed 32-bit, as the classic Basic reading gives them.
double signedRadixValue(quint64 value)
{
    if (value <= 0xFFFF)
        return double(qint16(quint16(value)));
    if (value <= 0xFFFFFFFF)
        return double(qint32(quint32(value)));
    return double(value);
}

double readRadix(Scanner &scanner, int radix, bool &sawDigit)
{
    quint64 value = 0;
    bool overflow = false;
    for (;;) {
        const QChar c = scanner.peek();
        const int digit = c.isNull() ? -1 : QString(c).toInt(nullptr, 16);
        const bool valid = !c.isNull() && (isAsciiDigit(c) || (radix == 16 && QStringLiteral("abcdefABCDEF").contains(c)))
            && digit < radix;
        if (!valid)
            break;
        scanner.take();
        sawDigit = true;
        overflow = overflow || value > (std::numeric_limits<quint64>::max() - quint64(digit)) / quint64(radix);
        value = value * quint64(radix) + quint64(digit);
    }
    return overflow ? double(std::numeric_limits<quint64>::max()) : signedRadixValue(value);
}

QString readDecimal(Scanner &scanner)
{
    QString number;
    scanner.takeIf([](QChar c) { return c == u'+' || c == u'-'; }, number);
    bool point = false;
    while (scanner.takeIf(isAsciiDigit, number) || (!point && (point = scanner.takeIf([](QChar c) { return c == u'.'; }, number))))
        ;
    QString exponent;
    if (scanner.takeIf([](QChar c) { return QStringLiteral("eEdD").contains(c); }, exponent)) {
        scanner.takeIf([](QChar c) { return c == u'+' || c == u'-'; }, exponent);
        if (scanner.takeIf(isAsciiDigit, exponent)) {
            while (scanner.takeIf(isAsciiDigit, exponent))
                ;
            number += u'E' + exponent.sliced(1);
        }
    }
    return number;
}

struct Reading {
    std::optional<double> value;
    bool wholeText = false; // the text is the number and nothing else
};

Reading readLeadingNumber(QStringView text)
{
    Scanner scanner(text);
    bool sawDigit = false;
    double value = 0.0;
    if (scanner.peek() == u'&') {
        scanner.take();
        const QChar radix = scanner.peek().toUpper();
        if (radix == u'H' || radix == u'O') {
            scanner.take();
            value = readRadix(scanner, radix == u'H' ? 16 : 8, sawDigit);
        }
    } else {
        const QString number = readDecimal(scanner);
        sawDigit = std::ranges::any_of(number, isAsciiDigit);
        value = std::strtod(number.toLatin1().constData(), nullptr);
        if (!std::isfinite(value))
            return {};
    }
    return {value, sawDigit && scanner.end() == text.size()};
}

} // namespace

std::optional<double> leadingNumber(QStringView text)
{
    return readLeadingNumber(text).value;
}

std::optional<NumberBox> readNumberBox(const QString &boxText, const QString &boxName)
{
    const Reading reading = readLeadingNumber(withAsciiNumberCharacters(trimBlanks(boxText)));
    if (!reading.value)
        return std::nullopt;
    const QString number = formatNumber(*reading.value);
    return NumberBox{number, reading.wholeText ? QString() : messages::numberReadAs(boxName, boxText, number)};
}

} // namespace realm
