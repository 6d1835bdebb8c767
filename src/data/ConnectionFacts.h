#pragma once

#include <QString>

#include <chrono>
#include <optional>

namespace realm {

// What a server answers about encryption before the login.
enum class ServerOffer {
    Unreachable, // no TDS answer: the driver's own login says why
    NoTls, // the server does not support encryption
    LoginOnly, // it encrypts the login packet only
    Full, // it encrypts the whole session
};

// How the server's certificate compares with the trusted certificates.
enum class CertificateVerdict {
    NotChecked, // no certificate file, or no TLS
    Verified,
    Expired,
    NotYetValid,
    OtherHost,
    UnknownIssuer,
    UnreadableTrust, // the certificate file cannot be read as certificates
    OtherProblem, // another reason, in `detail`
};

// How a connection is protected, as far as the program knows it.
struct ConnectionSecurity {
    ServerOffer offer = ServerOffer::NoTls;
    CertificateVerdict verdict = CertificateVerdict::NotChecked;
    QString caFile; // what the certificate was verified against
    bool encrypted() const { return offer == ServerOffer::Full; }
    bool verified() const { return encrypted() && verdict == CertificateVerdict::Verified; }
};

// What a connection check tells about a server; never the password.
struct ConnectionFacts {
    QString driver; // the ODBC driver that reached a SQL Server
    QString tdsVersion;
    QString serverVersion;
    QString collation;
    ConnectionSecurity security;
    std::chrono::milliseconds roundTrip{0}; // of one trivial read
};

} // namespace realm
