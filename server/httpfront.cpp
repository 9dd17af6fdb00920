#include "httpfront.h"

#include "httphead.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace zhpserver {

using Clock = std::chrono::steady_clock;

namespace {

thread_local Clock::time_point t_requestStart;
thread_local int t_refusalStatus = 0;
thread_local std::string t_refusalMessage;

int msUntil(Clock::time_point deadline, std::chrono::milliseconds cap)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return int(std::max<std::chrono::milliseconds::rep>(0, std::min(left, cap).count()));
}

std::string describe(size_t bytes)
{
    if (bytes >= 1024 * 1024 && bytes % (1024 * 1024) == 0)
        return std::to_string(bytes / (1024 * 1024)) + " MiB";
    if (bytes >= 1024 && bytes % 1024 == 0)
        return std::to_string(bytes / 1024) + " KiB";
    return std::to_string(bytes) + " bytes";
}

std::string seconds(std::chrono::milliseconds ms)
{
    return std::to_string((ms.count() + 999) / 1000) + " s";
}

void refuseHere(int status, const std::string &message)
{
    if (t_refusalStatus == 0) {
        t_refusalStatus = status;
        t_refusalMessage = message;
    }
}

std::string peerAddress(int sock)
{
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    if (::getpeername(sock, reinterpret_cast<sockaddr *>(&addr), &len) != 0)
        return std::string();
    char text[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET)
        ::inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in *>(&addr)->sin_addr, text, sizeof text);
    else if (addr.ss_family == AF_INET6)
        ::inet_ntop(AF_INET6, &reinterpret_cast<sockaddr_in6 *>(&addr)->sin6_addr, text, sizeof text);
    return text;
}

void addressOf(int sock, bool peer, std::string &ip, int &port)
{
    sockaddr_storage addr{};
    socklen_t len = sizeof addr;
    const int rc = peer ? ::getpeername(sock, reinterpret_cast<sockaddr *>(&addr), &len)
                        : ::getsockname(sock, reinterpret_cast<sockaddr *>(&addr), &len);
    if (rc != 0)
        return;
    char text[INET6_ADDRSTRLEN] = {};
    if (addr.ss_family == AF_INET) {
        const auto *in = reinterpret_cast<sockaddr_in *>(&addr);
        ::inet_ntop(AF_INET, &in->sin_addr, text, sizeof text);
        port = ntohs(in->sin_port);
    } else if (addr.ss_family == AF_INET6) {
        const auto *in = reinterpret_cast<sockaddr_in6 *>(&addr);
        ::inet_ntop(AF_INET6, &in->sin6_addr, text, sizeof text);
        port = ntohs(in->sin6_port);
    }
    ip = text;
}

// The socket of one request as httplib reads and writes it: first the bytes
// the reception already took, then the socket, never past the wire limit of
// a body and never past the deadline of the work.
class GuardedStream : public httplib::Stream
{
public:
    GuardedStream(int sock, std::string received, size_t headLength, const HttpLimits &limits)
        : m_sock(sock)
        , m_buffer(std::move(received))
        , m_bodyOnWire(m_buffer.size() - headLength)
        // Compressed bodies may be a little larger than what they hold; chunk
        // sizes add a few bytes per chunk.
        , m_wireLimit(limits.maxBodyBytes + limits.maxBodyBytes / 8 + 64 * 1024)
        , m_limits(limits)
        , m_deadline(Clock::now() + limits.workDeadline)
    {
    }

    bool is_readable() const override { return m_pos < m_buffer.size() || waitFor(POLLIN); }
    bool is_writable() const override { return waitFor(POLLOUT); }

    ssize_t read(char *ptr, size_t size) override
    {
        if (m_pos == m_buffer.size() && !refill())
            return -1;
        const size_t n = std::min(size, m_buffer.size() - m_pos);
        std::memcpy(ptr, m_buffer.data() + m_pos, n);
        m_pos += n;
        return ssize_t(n);
    }

    ssize_t write(const char *ptr, size_t size) override
    {
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::send(m_sock, ptr + done, size - done, MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n > 0) {
                done += size_t(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(POLLOUT))
                continue;
            return -1;
        }
        return ssize_t(size);
    }

