// The server's certificate, looked at by the program itself: the driver
// reports a certificate of another host and one of an unknown issuer with
// the same words, so the reason is found here, with OpenSSL (libssl), before
// the driver logs in. OpenSSL rather than Qt Network keeps the data layer on
// Qt Core; it runs the TLS handshake in memory, inside the TDS pre-login
// packets as the protocol carries it, and stops once the certificate is in.
#include "data/odbc/ServerTls.h"

#include <QByteArray>
#include <QFile>

#include <cerrno>
#include <netdb.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>
#include <openssl/x509v3.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <optional>

namespace realm {

namespace {

constexpr char PreloginPacket = 0x12;
constexpr unsigned char EndOfMessage = 0x01;
constexpr int PacketHeaderSize = 8;
constexpr int PacketSize = 4096;
constexpr unsigned char EncryptionOption = 0x01;
// The encryption values of the pre-login exchange.
constexpr unsigned char EncryptOff = 0, EncryptOn = 1, EncryptNotSupported = 2, EncryptRequired = 3;

// A TCP connection with a time limit on every wait.
class ServerSocket {
public:
    ServerSocket(const ServerAddress &address, std::chrono::milliseconds wait)
        : m_wait(int(wait.count()))
    {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *found = nullptr;
        if (getaddrinfo(address.host.toUtf8().constData(), QByteArray::number(address.port).constData(), &hints, &found) != 0)
            return;
        for (const addrinfo *each = found; each && m_descriptor < 0; each = each->ai_next)
            tryConnect(*each);
        freeaddrinfo(found);
    }
    ~ServerSocket()
    {
        if (m_descriptor >= 0)
            close(m_descriptor);
    }
    ServerSocket(const ServerSocket &) = delete;
    ServerSocket &operator=(const ServerSocket &) = delete;

