#pragma once

#include <QByteArray>

// HTTP/1.1 over a plain blocking socket to a loopback port, byte for byte as
// given: for requests no well-behaved client would send, and for load that
// needs no event loop (any thread may call these).
namespace RawHttp {

// A connected socket (receive and send time-outs of `timeoutS`), or -1.
int connectTo(int port, int timeoutS = 20);

// Sends `request` (as far as the server reads it) and returns the whole answer.
QByteArray exchange(int port, const QByteArray &request);

// The status of an answer, 0 when there is none.
int statusOf(const QByteArray &answer);
// The body of an answer.
QByteArray bodyOf(const QByteArray &answer);

// A POST with a Content-Length (unless `headers` sets Transfer-Encoding).
QByteArray postRequest(const QByteArray &path, const QByteArray &body, const QByteArray &headers = QByteArray());

} // namespace RawHttp
