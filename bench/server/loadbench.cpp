// Load benchmark of zhp-server: clients mixing datasource queries, page
// reads, page writes and tree edits in several user trees, for a fixed time,
// on SQLite (one server) or PostgreSQL (several servers on one database, a
// throw-away cluster of its own), optionally beside slow clients (request
// heads sent a byte every 4 s) and heavy ones (queries of every value).
// Prints requests per second, p50 and p99 latency and errors of the normal
// clients, the servers' memory at start and end, and then checks that every
// acknowledged write is there: nodes added, nodes at positions 0..n-1 under
// each parent, the last content acknowledged for each page.
//
//   loadbench [--engine sqlite|postgresql] [--servers N] [--clients N]
//             [--seconds S] [--trees N] [--hostile]
//
// Exit status 1 when a write was lost or a check failed. Loopback only.

#include "pgcluster.h"
#include "rawhttp.h"
#include "zhpserverprocess.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include <sys/socket.h>
#include <unistd.h>

using namespace RawHttp;
using Clock = std::chrono::steady_clock;

namespace {

const QByteArray kBase = "/user/compositepanel/";
const char *const kProduct = "P001";
const char *const kSharedPage = "5EED0000000000000000000000000101";

QByteArray json(const QJsonObject &o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }

double rssMiB(qint64 pid)
{
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

// What one client saw acknowledged.
struct Ledger
{
    QString user;
    QSet<QString> added;               // node codes
    QHash<QString, QString> contents;  // page id -> last acknowledged content
};

class Client
{
public:
    Client(int id, const QString &user, const QByteArray &auth, const std::vector<int> &ports, Clock::time_point until)
        : m_id(id), m_auth(auth), m_ports(ports), m_until(until), m_random(std::mt19937::result_type(id * 7919 + 1))
    {
        m_ledger.user = user;
    }

    void run()
    {
        // A page of its own first, in its user's tree.
        m_page = QStringLiteral("LP%1").arg(m_id);
        addNode(QStringLiteral("LN%1P").arg(m_id), true);
        int n = 0;
        while (Clock::now() < m_until) {
            const int dice = int(m_random() % 100);
            if (dice < 40)
                query();
            else if (dice < 65)
                request(kBase + "page/get", json({{"padId", dice % 2 ? QString::fromLatin1(kSharedPage) : m_page}}));
            else if (dice < 80)
                writePage(++n);
            else if (dice < 92)
                addNode(QStringLiteral("LN%1N%2").arg(m_id).arg(++n), false);
            else
                move();
        }
    }

    std::vector<double> latencies;
    int errors = 0;
    const Ledger &ledger() const { return m_ledger; }

private:
    QByteArray request(const QByteArray &path, const QByteArray &body)
    {
        const int port = m_ports[size_t(m_random() % m_ports.size())];
        const Clock::time_point start = Clock::now();
        const QByteArray answer = exchange(port, postRequest(path, body, m_auth));
        latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        if (statusOf(answer) != 200)
            ++errors;
        return statusOf(answer) == 200 ? bodyOf(answer) : QByteArray();
    }

    void query()
    {
        static const qint64 indices[] = {2001000000001, 2001000000002, 2001000000003, 2002000000001};
        const qint64 id = indices[m_random() % 4];
        request("/datasource/query", json({{"objName", "ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"},
                                           {"filter", "IDX_ID == :ID && PUBLISH_DT >= [2024-07-01]"},
                                           {"params", QJsonObject{{"ID", id}}}}));
    }

    QJsonObject tree() const { return {{"userId", m_ledger.user}, {"prodId", kProduct}}; }

    void addNode(const QString &code, bool page)
    {
        QJsonObject body = tree();
        body.insert("nodeCode", code);
        body.insert("parentNodeCode", "ROOT");
        body.insert("nodeName", code);
        body.insert("sn", int(m_random() % 6));
        if (page) {
            body.insert("pad", true);
            body.insert("padId", m_page);
        }
        if (!request(kBase + "user/add", json(body)).isEmpty()) {
            m_ledger.added.insert(code);
            if (page)
                m_ledger.contents.insert(m_page, QString());
        }
    }

    void writePage(int n)
    {
        if (!m_ledger.contents.contains(m_page))
            return;
        const QString content = QString::fromLatin1(json({{"client", m_id}, {"write", n}}));
        if (!request(kBase + "userPage/updateContent", json({{"userId", m_ledger.user}, {"padId", m_page}, {"content", content}})).isEmpty())
            m_ledger.contents.insert(m_page, content);
    }

    void move()
    {
        if (m_ledger.added.isEmpty())
            return;
        QJsonObject body = tree();
        body.insert("nodeCode", *std::next(m_ledger.added.begin(), int(m_random() % uint(m_ledger.added.size()))));
        body.insert("parentNodeCode", "ROOT");
        body.insert("sn", int(m_random() % 8));
        request(kBase + "user/changePosition", json(body));
    }

    int m_id;
    QByteArray m_auth;
    std::vector<int> m_ports;
    Clock::time_point m_until;
    std::mt19937 m_random;
    Ledger m_ledger;
    QString m_page;
};

// Sends request heads a byte every 4 s on `count` connections until `until`.
void slowClients(int port, int count, Clock::time_point until)
{
    const QByteArray head = "POST /datasource/query HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Slow: ";
    std::vector<std::pair<int, int>> open; // socket, bytes sent
    while (Clock::now() < until) {
        while (int(open.size()) < count)
            open.emplace_back(connectTo(port, 5), 0);
        for (auto &c : open) {
            if (c.first < 0 || ::send(c.first, head.constData() + (c.second % head.size()), 1, MSG_NOSIGNAL) != 1) {
                if (c.first >= 0)
                    ::close(c.first);
                c = {connectTo(port, 5), 0};
            } else {
                ++c.second;
            }
        }
        for (int i = 0; i < 40 && Clock::now() < until; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    for (auto &c : open)
        if (c.first >= 0)
            ::close(c.first);
}

void heavyClient(int port, const QByteArray &auth, Clock::time_point until, std::atomic<int> &done)
{
    const QByteArray all = postRequest("/datasource/query", R"({"objName":"ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1"})", auth);
    while (Clock::now() < until)
        done += statusOf(exchange(port, all)) == 200;
}

// Every acknowledged node is in its tree once, positions run 0..n-1, and
// every page holds the last content acknowledged for it.
int verify(int port, const std::vector<std::unique_ptr<Client>> &clients, const QHash<QString, QByteArray> &auth)
{
    int problems = 0;
    for (auto a = auth.begin(); a != auth.end(); ++a) {
        const QString user = a.key();
        const QJsonArray nodes = QJsonDocument::fromJson(bodyOf(exchange(port, postRequest(kBase + "user/tree", json({{"userId", user}, {"prodId", kProduct}}), a.value()))))
                                     .array();
        QSet<QString> present;
        for (int i = 0; i < nodes.size(); ++i) {
            const QString code = nodes.at(i)["NODE_CODE"].toString();
            if (present.contains(code) || nodes.at(i)["SN"].toInt() != i) {
                std::printf("  tree of %s: node %s twice or out of place (SN %d at %d)\n", qPrintable(user), qPrintable(code), nodes.at(i)["SN"].toInt(), i);
                ++problems;
            }
            present.insert(code);
        }
        for (const auto &c : clients) {
            if (c->ledger().user != user)
                continue;
            for (const QString &code : c->ledger().added)
                if (!present.contains(code)) {
                    std::printf("  acknowledged node %s missing from the tree of %s\n", qPrintable(code), qPrintable(user));
                    ++problems;
                }
        }
    }
    for (const auto &c : clients) {
        for (auto it = c->ledger().contents.begin(); it != c->ledger().contents.end(); ++it) {
            const QJsonObject page = QJsonDocument::fromJson(bodyOf(exchange(port, postRequest(kBase + "page/get", json({{"padId", it.key()}}), auth.value(c->ledger().user)))))
                                         .object();
            if (page["padCont"].toString() != it.value()) {
                std::printf("  page %s holds %s, not the acknowledged %s\n", qPrintable(it.key()), qPrintable(page["padCont"].toString()), qPrintable(it.value()));
                ++problems;
            }
        }
    }
    return problems;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Load benchmark of zhp-server on loopback."));
    parser.addHelpOption();
    const QCommandLineOption engineOption(QStringLiteral("engine"), QStringLiteral("sqlite or postgresql."), QStringLiteral("E"), QStringLiteral("sqlite"));
    const QCommandLineOption serversOption(QStringLiteral("servers"), QStringLiteral("Servers (PostgreSQL only; default 2 there)."), QStringLiteral("N"));
    const QCommandLineOption clientsOption(QStringLiteral("clients"), QStringLiteral("Normal clients."), QStringLiteral("N"), QStringLiteral("32"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("Duration."), QStringLiteral("S"), QStringLiteral("30"));
    const QCommandLineOption treesOption(QStringLiteral("trees"), QStringLiteral("User trees the clients share."), QStringLiteral("N"), QStringLiteral("8"));
    const QCommandLineOption hostileOption(QStringLiteral("hostile"), QStringLiteral("Add 16 slow clients and 8 heavy ones."));
    parser.addOptions({engineOption, serversOption, clientsOption, secondsOption, treesOption, hostileOption});
    parser.process(app);

    const bool postgres = parser.value(engineOption) == QLatin1String("postgresql");
    const int servers = postgres ? qBound(1, parser.value(serversOption).isEmpty() ? 2 : parser.value(serversOption).toInt(), 8) : 1;
    const int clients = qBound(1, parser.value(clientsOption).toInt(), 256);
    const int seconds = qBound(1, parser.value(secondsOption).toInt(), 600);
    const int trees = qBound(1, parser.value(treesOption).toInt(), clients);
    const bool hostile = parser.isSet(hostileOption);

    QTemporaryDir dir;
    QString db = dir.filePath(QStringLiteral("load.sqlite"));
    if (postgres) {
        QString error;
        db = PgCluster::createDatabase(&error);
        if (db.isEmpty()) {
            std::fprintf(stderr, "loadbench: %s\n", qPrintable(error));
            return 2;
        }
    }
    std::vector<std::unique_ptr<ZhpServerProcess>> processes;
    std::vector<int> ports;
    for (int i = 0; i < servers; ++i) {
        processes.push_back(std::make_unique<ZhpServerProcess>());
        if (!processes.back()->start(db, {QStringLiteral("--seed"), QStringLiteral("--quiet")}, 120000)) {
            std::fprintf(stderr, "loadbench: %s\n", qPrintable(processes.back()->errorText()));
            return 2;
        }
        ports.push_back(processes.back()->port());
    }
    // Every request is signed in: a token per user, issued beside the running servers.
    QHash<QString, QByteArray> auth;
    for (int t = 0; t < trees; ++t) {
        const QString user = QStringLiteral("load%1").arg(t);
        const QString token = ZhpServerProcess::issueToken(db, user);
        if (token.isEmpty()) {
            std::fprintf(stderr, "loadbench: no token for %s\n", qPrintable(user));
            return 2;
        }
        auth.insert(user, "Authorization: Bearer " + token.toUtf8() + "\r\n");
    }
    double rssStart = 0;
    for (const auto &p : processes)
        rssStart += rssMiB(p->processId());

    const Clock::time_point start = Clock::now();
    const Clock::time_point until = start + std::chrono::seconds(seconds);
    std::vector<std::unique_ptr<Client>> normal;
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i) {
        const QString user = QStringLiteral("load%1").arg(i % trees);
        normal.push_back(std::make_unique<Client>(i, user, auth.value(user), ports, until));
    }
    for (auto &c : normal)
        threads.emplace_back([&c] { c->run(); });
    std::atomic<int> heavyDone{0};
    if (hostile) {
        threads.emplace_back([&] { slowClients(ports.front(), 16, until); });
        for (int i = 0; i < 8; ++i)
            threads.emplace_back([&, i] { heavyClient(ports[size_t(i) % ports.size()], auth.value(QStringLiteral("load0")), until, heavyDone); });
    }
    for (std::thread &t : threads)
        t.join();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    double rssEnd = 0;
    for (const auto &p : processes)
        rssEnd += rssMiB(p->processId());

    std::vector<double> all;
    int errors = 0;
    for (const auto &c : normal) {
        all.insert(all.end(), c->latencies.begin(), c->latencies.end());
        errors += c->errors;
    }
    std::sort(all.begin(), all.end());
    const auto percentile = [&all](double p) { return all.empty() ? 0.0 : all[std::min(all.size() - 1, size_t(p * double(all.size())))]; };
    const int problems = verify(ports.back(), normal, auth);
    std::printf("%s, %d server%s, %d clients, %d s%s: %.0f requests/s, p50 %.1f ms, p99 %.1f ms, errors %d of %zu, "
                "server memory %.0f -> %.0f MiB%s, lost or misplaced writes %d\n",
                postgres ? "postgresql" : "sqlite", servers, servers > 1 ? "s" : "", clients, seconds,
                hostile ? " beside 16 slow and 8 heavy clients" : "", double(all.size()) / elapsed, percentile(0.5), percentile(0.99), errors,
                all.size(), rssStart, rssEnd, hostile ? qPrintable(QStringLiteral(" (%1 heavy queries answered)").arg(heavyDone.load())) : "",
                problems);
    for (auto &p : processes)
        p->stop();
    return problems == 0 ? 0 : 1;
}
