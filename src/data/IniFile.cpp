#include "data/IniFile.h"

#include "data/GbkText.h"
#include "data/RegularFile.h"

#include <QCoreApplication>
#include <QList>

#include <algorithm>
#include <optional>
#include <variant>

namespace realm {

namespace {

constexpr qsizetype ValueByteLimit = 254;
// Far more than any settings file holds, and little enough to read at once.
constexpr qint64 FileByteLimit = qint64(4) << 20;

using Encoding = IniFile::Encoding;

struct DecodedFile {
    QString text;
    Encoding encoding;
};

// The decoded text, or why the file gives no text at all.
using FileOrProblem = std::variant<DecodedFile, QString>;

bool isCommentLine(QByteArrayView line)
{
    qsizetype start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t'))
        ++start;
    return start < line.size() && line[start] == ';';
}

// A stray byte in a comment is no reason to read the whole file as GBK:
// only the lines that can hold a section or a value decide.
bool isUtf8OutsideComments(const QByteArray &bytes)
{
    for (const QByteArray &line : bytes.split('\n')) {
        if (!QByteArrayView(line).isValidUtf8() && !isCommentLine(line))
            return false;
    }
    return true;
}

bool looksLikeUtf16(const QByteArray &bytes)
{
    return bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") || bytes.contains('\0');
}

QString describe(const FileProblem &problem, const QString &path)
{
    switch (problem.kind) {
    case FileProblem::Kind::Missing:
        return QCoreApplication::translate("realm::IniFile", "设置文件 %1 不存在。").arg(path);
    case FileProblem::Kind::Folder:
        return QCoreApplication::translate("realm::IniFile", "设置文件 %1 是一个文件夹。").arg(path);
    case FileProblem::Kind::NotRegular:
        return QCoreApplication::translate("realm::IniFile", "设置文件 %1 不是普通文件（而是管道、设备或套接字），未读取。").arg(path);
    case FileProblem::Kind::TooLarge:
        return QCoreApplication::translate("realm::IniFile", "设置文件 %1 大于 %2 MB，未读取。").arg(path).arg(FileByteLimit >> 20);
    case FileProblem::Kind::Unreadable:
        break;
    }
    return QCoreApplication::translate("realm::IniFile", "无法读取设置文件 %1：%2。").arg(path, problem.reason);
}

FileOrProblem readFile(const QString &path)
{
    auto content = readRegularFile(path, FileByteLimit);
    if (const auto *problem = std::get_if<FileProblem>(&content))
        return describe(*problem, path);
    QByteArray &bytes = std::get<QByteArray>(content);
    if (looksLikeUtf16(bytes))
        return QCoreApplication::translate("realm::IniFile", "设置文件 %1 是 UTF-16 文本，请另存为 GBK 或 UTF-8。").arg(path);
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (isUtf8OutsideComments(bytes))
        return DecodedFile{QString::fromUtf8(bytes), Encoding::Utf8};
    return DecodedFile{decodeGbk(bytes), Encoding::Gbk};
}

QByteArray encode(const QString &text, Encoding encoding)
{
    if (encoding == Encoding::Utf8)
        return text.toUtf8();
    return encodeGbk(text);
}

// Cuts whole characters off the end until the encoded value fits. Every
// character takes at least one byte, so only the first ValueByteLimit + 1
// code units can matter: the work stays bounded whatever the value's length.
QString cutToByteLimit(const QString &value, Encoding encoding)
{
    QString cut = value.first(std::min(value.size(), ValueByteLimit + 1));
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

bool hasSection(const QString &text, const QString &section)
{
    const auto lines = QStringView(text).split(u'\n');
    return std::ranges::any_of(lines, [&section](QStringView line) {
        const auto name = sectionName(trimBlanksAndTabs(line));
        return name && name->compare(section, Qt::CaseInsensitive) == 0;
    });
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

// Each section's name in the order of the file; a name that comes again
// is the same section, as findValue takes it.
QStringList sectionNamesIn(const QString &text)
{
    QStringList names;
    for (QStringView line : QStringView(text).split(u'\n')) {
        const auto name = sectionName(trimBlanksAndTabs(line));
        if (name && !names.contains(*name, Qt::CaseInsensitive))
            names << *name;
    }
    return names;
}

} // namespace

IniFile::IniFile(const QString &FileName)
    : m_fileName(FileName)
{
    FileOrProblem file = readFile(FileName);
    if (auto *decoded = std::get_if<DecodedFile>(&file)) {
        m_text = std::move(decoded->text);
        m_encoding = decoded->encoding;
    } else {
        m_readProblem = std::get<QString>(file);
    }
}

QString IniFile::value(const QString &AppName, const QString &KeyName) const
{
    if (!m_readProblem.isEmpty())
        return {};
    const auto value = findValue(m_text, AppName, KeyName);
    if (!value)
        return {};
    return cutToByteLimit(*value, m_encoding);
}

bool IniFile::hasKey(const QString &AppName, const QString &KeyName) const
{
    return m_readProblem.isEmpty() && findValue(m_text, AppName, KeyName).has_value();
}

QString IniFile::problem(const QString &AppName) const
{
    if (!m_readProblem.isEmpty())
        return m_readProblem;
    if (!hasSection(m_text, AppName))
        return QCoreApplication::translate("realm::IniFile", "设置文件 %1 中没有 [%2] 节。").arg(m_fileName, AppName);
    return {};
}

QStringList IniFile::sectionNames() const
{
    return sectionNamesIn(m_text);
}

QString GetFromINI(const QString &AppName, const QString &KeyName, const QString &FileName)
{
    return IniFile(FileName).value(AppName, KeyName);
}

} // namespace realm
