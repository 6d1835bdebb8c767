#pragma once

#include <QString>
#include <QStringList>

#include <stdexcept>

namespace realm {

// SQL text with `?` placeholders and the typed texts bound to them.
struct SqlStatement {
    QString text;
    QStringList parameters;
};

// A statement built from what was typed, with what the status line should
// say of how the number boxes were read (empty when each was just its
// number).
struct TypedQuery {
    SqlStatement statement;
    QString note;
};

// Input that no query may be built from; the message names the box.
class InputError : public std::runtime_error {
public:
    explicit InputError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) { }
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

} // namespace realm
