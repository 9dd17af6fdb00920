#pragma once

#include <QString>

#include <memory>
#include <thread>

namespace httplib {
class Server;
}

// A real HTTP server on a free loopback port, running on its own thread
// inside the test process, for tests of the HTTP clients.
class HttpTestServer
{
public:
    HttpTestServer();
    ~HttpTestServer();

    // The server to add handlers to, before start().
    httplib::Server &server() { return *m_server; }

    // Binds to 127.0.0.1 on a free port and serves until destruction; false when it cannot.
    bool start();
    int port() const { return m_port; }
    QString baseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};