    void get_remote_ip_and_port(std::string &ip, int &port) const override { addressOf(m_sock, true, ip, port); }
    void get_local_ip_and_port(std::string &ip, int &port) const override { addressOf(m_sock, false, ip, port); }
    socket_t socket() const override { return m_sock; }

private:
    bool waitFor(short events) const
    {
        for (;;) {
            pollfd p{m_sock, events, 0};
            const int rc = ::poll(&p, 1, msUntil(m_deadline, m_limits.ioTimeout));
            if (rc < 0 && errno == EINTR)
                continue;
            if (rc > 0)
                return true;
            if (rc == 0)
                refuseHere(408, Clock::now() >= m_deadline ? "the request was not done within " + seconds(m_limits.workDeadline)
                                                           : "the client sent nothing for " + seconds(m_limits.ioTimeout));
            return false;
        }
    }

    bool refill()
    {
        if (m_bodyOnWire > m_wireLimit) {
            refuseHere(413, "request body larger than " + describe(m_limits.maxBodyBytes));
            return false;
        }
        m_buffer.resize(16 * 1024);
        m_pos = 0;
        for (;;) {
            const ssize_t n = ::recv(m_sock, &m_buffer[0], m_buffer.size(), MSG_DONTWAIT);
            if (n > 0) {
                m_buffer.resize(size_t(n));
                m_bodyOnWire += size_t(n);
                return true;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK) && waitFor(POLLIN))
                continue;
            m_buffer.clear();
            return false;
        }
    }

    int m_sock;
    std::string m_buffer;
    size_t m_pos = 0;
    size_t m_bodyOnWire;
    size_t m_wireLimit;
    const HttpLimits &m_limits;
    Clock::time_point m_deadline;
};

// Runs httplib's accept-loop jobs at once: they only hand the socket to the reception.
class InlineQueue : public httplib::TaskQueue
{
public:
    void enqueue(std::function<void()> fn) override { fn(); }
    void shutdown() override {}
};

const char *reason(int status)
{
    switch (status) {
    case 400: return "Bad Request";
    case 408: return "Request Timeout";
    case 413: return "Payload Too Large";
    case 431: return "Request Header Fields Too Large";
    case 503: return "Service Unavailable";
    default: return "Error";
    }
}

} // namespace

// Collects request heads without holding a worker.
class HttpFront::Reception
{
public:
    explicit Reception(HttpFront &front)
        : m_front(front)
        , m_epoll(::epoll_create1(EPOLL_CLOEXEC))
        , m_wake(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
    {
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.fd = m_wake;
        ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, m_wake, &ev);
        m_thread = std::thread([this] { run(); });
    }

    ~Reception()
    {
        m_stop = true;
        const uint64_t one = 1;
        (void)!::write(m_wake, &one, sizeof one);
        m_thread.join();
        for (auto &p : m_pending)
            ::close(p.first);
        ::close(m_wake);
        ::close(m_epoll);
    }

    void admit(int sock)
    {
        const int flags = ::fcntl(sock, F_GETFL, 0);
        ::fcntl(sock, F_SETFL, flags | O_NONBLOCK);
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_pending.size() >= m_front.m_limits.maxWaitingHeads) {
            // The oldest head still incomplete is the likeliest to be stalled.
            auto oldest = std::min_element(m_pending.begin(), m_pending.end(),
                                           [](const auto &a, const auto &b) { return a.second.accepted < b.second.accepted; });
            drop(oldest->first);
        }
        Pending &p = m_pending[sock];
        p.accepted = Clock::now();
        epoll_event ev{};
        ev.events = EPOLLIN | EPOLLRDHUP;
        ev.data.fd = sock;
        ::epoll_ctl(m_epoll, EPOLL_CTL_ADD, sock, &ev);
    }

