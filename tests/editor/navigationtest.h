#pragma once
// Set-up shared by the navigation tests: a seeded server in the process,
// the sample user, and reads of the trees as the server keeps them.
#include "editortest.h"
#include "modalhelper.h"
#include "serverfixture.h"
#include "serversignin.h"

#include "editor/cpbasedialog.h"
#include "seeddata.h"
#include "wk/wkappconfig.h"

#include <QJsonArray>
#include <QStandardItemModel>

namespace NavTest {

inline const QString kUser = QString::fromLatin1(zhpserver::seed::SampleUser);
inline const QString kProduct = QString::fromLatin1(zhpserver::seed::SampleProduct);

// Signs in to `server` as `user`, working on `product`.
inline bool useIdentity(zhpserver::Server &server, const QString &user, const QString &product = kProduct)
{
    WKAppConfig::instance()->setProductId(product);
    return ZhpTest::signIn(server, user);
}

// The tree of the sample user (or of `productCode`) as the server answers it now.
inline QJsonArray serverTree(bool userMode, const QString &productCode = kProduct)
{
    const auto r = userMode ? ServerTest::post(QStringLiteral("/user/compositepanel/user/tree"),
                                               {{"userId", WKAppConfig::instance()->getUserInfo().userId},
                                                {"prodId", WKAppConfig::instance()->getProuctId()}})
                            : ServerTest::post(QStringLiteral("/user/compositepanel/node/tree"), {{"productCode", productCode}});
    return r.data.array();
}

// Where a node named `name` sits in a tree answer: its record, its parent's code and its position.
struct Place {
    QJsonObject node;
    QString parent;
    int row = -1;
};
inline Place find(const QJsonArray &tree, const QString &name, const QString &parent = QStringLiteral("ROOT"))
{
    for (int i = 0; i < tree.size(); ++i) {
        const QJsonObject node = tree.at(i).toObject();
        if (node.value("NODE_NAME").toString() == name)
            return {node, parent, i};
        const Place inside = find(node.value("CHILDREN").toArray(), name, node.value("NODE_CODE").toString());
        if (inside.row >= 0)
            return inside;
    }
    return {};
}

inline QStandardItem *findItem(QStandardItemModel *model, const QString &name)
{
    const QModelIndexList hits =
        model->match(model->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive);
    return hits.isEmpty() ? nullptr : model->itemFromIndex(hits.first());
}

// Handles the next dialog frame: `fill` gets its form, then the dialog is accepted.
template <class Form>
void onNextDialog(std::function<void(Form *)> fill)
{
    onNextModal<HXCPControls::CPBaseDialog>([fill](HXCPControls::CPBaseDialog *dialog) {
        fill(qobject_cast<Form *>(dialog->content()));
        dialog->accept();
    });
}

} // namespace NavTest
