#pragma once

#include <QString>

#include <optional>

namespace realm {

// Game server passwords in the system keyring (the Secret Service through
// QtKeychain, the Credential Manager on Windows). An entry is keyed
// by the server's address and the login, not by the name a settings
// section gives the server, so renaming a section keeps its password.
// Never falls back to a file. Each call waits for the keyring's answer.
namespace keyring {

struct Lookup {
    std::optional<QString> password; // none stored, or no keyring
    QString problem; // why the keyring could not be asked; empty when it answered
};

// The name of the entry for a login on a server.
inline QString entryKey(const QString &server, const QString &userId)
{
    return userId + u'@' + server.trimmed().toLower();
}

Lookup read(const QString &server, const QString &userId);
// Each returns why the keyring did not do it, or the empty text.
QString store(const QString &server, const QString &userId, const QString &password);
QString forget(const QString &server, const QString &userId);

} // namespace keyring

} // namespace realm
