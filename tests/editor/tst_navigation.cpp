// The navigation against a real server: the page category trees in both modes,
// with bad answers and failed writes, and the product menu with its popup.
#include "navigationtest.h"

#include "editor/navigation/categorynode.h"
#include "editor/navigation/cpaddnode.h"
#include "editor/navigation/cpeditnode.h"
#include "editor/navigation/cpleftmenubar.h"
#include "editor/navigation/cpleftmenuitem.h"
#include "editor/navigation/cppagecategory.h"
#include "editor/navigation/cppagecategoryedit.h"
#include "editor/navigation/cppagecategoryitem.h"
#include "editor/navigation/cppopupmenudialog.h"
#include "editor/navigation/cpproductioncategory.h"
#include "editor/navigation/cpsaveaswidget.h"
#include "editor/navigation/cpselectproductview.h"
#include "editor/navigation/cpselectuserpadcategoryview.h"
#include "editor/navigation/cptreemodel.h"
#include "httptestserver.h"
#include "wk/wkapplication.h"

#include <httplib.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>

using namespace HXCPControls;
using namespace NavTest;

namespace {

const QJsonObject kSteel{{"PRODUCT_CODE", "P001"}, {"PRODUCT_NAME", "螺纹钢"}};

// Adds a node straight on the server; returns its code.
QString addOnServer(bool userMode, const QString &parent, const QString &name, bool pad)
{
    const QString code = CategoryNode::newCode();
    QJsonObject body{{"userId", kUser}, {"prodId", kProduct}, {"productCode", kProduct}, {"nodeCode", code},
                     {"parentNodeCode", parent}, {"nodeName", name}, {"pad", pad}};
    if (pad)
        body.insert("padId", CategoryNode::newCode());
    ServerTest::post(userMode ? "/user/compositepanel/user/add" : "/user/compositepanel/node/add", body);
    return code;
}

const QString kIconHost = QStringLiteral("servercfg.ini:FunctionMenu/menuIconHost");

QVariantMap category(const QString &name, const QVariant &image, const QVariantList &products)
{
    QVariantMap c{{"CAT_NAME", name}, {"children", QVariantList{}}, {"productions", products}};
    if (image.isValid())
        c.insert("CAT_IMAGE", image);
    return c;
}

void hover(QWidget *w, QEvent::Type type)
{
    QHoverEvent event(type, QPointF(5, 5), QPointF(-1, -1));
    QApplication::sendEvent(w, &event);
}

} // namespace

// Stands in for the host's main window.
class HostWindow : public QWidget
{
    Q_OBJECT
public:
    QStringList opened;
public slots:
    void openStringUrl(const QString &url) { opened << url; }
};

class TstNavigation : public QObject
{
    Q_OBJECT

    TestSkins m_skins;
    ServerTest::Fixture m_server;
    // Stands in for a server that answers badly: the tree routes answer m_answers
    // (path suffix -> status and body), the icon route knows no good picture.
    HttpTestServer m_fake;
    QString m_realUrl;
    QHash<QString, QPair<int, QByteArray>> m_answers;
    std::mutex m_mutex;
    std::atomic<int> m_iconRequests{0};

    std::unique_ptr<CPPageCategoryEdit> openTree(bool userMode)
    {
        auto tree = std::make_unique<CPPageCategoryEdit>(nullptr, true, userMode);
        if (userMode)
            tree->loadUserData(false);
        else
            tree->setProduct(kSteel, QString());
        tree->resize(300, 600);
        tree->show();
        const auto *add = tree->findChild<QPushButton *>("add_btn");
        if (!QTest::qWaitFor([add] { return add->isEnabled(); }, 5000))
            return nullptr;
        return tree;
    }

    void useFake(const QHash<QString, QPair<int, QByteArray>> &answers)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_answers = answers;
        ServerTest::useServer(m_fake.baseUrl() + "/");
    }

    // A read-only view with two menu entries, shown, its popup closed.
    std::unique_ptr<CPSelectProductView> hoverView()
    {
        auto view = std::make_unique<CPSelectProductView>(nullptr, false, true);
        const QVariantMap one{{"PRODUCT_CODE", "X1"}, {"PRODUCT_NAME", "一号"}}, two{{"PRODUCT_CODE", "X2"}, {"PRODUCT_NAME", "二号"}};
        view->loadMenuData({}, {}, {category("甲", {}, {one}), category("乙", {}, {two})});
        view->setGeometry(100, 100, 500, 400);
        view->show();
        QCursor::setPos(0, 0);
        return view;
    }

    // Hovers menu entry `i` with the cursor on it and waits for its popup.
    bool openPopup(CPSelectProductView *view, int i)
    {
        CPLeftMenuItem *item = view->menuBar()->items().at(i);
        QCursor::setPos(item->mapToGlobal(QPoint(5, 5)));
        hover(item, QEvent::HoverEnter);
        QTest::qWait(50);
        return !view->popup()->isVisible() // not at once
               && QTest::qWaitFor([&] { return view->popup()->isVisible() && view->currentIndex() == i; }, 2000);
    }

    static QPoint insidePopup(CPSelectProductView *view) { return view->popup()->mapToGlobal(QPoint(40, 40)); }

