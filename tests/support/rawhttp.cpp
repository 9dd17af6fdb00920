#include "rawhttp.h"

#include <QStringBuilder>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

namespace RawHttp {

int connectTo(int port, int timeoutS)
{
    const int sock = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (sock < 0)
        return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(quint16(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval timeout{timeoutS, 0};
    ::setsockopt(sock, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(sock, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int yes = 1;
    ::setsockopt(sock, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    if (::connect(sock, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0) {
        ::close(sock);
        return -1;
    }
    return sock;
}

QByteArray exchange(int port, const QByteArray &request)
{
    const int sock = connectTo(port);
    if (sock < 0)
        return QByteArray();
    for (qint64 sent = 0; sent < request.size();) {
        const ssize_t n = ::send(sock, request.constData() + sent, size_t(qMin<qint64>(request.size() - sent, 1 << 16)), MSG_NOSIGNAL);
        if (n <= 0)
            break;
        sent += n;
    }
    QByteArray answer;
    char buffer[65536];
    for (ssize_t n; (n = ::recv(sock, buffer, sizeof buffer, 0)) > 0;)
        answer.append(buffer, int(n));
    ::close(sock);
    return answer;
}

int statusOf(const QByteArray &answer)
{
    return answer.startsWith("HTTP/1.1 ") ? answer.mid(9, 3).toInt() : 0;
}

QByteArray bodyOf(const QByteArray &answer)
{
    const int end = answer.indexOf("\r\n\r\n");
    return end < 0 ? QByteArray() : answer.mid(end + 4);
}

QByteArray postRequest(const QByteArray &path, const QByteArray &body, const QByteArray &headers)
{
    return QByteArray("POST ") + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n" + headers
           + (headers.contains("Transfer-Encoding") ? QByteArray() : QByteArray("Content-Length: ") + QByteArray::number(body.size()) + "\r\n") + "\r\n" + body;
}

} // namespace RawHttp
