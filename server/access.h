#pragma once

#include "pagestore.h"

#include <QJsonObject>
#include <QString>

namespace httplib {
struct Request;
}

namespace zhpserver {

class Auth;
class Storage;

// Who may do what. Every request but GET /status is admitted only with a
// known bearer token, which names the caller; a request with a body must
// be JSON. The page and tree operations then follow these rules:
// - a user tree and its pages belong to their user: a body naming another
//   userId is refused (403), and another user's page reads as missing (404),
//   also as the source of a save-as;
// - product trees and their pages are read by every user and changed only by
//   the editors of that product (403 otherwise).
class Access
{
public:
    enum Operation { PageGet, PageUpdate, Tree, Add, Move, Delete, Edit, SaveAs };

    Access(Storage &storage, Auth &auth) : m_storage(storage), m_auth(auth) {}

    // Checks the token and the content type of a request before it is
    // routed. True with `userId` set when it may go on; otherwise `refusal`
    // is the answer (401, 415, or 500 when the database fails).
    bool admit(const httplib::Request &req, QString *userId, Reply *refusal);
    // Whether the request needs no token.
    static bool isPublic(const httplib::Request &req);

    // Checks a page or tree operation of `userId` and completes its body
    // for the store: the caller's own userId, and the product of the node
    // that a product delete or edit names. False with `refusal` set when the
    // operation is not allowed.
    bool permit(Operation op, PageStore::TreeKind kind, const QString &userId, QJsonObject &body, Reply *refusal);

    // POST /user/export/reserve: {"count": k} adds k to the caller's count of
    // the day unless the total would pass `limit` (429).
    Reply reserveExport(const QString &userId, const QJsonObject &body, int limit);
    // POST /user/export/count: the caller's count of the day and the limit.
    Reply exportCount(const QString &userId, int limit);

private:
    Storage &m_storage;
    Auth &m_auth;
};

} // namespace zhpserver