private:
    struct Pending
    {
        std::string received;
        Clock::time_point accepted;
    };

    // Under m_mutex.
    void drop(int sock)
    {
        ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, sock, nullptr);
        ::close(sock);
        m_pending.erase(sock);
    }

    void run()
    {
        epoll_event events[128];
        Clock::time_point lastSweep = Clock::now();
        while (!m_stop) {
            const int n = ::epoll_wait(m_epoll, events, 128, 200);
            for (int i = 0; i < n; ++i) {
                if (events[i].data.fd != m_wake)
                    receive(events[i].data.fd);
            }
            if (Clock::now() - lastSweep >= std::chrono::milliseconds(200)) {
                lastSweep = Clock::now();
                sweep();
            }
        }
    }

    void receive(int sock)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        auto it = m_pending.find(sock);
        if (it == m_pending.end())
            return;
        Pending &p = it->second;
        const size_t limit = m_front.m_limits.maxHeadBytes;
        size_t headLength = 0;
        for (;;) {
            char chunk[8192];
            const size_t room = std::min(sizeof chunk, limit + 1 - p.received.size());
            const ssize_t got = ::recv(sock, chunk, room, 0);
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
                return;
            if (got <= 0) { // closed before its head was complete
                drop(sock);
                return;
            }
            const size_t from = p.received.size() > 3 ? p.received.size() - 3 : 0;
            p.received.append(chunk, size_t(got));
            const size_t end = p.received.find("\r\n\r\n", from);
            if (end != std::string::npos) {
                headLength = end + 4;
                break;
            }
            if (p.received.size() > limit)
                break;
        }
        Job job;
        job.sock = sock;
        job.received = std::move(p.received);
        job.headLength = headLength;
        job.accepted = p.accepted;
        ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, sock, nullptr);
        m_pending.erase(it);
        lock.unlock();

        if (headLength == 0) {
            m_front.refuse(sock, 431, "request head larger than " + describe(limit), job.accepted);
            return;
        }
        const HeadCheck check = checkHead(job.received.substr(0, headLength), m_front.m_limits.maxHeaderLines, m_front.m_limits.maxBodyBytes);
        if (check.status != 0) {
            m_front.refuse(sock, check.status, check.message, job.accepted);
            return;
        }
        job.heavy = check.heavy;
        const int flags = ::fcntl(sock, F_GETFL, 0);
        ::fcntl(sock, F_SETFL, flags & ~O_NONBLOCK);
        m_front.dispatch(std::move(job));
    }

    void sweep()
    {
        std::vector<std::pair<int, Clock::time_point>> late;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const Clock::time_point limit = Clock::now() - m_front.m_limits.headDeadline;
            for (auto it = m_pending.begin(); it != m_pending.end();) {
                if (it->second.accepted < limit) {
                    ::epoll_ctl(m_epoll, EPOLL_CTL_DEL, it->first, nullptr);
                    late.emplace_back(it->first, it->second.accepted);
                    it = m_pending.erase(it);
                } else {
                    ++it;
                }
            }
        }
        for (const auto &l : late)
            m_front.refuse(l.first, 408, "request head not received within " + seconds(m_front.m_limits.headDeadline), l.second);
    }

    HttpFront &m_front;
    int m_epoll;
    int m_wake;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    std::map<int, Pending> m_pending;
    std::thread m_thread;
};

HttpFront::HttpFront(int workers, const HttpLimits &limits, WorkerExit onWorkerExit)
    : m_limits(limits)
    , m_onWorkerExit(std::move(onWorkerExit))
{
    new_task_queue = [] { return new InlineQueue; };
    set_payload_max_length(limits.maxBodyBytes);
    workers = std::max(2, workers);
    // Heavy requests leave a quarter of the workers (at least one) to the others.
    m_heavyCap = std::max(1, workers - std::max(1, workers / 4));
    for (int i = 0; i < workers; ++i)
        m_workers.emplace_back([this] { work(); });
    m_reception = std::make_unique<Reception>(*this);
}

HttpFront::~HttpFront()
{
    shutdownFront();
}

void HttpFront::post(const std::string &pattern, Handler handler)
{
    Post(pattern, [this, handler](const httplib::Request &req, httplib::Response &res, const httplib::ContentReader &reader) {
        std::string body;
        const size_t limit = m_limits.maxBodyBytes;
        const bool complete = reader([&](const char *data, size_t length) {
            if (body.size() + length > limit) {
                refuseHere(413, "request body larger than " + describe(limit) + (req.has_header("Content-Encoding") ? " once decompressed" : ""));
                return false;
            }
            body.append(data, length);
            return true;
        });
        if (!complete) {
            refuseHere(400, "the request body could not be read");
            res.status = t_refusalStatus;
            return;
        }
        // The request is this worker's own; handlers read the body from it.
        const_cast<httplib::Request &>(req).body = std::move(body);
        handler(req, res);
    });
}

