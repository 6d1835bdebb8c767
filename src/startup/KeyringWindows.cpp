// The Windows Credential Manager: one generic credential per entry, named
// "realmquery:" and the entry's key, the password as UTF-16. Its calls are
// safe on any thread and answer at once.
#include "startup/Keyring.h"

#include <QCoreApplication>

#include <windows.h>
// wincred.h takes its types from windows.h.
#include <wincred.h>

namespace realm::keyring {

namespace {

std::wstring targetName(const QString &server, const QString &userId)
{
    return QString(QStringLiteral("realmquery:") + entryKey(server, userId)).toStdWString();
}

QString systemProblem(DWORD error)
{
    wchar_t *words = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t *>(&words), 0, nullptr);
    const QString text = length ? QString::fromWCharArray(words, qsizetype(length)).trimmed() : QString::number(error);
    LocalFree(words);
    return QCoreApplication::translate("realm::Keyring", "无法使用系统密钥环（%1）。").arg(text);
}

// A missing entry is no problem: there is nothing to read or to forget.
QString problemOfLastCall()
{
    const DWORD error = GetLastError();
    return error == ERROR_NOT_FOUND ? QString() : systemProblem(error);
}

} // namespace

Lookup read(const QString &server, const QString &userId)
{
    PCREDENTIALW credential = nullptr;
    if (!CredReadW(targetName(server, userId).c_str(), CRED_TYPE_GENERIC, 0, &credential))
        return {std::nullopt, problemOfLastCall()};
    const auto *blob = reinterpret_cast<const char16_t *>(credential->CredentialBlob);
    const QString password = QString::fromUtf16(blob, qsizetype(credential->CredentialBlobSize / sizeof(char16_t)));
    CredFree(credential);
    return {password, {}};
}

QString store(const QString &server, const QString &userId, const QString &password)
{
    std::wstring target = targetName(server, userId);
    std::wstring user = userId.toStdWString();
    QString secret = password;
    CREDENTIALW credential{};
    credential.Type = CRED_TYPE_GENERIC;
    credential.TargetName = target.data();
    credential.UserName = user.data();
    credential.CredentialBlob = reinterpret_cast<LPBYTE>(secret.data());
    credential.CredentialBlobSize = DWORD(secret.size() * qsizetype(sizeof(char16_t)));
    credential.Persist = CRED_PERSIST_LOCAL_MACHINE;
    return CredWriteW(&credential, 0) ? QString() : systemProblem(GetLastError());
}

QString forget(const QString &server, const QString &userId)
{
    return CredDeleteW(targetName(server, userId).c_str(), CRED_TYPE_GENERIC, 0) ? QString() : problemOfLastCall();
}

} // namespace realm::keyring
