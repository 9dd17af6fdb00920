#include "pagestore.h"

#include "jsonguard.h"
#include "serverlog.h"
#include "storage.h"

#include <QDateTime>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <cmath>
#include <mutex>

namespace zhpserver {

Reply Reply::json(const QJsonObject &object, int status)
{
    return {status, QJsonDocument(object).toJson(QJsonDocument::Compact)};
}

Reply Reply::json(const QJsonArray &array)
{
    return {200, QJsonDocument(array).toJson(QJsonDocument::Compact)};
}

Reply Reply::error(int status, const QString &message)
{
    return json(QJsonObject{{QStringLiteral("success"), false}, {QStringLiteral("message"), message}}, status);
}

QString PageStore::newCode()
{
    return QUuid::createUuid().toString(QUuid::Id128).toUpper();
}

namespace {

const QString kRoot = QStringLiteral("ROOT");
constexpr int MaxCodeLength = 64;
constexpr int MaxNameLength = 200;

// Thrown by nothing: a small carrier of the first problem found in a body.
struct Check
{
    QString error;
    bool ok() const { return error.isEmpty(); }
};

bool text(const QJsonObject &body, const char *key, QString &out, Check &check, int maxLength = MaxCodeLength)
{
    if (!check.ok())
        return false;
    const QJsonValue v = body.value(QLatin1String(key));
    if (!v.isString() || v.toString().trimmed().isEmpty()) {
        check.error = v.isUndefined() || v.isNull() ? QStringLiteral("%1 is missing").arg(QLatin1String(key))
                                                    : QStringLiteral("%1 must be non-empty text").arg(QLatin1String(key));
        return false;
    }
    out = v.toString();
    if (out.size() > maxLength) {
        check.error = QStringLiteral("%1 is longer than %2 characters").arg(QLatin1String(key)).arg(maxLength);
        return false;
    }
    return true;
}

// Codes name nodes and pages; they are kept to a plain alphabet so that they
// read the same in logs, URLs and any database.
bool code(const QJsonObject &body, const char *key, QString &out, Check &check)
{
    if (!text(body, key, out, check))
        return false;
    static const QRegularExpression plain(QStringLiteral("\\A[A-Za-z0-9_.-]+\\z"));
    if (!plain.match(out).hasMatch()) {
        check.error = QStringLiteral("%1 may only hold letters, digits, '_', '.' and '-'").arg(QLatin1String(key));
        return false;
    }
    return true;
}

// An optional position; -1 when absent.
bool position(const QJsonObject &body, int &out, Check &check)
{
    if (!check.ok())
        return false;
    const QJsonValue v = body.value(QLatin1String("sn"));
    out = -1;
    if (v.isUndefined() || v.isNull())
        return true;
    const double d = v.toDouble(-1);
    if (!v.isDouble() || std::trunc(d) != d || d < 0 || d > 1e6) {
        check.error = QStringLiteral("sn must be a position (an integer of 0 or more)");
        return false;
    }
    out = int(d);
    return true;
}

// Qt binds a null QString as SQL NULL; tree columns hold '' instead.
QString nonNull(const QString &s)
{
    return s.isNull() ? QString(QLatin1String("")) : s;
}

// Which tree an operation works on.
struct Scope
{
    int kind = PageStore::ProductTree;
    QString product;
    QString user;
    bool anyProduct = false; // product operations that carry only a node code

