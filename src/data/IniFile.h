#pragma once

#include <QString>
#include <QStringList>

namespace realm {

// Reads one value of a profile (.ini) file, the way the Windows profile call
// does, with these rules:
// - A section starts at a line "[name]"; a key line is "key=value". Blanks
//   and tabs around the section name and the key are ignored; around the
//   value only blanks are, so a tab the operator typed stays in the value.
// - Section and key names match without regard to ASCII letter case.
// - Lines starting with ';' (after blanks) are comments; lines without '='
//   inside a section are ignored.
// - A value wrapped in one pair of matching quotes ('...' or "...") loses them.
// - When a section or a key occurs more than once, the first one counts.
// - The file may be GBK (as written on Chinese Windows) or UTF-8, with or
//   without a byte-order mark: a file whose lines are valid UTF-8, comment
//   lines aside, is read as UTF-8, any other as GBK. Names are matched as
//   Unicode text, so the section "基础设置" is found in either encoding.
//   A UTF-16 file gives no values.
// - A value is cut to at most 254 bytes of the file's own encoding, never in
//   the middle of a character.
// - Only a regular file of at most a few megabytes is read: a FIFO, a
//   device or a larger file gives no values.
// The result is empty when the file, the section or the key is missing.
QString GetFromINI(const QString &AppName, const QString &KeyName, const QString &FileName);

// A profile file read once, for several values: each value as GetFromINI
// gives it.
class IniFile {
public:
    enum class Encoding { Utf8,
                          Gbk };

    explicit IniFile(const QString &FileName);

    QString value(const QString &AppName, const QString &KeyName) const;
    // Whether the section holds the key, even with an empty value.
    bool hasKey(const QString &AppName, const QString &KeyName) const;
    // Why the file gives no values of the section, naming the file: missing,
    // a folder, not a regular file, too large, unreadable (with the system's
    // reason), UTF-16, or without the section. The empty text when the
    // section can be read.
    QString problem(const QString &AppName) const;
    // The sections in the order of the file, each name once; none when the
    // file gives no text.
    QStringList sectionNames() const;

private:
    QString m_fileName;
    QString m_text;
    Encoding m_encoding = Encoding::Utf8;
    // Why the file gives no text at all; empty when it was read.
    QString m_readProblem;
};

} // namespace realm
