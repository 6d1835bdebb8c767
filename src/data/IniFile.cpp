#include "data/IniFile.h"

#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

#include <optional>

namespace realm {

namespace {

constexpr qsizetype ValueByteLimit = 254;

enum class FileEncoding { Utf8,
                          Gbk };

struct DecodedFile {
    QString text;
    FileEncoding encoding;
};

std::optional<DecodedFile> readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return DecodedFile{text, FileEncoding::Utf8};
    QStringDecoder gbk("GB18030");
    return DecodedFile{gbk.decode(bytes), FileEncoding::Gbk};
}

QByteArray encode(const QString &text, FileEncoding encoding)
{
    if (encoding == FileEncoding::Utf8)
        return text.toUtf8();
    QStringEncoder gbk("GB18030");
    return gbk.encode(text);
}

// Cuts whole characters off the end until the encoded value fits.
QString cutToByteLimit(const QString &value, FileEncoding encoding)
{
    QString cut = value;
    while (encode(cut, encoding).size() > ValueByteLimit) {
        qsizetype drop = cut.size() >= 2 && cut.back().isLowSurrogate() ? 2 : 1;
        cut.chop(drop);
    }
    return cut;
}

// Without the leading and trailing characters found in `pads`.
QString trimmed(QStringView text, QStringView pads)
{
    while (!text.isEmpty() && pads.contains(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && pads.contains(text.back()))
        text.chop(1);
    return text.toString();
}

QString trimBlanksAndTabs(QStringView text)
{
    return trimmed(text, u" \t");
}

QString trimBlanks(QStringView text)
{
    return trimmed(text, u" ");
}

QString unquote(const QString &value)
{
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'')
        && value.back() == value.front())
        return value.sliced(1, value.size() - 2);
    return value;
}

std::optional<QString> sectionName(QStringView line)
{
    if (!line.startsWith(u'['))
        return std::nullopt;
    qsizetype close = line.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimBlanksAndTabs(line.sliced(1, close - 1));
}

std::optional<QString> findValue(const QString &text, const QString &section, const QString &key)
{
    bool inSection = false;
    bool sectionSeen = false;
    const auto lines = QStringView(text).split(u'\n');
    for (QStringView raw : lines) {
        QString line = trimBlanks(raw.endsWith(u'\r') ? raw.chopped(1) : raw);
        if (auto name = sectionName(trimBlanksAndTabs(line))) {
            if (inSection)
                return std::nullopt; // the first section of that name holds the answer
            inSection = !sectionSeen && name->compare(section, Qt::CaseInsensitive) == 0;
            sectionSeen = sectionSeen || inSection;
            continue;
        }
        if (!inSection || trimBlanksAndTabs(line).startsWith(u';'))
            continue;
        qsizetype equals = line.indexOf(u'=');
        if (equals < 0)
            continue;
        if (trimBlanksAndTabs(QStringView(line).first(equals)).compare(key, Qt::CaseInsensitive) == 0)
            return unquote(trimBlanks(QStringView(line).sliced(equals + 1)));
    }
    return std::nullopt;
}

} // namespace

QString GetFromINI(const QString &AppName, const QString &KeyName, const QString &FileName)
{
    const auto file = readFile(FileName);
    if (!file)
        return {};
    const auto value = findValue(file->text, AppName, KeyName);
    if (!value)
        return {};
    return cutToByteLimit(*value, file->encoding);
}

} // namespace realm