int HttpFront::bindListening(const std::string &host, int port)
{
    int bound = -1;
    if (port == 0) {
        bound = bind_to_any_port(host);
    } else if (bind_to_port(host, port)) {
        bound = port;
    }
    if (bound <= 0) {
        const int cause = errno;
        errno = cause;
        return -1;
    }
    ::listen(svr_sock_, m_limits.backlog);
    return bound;
}

void HttpFront::shutdownFront()
{
    // Bound but never served: the listening socket is still ours to close.
    if (!is_running() && svr_sock_ != INVALID_SOCKET) {
        ::close(svr_sock_);
        svr_sock_ = INVALID_SOCKET;
    }
    m_reception.reset();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    for (std::thread &t : m_workers)
        t.join();
    m_workers.clear();
}

std::chrono::steady_clock::time_point HttpFront::requestStart()
{
    return t_requestStart;
}

int HttpFront::refusalStatus()
{
    return t_refusalStatus;
}

std::string HttpFront::refusalMessage()
{
    return t_refusalMessage;
}

bool HttpFront::process_and_close_socket(socket_t sock)
{
    if (m_reception)
        m_reception->admit(sock);
    else
        ::close(sock);
    return true;
}

void HttpFront::dispatch(Job job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_stopping || m_light.size() + m_heavy.size() >= m_limits.maxQueued) {
        lock.unlock();
        refuse(job.sock, 503, "the server is busy; try again shortly", job.accepted);
        return;
    }
    (job.heavy ? m_heavy : m_light).push_back(std::move(job));
    lock.unlock();
    m_wake.notify_one();
}

void HttpFront::work()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stopping || !m_light.empty() || (!m_heavy.empty() && m_heavyBusy < m_heavyCap); });
        Job job;
        if (!m_light.empty()) {
            job = std::move(m_light.front());
            m_light.pop_front();
        } else if (!m_heavy.empty() && m_heavyBusy < m_heavyCap) {
            job = std::move(m_heavy.front());
            m_heavy.pop_front();
            ++m_heavyBusy;
        } else if (m_stopping && m_light.empty() && m_heavy.empty()) {
            break;
        } else {
            continue;
        }
        lock.unlock();
        serve(job);
        lock.lock();
        if (job.heavy) {
            --m_heavyBusy;
            m_wake.notify_one();
        }
    }
    lock.unlock();
    if (m_onWorkerExit)
        m_onWorkerExit();
}

void HttpFront::serve(Job &job)
{
    t_requestStart = job.accepted;
    t_refusalStatus = 0;
    t_refusalMessage.clear();
    const int sock = job.sock;
    {
        GuardedStream stream(sock, std::move(job.received), job.headLength, m_limits);
        bool closed = false;
        process_request(stream, true, closed, nullptr);
    }
    ::shutdown(sock, SHUT_WR);
    if (t_refusalStatus != 0) {
        // Let the client read the refusal: drain what it still sends for a
        // moment instead of resetting the connection under it.
        char sink[16384];
        size_t drained = 0;
        const Clock::time_point until = Clock::now() + std::chrono::milliseconds(500);
        pollfd p{sock, POLLIN, 0};
        while (drained < (4u << 20) && ::poll(&p, 1, msUntil(until, std::chrono::milliseconds(500))) > 0) {
            const ssize_t n = ::recv(sock, sink, sizeof sink, MSG_DONTWAIT);
            if (n <= 0)
                break;
            drained += size_t(n);
        }
    }
    ::close(sock);
}

void HttpFront::refuse(int sock, int status, const std::string &message, Clock::time_point since)
{
    std::string body = "{\"success\":false,\"message\":\"";
    for (char c : message) {
        if (c == '"' || c == '\\')
            body += '\\';
        body += c;
    }
    body += "\"}";
    const std::string answer = "HTTP/1.1 " + std::to_string(status) + " " + reason(status)
                               + "\r\nContent-Type: application/json; charset=utf-8\r\nContent-Length: " + std::to_string(body.size())
                               + (status == 503 ? "\r\nRetry-After: 1" : "") + "\r\nConnection: close\r\n\r\n" + body;
    (void)!::send(sock, answer.data(), answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
    ::shutdown(sock, SHUT_WR);
    if (m_refusalLog)
        m_refusalLog(status, message, peerAddress(sock),
                     std::chrono::duration<double, std::milli>(Clock::now() - since).count());
    ::close(sock);
}

} // namespace zhpserver
