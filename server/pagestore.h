#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QString>

namespace zhpserver {

class Storage;

// The answer of an endpoint: an HTTP status and a JSON body.
struct Reply
{
    int status = 200;
    QByteArray body;

    static Reply json(const QJsonObject &object, int status = 200);
    static Reply json(const QJsonArray &array);
    static Reply error(int status, const QString &message);
};

// Pages and the category trees that organise them. Product trees are keyed
// by product code; user trees by user id and product id. Every operation
// takes the parsed JSON body of its endpoint and checks it completely before
// it changes anything; writes run in one transaction each.
class PageStore
{
public:
    enum TreeKind { ProductTree = 1, UserTree = 2 };

    explicit PageStore(Storage &storage) : m_storage(storage) {}

    Reply getPage(const QJsonObject &body);
    Reply updateContent(TreeKind kind, const QJsonObject &body);

    Reply tree(TreeKind kind, const QJsonObject &body);
    Reply add(TreeKind kind, const QJsonObject &body);
    Reply changePosition(TreeKind kind, const QJsonObject &body);
    Reply remove(TreeKind kind, const QJsonObject &body);
    Reply edit(TreeKind kind, const QJsonObject &body);
    Reply saveAs(TreeKind kind, const QJsonObject &body);

    // A fresh node code or page ID: 32 upper-case hexadecimal digits.
    static QString newCode();

private:
    Storage &m_storage;
};

} // namespace zhpserver
