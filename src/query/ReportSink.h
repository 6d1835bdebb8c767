#pragma once

#include <QString>

#include <optional>

namespace realm {

// A report list as the searches fill it: cleared, then rows appended one by
// one, each row's sub-items set after it was added. The windows' list and
// the command line's writers both take rows this way.
class ReportSink {
public:
    virtual ~ReportSink() = default;
    virtual void clearRows() = 0;
    // Appends a row whose column 0 is `text` (nullopt: a Null value).
    virtual void addRow(const std::optional<QString> &text) = 0;
    // Column `index` (from 1) of the row added last.
    virtual void setSubItem(int index, const QString &text) = 0;
};

} // namespace realm
