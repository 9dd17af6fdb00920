#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QString>
#include <QVariantMap>

#include <functional>

class QLabel;
class QStandardItem;
class QObject;
class QWidget;

namespace HXCPControls {

class CPCompositePanelService;

// The node records of a category tree as the server sends them, and the
// items that the tree widgets build from them. Every tree item keeps its
// node map under NodeRole: "NODE_CODE", "P_NODE_CODE", "NODE_NAME",
// "IS_CATEGORY" and, for pages, "PAD_ID".
namespace CategoryNode {

constexpr int NodeRole = Qt::UserRole + 1;

inline const QString kNodeCode = QStringLiteral("NODE_CODE");
inline const QString kParentCode = QStringLiteral("P_NODE_CODE");
inline const QString kNodeName = QStringLiteral("NODE_NAME");
inline const QString kPadId = QStringLiteral("PAD_ID");
inline const QString kRoot = QStringLiteral("ROOT");

// A fresh node code or page ID: a UUID as 32 upper-case hexadecimal digits.
HXCPCONTROLS_EXPORT QString newCode();

// The top-level records of a tree answer; false with `error` set when the
// answer is not an array.
HXCPCONTROLS_EXPORT bool readTree(const QJsonDocument &answer, QJsonArray *records, QString *error);

// The node map of one record and its children. False with `error` set when
// the record cannot stand for a node: not an object, NODE_CODE or NODE_NAME
// missing or not text, IS_PAD not a boolean, a page without PAD_ID. A
// CHILDREN that is not an array counts as no children (noted in `error`
// while the record is still accepted).
HXCPCONTROLS_EXPORT bool readNode(const QJsonValue &record, QVariantMap *node, QJsonArray *children,
                                  QString *error);

// The local node map of a node made here.
HXCPCONTROLS_EXPORT QVariantMap makeNode(const QString &code, const QString &parentCode, const QString &name,
                                         bool category, const QString &padId);

inline bool isCategory(const QVariantMap &node) { return node.value(QStringLiteral("IS_CATEGORY")).toBool(); }
HXCPCONTROLS_EXPORT QVariantMap nodeOf(const QStandardItem *item);

// An item showing `node`: pages carry the page icon and a black text.
HXCPCONTROLS_EXPORT QStandardItem *makeItem(const QVariantMap &node, bool dropEnabled);
// Shows a page item as selected or not (icon and colour).
HXCPCONTROLS_EXPORT void markPage(QStandardItem *item, bool selected);

// Appends the records (and their children, recursively) under `parent`.
// `accept(item, node)` is called for each item made; records that cannot be
// read are skipped with a warning. `categoriesOnly` leaves pages out.
HXCPCONTROLS_EXPORT void appendRecords(QStandardItem *parent, const QJsonArray &records, bool categoryDrops,
                                       bool categoriesOnly = false,
                                       const std::function<void(QStandardItem *, const QVariantMap &)> &accept = {});

// The node map of the first page inside a category, depth first (pages at
// the top level are left out: the read-only view does not show them); empty
// when there is none.
HXCPCONTROLS_EXPORT QVariantMap firstPage(const QJsonArray &records);

// The title a page is opened under: "<root>-<parent>-<page>", or
// "<root>-<page>" without a parent name.
HXCPCONTROLS_EXPORT QString pageTitle(const QString &rootTitle, const QString &parentName, const QString &pageName);

// The error text of a failed tree load: the user's tree, or a product's.
HXCPCONTROLS_EXPORT QString loadError(bool userMode, const QString &productCode, const QString &error);

// Asks `service` for the user's tree (or `productCode`'s) and hands the
// answer to `deliver` while `target` lives; a failure goes to `target`'s
// message box with loadError().
HXCPCONTROLS_EXPORT void requestTree(CPCompositePanelService &service, QObject *target, bool userMode,
                                     const QString &productCode,
                                     const std::function<void(const QJsonDocument &)> &deliver);

// The band above a tree: "title_panel" (40 high) holding the label
// "left_page_prod_title", which `label` receives.
HXCPCONTROLS_EXPORT QWidget *makeTitlePanel(QWidget *parent, const QString &text, QLabel **label);

// Logs `msg` and then calls `target`'s slot invokeMessageError(msg) by
// name, so that the message box opens on the GUI thread.
HXCPCONTROLS_EXPORT void messageError(QObject *target, const QString &msg, const QString &detail = QString());
// The critical box "错误" with `msg`, and the server's reason below it when known.
HXCPCONTROLS_EXPORT void showError(QWidget *parent, const QString &msg, const QString &detail = QString());

} // namespace CategoryNode
} // namespace HXCPControls
