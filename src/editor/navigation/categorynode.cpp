#include "categorynode.h"

#include "common/logging.h"
#include "editor/skinimagepath.h"
#include "pagelayout/cpcompositepanelservice.h"

#include <QBrush>
#include <QHBoxLayout>
#include <QLabel>
#include <QPointer>
#include <QIcon>
#include <QJsonObject>
#include <QMessageBox>
#include <QRegularExpression>
#include <QStandardItem>
#include <QUuid>

namespace HXCPControls {
namespace CategoryNode {

namespace {
const QString &kCode = kNodeCode;
const QString &kParent = kParentCode;
const QString &kName = kNodeName;
const QString kIsPad = QStringLiteral("IS_PAD");
const QString kIsCategory = QStringLiteral("IS_CATEGORY");
const QString kChildren = QStringLiteral("CHILDREN");
const char *const kDetailProperty = "errorDetail";
} // namespace

QString newCode()
{
    static const QRegularExpression marks(QStringLiteral("[\\-\\{\\}]"));
    return QUuid::createUuid().toString().remove(marks).toUpper();
}

bool readTree(const QJsonDocument &answer, QJsonArray *records, QString *error)
{
    if (!answer.isArray()) {
        *error = QStringLiteral("the tree answer is not an array");
        return false;
    }
    *records = answer.array();
    return true;
}

bool readNode(const QJsonValue &record, QVariantMap *node, QJsonArray *children, QString *error)
{
    error->clear();
    if (!record.isObject()) {
        *error = QStringLiteral("a node record is not an object");
        return false;
    }
    const QJsonObject o = record.toObject();
    const QJsonValue code = o.value(kCode);
    const QJsonValue name = o.value(kName);
    if (!code.isString() || code.toString().isEmpty()) {
        *error = QStringLiteral("a node record has no NODE_CODE text");
        return false;
    }
    if (!name.isString()) {
        *error = QStringLiteral("node %1 has no NODE_NAME text").arg(code.toString());
        return false;
    }
    const QJsonValue isPad = o.value(kIsPad);
    if (!isPad.isBool()) {
        *error = QStringLiteral("node %1 has no boolean IS_PAD").arg(code.toString());
        return false;
    }
    const QJsonValue padId = o.value(kPadId);
    if (isPad.toBool() && (!padId.isString() || padId.toString().isEmpty())) {
        *error = QStringLiteral("page node %1 has no PAD_ID").arg(code.toString());
        return false;
    }
    const QJsonValue parent = o.value(kParent);
    *node = makeNode(code.toString(), parent.isString() ? parent.toString() : QStringLiteral("ROOT"), name.toString(),
                     !isPad.toBool(), padId.toString());
    const QJsonValue kids = o.value(kChildren);
    *children = kids.toArray();
    if (!kids.isArray() && !kids.isUndefined() && !kids.isNull())
        *error = QStringLiteral("node %1 has a CHILDREN that is not an array").arg(code.toString());
    return true;
}

QVariantMap makeNode(const QString &code, const QString &parentCode, const QString &name, bool category,
                     const QString &padId)
{
    QVariantMap node{{kCode, code}, {kParent, parentCode}, {kName, name}, {kIsCategory, category}};
    if (!category)
        node.insert(kPadId, padId);
    return node;
}

QVariantMap nodeOf(const QStandardItem *item)
{
    return item ? item->data(NodeRole).toMap() : QVariantMap();
}

void markPage(QStandardItem *item, bool selected)
{
    item->setIcon(QIcon(skinImagePath(selected ? QStringLiteral("custompage/selected_pad.png")
                                                : QStringLiteral("custompage/unselected_pad.png"))));
    item->setForeground(QBrush(selected ? QColor(77, 89, 153) : QColor(Qt::black)));
}

QStandardItem *makeItem(const QVariantMap &node, bool dropEnabled)
{
    auto *item = new QStandardItem(node.value(kName).toString());
    item->setData(node, NodeRole);
    item->setToolTip(node.value(kName).toString());
    if (isCategory(node)) {
        item->setDropEnabled(dropEnabled);
    } else {
        markPage(item, false);
        item->setDropEnabled(false);
    }
    return item;
}

void appendRecords(QStandardItem *parent, const QJsonArray &records, bool categoryDrops, bool categoriesOnly,
                   const std::function<void(QStandardItem *, const QVariantMap &)> &accept)
{
    for (const QJsonValue &record : records) {
        QVariantMap node;
        QJsonArray children;
        QString problem;
        const bool ok = readNode(record, &node, &children, &problem);
        if (!problem.isEmpty())
            qCWarning(lcEditor).noquote() << "category tree:" << problem;
        if (!ok || (categoriesOnly && !isCategory(node)))
            continue;
        QStandardItem *item = makeItem(node, categoryDrops);
        parent->appendRow(item);
        if (accept)
            accept(item, node);
        if (isCategory(node))
            appendRecords(item, children, categoryDrops, categoriesOnly, accept);
    }
}

static QVariantMap firstPageIn(const QJsonArray &records, bool topLevel)
{
    for (const QJsonValue &record : records) {
        QVariantMap node;
        QJsonArray children;
        QString problem;
        if (!readNode(record, &node, &children, &problem))
            continue;
        if (!isCategory(node)) {
            if (!topLevel)
                return node;
            continue;
        }
        const QVariantMap inside = firstPageIn(children, false);
        if (!inside.isEmpty())
            return inside;
    }
    return QVariantMap();
}

QVariantMap firstPage(const QJsonArray &records)
{
    return firstPageIn(records, true);
}

QString pageTitle(const QString &rootTitle, const QString &parentName, const QString &pageName)
{
    if (parentName.isEmpty())
        return rootTitle + QLatin1Char('-') + pageName;
    return rootTitle + QLatin1Char('-') + parentName + QLatin1Char('-') + pageName;
}

QString loadError(bool userMode, const QString &productCode, const QString &error)
{
    if (userMode)
        return QStringLiteral("mNodeService.getUserData() error: %1").arg(error);
    return QStringLiteral("mNodeService.getNodeData(%1) error: %2").arg(productCode, error);
}

void requestTree(CPCompositePanelService &service, QObject *target, bool userMode, const QString &productCode,
                 const std::function<void(const QJsonDocument &)> &deliver)
{
    QPointer<QObject> self(target);
    auto done = [self, userMode, productCode, deliver](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        if (!result.success)
            messageError(self, loadError(userMode, productCode, result.errorMsg));
        else
            deliver(result.data);
    };
    if (userMode)
        service.getUserData(done);
    else
        service.getNodeData(productCode, done);
}

QWidget *makeTitlePanel(QWidget *parent, const QString &text, QLabel **label)
{
    auto *panel = new QWidget(parent);
    panel->setObjectName(QStringLiteral("title_panel"));
    panel->setAttribute(Qt::WA_StyledBackground);
    panel->setFixedHeight(40);
    auto *layout = new QHBoxLayout(panel);
    layout->setAlignment(Qt::AlignLeft);
    *label = new QLabel(text, panel);
    (*label)->setObjectName(QStringLiteral("left_page_prod_title"));
    (*label)->setTextFormat(Qt::PlainText);
    layout->addWidget(*label);
    return panel;
}

void messageError(QObject *target, const QString &msg, const QString &detail)
{
    if (detail.isEmpty())
        qCWarning(lcEditor).noquote() << msg;
    else
        qCWarning(lcEditor).noquote() << msg << detail;
    target->setProperty(kDetailProperty, detail);
    QMetaObject::invokeMethod(target, "invokeMessageError", Qt::AutoConnection, Q_ARG(QString, msg));
}

void showError(QWidget *parent, const QString &msg, const QString &detail)
{
    QString reason = detail;
    if (parent) {
        if (reason.isEmpty())
            reason = parent->property(kDetailProperty).toString();
        parent->setProperty(kDetailProperty, QVariant());
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), msg, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    if (!reason.isEmpty())
        box.setInformativeText(reason.toHtmlEscaped());
    box.exec();
}

} // namespace CategoryNode
} // namespace HXCPControls
