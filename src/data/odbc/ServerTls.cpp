#include "data/odbc/ServerTls.h"

#include <QCoreApplication>

namespace realm {

QString certificateProblemText(const ServerTls &tls, const QString &server, const QString &caFile)
{
    const auto text = [&](const char *sentence) {
        return QCoreApplication::translate("realm::ServerTls", sentence).arg(server, caFile);
    };
    switch (tls.verdict) {
    case CertificateVerdict::NotChecked:
    case CertificateVerdict::Verified:
        return {};
    case CertificateVerdict::Expired:
        return text(QT_TRANSLATE_NOOP("realm::ServerTls", "服务器 %1 的证书已过期（按 %2 验证），连接已中止。"));
    case CertificateVerdict::NotYetValid:
        return text(QT_TRANSLATE_NOOP("realm::ServerTls", "服务器 %1 的证书尚未生效（按 %2 验证），连接已中止。"));
    case CertificateVerdict::OtherHost:
        return text(QT_TRANSLATE_NOOP("realm::ServerTls", "服务器 %1 出示的证书属于另一个主机名，连接已中止（按 %2 验证）。"));
    case CertificateVerdict::UnknownIssuer:
        return text(QT_TRANSLATE_NOOP("realm::ServerTls", "服务器 %1 的证书不是由 %2 中受信任的证书签发的，连接已中止。"));
    case CertificateVerdict::UnreadableTrust:
        return text(QT_TRANSLATE_NOOP("realm::ServerTls", "无法从 %2 读取受信任的证书，未连接服务器 %1。"));
    case CertificateVerdict::OtherProblem:
        break;
    }
    return QCoreApplication::translate("realm::ServerTls", "服务器 %1 的证书没有通过验证（按 %2）：%3，连接已中止。").arg(server, caFile, tls.detail);
}

} // namespace realm