    QString where() const
    {
        return anyProduct ? QStringLiteral("tree_kind = ?") : QStringLiteral("tree_kind = ? AND product_code = ? AND user_id = ?");
    }
    void bind(QSqlQuery &q) const
    {
        q.addBindValue(kind);
        if (!anyProduct) {
            q.addBindValue(nonNull(product));
            q.addBindValue(nonNull(user));
        }
    }
    QString describe() const
    {
        if (kind == PageStore::UserTree)
            return QStringLiteral("the tree of user %1 in product %2").arg(user, product);
        return anyProduct ? QStringLiteral("the product trees") : QStringLiteral("the tree of product %1").arg(product);
    }
};

bool readScope(PageStore::TreeKind kind, const QJsonObject &body, bool productCodeGiven, Scope &scope, Check &check)
{
    scope.kind = kind;
    if (kind == PageStore::UserTree) {
        text(body, "userId", scope.user, check);
        text(body, "prodId", scope.product, check);
    } else if (productCodeGiven) {
        text(body, "productCode", scope.product, check);
    } else {
        scope.anyProduct = true;
    }
    return check.ok();
}

struct NodeRow
{
    QString code;
    QString parent;
    QString name;
    bool isPad = false;
    QString padId;
    int sn = 0;
    QString product;
    QString user;
};

const char *const kNodeColumns = "node_code, parent_code, node_name, is_pad, pad_id, sn, product_code, user_id";

NodeRow rowOf(const QSqlQuery &q)
{
    NodeRow n;
    n.code = q.value(0).toString();
    n.parent = q.value(1).toString();
    n.name = q.value(2).toString();
    n.isPad = q.value(3).toInt() != 0;
    n.padId = q.value(4).toString();
    n.sn = q.value(5).toInt();
    n.product = q.value(6).toString();
    n.user = q.value(7).toString();
    return n;
}

// A failed statement: logged with its details, answered as a server error.
struct DbError
{
    QString text;
};

void exec(QSqlQuery &q)
{
    if (!q.exec())
        throw DbError{q.lastError().text()};
}

bool findNode(QSqlDatabase &db, const Scope &scope, const QString &nodeCode, NodeRow &out)
{
    QSqlQuery q = prepared(db, QStringLiteral("SELECT ") + QLatin1String(kNodeColumns)
                                   + QStringLiteral(" FROM tree_node WHERE node_code = ? AND ") + scope.where());
    q.addBindValue(nodeCode);
    scope.bind(q);
    exec(q);
    if (!q.next())
        return false;
    out = rowOf(q);
    return true;
}

QList<NodeRow> scopeNodes(QSqlDatabase &db, const Scope &scope)
{
    QSqlQuery q = prepared(db, QStringLiteral("SELECT ") + QLatin1String(kNodeColumns) + QStringLiteral(" FROM tree_node WHERE ") + scope.where()
                                   + QStringLiteral(" ORDER BY parent_code, sn, node_code"),
                           true);
    scope.bind(q);
    exec(q);
    QList<NodeRow> rows;
    while (q.next())
        rows.append(rowOf(q));
    return rows;
}

// The scope a found node belongs to (product operations that carry only a code).
Scope scopeOf(const Scope &given, const NodeRow &node)
{
    Scope s = given;
    s.anyProduct = false;
    s.product = node.product;
    s.user = node.user;
    return s;
}

int childCount(QSqlDatabase &db, const Scope &scope, const QString &parent)
{
    QSqlQuery q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM tree_node WHERE parent_code = ? AND ") + scope.where());
    q.addBindValue(parent);
    scope.bind(q);
    exec(q);
    return q.next() ? q.value(0).toInt() : 0;
}

// Moves the siblings at or after `from` under `parent` by `delta` places,
// leaving out `except` (a node that is being moved).
void shiftSiblings(QSqlDatabase &db, const Scope &scope, const QString &parent, int from, int delta, const QString &except = QString())
{
    QSqlQuery q = prepared(db, QStringLiteral("UPDATE tree_node SET sn = sn + ? WHERE parent_code = ? AND sn >= ? AND node_code <> ? AND ") + scope.where());
    q.addBindValue(delta);
    q.addBindValue(parent);
    q.addBindValue(from);
    q.addBindValue(nonNull(except));
    scope.bind(q);
    exec(q);
}

// "ROOT" or a category of the same tree; otherwise the reason it is not.
QString checkParent(QSqlDatabase &db, const Scope &scope, const QString &parent)
{
    if (parent == kRoot)
        return QString();
    NodeRow p;
    if (!findNode(db, scope, parent, p))
        return QStringLiteral("parent node %1 is not in %2").arg(parent, scope.describe());
    if (p.isPad)
        return QStringLiteral("parent node %1 is a page, not a category").arg(parent);
    return QString();
}

bool padInUse(QSqlDatabase &db, const QString &padId)
{
    QSqlQuery q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM tree_node WHERE pad_id = ?"));
    q.addBindValue(padId);
    exec(q);
    return q.next() && q.value(0).toInt() > 0;
}

QJsonObject nodeJson(const NodeRow &n, const QJsonArray &children)
{
    QJsonObject o{{QStringLiteral("NODE_CODE"), n.code},
                  {QStringLiteral("P_NODE_CODE"), n.parent},
                  {QStringLiteral("NODE_NAME"), n.name},
                  {QStringLiteral("IS_CATEGORY"), !n.isPad},
                  {QStringLiteral("IS_PAD"), n.isPad},
                  {QStringLiteral("SN"), n.sn},
                  {QStringLiteral("CHILDREN"), children}};
    if (n.isPad)
        o.insert(QStringLiteral("PAD_ID"), n.padId);
    return o;
}

QJsonArray shape(const QString &parent, const QHash<QString, QList<NodeRow>> &byParent, QSet<QString> &seen)
{
    QJsonArray out;
    for (const NodeRow &n : byParent.value(parent)) {
        if (seen.contains(n.code))
            continue;
        seen.insert(n.code);
        out.append(nodeJson(n, shape(n.code, byParent, seen)));
    }
    return out;
}

// Runs `body` in a write transaction; answers 500 when the database fails.
template <typename Fn>
Reply write(Storage &storage, const char *what, Fn body)
{
    std::lock_guard<std::mutex> lock(storage.writeMutex());
    if (storage.isLost())
        return Reply::error(503, QStringLiteral("the database file was deleted or replaced under the server; writes are refused until it is restored"));
    QSqlDatabase db = storage.connection();
    if (!db.transaction()) {
        qCWarning(lcServer).noquote() << what << "cannot start a transaction:" << db.lastError().text();
        return Reply::error(503, QStringLiteral("the database is not available"));
    }
    try {
        if (!storage.lockWrites(db))
            throw DbError{QStringLiteral("cannot take the write lock")};
        Reply reply = body(db);
        if (reply.status >= 200 && reply.status < 300) {
            if (!db.commit()) {
                qCWarning(lcServer).noquote() << what << "commit failed:" << db.lastError().text();
                db.rollback();
                return Reply::error(500, QStringLiteral("%1 could not be stored").arg(QLatin1String(what)));
            }
        } else {
            db.rollback();
        }
        return reply;
    } catch (const DbError &e) {
        qCWarning(lcServer).noquote() << what << "failed:" << e.text;
        db.rollback();
        return Reply::error(500, QStringLiteral("%1 failed in the database").arg(QLatin1String(what)));
    }
}

template <typename Fn>
Reply read(Storage &storage, const char *what, Fn body)
{
    QSqlDatabase db = storage.connection();
    try {
        return body(db);
    } catch (const DbError &e) {
        qCWarning(lcServer).noquote() << what << "failed:" << e.text;
        return Reply::error(500, QStringLiteral("%1 failed in the database").arg(QLatin1String(what)));
    }
}

Reply ok(QJsonObject extra = QJsonObject())
{
    extra.insert(QStringLiteral("success"), true);
    return Reply::json(extra);
}

qint64 now() { return QDateTime::currentMSecsSinceEpoch(); }

// Stores the content of a page, creating its row when there is none.
int storeContent(QSqlDatabase &db, const QString &padId, const QString &content, const QString &userId)
{
    QSqlQuery q = prepared(db, QStringLiteral("UPDATE page SET content = ?, updated_by = ?, updated_at = ?, revision = revision + 1 WHERE pad_id = ?"));
    q.addBindValue(nonNull(content)); // a page copied before it had content
    q.addBindValue(userId);
    q.addBindValue(now());
    q.addBindValue(padId);
    exec(q);
    if (q.numRowsAffected() == 0) {
        q = prepared(db, QStringLiteral("INSERT INTO page (pad_id, content, updated_by, updated_at, revision) VALUES (?, ?, ?, ?, 1)"));
        q.addBindValue(padId);
        q.addBindValue(nonNull(content));
        q.addBindValue(userId);
        q.addBindValue(now());
        exec(q);
    }
    q = prepared(db, QStringLiteral("SELECT revision FROM page WHERE pad_id = ?"));
    q.addBindValue(padId);
    exec(q);
    return q.next() ? q.value(0).toInt() : 0;
}

} // namespace

Reply PageStore::getPage(const QJsonObject &body)
{
    Check check;
    QString padId;
    if (!code(body, "padId", padId, check))
        return Reply::error(400, check.error);
    return read(m_storage, "page request", [&](QSqlDatabase &db) {
        QSqlQuery q = prepared(db, QStringLiteral("SELECT content, revision FROM page WHERE pad_id = ?"));
        q.addBindValue(padId);
        exec(q);
        if (q.next())
            return Reply::json(QJsonObject{{QStringLiteral("padId"), padId},
                                           {QStringLiteral("padCont"), q.value(0).toString()},
                                           {QStringLiteral("revision"), q.value(1).toInt()}});
        if (padInUse(db, padId))
            return Reply::json(QJsonObject{{QStringLiteral("padId"), padId}, {QStringLiteral("padCont"), QString()}, {QStringLiteral("revision"), 0}});
        return Reply::error(404, QStringLiteral("page %1 not found").arg(padId));
    });
}

Reply PageStore::updateContent(TreeKind kind, const QJsonObject &body)
{
    Check check;
    QString userId, padId;
    text(body, "userId", userId, check);
    code(body, "padId", padId, check);
    if (!check.ok())
        return Reply::error(400, check.error);
    const QJsonValue contentValue = body.value(QLatin1String("content"));
    if (!contentValue.isString())
        return Reply::error(400, QStringLiteral("content must be the page content as JSON text"));
    const QString content = contentValue.toString();
    if (!content.isEmpty()) {
        const QByteArray text = content.toUtf8();
        const QString repeated = duplicateJsonKey(text);
        if (!repeated.isNull())
            return Reply::error(400, QStringLiteral("content repeats the key \"%1\"").arg(repeated.left(100)));
        QJsonParseError parseError;
        const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
        if (parseError.error != QJsonParseError::NoError || !doc.isObject())
            return Reply::error(400, QStringLiteral("content is not a JSON object: %1 at offset %2")
                                         .arg(parseError.error != QJsonParseError::NoError ? parseError.errorString() : QStringLiteral("not an object"))
                                         .arg(parseError.offset));
    }
    return write(m_storage, "page update", [&](QSqlDatabase &db) {
        QSqlQuery q(db);
        if (kind == UserTree) {
            q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM tree_node WHERE tree_kind = ? AND user_id = ? AND is_pad = 1 AND pad_id = ?"));
            q.addBindValue(int(UserTree));
            q.addBindValue(userId);
        } else {
            q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM tree_node WHERE tree_kind = ? AND is_pad = 1 AND pad_id = ?"));
            q.addBindValue(int(ProductTree));
        }
        q.addBindValue(padId);
        exec(q);
        if (!q.next() || q.value(0).toInt() == 0)
            return Reply::error(404, kind == UserTree ? QStringLiteral("page %1 is not in the tree of user %2").arg(padId, userId)
                                                      : QStringLiteral("page %1 is not in any product tree").arg(padId));
        const int revision = storeContent(db, padId, content, userId);
        return ok({{QStringLiteral("padId"), padId}, {QStringLiteral("revision"), revision}});
    });
}

Reply PageStore::tree(TreeKind kind, const QJsonObject &body)
{
    Check check;
    Scope scope;
    if (!readScope(kind, body, true, scope, check))
        return Reply::error(400, check.error);
    return read(m_storage, "tree request", [&](QSqlDatabase &db) {
        QHash<QString, QList<NodeRow>> byParent;
        QSet<QString> codes;
        const QList<NodeRow> rows = scopeNodes(db, scope);
        for (const NodeRow &n : rows)
            codes.insert(n.code);
        for (const NodeRow &n : rows) // a node whose parent is gone is shown at the top
            byParent[codes.contains(n.parent) ? n.parent : kRoot].append(n);
        QSet<QString> seen;
        return Reply::json(shape(kRoot, byParent, seen));
    });
}

Reply PageStore::add(TreeKind kind, const QJsonObject &body)
{
    Check check;
    Scope scope;
    QString nodeCode, parent, name, padId;
    int sn = -1;
    readScope(kind, body, kind == ProductTree, scope, check);
    code(body, "nodeCode", nodeCode, check);
    code(body, "parentNodeCode", parent, check);
    text(body, "nodeName", name, check, MaxNameLength);
    position(body, sn, check);
    const QJsonValue padValue = body.value(QLatin1String("pad"));
    if (check.ok() && !padValue.isBool() && !padValue.isUndefined())
        check.error = QStringLiteral("pad must be true or false");
    const bool pad = padValue.toBool(false);
    if (pad)
        code(body, "padId", padId, check);
    if (!check.ok())
        return Reply::error(400, check.error);
    return write(m_storage, "node add", [&](QSqlDatabase &db) {
        QSqlQuery q = prepared(db, QStringLiteral("SELECT COUNT(*) FROM tree_node WHERE node_code = ?"));
        q.addBindValue(nodeCode);
        exec(q);
        if (q.next() && q.value(0).toInt() > 0)
            return Reply::error(409, QStringLiteral("node %1 already exists").arg(nodeCode));
        const QString parentProblem = checkParent(db, scope, parent);
        if (!parentProblem.isEmpty())
            return Reply::error(400, parentProblem);
        if (pad && padInUse(db, padId))
            return Reply::error(409, QStringLiteral("page %1 already has a node").arg(padId));

        const int count = childCount(db, scope, parent);
        const int at = sn < 0 || sn > count ? count : sn;
        shiftSiblings(db, scope, parent, at, 1);
        q = prepared(db, QStringLiteral("INSERT INTO tree_node (node_code, tree_kind, product_code, user_id, parent_code, node_name, is_pad, pad_id, sn)"
                                        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        q.addBindValue(nodeCode);
        q.addBindValue(int(kind));
        q.addBindValue(nonNull(scope.product));
        q.addBindValue(nonNull(scope.user));
        q.addBindValue(parent);
        q.addBindValue(name);
        q.addBindValue(pad ? 1 : 0);
        q.addBindValue(pad ? QVariant(padId) : QVariant(QVariant::String));
        q.addBindValue(at);
        exec(q);
        return ok({{QStringLiteral("nodeCode"), nodeCode}, {QStringLiteral("sn"), at}});
    });
}

Reply PageStore::changePosition(TreeKind kind, const QJsonObject &body)
{
    Check check;
    Scope scope;
    QString nodeCode, parent;
    int sn = -1;
    readScope(kind, body, kind == ProductTree, scope, check);
    code(body, "nodeCode", nodeCode, check);
    code(body, "parentNodeCode", parent, check);
    position(body, sn, check);
    if (!check.ok())
        return Reply::error(400, check.error);

    return write(m_storage, "node move", [&](QSqlDatabase &db) {
        NodeRow node;
        if (!findNode(db, scope, nodeCode, node))
            return Reply::error(404, QStringLiteral("node %1 is not in %2").arg(nodeCode, scope.describe()));
        const QString parentProblem = checkParent(db, scope, parent);
        if (!parentProblem.isEmpty())
            return Reply::error(400, parentProblem);
        // The new parent must not lie inside the moved node.
        for (QString p = parent; p != kRoot;) {
            if (p == nodeCode)
                return Reply::error(400, QStringLiteral("node %1 cannot move into itself or its own descendants").arg(nodeCode));
            NodeRow up;
            if (!findNode(db, scope, p, up))
                break;
            p = up.parent;
        }
        // Close the gap at the old place, then make room at the new one.
        shiftSiblings(db, scope, node.parent, node.sn + 1, -1, nodeCode);
        const int count = childCount(db, scope, parent) - (node.parent == parent ? 1 : 0);
        const int at = sn < 0 || sn > count ? count : sn;
        shiftSiblings(db, scope, parent, at, 1, nodeCode);
        QSqlQuery q = prepared(db, QStringLiteral("UPDATE tree_node SET parent_code = ?, sn = ? WHERE node_code = ?"));
        q.addBindValue(parent);
        q.addBindValue(at);
        q.addBindValue(nodeCode);
        exec(q);
        return ok({{QStringLiteral("nodeCode"), nodeCode}, {QStringLiteral("sn"), at}});
    });
}

Reply PageStore::remove(TreeKind kind, const QJsonObject &body)
{
    Check check;
    Scope given;
    QString nodeCode;
    readScope(kind, body, kind == ProductTree && body.contains(QLatin1String("productCode")), given, check);
    code(body, "nodeCode", nodeCode, check);
    if (!check.ok())
        return Reply::error(400, check.error);

    return write(m_storage, "node delete", [&](QSqlDatabase &db) {
        NodeRow node;
        if (!findNode(db, given, nodeCode, node))
            return Reply::error(404, QStringLiteral("node %1 is not in %2").arg(nodeCode, given.describe()));
        const Scope scope = scopeOf(given, node);

        // The node and everything below it.
        QHash<QString, QList<NodeRow>> byParent;
        for (const NodeRow &n : scopeNodes(db, scope))
            byParent[n.parent].append(n);
        QList<NodeRow> doomed{node};
        QSet<QString> seen{node.code};
        for (int i = 0; i < doomed.size(); ++i) {
            for (const NodeRow &child : byParent.value(doomed.at(i).code)) {
                if (!seen.contains(child.code)) {
                    seen.insert(child.code);
                    doomed.append(child);
                }
            }
        }
        QSqlQuery q(db);
        for (const NodeRow &n : doomed) {
            q = prepared(db, QStringLiteral("DELETE FROM tree_node WHERE node_code = ?"));
            q.addBindValue(n.code);
            exec(q);
            if (n.isPad && !n.padId.isEmpty() && !padInUse(db, n.padId)) {
                q = prepared(db, QStringLiteral("DELETE FROM page WHERE pad_id = ?"));
                q.addBindValue(n.padId);
                exec(q);
            }
        }
        shiftSiblings(db, scope, node.parent, node.sn + 1, -1);
        return ok({{QStringLiteral("nodeCode"), nodeCode}, {QStringLiteral("deleted"), doomed.size()}});
    });
}

Reply PageStore::edit(TreeKind kind, const QJsonObject &body)
{
    Check check;
    Scope scope;
    QString nodeCode, name;
    readScope(kind, body, kind == ProductTree && body.contains(QLatin1String("productCode")), scope, check);
    code(body, "nodeCode", nodeCode, check);
    text(body, "nodeName", name, check, MaxNameLength);
    if (!check.ok())
        return Reply::error(400, check.error);

    return write(m_storage, "node edit", [&](QSqlDatabase &db) {
        NodeRow node;
        if (!findNode(db, scope, nodeCode, node))
            return Reply::error(404, QStringLiteral("node %1 is not in %2").arg(nodeCode, scope.describe()));
        QSqlQuery q = prepared(db, QStringLiteral("UPDATE tree_node SET node_name = ? WHERE node_code = ?"));
        q.addBindValue(name);
        q.addBindValue(nodeCode);
        exec(q);
        return ok({{QStringLiteral("nodeCode"), nodeCode}});
    });
}

Reply PageStore::saveAs(TreeKind kind, const QJsonObject &body)
{
    Check check;
    Scope scope;
    QString userId, parent, padId, name;
    readScope(kind, body, kind == ProductTree, scope, check);
    text(body, "userId", userId, check);
    code(body, "parentNodeCode", parent, check);
    code(body, "padId", padId, check);
    text(body, "nodeName", name, check, MaxNameLength);
    if (!check.ok())
        return Reply::error(400, check.error);

    return write(m_storage, "page save-as", [&](QSqlDatabase &db) {
        QSqlQuery q = prepared(db, QStringLiteral("SELECT content FROM page WHERE pad_id = ?"));
        q.addBindValue(padId);
        exec(q);
        QString content;
        if (q.next())
            content = q.value(0).toString();
        else if (!padInUse(db, padId))
            return Reply::error(404, QStringLiteral("page %1 not found").arg(padId));
        const QString parentProblem = checkParent(db, scope, parent);
        if (!parentProblem.isEmpty())
            return Reply::error(400, parentProblem);

        const QString nodeCode = newCode();
        const QString newPad = newCode();
        const int at = childCount(db, scope, parent);
        q = prepared(db, QStringLiteral("INSERT INTO tree_node (node_code, tree_kind, product_code, user_id, parent_code, node_name, is_pad, pad_id, sn)"
                                        " VALUES (?, ?, ?, ?, ?, ?, 1, ?, ?)"));
        q.addBindValue(nodeCode);
        q.addBindValue(int(kind));
        q.addBindValue(nonNull(scope.product));
        q.addBindValue(nonNull(scope.user));
        q.addBindValue(parent);
        q.addBindValue(name);
        q.addBindValue(newPad);
        q.addBindValue(at);
        exec(q);
        storeContent(db, newPad, content, userId);
        return ok({{QStringLiteral("nodeCode"), nodeCode}, {QStringLiteral("padId"), newPad}});
    });
}

} // namespace zhpserver