    bool isOpen() const { return m_descriptor >= 0; }
    bool send(const QByteArray &data) const
    {
        for (qsizetype sent = 0; sent < data.size();) {
            pollfd ready{m_descriptor, POLLOUT, 0};
            if (poll(&ready, 1, m_wait) <= 0)
                return false;
            const ssize_t written = ::send(m_descriptor, data.constData() + sent, std::size_t(data.size() - sent), MSG_NOSIGNAL);
            if (written <= 0)
                return false;
            sent += written;
        }
        return true;
    }
    std::optional<QByteArray> receive(qsizetype count) const
    {
        QByteArray data(count, Qt::Uninitialized);
        for (qsizetype got = 0; got < count;) {
            pollfd ready{m_descriptor, POLLIN, 0};
            if (poll(&ready, 1, m_wait) <= 0)
                return std::nullopt;
            const ssize_t received = recv(m_descriptor, data.data() + got, std::size_t(count - got), 0);
            if (received <= 0)
                return std::nullopt;
            got += received;
        }
        return data;
    }

private:
    void tryConnect(const addrinfo &target)
    {
        const int descriptor = socket(target.ai_family, target.ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, target.ai_protocol);
        if (descriptor < 0)
            return;
        if (connectedInTime(descriptor, target))
            m_descriptor = descriptor;
        else
            close(descriptor);
    }
    // A host that does not answer is given up after the wait, not the
    // system's minutes.
    bool connectedInTime(int descriptor, const addrinfo &target) const
    {
        if (::connect(descriptor, target.ai_addr, target.ai_addrlen) == 0)
            return true;
        if (errno != EINPROGRESS)
            return false;
        pollfd ready{descriptor, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        return poll(&ready, 1, m_wait) == 1 && getsockopt(descriptor, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }

    int m_descriptor = -1;
    int m_wait;
};

QByteArray packet(const QByteArray &payload, bool last, int number)
{
    const int length = int(payload.size()) + PacketHeaderSize;
    QByteArray header(PacketHeaderSize, '\0');
    header[0] = PreloginPacket;
    header[1] = char(last ? EndOfMessage : 0);
    header[2] = char(length >> 8);
    header[3] = char(length & 0xFF);
    header[6] = char(number);
    return header + payload;
}

bool sendMessage(const ServerSocket &socket, const QByteArray &payload)
{
    constexpr int room = PacketSize - PacketHeaderSize;
    QByteArray out;
    for (qsizetype start = 0, number = 1; start < payload.size() || start == 0; start += room, ++number) {
        const bool last = start + room >= payload.size();
        out += packet(payload.mid(start, room), last, int(number));
        if (last)
            break;
    }
    return socket.send(out);
}

// The payloads of one whole message.
std::optional<QByteArray> receiveMessage(const ServerSocket &socket)
{
    QByteArray payload;
    for (;;) {
        const auto header = socket.receive(PacketHeaderSize);
        if (!header)
            return std::nullopt;
        const int length = (uchar(header->at(2)) << 8) | uchar(header->at(3));
        if (length < PacketHeaderSize)
            return std::nullopt;
        const auto body = socket.receive(length - PacketHeaderSize);
        if (!body)
            return std::nullopt;
        payload += *body;
        if (uchar(header->at(1)) & EndOfMessage)
            return payload;
    }
}

// The pre-login request: a version and the encryption wanted, as the
// driver sends them (on only when encryption is required).
QByteArray preloginRequest(bool requireEncryption)
{
    const char table[] = {0x00, 0x00, 11, 0x00, 6, char(EncryptionOption), 0x00, 17, 0x00, 1, char(0xFF)};
    QByteArray payload(table, sizeof table);
    payload += QByteArray(6, '\0');
    payload += char(requireEncryption ? EncryptOn : EncryptOff);
    return payload;
}

std::optional<unsigned char> encryptionAnswer(const QByteArray &reply)
{
    for (qsizetype at = 0; at + 5 <= reply.size() && uchar(reply[at]) != 0xFF; at += 5) {
        const int offset = (uchar(reply[at + 1]) << 8) | uchar(reply[at + 2]);
        const int length = (uchar(reply[at + 3]) << 8) | uchar(reply[at + 4]);
        if (uchar(reply[at]) == EncryptionOption && length == 1 && offset < reply.size())
            return uchar(reply[offset]);
    }
    return std::nullopt;
}

ServerOffer offerOf(unsigned char answer)
{
    switch (answer) {
    case EncryptNotSupported:
        return ServerOffer::NoTls;
    case EncryptOff:
        return ServerOffer::LoginOnly;
    case EncryptOn:
    case EncryptRequired:
        return ServerOffer::Full;
    default:
        return ServerOffer::Unreachable;
    }
}

struct SslFree {
    void operator()(SSL_CTX *context) const { SSL_CTX_free(context); }
    void operator()(SSL *ssl) const { SSL_free(ssl); }
    void operator()(X509_STORE *store) const { X509_STORE_free(store); }
    void operator()(X509_STORE_CTX *context) const { X509_STORE_CTX_free(context); }
};
template <class T>
using SslPointer = std::unique_ptr<T, SslFree>;

QByteArray pendingOutput(BIO *output)
{
    QByteArray data;
    char buffer[PacketSize];
    for (int read; (read = BIO_read(output, buffer, sizeof buffer)) > 0;)
        data.append(buffer, read);
    return data;
}

// Runs the handshake until the server's certificate chain is in; the
// connection ends with it. The driver speaks TLS 1.2, so the probe does.
SslPointer<SSL> handshake(const ServerSocket &socket, SSL_CTX *context)
{
    SslPointer<SSL> ssl(SSL_new(context));
    BIO *input = BIO_new(BIO_s_mem());
    BIO *output = BIO_new(BIO_s_mem());
    SSL_set_bio(ssl.get(), input, output);
    SSL_set_connect_state(ssl.get());
    for (;;) {
        const int done = SSL_do_handshake(ssl.get());
        const QByteArray out = pendingOutput(output);
        if (!out.isEmpty() && !sendMessage(socket, out))
            return nullptr;
        if (done == 1 || SSL_get_peer_cert_chain(ssl.get()))
            return ssl;
        if (SSL_get_error(ssl.get(), done) != SSL_ERROR_WANT_READ)
            return nullptr;
        const auto in = receiveMessage(socket);
        if (!in || BIO_write(input, in->constData(), int(in->size())) != in->size())
            return nullptr;
    }
}

CertificateVerdict verdictOf(int error)
{
    switch (error) {
    case X509_V_OK:
        return CertificateVerdict::Verified;
    case X509_V_ERR_CERT_HAS_EXPIRED:
        return CertificateVerdict::Expired;
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return CertificateVerdict::NotYetValid;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return CertificateVerdict::OtherHost;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_SIGNATURE_FAILURE:
        return CertificateVerdict::UnknownIssuer;
    default:
        return CertificateVerdict::OtherProblem;
    }
}

// The chain against the trusted certificates and the host name; the
// server's own certificate may be the trusted one.
ServerTls verify(SSL *ssl, const QString &caFile, const QString &host)
{
    ServerTls result{ServerOffer::Full, CertificateVerdict::UnreadableTrust, {}};
    SslPointer<X509_STORE> store(X509_STORE_new());
    if (!X509_STORE_load_file(store.get(), QFile::encodeName(caFile).constData()))
        return result;
    STACK_OF(X509) *chain = SSL_get_peer_cert_chain(ssl);
    X509 *leaf = chain ? sk_X509_value(chain, 0) : nullptr;
    SslPointer<X509_STORE_CTX> context(X509_STORE_CTX_new());
    if (!leaf || !X509_STORE_CTX_init(context.get(), store.get(), leaf, chain)) {
        result.verdict = CertificateVerdict::OtherProblem;
        return result;
    }
    X509_VERIFY_PARAM *parameters = X509_STORE_CTX_get0_param(context.get());
    X509_VERIFY_PARAM_set_flags(parameters, X509_V_FLAG_PARTIAL_CHAIN);
    const QByteArray name = host.toUtf8();
    if (!X509_VERIFY_PARAM_set1_ip_asc(parameters, name.constData()))
        X509_VERIFY_PARAM_set1_host(parameters, name.constData(), std::size_t(name.size()));
    const int verified = X509_verify_cert(context.get());
    const int error = verified == 1 ? X509_V_OK : X509_STORE_CTX_get_error(context.get());
    result.verdict = verdictOf(error);
    result.detail = QString::fromUtf8(X509_verify_cert_error_string(error));
    return result;
}

} // namespace

ServerTls probeServerTls(const ServerAddress &address, bool requireEncryption, const QString &caFile, std::chrono::milliseconds wait)
{
    const ServerSocket socket(address, wait);
    if (!socket.isOpen() || !sendMessage(socket, preloginRequest(requireEncryption)))
        return {};
    const auto reply = receiveMessage(socket);
    const auto answer = reply ? encryptionAnswer(*reply) : std::nullopt;
    ServerTls result{answer ? offerOf(*answer) : ServerOffer::Unreachable, CertificateVerdict::NotChecked, {}};
    if (caFile.isEmpty() || result.offer == ServerOffer::NoTls || result.offer == ServerOffer::Unreachable)
        return result;
    SslPointer<SSL_CTX> context(SSL_CTX_new(TLS_client_method()));
    SSL_CTX_set_max_proto_version(context.get(), TLS1_2_VERSION);
    SSL_CTX_set_verify(context.get(), SSL_VERIFY_NONE, nullptr);
    const SslPointer<SSL> ssl = handshake(socket, context.get());
    if (!ssl)
        return {ServerOffer::Unreachable, CertificateVerdict::NotChecked, {}};
    ServerTls verified = verify(ssl.get(), caFile, address.host);
    verified.offer = result.offer;
    ERR_clear_error();
    return verified;
}

} // namespace realm
