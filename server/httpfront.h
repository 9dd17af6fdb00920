#pragma once

#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace zhpserver {

// What a connection may cost before the server refuses it. Every limit is
// checked before the work it protects is done: a request head is collected
// without a worker, a body is counted while it arrives (after decompression
// as well as on the wire), and nothing waits without a deadline.
struct HttpLimits
{
    size_t maxHeadBytes = 32 * 1024;             // request line and headers together
    int maxHeaderLines = 100;
    size_t maxBodyBytes = 32 * 1024 * 1024;     // after decompression
    std::chrono::milliseconds headDeadline{10000}; // from accept to the end of the headers
    std::chrono::milliseconds workDeadline{60000}; // reading the body and writing the answer
    std::chrono::milliseconds ioTimeout{5000};     // one read or write that makes no progress
    size_t maxWaitingHeads = 4096;               // connections still sending their headers
    size_t maxQueued = 2048;                     // complete requests waiting for a worker
    int backlog = 4096;                          // the listen queue of the kernel
};

// The HTTP server of zhp-server: cpp-httplib's routing and parsing behind a
// front of its own.
//
// - A reception thread waits (epoll) for the complete request head of every
//   accepted connection, so slow, idle or oversized heads never hold a
//   worker: a head over the size limit is answered 431, one that does not
//   arrive in time 408, and when too many heads are pending the oldest
//   connection is dropped.
// - Complete requests go to a fixed pool of workers in two lanes: heavy
//   requests (datasource queries) never take the last workers, which stay
//   free for page and tree requests.
// - A worker reads the body through a stream that stops at the wire limit
//   and at the work deadline; post() handlers get the body only when its
//   decompressed size fits the limit (413 otherwise, read no further).
class HttpFront : public httplib::Server
{
public:
    using WorkerExit = std::function<void()>;
    // A request answered by the front itself (refused before routing).
    using RefusalLog = std::function<void(int status, const std::string &message, const std::string &remote, double ms)>;

    HttpFront(int workers, const HttpLimits &limits, WorkerExit onWorkerExit);
    ~HttpFront() override;

    // Registers a POST handler that sees the whole body in req.body.
    void post(const std::string &pattern, Handler handler);

    void setRefusalLog(RefusalLog log) { m_refusalLog = std::move(log); }

    // Binds like bind_to_port / bind_to_any_port and deepens the listen queue.
    // The port, or -1 with errno telling why.
    int bindListening(const std::string &host, int port);

    // Stops the reception and the workers after httplib's accept loop ended;
    // requests already with a worker are finished.
    void shutdownFront();

    const HttpLimits &limits() const { return m_limits; }

    // When the request the calling worker serves was accepted.
    static std::chrono::steady_clock::time_point requestStart();
    // The status and message of a request the calling worker's stream cut
    // short (0 when none); the error handler answers with them.
    static int refusalStatus();
    static std::string refusalMessage();

private:
    // A connection whose head is complete: the bytes read so far (head and
    // perhaps the start of the body) and when it was accepted.
    struct Job
    {
        int sock = -1;
        std::string received;
        size_t headLength = 0;
        std::chrono::steady_clock::time_point accepted;
        bool heavy = false;
    };
    class Reception;

    bool process_and_close_socket(socket_t sock) override;
    void admit(int sock);
    void dispatch(Job job);
    void work();
    void serve(Job &job);
    void refuse(int sock, int status, const std::string &message, std::chrono::steady_clock::time_point since);

    HttpLimits m_limits;
    WorkerExit m_onWorkerExit;
    RefusalLog m_refusalLog;
    int m_listenSocket = -1;

    std::unique_ptr<Reception> m_reception;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_light;
    std::deque<Job> m_heavy;
    int m_heavyBusy = 0;
    int m_heavyCap = 1;
    bool m_stopping = false;
    std::vector<std::thread> m_workers;
};

} // namespace zhpserver
