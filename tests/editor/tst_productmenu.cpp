// The product menu: the bar and popup built from the seeded catalogue,
// icons from the server's icon route, the popup's hover and timer rules,
// its resizing edge, and what picking a product does.
#include "navigationtest.h"

#include "editor/navigation/cpleftmenubar.h"
#include "editor/navigation/cpleftmenuitem.h"
#include "editor/navigation/cppagecategory.h"
#include "editor/navigation/cppagecategoryedit.h"
#include "editor/navigation/cppopupmenudialog.h"
#include "editor/navigation/cpproductioncategory.h"
#include "editor/navigation/cpselectproductview.h"
#include "editor/navigation/cptreemodel.h"
#include "httptestserver.h"
#include "wk/wkapplication.h"

#include <httplib.h>

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QUrlQuery>

using namespace HXCPControls;
using namespace NavTest;

namespace {

const QString kIconHost = QStringLiteral("servercfg.ini:FunctionMenu/menuIconHost");

QVariantMap category(const QString &name, const QVariant &image, const QVariantList &products)
{
    QVariantMap c{{"CAT_NAME", name}, {"children", QVariantList{}}, {"productions", products}};
    if (image.isValid())
        c.insert("CAT_IMAGE", image);
    return c;
}

QVariantMap product(const QString &code, const QString &name)
{
    return {{"PRODUCT_CODE", code}, {"PRODUCT_NAME", name}};
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

class TstProductMenu : public QObject
{
    Q_OBJECT

    TestSkins m_skins;
    ServerTest::Fixture m_server;
    HttpTestServer m_icons;
    std::atomic<int> m_iconRequests{0};

    // A read-only view with two menu entries, shown, its popup closed.
    std::unique_ptr<CPSelectProductView> hoverView()
    {
        auto view = std::make_unique<CPSelectProductView>(nullptr, false, true);
        view->loadMenuData({}, {}, {category("甲", {}, {product("X1", "一号")}), category("乙", {}, {product("X2", "二号")})});
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
        QVERIFY(useIdentity(m_server.server(), kUser));
        m_icons.server().Get(R"(/icons/(.*))", [this](const httplib::Request &req, httplib::Response &res) {
            ++m_iconRequests;
            if (req.matches[1] == "garbled.png")
                res.set_content("not a picture", "image/png");
            else
                res.status = 404;
        });
        QVERIFY(m_icons.start());
    }

    void init()
    {
        WKCore::instance()->setValue(kIconHost, m_server.server().baseUrl());
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
            std::unique_ptr<QNetworkReply> reply(network.get(QNetworkRequest(QUrl(m_server.server().baseUrl() + path))));
            QTRY_VERIFY(reply->isFinished());
            QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 404);
        }
        // The tree shows the product asked for.
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
        WKCore::instance()->setValue(kIconHost, QString(m_icons.baseUrl() + "/icons/"));
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
        int hides = 0;
        struct HideCounter : QObject {
            int *n;
            bool eventFilter(QObject *, QEvent *e) override { *n += e->type() == QEvent::Hide; return false; }
        } counter;
        counter.n = &hides;
        view->popup()->installEventFilter(&counter);

        CPLeftMenuItem *next = view->menuBar()->items().at(1);
        QCursor::setPos(cursorTo == "popup" ? insidePopup(view.get())
                        : cursorTo == "next" ? next->mapToGlobal(QPoint(5, 5)) : QPoint(0, 0));
        hover(view->menuBar()->items().at(0), QEvent::HoverLeave);
        if (cursorTo == "next")
            hover(next, QEvent::HoverEnter);
        QTest::qWait(300);
        QCOMPARE(view->popup()->isVisible(), staysOpen);
        QCOMPARE(view->currentIndex(), index);
        if (staysOpen)
            QCOMPARE(hides, 0);
        if (cursorTo == "next") {
            QCOMPARE(view->popup()->stack()->currentIndex(), 1);
            QCOMPARE(view->menuBar()->selectedItem(), next);
        }
        if (!staysOpen)
            QVERIFY(!view->menuBar()->selectedItem());
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
        QVERIFY(popup->onRightEdge());
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
        sendMouse(popup, QEvent::MouseMove, QPoint(20, 20), Qt::NoButton, Qt::NoButton);
        QVERIFY(!popup->onRightEdge());

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
            const QUrl url(host.opened.first());
            QCOMPARE(url.scheme() + "://" + url.host(), QStringLiteral("view://analysis"));
            const QUrlQuery query(url);
            QCOMPARE(query.queryItemValue("title", QUrl::FullyDecoded), QStringLiteral("铁矿石-分析页面"));
            QCOMPARE(query.queryItemValue("product"), QStringLiteral("P004"));
        }
        WKApplication::setMainWindow(nullptr);
    }
};

QTEST_MAIN(TstProductMenu)
#include "tst_productmenu.moc"
