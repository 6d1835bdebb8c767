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

bool isPlainNumber(QStringView field)
{
    QStringView digits = field;
    if (digits.startsWith(u'+') || digits.startsWith(u'-'))
        digits = digits.mid(1);
    bool isNumber = false;
    // toDouble takes "inf", "nan" and blanks around the number too.
    [[maybe_unused]] const double number = digits.toDouble(&isNumber);
    return isNumber && !digits.isEmpty() && (digits.front().isDigit() || digits.front() == u'.')
        && (digits.back().isDigit() || digits.back() == u'.');
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
