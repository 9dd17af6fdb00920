#include "access.h"

#include "auth.h"
#include "menuicons.h"
#include "serverlog.h"
#include "storage.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

#include <httplib.h>

#include <cmath>

namespace zhpserver {

namespace {

constexpr int MaxTokenLength = 512;

// The header value of a request, or an empty string.
QString header(const httplib::Request &req, const char *name)
{
    return QString::fromStdString(req.get_header_value(name));
}

Reply unauthorized(const QString &message)
{
    return Reply::error(401, message);
}

// A failed statement of a check: the request is answered 500.
struct Lookup
{
    bool ok = true;
    Reply failure() const { return Reply::error(500, QStringLiteral("the access check failed in the database")); }
};

// The rows of a one-column query.
QStringList column(Storage &storage, const QString &sql, const QVariantList &values, Lookup &lookup)
{
    QSqlDatabase db = storage.connection();
    QSqlQuery q = prepared(db, sql, true);
    for (const QVariant &v : values)
        q.addBindValue(v);
    QStringList out;
    if (!q.exec()) {
        qCWarning(lcServer).noquote() << "access check failed:" << q.lastError().text();
        lookup.ok = false;
        return out;
    }
    while (q.next())
        out.append(q.value(0).toString());
    return out;
}

// The product whose tree holds the node or page; empty when none does.
QString productOfNode(Storage &storage, const QString &nodeCode, Lookup &lookup)
{
    return column(storage, QStringLiteral("SELECT product_code FROM tree_node WHERE node_code = ? AND tree_kind = ?"),
                  {nodeCode, int(PageStore::ProductTree)}, lookup).value(0);
}

QString productOfPage(Storage &storage, const QString &padId, Lookup &lookup)
{
    return column(storage, QStringLiteral("SELECT product_code FROM tree_node WHERE pad_id = ? AND is_pad = 1 AND tree_kind = ?"),
                  {padId, int(PageStore::ProductTree)}, lookup).value(0);
}

// A page that a product tree or the user's own tree holds.
bool canReadPage(Storage &storage, const QString &userId, const QString &padId, Lookup &lookup)
{
    return !column(storage,
                   QStringLiteral("SELECT node_code FROM tree_node WHERE pad_id = ? AND is_pad = 1 AND (tree_kind = ? OR (tree_kind = ? AND user_id = ?))"),
                   {padId, int(PageStore::ProductTree), int(PageStore::UserTree), userId}, lookup)
                .isEmpty();
}

QString textOf(const QJsonObject &body, const char *key)
{
    return body.value(QLatin1String(key)).toString();
}

} // namespace

bool Access::isPublic(const httplib::Request &req)
{
    // The health check of load balancers, and the product menu's icons (the
    // menu fetches them as plain images, from whatever host is configured);
    // neither tells anything about the data.
    return req.method == "GET"
           && (req.path == "/status" || req.path.rfind(MenuIconPath, 0) == 0);
}

bool Access::admit(const httplib::Request &req, QString *userId, Reply *refusal)
{
    const size_t headers = req.get_header_value_count("Authorization");
    if (headers == 0) {
        *refusal = unauthorized(QStringLiteral("missing access token: send \"Authorization: Bearer <token>\" "
                                               "(zhp-server --issue-token USER prints one)"));
        return false;
    }
    if (headers > 1) {
        *refusal = unauthorized(QStringLiteral("more than one Authorization header"));
        return false;
    }
    const QString value = header(req, "Authorization").trimmed();
    static const QRegularExpression bearer(QStringLiteral("^Bearer +(\\S*)$"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = bearer.match(value);
    if (!match.hasMatch()) {
        *refusal = unauthorized(QStringLiteral("the Authorization header must read \"Bearer <token>\""));
        return false;
    }
    const QString token = match.captured(1);
    static const QRegularExpression tokenShape(QStringLiteral("^[A-Za-z0-9_-]+$"));
    if (token.isEmpty() || token.size() > MaxTokenLength || !tokenShape.match(token).hasMatch()) {
        *refusal = unauthorized(QStringLiteral("malformed access token"));
        return false;
    }
    switch (m_auth.userOfToken(token, userId)) {
    case Auth::Lookup::Found:
        break;
    case Auth::Lookup::Unknown:
        *refusal = unauthorized(QStringLiteral("unknown or revoked access token"));
        return false;
    case Auth::Lookup::Failed:
        // A database deleted or replaced under the server is said as such.
        *refusal = m_storage.isLost() ? Reply::error(503, QStringLiteral("the database file was deleted or replaced under the server"))
                                      : Reply::error(500, QStringLiteral("the access token could not be checked"));
        return false;
    }
    if (req.method == "POST" || req.method == "PUT" || req.method == "PATCH" || req.method == "DELETE") {
        // Only JSON is accepted, so that a web page cannot send a request
        // with a plain form (which browsers send without asking first).
        const QString type = header(req, "Content-Type").section(QLatin1Char(';'), 0, 0).trimmed();
        if (type.compare(QLatin1String("application/json"), Qt::CaseInsensitive) != 0) {
            *refusal = Reply::error(415, QStringLiteral("the request body must be JSON with Content-Type: application/json, not \"%1\"")
                                             .arg(type.left(100)));
            return false;
        }
    }
    return true;
}

bool Access::permit(Operation op, PageStore::TreeKind kind, const QString &userId, QJsonObject &body, Reply *refusal)
{
    // The sender is the token's user, whatever the body says.
    const QJsonValue named = body.value(QLatin1String("userId"));
    if (named.isString() && named.toString() != userId) {
        *refusal = Reply::error(403, QStringLiteral("the request names user %1, but its token belongs to %2").arg(named.toString().left(64), userId));
        return false;
    }
    if (!named.isUndefined() && !named.isString()) {
        *refusal = Reply::error(400, QStringLiteral("userId must be non-empty text"));
        return false;
    }
    body.insert(QStringLiteral("userId"), userId);

    Lookup lookup;
    const auto notEditor = [&](const QString &product) {
        if (m_auth.isEditor(userId, product))
            return false;
        *refusal = Reply::error(403, QStringLiteral("user %1 may not change the tree of product %2: only its editors may").arg(userId, product));
        return true;
    };
    const QString padId = textOf(body, "padId");

    // Pages are read through the page request and copied by save-as: a page
    // the caller may not read is not there for them.
    if (op == PageGet || op == SaveAs) {
        if (!padId.isEmpty() && !canReadPage(m_storage, userId, padId, lookup)) {
            *refusal = lookup.ok ? Reply::error(404, QStringLiteral("page %1 not found").arg(padId.left(64))) : lookup.failure();
            return false;
        }
    }
    if (kind == PageStore::UserTree || op == PageGet || op == Tree)
        return true;

    // Changes to a product tree or its pages.
    QString product;
    switch (op) {
    case Add:
    case Move:
    case SaveAs:
        product = textOf(body, "productCode");
        break;
    case Delete:
    case Edit:
        // These name only the node; the store is then held to its product.
        product = productOfNode(m_storage, textOf(body, "nodeCode"), lookup);
        if (product.isEmpty())
            body.remove(QStringLiteral("productCode"));
        else
            body.insert(QStringLiteral("productCode"), product);
        break;
    case PageUpdate:
        product = productOfPage(m_storage, padId, lookup);
        break;
    default:
        break;
    }
    if (!lookup.ok) {
        *refusal = lookup.failure();
        return false;
    }
    // A body without a product is refused by the store with its own message.
    return product.isEmpty() || !notEditor(product);
}

Reply Access::reserveExport(const QString &userId, const QJsonObject &body, int limit)
{
    const QJsonValue v = body.value(QLatin1String("count"));
    const double count = v.toDouble(0);
    if (!v.isDouble() || std::trunc(count) != count || count < 1 || count > 1e9)
        return Reply::error(400, QStringLiteral("count must be a positive integer"));
    int total = 0;
    switch (m_auth.reserveExport(userId, int(count), limit, &total)) {
    case Auth::Reserve::Reserved:
        return Reply::json(QJsonObject{{QStringLiteral("success"), true}, {QStringLiteral("count"), total}, {QStringLiteral("limit"), limit}});
    case Auth::Reserve::OverLimit:
        return Reply::error(429, QStringLiteral("the daily export limit of %1 indices would be passed: %2 exported today, %3 more asked")
                                     .arg(limit).arg(total).arg(qint64(count)));
    case Auth::Reserve::Failed:
        break;
    }
    return Reply::error(500, QStringLiteral("the export count could not be stored"));
}

Reply Access::exportCount(const QString &userId, int limit)
{
    const int count = m_auth.exportedToday(userId);
    if (count < 0)
        return Reply::error(500, QStringLiteral("the export count could not be read"));
    return Reply::json(QJsonObject{{QStringLiteral("success"), true}, {QStringLiteral("count"), count}, {QStringLiteral("limit"), limit}});
}

} // namespace zhpserver
