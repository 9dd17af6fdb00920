// What a client sends, checked before any work: the request head, the body
// of a datasource query, and the body of every page and tree endpoint (run
// against an in-memory database with the sample data). Whatever arrives is
// answered 2xx or 4xx with a message; a 5xx means a body got past its checks
// and failed in the database.

#include "datasourcequery.h"
#include "httphead.h"
#include "pagestore.h"
#include "seeddata.h"
#include "storage.h"

#include <QCoreApplication>
#include <QDate>
#include <QJsonDocument>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

using namespace zhpserver;

namespace {

PageStore &pages()
{
    static int argc = 1;
    static char name[] = "fuzz_request";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv); // kept to the end of the process
    Q_UNUSED(app)
    // Kept to the end of the process, like the application.
    static Storage *storage = nullptr;
    static PageStore *store = nullptr;
    if (!store) {
        QLoggingCategory::setFilterRules(QStringLiteral("zhp.server.info=false"));
        storage = new Storage(QStringLiteral(":memory:"));
        QString error;
        if (!storage->open(&error) || !seed::fill(*storage, QDate(2024, 12, 31), &error))
            qFatal("cannot prepare the database: %s", qPrintable(error));
        store = new PageStore(*storage);
    }
    return *store;
}

void expectClientAnswer(const Reply &reply)
{
    if (reply.status >= 500)
        qFatal("answered %d: %s", reply.status, reply.body.constData());
    if (reply.status >= 400 && !QJsonDocument::fromJson(reply.body).object().value(QLatin1String("message")).isString())
        qFatal("refusal without a message: %s", reply.body.constData());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int target = data[0] % 18;
    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), int(size - 1));
    if (target == 0) {
        const HeadCheck check = checkHead(body.toStdString(), 100, 32 << 20);
        if (check.status != 0 && (check.status < 400 || check.status > 499 || check.message.empty()))
            std::abort();
        return 0;
    }
    if (target == 1) {
        CompiledQuery query;
        QueryError error;
        if (!compileRequest(body, query, error) && (error.status != 400 || error.message.isEmpty()))
            std::abort();
        return 0;
    }
    const QJsonObject object = QJsonDocument::fromJson(body).object();
    PageStore &store = pages();
    const auto kind = (target & 1) ? PageStore::UserTree : PageStore::ProductTree;
    switch (target / 2) {
    case 1: expectClientAnswer(store.getPage(object)); break;
    case 2: expectClientAnswer(store.updateContent(kind, object)); break;
    case 3: expectClientAnswer(store.tree(kind, object)); break;
    case 4: expectClientAnswer(store.add(kind, object)); break;
    case 5: expectClientAnswer(store.changePosition(kind, object)); break;
    case 6: expectClientAnswer(store.remove(kind, object)); break;
    case 7: expectClientAnswer(store.edit(kind, object)); break;
    default: expectClientAnswer(store.saveAs(kind, object)); break;
    }
    return 0;
}
