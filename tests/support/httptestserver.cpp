#include "httptestserver.h"

#include <httplib.h>

#include <chrono>
#include <thread>

struct HttpTestServerThread
{
    std::thread thread;
};

HttpTestServer::HttpTestServer()
    : m_server(std::make_unique<httplib::Server>())
{
}

HttpTestServer::~HttpTestServer()
{
    if (m_thread) {
        m_server->stop();
        m_thread->thread.join();
    }
}

httplib::Server &HttpTestServer::server()
{
    return *m_server;
}

bool HttpTestServer::start()
{
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::make_unique<HttpTestServerThread>();
    m_thread->thread = std::thread([this] { m_server->listen_after_bind(); });
    // listen_after_bind sets is_running once it accepts; wait for that, bounded.
    for (int i = 0; i < 500 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return m_server->is_running();
}

QString HttpTestServer::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}