private slots:
    void initTestCase()
    {
        m_skins.install();
        QVERIFY(m_server.start());
        m_realUrl = m_server.server().baseUrl();
        m_fake.server().Post(R"(/user/compositepanel/(.*))", [this](const httplib::Request &req, httplib::Response &res) {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto answer = m_answers.value(QString::fromStdString(req.matches[1].str()), {200, "{\"success\":true}"});
            res.status = answer.first;
            res.set_content(answer.second.toStdString(), "application/json");
        });
        m_fake.server().Get(R"(/icons/(.*))", [this](const httplib::Request &req, httplib::Response &res) {
            ++m_iconRequests;
            if (req.matches[1] == "garbled.png")
                res.set_content("not a picture", "image/png");
            else
                res.status = 404;
        });
        QVERIFY(m_fake.start());
    }

    void init()
    {
        QVERIFY(useIdentity(m_server.server(), kUser));
        ServerTest::useServer(m_realUrl);
        WKCore::instance()->setValue(kIconHost, m_realUrl);
    }

    void add_data()
    {
        QTest::addColumn<bool>("userMode");
        QTest::addColumn<QString>("current");   // the item current before adding; empty: none
        QTest::addColumn<bool>("toRoot");
        QTest::addColumn<bool>("page");
        QTest::addColumn<QString>("parent");    // the parent it lands under; empty: the top level
        QTest::addColumn<bool>("belowCurrent"); // directly below the current item
        QTest::newRow("user, nothing current") << true << "" << false << false << "" << false;
        QTest::newRow("user, under a category") << true << "我的看板" << false << false << "我的看板" << false;
        QTest::newRow("user, page after a page") << true << "我的综合屏" << false << true << "我的看板" << true;
        QTest::newRow("user, to the root") << true << "我的看板" << true << true << "" << false;
        QTest::newRow("product, under a category") << false << "价格监测" << false << true << "价格监测" << false;
        QTest::newRow("product, after a top-level page") << false << "产品说明" << false << true << "" << true;
    }

    void add()
    {
        QFETCH(bool, userMode);
        QFETCH(QString, current);
        QFETCH(bool, toRoot);
        QFETCH(bool, page);
        QFETCH(QString, parent);
        QFETCH(bool, belowCurrent);
        auto tree = openTree(userMode);
        QVERIFY(tree);
        auto *model = tree->model();
        int currentRow = -1;
        if (!current.isEmpty()) {
            QStandardItem *item = findItem(model, current);
            QVERIFY(item);
            tree->tree()->setCurrentIndex(item->index());
            currentRow = item->row();
        }
        const QString name = QStringLiteral("新节点 ") + QTest::currentDataTag();
        onNextDialog<CPAddNode>([&](CPAddNode *form) {
            form->findChild<QRadioButton *>("rbRootNode")->setChecked(toRoot);
            form->findChild<QRadioButton *>("rbPage")->setChecked(page);
            form->findChild<QLineEdit *>("leName")->setText("   ");
            QCOMPARE(form->validateInput(), QStringLiteral("名称不能为空"));
            form->findChild<QLineEdit *>("leName")->setText(name);
            QCOMPARE(form->validateInput(), QString());
        });
        tree->add(true);

        QStandardItem *added = findItem(model, name);
        QVERIFY(added);
        QCOMPARE(tree->tree()->currentIndex(), added->index());
        const QVariantMap node = CategoryNode::nodeOf(added);
        QVERIFY(QRegularExpression("^[0-9A-F]{32}$").match(node.value("NODE_CODE").toString()).hasMatch());
        QCOMPARE(node.value("IS_CATEGORY").toBool(), !page);
        QCOMPARE(added->parent() ? added->parent()->text() : QString(), parent);
        if (belowCurrent)
            QCOMPARE(added->row(), currentRow + 1);
        else
            QCOMPARE(added->row(), (added->parent() ? added->parent()->rowCount() : model->rowCount()) - 1);

        // The server holds the node where the tree shows it, and its page.
        Place onServer;
        QTRY_VERIFY((onServer = find(serverTree(userMode), name)).row >= 0);
        QCOMPARE((QStringList{onServer.node.value("NODE_CODE").toString(), onServer.parent, onServer.node.value("PAD_ID").toString()}),
                 (QStringList{node.value("NODE_CODE").toString(), node.value("P_NODE_CODE").toString(), node.value("PAD_ID").toString()}));
        QCOMPARE(onServer.row, added->row());
        int status = 200;
        if (page)
            ServerTest::pageContent(node.value("PAD_ID").toString(), &status);
        QCOMPARE(status, 200);
    }

    void renameAndDelete_data()
    {
        QTest::addColumn<bool>("userMode");
        QTest::newRow("user") << true;
        QTest::newRow("product") << false;
    }

    void renameAndDelete()
    {
        QFETCH(bool, userMode);
        const QString name = QStringLiteral("待改名 ") + QTest::currentDataTag();
        const QString code = addOnServer(userMode, "ROOT", name, false);
        addOnServer(userMode, code, name + " 页", true);
        auto tree = openTree(userMode);
        QVERIFY(tree);
        tree->tree()->setCurrentIndex(QModelIndex());
        for (auto op : {&CPPageCategoryEdit::edit, &CPPageCategoryEdit::del}) {
            MessageBoxCatcher hint;
            hint.arm();
            (tree.get()->*op)();
            QCOMPARE(hint.text, QStringLiteral("请选中分类或页面节点"));
        }
        QStandardItem *item = findItem(tree->model(), name);
        QVERIFY(item);
        tree->tree()->setCurrentIndex(item->index());

        const QString renamed = name + " 已改";
        onNextDialog<CPEditNode>([&](CPEditNode *form) {
            QCOMPARE(form->name(), name);
            form->findChild<QLineEdit *>("leName")->setText(renamed);
        });
        tree->edit();
        QCOMPARE(item->text(), renamed);
        QTRY_COMPARE(find(serverTree(userMode), renamed).node.value("NODE_CODE").toString(), code);

        // Asked first: "No" keeps it.
        onNextModal<QMessageBox>([](QMessageBox *box) { box->done(QMessageBox::No); });
        tree->del();
        QVERIFY(findItem(tree->model(), renamed));
        onNextModal<QMessageBox>([](QMessageBox *box) { box->done(QMessageBox::Yes); });
        tree->del();
        QVERIFY(!findItem(tree->model(), renamed) && !findItem(tree->model(), name + " 页"));
        QTRY_VERIFY(find(serverTree(userMode), renamed).row < 0 && find(serverTree(userMode), name + " 页").row < 0);
    }

    void drop_data()
    {
        QTest::addColumn<bool>("userMode");
        QTest::addColumn<bool>("ontoCategory"); // else between the top-level rows, at row 0
        QTest::newRow("user, onto a category") << true << true;
        QTest::newRow("user, between rows") << true << false;
        QTest::newRow("product, onto a category") << false << true;
        QTest::newRow("product, between rows") << false << false;
    }

    void drop()
    {
        QFETCH(bool, userMode);
        QFETCH(bool, ontoCategory);
        const QString tag = QTest::currentDataTag();
        const QString target = addOnServer(userMode, "ROOT", "目标分类 " + tag, false);
        addOnServer(userMode, target, "已有页面 " + tag, true);
        addOnServer(userMode, "ROOT", "移动页面 " + tag, true);
        auto tree = openTree(userMode);
        QVERIFY(tree);
        CPTreeModel *model = tree->model();
        QStandardItem *source = findItem(model, "移动页面 " + tag);
        QStandardItem *category = findItem(model, "目标分类 " + tag);
        QVERIFY(source && category && category->isDropEnabled() && !source->isDropEnabled());

        // What the view does: the model takes the drop, then the view removes the dragged row.
        const QPersistentModelIndex from(source->index());
        std::unique_ptr<QMimeData> mime(model->mimeData({from}));
        QVERIFY(model->dropMimeData(mime.get(), Qt::MoveAction, ontoCategory ? -1 : 0, 0,
                                    ontoCategory ? category->index() : QModelIndex()));
        model->removeRow(from.row(), from.parent());

        // The move reaches the server half a second after the drop.
        QTest::qWait(250);
        QCOMPARE(find(serverTree(userMode), "移动页面 " + tag).parent, QStringLiteral("ROOT"));
        const QString parent = ontoCategory ? target : QStringLiteral("ROOT");
        const int row = ontoCategory ? 1 : 0;
        QTRY_COMPARE(find(serverTree(userMode), "移动页面 " + tag).row, row);
        QCOMPARE(find(serverTree(userMode), "移动页面 " + tag).parent, parent);
        QStandardItem *landed = findItem(model, "移动页面 " + tag);
        QCOMPARE(landed->row(), row);
        QCOMPARE(CategoryNode::nodeOf(landed).value("P_NODE_CODE").toString(), parent);
    }

    void saveAs_data()
    {
        QTest::addColumn<bool>("userMode");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("product");  // the target product (product mode)
        QTest::addColumn<QString>("category");
        QTest::newRow("user tree") << true << "我的综合屏" << "" << "收藏";
        QTest::newRow("another product") << false << "螺纹钢价格看板" << "铁矿石" << "铁矿石";
    }

    void saveAs()
    {
        QFETCH(bool, userMode);
        QFETCH(QString, page);
        QFETCH(QString, product);
        QFETCH(QString, category);
        auto tree = openTree(userMode);
        QVERIFY(tree);
        QStandardItem *source = findItem(tree->model(), page);
        QVERIFY(source);
        const QString title = QStringLiteral("另存 ") + QTest::currentDataTag();

        onNextModal<QMenu>([](QMenu *menu) {
            for (QAction *action : menu->actions()) {
                if (action->text() == QStringLiteral("另存为")) {
                    menu->setActiveAction(action);
                    QTest::keyClick(menu, Qt::Key_Return);
                }
            }
        });
        onNextDialog<CPSaveAsWidget>([&](CPSaveAsWidget *form) {
            QCOMPARE(form->findChild<QLineEdit *>("leTitle")->text(), page);
            QCOMPARE(form->validateInput(), QStringLiteral("请选择页面分类"));
            auto *products = form->findChild<QTreeWidget *>("prodCatTree");
            QCOMPARE(products->isVisibleTo(form), !userMode);
            if (!userMode) {
                QList<QTreeWidgetItem *> hits;
                QTRY_VERIFY(!(hits = products->findItems(product, Qt::MatchExactly | Qt::MatchRecursive)).isEmpty());
                emit products->itemClicked(hits.first(), 0);
            }
            auto *targets = form->findChild<QTreeView *>("padCatTree");
            const auto match = [targets](const QString &name) {
                return targets->model()->match(targets->model()->index(0, 0), Qt::DisplayRole, name, 1, Qt::MatchExactly | Qt::MatchRecursive);
            };
            QTRY_VERIFY(!match(category).isEmpty());
            QVERIFY(match(page).isEmpty()); // only categories are offered as targets
            targets->setCurrentIndex(match(category).first());
            form->findChild<QLineEdit *>("leTitle")->clear();
            QCOMPARE(form->validateInput(), QStringLiteral("请输入页面名称"));
            form->setPageTitle(title);
            QCOMPARE(form->validateInput(), QString());
        });
        MessageBoxCatcher done;
        done.arm();
        // What the offscreen platform says of any menu.
        ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("This plugin does not support raise()"));
        ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("This plugin does not support grabbing the keyboard"));
        tree->contextMenu(tree->tree()->visualRect(source->index()).center());
        const QString sourcePad = CategoryNode::nodeOf(source).value("PAD_ID").toString();
        QTRY_VERIFY(done.seen);
        QCOMPARE(done.text, QStringLiteral("另存为成功"));

        const QJsonArray targetTree = userMode ? serverTree(true) : serverTree(false, "P004");
        const Place copy = find(targetTree, title);
        QVERIFY(copy.row >= 0);
        QCOMPARE(copy.parent, find(targetTree, category).node.value("NODE_CODE").toString());
        QVERIFY(copy.node.value("PAD_ID").toString() != sourcePad);
        QCOMPARE(ServerTest::pageContent(copy.node.value("PAD_ID").toString()), ServerTest::pageContent(sourcePad));
        // The user tree shows the copy after its reload; a product tree shown is another product's.
        if (userMode)
            QTRY_VERIFY(findItem(tree->model(), title));
        else
            QVERIFY(!findItem(tree->model(), title));
    }

    void readOnlySections()
    {
        const QString empty = "空分类 " + CategoryNode::newCode().left(6);
        addOnServer(true, "ROOT", empty, false);
        addOnServer(true, "ROOT", "顶层页面", true);
        CPPageCategory view(nullptr, true);
        view.resize(300, 700);
        view.show();
        QSignalSpy picked(&view, &CPPageCategory::changePad);
        view.loadData();
        QStringList expected;
        for (const QJsonValue &v : serverTree(true))
            if (!v.toObject().value("IS_PAD").toBool())
                expected << v.toObject().value("NODE_NAME").toString();
        QTRY_COMPARE(view.sections().size(), expected.size());
        QStringList shown;
        for (CPPageCategoryItem *s : view.sections())
            shown << s->findChild<QLabel *>("catTitleLabel")->text();
        QCOMPARE(shown, expected);

        CPPageCategoryItem *board = view.sections().at(expected.indexOf("我的看板"));
        CPPageCategoryItem *last = view.sections().at(expected.indexOf(empty));
        QVERIFY(!last->tree());

        // One section open at a time.
        board->expandSection();
        last->expandSection();
        QVERIFY(!board->isExpanded() && last->isExpanded());
        board->expandSection();
        QVERIFY(board->isExpanded() && !last->isExpanded());

        // A page picked: the title with the root's name.
        auto *model = qobject_cast<QStandardItemModel *>(board->tree()->model());
        QStandardItem *page = findItem(model, "我的综合屏");
        QTest::mouseClick(board->tree()->viewport(), Qt::LeftButton, {}, board->tree()->visualRect(page->index()).center());
        QCOMPARE(QList<QVariantList>(picked), (QList<QVariantList>{{QString(zhpserver::seed::UserPad), "我的页面-我的综合屏"}}));
        QVERIFY(board->findChild<QLabel *>("catTitleLabel")->property("selected").toBool());
    }

    void titlesSentWithChangePad()
    {
        const auto titles = [](const QSignalSpy &spy) {
            QStringList sent;
            for (const QVariantList &args : spy)
                sent << args.at(1).toString();
            return sent;
        };
        // A product's sections open the page asked for, titled with the product only.
        CPPageCategory view(nullptr, false);
        QSignalSpy picked(&view, &CPPageCategory::changePad);
        view.setProduct(kSteel, QString::fromLatin1(zhpserver::seed::SeasonPad));
        QTRY_COMPARE(titles(picked), QStringList{"螺纹钢-粗钢产量季节性"});
        QCOMPARE(view.findChild<QLabel *>("left_page_prod_title")->text(), QStringLiteral("螺纹钢"));
        const QList<CPPageCategoryItem *> sections = view.sections();
        QCOMPARE(int(std::count_if(sections.begin(), sections.end(), [](CPPageCategoryItem *s) { return s->isExpanded(); })), 1);

        // The editable view opens the page it is given, titled with its category.
        CPSelectUserPadCategoryView userView(nullptr, true, true);
        QSignalSpy opened(&userView, &CPSelectUserPadCategoryView::changePad);
        userView.loadData(QString::fromLatin1(zhpserver::seed::UserEmptyPad));
        QTRY_COMPARE(titles(opened), QStringList{"我的页面-收藏-待编辑页面"});

        auto tree = openTree(false);
        QVERIFY(tree);
        QSignalSpy clicked(tree.get(), &CPPageCategoryEdit::changePad);
        for (const QString &name : {QStringLiteral("产品说明"), QStringLiteral("粗钢产量季节性"), QStringLiteral("季节性分析")}) {
            QStandardItem *item = findItem(tree->model(), name);
            QTest::mouseClick(tree->tree()->viewport(), Qt::LeftButton, {}, tree->tree()->visualRect(item->index()).center());
        }
        // A category opens nothing.
        QCOMPARE(titles(clicked), (QStringList{"螺纹钢-产品说明", "螺纹钢-季节性分析-粗钢产量季节性"}));
        QCOMPARE(tree->currentPadId(), QString::fromLatin1(zhpserver::seed::SeasonPad));
    }

    void badTreeAnswers_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("sections");
        QTest::addColumn<QString>("message"); // the box shown; empty: none
        QTest::addColumn<QStringList>("warnings");
        QTest::newRow("not an array") << 200 << QByteArray("{\"NODE_CODE\":\"A\"}") << QStringList()
                                      << "mNodeService\\.getUserData\\(\\) error: the tree answer is not an array" << QStringList();
        QTest::newRow("server failure") << 500 << QByteArray("{\"success\":false,\"message\":\"数据库不可用\"}") << QStringList()
                                        << "mNodeService\\.getUserData\\(\\) error: .*数据库不可用" << QStringList();
        QTest::newRow("not JSON") << 200 << QByteArray("<html>") << QStringList() << "mNodeService\\.getUserData\\(\\) error: .+" << QStringList();
        QTest::newRow("only pages") << 200
                                    << QByteArray(R"([{"NODE_CODE":"P","NODE_NAME":"页","IS_PAD":true,"PAD_ID":"X","CHILDREN":[]}])")
                                    << QStringList() << "" << QStringList();
        QTest::newRow("bad nodes")
            << 200
            << QByteArray(R"([{"NODE_CODE":1}, "text", {"NODE_CODE":"A","NODE_NAME":"<b>分类\nA</b>","IS_PAD":false,"CHILDREN":{"x":1}},
                              {"NODE_CODE":"B","NODE_NAME":"分类B","IS_PAD":"no"},
                              {"NODE_CODE":"C","NODE_NAME":"分类C","IS_PAD":false,"CHILDREN":[{"NODE_CODE":"D","NODE_NAME":"无页号","IS_PAD":true}]}])")
            << QStringList{"<b>分类\nA</b>", "分类C"} << ""
            << QStringList{"a node record has no NODE_CODE text", "a node record is not an object",
                           "node A has a CHILDREN that is not an array", "node B has no boolean IS_PAD",
                           "page node D has no PAD_ID"};
    }

    void badTreeAnswers()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QStringList, sections);
        QFETCH(QString, message);
        QFETCH(QStringList, warnings);
        useFake({{"user/tree", {status, body}}});
        for (int editable = 0; editable < 2; ++editable) {
            const QRegularExpression shown("^" + message + "$");
            if (!message.isEmpty())
                ZhpTest::expectMessage(QtWarningMsg, shown);
            for (const QString &w : warnings)
                ZhpTest::expectMessage(QtWarningMsg, "category tree: " + w);
            MessageBoxCatcher box;
            if (!message.isEmpty())
                box.arm();
            CPSelectUserPadCategoryView view(nullptr, editable, true);
            view.loadData(QString());
            if (!message.isEmpty()) {
                QTRY_VERIFY(box.seen);
                QVERIFY2(shown.match(box.text).hasMatch(), qPrintable(box.text));
            } else {
                QTest::qWait(300); // for a box that should not come
            }
            QStringList shownNames;
            if (editable) {
                for (int r = 0; r < view.categoryEdit()->model()->rowCount(); ++r)
                    if (CategoryNode::isCategory(CategoryNode::nodeOf(view.categoryEdit()->model()->item(r))))
                        shownNames << view.categoryEdit()->model()->item(r)->text();
            } else {
                for (CPPageCategoryItem *s : view.categoryView()->sections()) {
                    auto *label = s->findChild<QLabel *>("catTitleLabel");
                    QCOMPARE(label->textFormat(), Qt::PlainText);
                    shownNames << label->text();
                }
            }
            QCOMPARE(shownNames, sections);
        }
    }

    void failedWriteKeepsTheLocalEdit_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after"); // the new page, the renamed page, page P's parent
        QTest::newRow("add") << "add" << "添加失败，请刷新分类" << QStringList{"新页面", "", "分类A"};
        QTest::newRow("edit") << "edit" << "编辑失败，请刷新分类" << QStringList{"", "改名P", ""};
        QTest::newRow("delete") << "delete" << "删除失败，请刷新分类" << QStringList{"", "", ""};
        QTest::newRow("move") << "changePosition" << "修改位置失败，请刷新分类" << QStringList{"", "", "分类B"};
    }

    void failedWriteKeepsTheLocalEdit()
    {
        QFETCH(QString, op);
        QFETCH(QString, message);
        QFETCH(QStringList, after);
        const QByteArray tree = R"([{"NODE_CODE":"A","P_NODE_CODE":"ROOT","NODE_NAME":"分类A","IS_PAD":false,"CHILDREN":[
            {"NODE_CODE":"P","P_NODE_CODE":"A","NODE_NAME":"页面P","IS_PAD":true,"PAD_ID":"PAD1","CHILDREN":[]}]},
            {"NODE_CODE":"B","P_NODE_CODE":"ROOT","NODE_NAME":"分类B","IS_PAD":false,"CHILDREN":[]}])";
        useFake({{"user/tree", {200, tree}}, {"user/" + op, {500, "{\"success\":false,\"message\":\"写入被拒绝\"}"}}});
        auto view = openTree(true);
        QVERIFY(view);
        auto *model = view->model();
        view->tree()->setCurrentIndex(findItem(model, "页面P")->index());
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^" + message + " .*写入被拒绝"));
        if (op == "delete") {
            onNextModal<QMessageBox>([](QMessageBox *confirm) { confirm->done(QMessageBox::Yes); });
            view->del();
        }
        MessageBoxCatcher box;
        box.arm();
        if (op == "add" || op == "edit") {
            onNextDialog<QWidget>([op](QWidget *form) { form->findChild<QLineEdit *>("leName")->setText(op == "add" ? "新页面" : "改名P"); });
            op == "add" ? view->add(true) : view->edit();
        } else if (op == "changePosition") {
            const QPersistentModelIndex from(findItem(model, "页面P")->index());
            std::unique_ptr<QMimeData> mime(model->mimeData({from}));
            QVERIFY(model->dropMimeData(mime.get(), Qt::MoveAction, -1, 0, findItem(model, "分类B")->index()));
            model->removeRow(from.row(), from.parent());
        }
        QTRY_VERIFY(box.seen);
        QCOMPARE(box.text, message);
        const QStringList names = {findItem(model, "新页面") ? "新页面" : "", findItem(model, "改名P") ? "改名P" : "",
                                   findItem(model, "页面P") ? findItem(model, "页面P")->parent()->text() : ""};
        QCOMPARE(names, after);
    }

    void menuFromTheCatalogue()
    {
        CPSelectProductView view(nullptr, false, true);
        view.loadData(kProduct, QString());
        QStringList names;
        for (CPLeftMenuItem *item : view.menuBar()->items())
            names << item->text();
        QCOMPARE(names, (QStringList{"黑色金属", "有色金属", "能源化工", "农产品"}));
        for (CPLeftMenuItem *item : view.menuBar()->items())
            QTRY_VERIFY2(item->hasIcon(), qPrintable(item->text()));
        // The server's icon route gives nothing else.
        for (const char *path : {"menuicons/C99.png", "menuicons/..%2Fserver.h"}) {
            QNetworkAccessManager network;
            std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(m_realUrl + path))));
            QTRY_VERIFY(reply->isFinished());
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
        }
        QTRY_COMPARE(view.categoryView()->findChild<QLabel *>("left_page_prod_title")->text(), QStringLiteral("螺纹钢"));
        QTRY_VERIFY(!view.categoryView()->sections().isEmpty());

        // Sub-categories are groups with captions; products right under a root make one group without.
        const auto groups = [&](int page) {
            QStringList out;
            for (CPProductionCategory *g : view.popup()->groups(page)) {
                QStringList products;
                for (QPushButton *b : g->productButtons())
                    products << b->text();
                const QWidget *caption = g->findChild<QWidget *>("category_item_widget");
                out << (caption->isVisibleTo(g) ? g->findChild<QLabel *>("cat_item_text")->text() : "-") + ":" + products.join(',');
            }
            return out;
        };
        QCOMPARE(groups(0), (QStringList{"钢材:螺纹钢,热轧板卷,冷轧板卷", "炉料:铁矿石,焦炭,焦煤"}));
        QCOMPARE(groups(3), (QStringList{"-:大豆,玉米"}));
    }

    void iconsThatCannotBeHad()
    {
        WKCore::instance()->setValue(kIconHost, QString(m_fake.baseUrl() + "/icons/"));
        m_iconRequests = 0;
        CPLeftMenuBar bar;
        bar.setCategories({category("无图标", {}, {}), category("空图标", QVariant(QVariant::String), {}),
                           category("缺失", "missing.png", {}), category("乱码", "garbled.png", {})});
        QTRY_COMPARE(m_iconRequests.load(), 2);
        QTest::qWait(200);
        for (CPLeftMenuItem *item : bar.items())
            QVERIFY2(!item->hasIcon(), qPrintable(item->text()));

        // A host that does not answer at all.
        WKCore::instance()->setValue(kIconHost, QStringLiteral("http://127.0.0.1:1/"));
        bar.setCategories({category("无主机", "C10.png", {})});
        QTest::qWait(300);
        QVERIFY(!bar.items().first()->hasIcon());
    }

    void leavingTheItem_data()
    {
        QTest::addColumn<QString>("cursorTo"); // where the cursor goes when it leaves the entry
        QTest::addColumn<bool>("staysOpen");
        QTest::addColumn<int>("index");        // the popup's page / current index afterwards
        QTest::newRow("into the popup") << "popup" << true << -1;
        QTest::newRow("elsewhere") << "away" << false << -1;
        QTest::newRow("to the next entry") << "next" << true << 1;
    }

    void leavingTheItem()
    {
        QFETCH(QString, cursorTo);
        QFETCH(bool, staysOpen);
        QFETCH(int, index);
        auto view = hoverView();
        QVERIFY(openPopup(view.get(), 0));
        EventCounter hides({QEvent::Hide});
        view->popup()->installEventFilter(&hides);

        CPLeftMenuItem *next = view->menuBar()->items().at(1);
        QCursor::setPos(cursorTo == "popup" ? insidePopup(view.get())
                        : cursorTo == "next" ? next->mapToGlobal(QPoint(5, 5)) : QPoint(0, 0));
        hover(view->menuBar()->items().at(0), QEvent::HoverLeave);
        if (cursorTo == "next")
            hover(next, QEvent::HoverEnter);
        QTest::qWait(300);
        QCOMPARE(view->popup()->isVisible(), staysOpen);
        QCOMPARE(hides.count, staysOpen ? 0 : 1);
        QCOMPARE(view->currentIndex(), index);
        QCOMPARE(view->popup()->stack()->currentIndex(), qMax(index, 0));
        if (cursorTo != "popup")
            QCOMPARE(view->menuBar()->selectedItem(), cursorTo == "next" ? next : nullptr);
    }

    void leavingThePopupClosesItLater()
    {
        auto view = hoverView();
        QVERIFY(openPopup(view.get(), 0));
        QCursor::setPos(insidePopup(view.get()));
        hover(view->menuBar()->items().at(0), QEvent::HoverLeave);
        QTest::qWait(200);
        QCursor::setPos(0, 0);
        hover(view->popup(), QEvent::HoverLeave);
        QTest::qWait(300);
        QVERIFY(view->popup()->isVisible());
        QTRY_VERIFY(!view->popup()->isVisible());
        QVERIFY(!view->menuBar()->selectedItem());

        // Back on the bar before the time is up: it stays.
        QVERIFY(openPopup(view.get(), 1));
        hover(view->popup(), QEvent::HoverLeave);
        QTest::qWait(700);
        QVERIFY(view->popup()->isVisible());
    }

    void rightClickAndRightEdge()
    {
        auto view = hoverView();
        QVERIFY(openPopup(view.get(), 0));
        CPPopupMenuDialog *popup = view->popup();
        // It covers the category column, as tall as the bar.
        QCOMPARE(popup->pos(), view->categoryView()->mapToGlobal(QPoint(0, 0)));
        QCOMPARE(popup->height(), view->menuBar()->height());
        const QPoint edge(popup->width() - 1, 50);
        QCursor::setPos(popup->mapToGlobal(edge));
        sendMouse(popup, QEvent::MouseMove, edge, Qt::NoButton, Qt::NoButton);
        QCOMPARE(popup->cursor().shape(), Qt::SizeHorCursor);
        const int left = popup->mapToGlobal(QPoint(0, 0)).x();
        // The edge drag grabs the mouse and lets it go, which the offscreen platform only reports.
        for (int i = 0; i < 2; ++i)
            ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("This plugin does not support grabbing the mouse"));
        sendMouse(popup, QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
        sendMouse(popup, QEvent::MouseMove, edge + QPoint(80, 0), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(popup->width(), popup->mapToGlobal(edge + QPoint(80, 0)).x() - left);
        sendMouse(popup, QEvent::MouseButtonRelease, edge + QPoint(80, 0), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(popup->cursor().shape(), Qt::ArrowCursor);

        sendMouse(popup, QEvent::MouseButtonPress, QPoint(20, 20), Qt::RightButton, Qt::RightButton);
        QVERIFY(!popup->isVisible());
    }

    void pickingAProduct_data()
    {
        QTest::addColumn<bool>("editable");
        QTest::newRow("read-only: analysis page") << false;
        QTest::newRow("editable: the product's tree") << true;
    }

    void pickingAProduct()
    {
        QFETCH(bool, editable);
        HostWindow host;
        WKApplication::setMainWindow(&host);
        CPSelectProductView view(nullptr, editable, true);
        view.loadData(QString(), QString());
        view.show();
        QVERIFY(openPopup(&view, 0));
        QPushButton *ironOre = nullptr;
        for (CPProductionCategory *g : view.popup()->groups(0))
            for (QPushButton *b : g->productButtons())
                ironOre = b->text() == QStringLiteral("铁矿石") ? b : ironOre;
        QVERIFY(ironOre);
        QTest::mouseClick(ironOre, Qt::LeftButton);
        QVERIFY(ironOre->property("selected").toBool());
        QVERIFY(!view.popup()->isVisible());
        QCOMPARE(view.currentIndex(), -1);
        if (editable) {
            QVERIFY(host.opened.isEmpty());
            QTRY_VERIFY(findItem(view.categoryEdit()->model(), "铁矿石价格与库存"));
            QCOMPARE(view.categoryEdit()->findChild<QLabel *>("left_page_prod_title")->text(), QStringLiteral("铁矿石"));
        } else {
            QCOMPARE(host.opened.size(), 1);
            QCOMPARE(QUrl(host.opened.first()), QUrl("view://analysis?title=铁矿石-分析页面&product=P004"));
        }
        WKApplication::setMainWindow(nullptr);
    }
};

QTEST_MAIN(TstNavigation)
#include "tst_navigation.moc"
