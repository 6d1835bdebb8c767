#include "ui/DelimitedText.h"

namespace realm::ui {

namespace {

bool needsQuotes(QStringView field, QChar delimiter)
{
    for (const QChar c : field) {
        if (c == delimiter || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

qsizetype skipDigits(QStringView text, qsizetype at)
{
    while (at < text.size() && text[at] >= u'0' && text[at] <= u'9')
        ++at;
    return at;
}

qsizetype skipSign(QStringView text, qsizetype at)
{
    return at < text.size() && (text[at] == u'+' || text[at] == u'-') ? at + 1 : at;
}

// A decimal number such as -5, +12, 0.5 or 1e-3, nothing around it.
bool isPlainNumber(QStringView text)
{
    const qsizetype start = skipSign(text, 0);
    qsizetype at = skipDigits(text, start);
    qsizetype digits = at - start;
    if (at < text.size() && text[at] == u'.') {
        const qsizetype fraction = at + 1;
        at = skipDigits(text, fraction);
        digits += at - fraction;
    }
    if (digits == 0)
        return false;
    if (at < text.size() && (text[at] == u'e' || text[at] == u'E')) {
        const qsizetype exponent = skipSign(text, at + 1);
        at = skipDigits(text, exponent);
        if (at == exponent)
            return false;
    }
    return at == text.size();
}

} // namespace

void appendField(QString &line, QStringView field, Delimiter delimiter)
{
    const QChar separator = delimiter == Delimiter::Comma ? u',' : u'\t';
    if (!needsQuotes(field, separator)) {
        line += field;
        return;
    }
    line += u'"';
    for (const QChar c : field) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

QString guardFormula(const QString &field)
{
    if (field.isEmpty())
        return field;
    const QChar first = field.front();
    const bool formulaStart = first == u'=' || first == u'+' || first == u'-' || first == u'@' || first == u'\t'
        || first == u'\r';
    if (!formulaStart || isPlainNumber(field))
        return field;
    return u'\'' + field;
}

} // namespace realm::ui
