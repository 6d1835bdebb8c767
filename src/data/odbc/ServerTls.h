#pragma once

#include "data/ConnectionFacts.h"
#include "data/ServerAddress.h"

#include <QString>

#include <chrono>

namespace realm {

struct ServerTls {
    ServerOffer offer = ServerOffer::Unreachable;
    CertificateVerdict verdict = CertificateVerdict::NotChecked;
    QString detail; // the verifier's own words for OtherProblem
};

// Asks the server at `address` (its port known) whether it encrypts, asking
// as the driver does (for encryption on only when it is required), and,
// when it offers TLS and `caFile` is given, checks the certificate it shows
// against `caFile` and the address's host name. Each wait on the server
// ends after `wait`; a server that cannot be reached or answers nonsense
// gives Unreachable. No login is sent.
ServerTls probeServerTls(const ServerAddress &address, bool requireEncryption, const QString &caFile,
                         std::chrono::milliseconds wait);

// The verdict as the user reads it, naming `server` and the certificate
// file; empty for NotChecked and Verified.
QString certificateProblemText(const ServerTls &tls, const QString &server, const QString &caFile);

} // namespace realm
