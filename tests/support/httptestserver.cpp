#include "httptestserver.h"

#include <httplib.h>

#include <chrono>

HttpTestServer::HttpTestServer()
    : m_server(std::make_unique<httplib::Server>())
{
}

HttpTestServer::~HttpTestServer()
{
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

bool HttpTestServer::start()
{
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        return false;
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    // listen_after_bind sets is_running once it accepts; wait for that, bounded.
    for (int i = 0; i < 500 && !m_server->is_running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    return m_server->is_running();
}
