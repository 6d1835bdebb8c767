#pragma once

#include <QCoreApplication>
#include <QString>

#include <stdexcept>

namespace realm {

// A failure of a data operation: the number and text the driver (or this
// layer) gave. Callers decide whether it is shown, skipped or fatal.
class DataError : public std::runtime_error {
public:
    DataError(long number, const QString &text)
        : std::runtime_error(text.toStdString()), m_number(number), m_text(text) { }

    long number() const { return m_number; }
    const QString &text() const { return m_text; }
    // The number and the text, as a status line or standard error shows them,
    // in the interface language around the driver's own words.
    QString message() const
    {
        return QCoreApplication::translate("realm::DataError", "错误 %1：%2").arg(m_number).arg(m_text);
    }

private:
    long m_number;
    QString m_text;
};

// Error numbers this layer raises itself, in the ranges operators know from
// the recordset component they replace.
namespace ErrorNumber {
inline constexpr long NoCurrentRecord = 3021;
inline constexpr long BadArgument = 3001;
inline constexpr long FieldNotFound = 3265;
inline constexpr long ObjectClosed = 3704;
inline constexpr long ObjectOpen = 3705;
inline constexpr long ItemDatabase = 3044;
inline constexpr long SettingsFile = 75; // path/file access error
inline constexpr long FolderNotFound = 76; // path not found
inline constexpr long QueryTimeout = -2147217871;
inline constexpr long Overflow = 6;
inline constexpr long ServerUnreachable = 20009; // the driver's own number for it
inline constexpr long LoginUnfinished = 20003; // the driver's number for a login timeout
inline constexpr long NotSecure = 20002; // the driver's number for a refused connection
} // namespace ErrorNumber

} // namespace realm
