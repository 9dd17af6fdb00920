// The page content tree: restoring, saving, components, decorations and chart view resets.
#include "pagetestutil.h"
#include "testcomponent.h"
#include "zhptest.h"

#include "pagelayout/cpsplititem.h"
#include "pagelayout/cpsplitter.h"
#include "pagelayout/cpsplitview.h"
#include "wk/wkeventbus.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMimeData>
#include <QToolButton>

using namespace HXCPControls;
using namespace PageTest;

namespace {

QVariantMap saved(IWKMemory *node)
{
    QVariantMap map;
    node->save(map);
    return map;
}

const char *kNested = R"({
  "version": "1.0", "format": "json", "date": "202401011200", "zhpArgs": {"code": "RB"},
  "padID": "PAD-1", "zhpID": "Z-1", "rootItemType": "HXCPControls::CPSplitter",
  "rootObj": {
    "orientation": 1, "sizes": [300, 500],
    "children": [
      {"className": "HXCPControls::CPSplitItem", "url": "TestComponent?a=1&b=two",
       "id": "{11111111-2222-3333-4444-555555555555}", "child": {"rows": [1, 2, 3], "name": "x"},
       "minSize": "10:20", "maxSize": "16777215:16777215", "hPolicy": "Expanding", "vPolicy": "Fixed",
       "hStretch": 2, "vStretch": 0, "title": "左侧", "extra": "kept"},
      {"className": "HXCPControls::CPSplitter", "orientation": 2, "sizes": [100, 200, 50],
       "children": [
         {"className": "HXCPControls::CPSplitItem", "url": "", "id": "{aaaaaaaa-0000-0000-0000-000000000001}",
          "minSize": "0:0", "maxSize": "16777215:16777215", "hPolicy": "Preferred", "vPolicy": "Preferred",
          "hStretch": 0, "vStretch": 0, "title": "----"},
         {"className": "HXCPControls::CPSplitItem", "url": "TitledComponent", "id": "{aaaaaaaa-0000-0000-0000-000000000002}",
          "title": ""},
         {"className": "HXCPControls::CPSplitItem"}
       ]}
    ]
  }
})";

class FakeChartView : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;
    int resets = 0;
public slots:
    void resetWebView(bool reload)
    {
        QVERIFY(!reload);
        ++resets;
    }
};

} // namespace

class TstSplitTree : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        TestComponent::registerIn();
    }

    void emptyContentGivesOneEmptyItem()
    {
        CPSplitView view;
        QVERIFY(!view.rootItem());
        view.setZhpID("old");
        view.restore(QVariantMap());
        QVERIFY(qobject_cast<CPSplitItem *>(view.rootItem()));
        QCOMPARE(view.zhpID(), QString());
        QVERIFY(view.zhpArgs().isEmpty());

        const QVariantMap map = saved(&view);
        QCOMPARE(map.value("version").toString(), QString("1.0"));
        QCOMPARE(map.value("format").toString(), QString("json"));
        QCOMPARE(map.value("rootItemType").toString(), QString("HXCPControls::CPSplitItem"));
        QCOMPARE(map.value("zhpID").toString(), QString());
        QCOMPARE(map.value("padID").toString(), QString());
        QVERIFY(map.value("zhpArgs").toMap().isEmpty());
        QVERIFY(map.value("date").toString().startsWith(QDate::currentDate().toString("yyyyMMdd")));
        // An item that was restored from nothing and never shown writes nothing back.
        QVERIFY(map.value("rootObj").toMap().isEmpty());
    }

    void neverShownItemsWriteBackWhatTheyStored()
    {
        const int created = TestComponent::s_created;
        const QVariantMap content = fromJson(kNested);
        CPSplitView view;
        view.restore(content);
        QCOMPARE(view.padID(), QString("PAD-1"));
        QCOMPARE(view.zhpID(), QString("Z-1"));
        QCOMPARE(view.zhpArgs().value("code").toString(), QString("RB"));
        QVERIFY(qobject_cast<CPSplitter *>(view.rootItem()));
        QCOMPARE(TestComponent::s_created, created); // nothing created before being shown

        QCOMPARE(withoutDates(saved(&view)), withoutDates(content));

        // And the same through JSON text, as a page stores it.
        const QByteArray text = QJsonDocument(QJsonObject::fromVariantMap(saved(&view))).toJson();
        CPSplitView again;
        again.restore(QJsonDocument::fromJson(text).object().toVariantMap());
        QCOMPARE(withoutDates(saved(&again)), withoutDates(content));
    }

    void shownItemsCreateTheirComponents()
    {
        CPSplitView view;
        view.restore(fromJson(kNested));
        view.resize(800, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        auto *root = qobject_cast<CPSplitter *>(view.rootItem());
        auto *first = qobject_cast<CPSplitItem *>(root->widget(0));
        QTRY_VERIFY(!first->restorePending());
        auto *component = qobject_cast<TestComponent *>(first->content());
        QVERIFY(component);
        QCOMPARE(component->property("a").toString(), QString("1"));
        QCOMPARE(component->property("b").toString(), QString("two"));
        QCOMPARE(component->property("url").toUrl(), QUrl("TestComponent?a=1&b=two"));
        QCOMPARE(component->state.value("name").toString(), QString("x"));
        QCOMPARE(first->windowTitle(), QString("左侧"));
        QCOMPARE(first->minimumSize(), QSize(10, 20));
        QCOMPARE(first->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(first->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(first->sizePolicy().horizontalStretch(), 2);

        // The component's title becomes the item's; an empty stored title keeps it.
        auto *inner = qobject_cast<CPSplitter *>(root->widget(1));
        QCOMPARE(inner->orientation(), Qt::Vertical);
        auto *titled = qobject_cast<CPSplitItem *>(inner->widget(1));
        QTRY_VERIFY(titled->content());
        QCOMPARE(titled->windowTitle(), QString("带标题组件"));
        // An object without any keys but its class name stays an empty item.
        auto *bare = qobject_cast<CPSplitItem *>(inner->widget(2));
        QTRY_VERIFY(!bare->restorePending());
        QVERIFY(!bare->content());
        QCOMPARE(bare->windowTitle(), QString("----"));

        const QVariantMap map = saved(&view);
        const QVariantMap firstSaved = map["rootObj"].toMap()["children"].toList()[0].toMap();
        QCOMPARE(firstSaved.value("className").toString(), QString("HXCPControls::CPSplitItem"));
        QCOMPARE(firstSaved.value("url").toString(), QString("TestComponent?a=1&b=two"));
        QCOMPARE(firstSaved.value("id").toString(), QString("{11111111-2222-3333-4444-555555555555}"));
        QCOMPARE(firstSaved.value("child").toMap().value("saved").toBool(), true);
        QCOMPARE(firstSaved.value("child").toMap().value("rows").toList().size(), 3);
        QCOMPARE(firstSaved.value("minSize").toString(), QString("10:20"));
        QCOMPARE(firstSaved.value("hPolicy").toString(), QString("Expanding"));
        QCOMPARE(firstSaved.value("hStretch").toInt(), 2);
        QCOMPARE(firstSaved.value("title").toString(), QString("左侧"));
        QVERIFY(!firstSaved.contains("extra")); // a shown item writes its own keys only
        // Sizes of a shown splitter are its real ones, filling the view.
        const QVariantList sizes = map["rootObj"].toMap()["sizes"].toList();
        QCOMPARE(sizes.size(), 2);
        QCOMPARE(sizes[0].toInt() + sizes[1].toInt() + root->handleWidth(), 800);
        // An item without a component writes no child.
        QVERIFY(!map["rootObj"].toMap()["children"].toList()[1].toMap()["children"].toList()[0].toMap().contains("child"));
    }

    void splitterEdgeCases()
    {
        // An empty children array keeps the splitter empty with its own orientation.
        CPSplitView view;
        view.restore(fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":2,"children":[],"sizes":[5]}})"));
        auto *splitter = qobject_cast<CPSplitter *>(view.rootItem());
        QVERIFY(splitter);
        QCOMPARE(splitter->count(), 0);
        QCOMPARE(splitter->orientation(), Qt::Horizontal);
        QVariantMap obj = saved(&view).value("rootObj").toMap();
        QCOMPARE(obj.value("children").toList().size(), 0);
        QCOMPARE(obj.value("orientation").toInt(), 1);

        // Size lists of another length than the children are passed on as they are.
        view.restore(fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":2,
            "children":[{"className":"HXCPControls::CPSplitItem"},{"className":"HXCPControls::CPSplitItem"}],
            "sizes":[70]}})"));
        obj = saved(&view).value("rootObj").toMap();
        QCOMPARE(obj.value("sizes").toList(), QVariantList{70});
        QCOMPARE(obj.value("orientation").toInt(), 2);
        view.resize(300, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QTRY_COMPARE(saved(&view).value("rootObj").toMap().value("sizes").toList().size(), 2);

        // Unknown class names and root types read as items; a bad orientation is ignored.
        CPSplitView other;
        other.restore(fromJson(R"({"rootItemType":"Nonsense","rootObj":{"url":"TestComponent"}})"));
        QVERIFY(qobject_cast<CPSplitItem *>(other.rootItem()));
        other.restore(fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":7,
            "children":[{"className":"Bogus"},{"className":5},{}], "sizes":["a",-4,null]}})"));
        auto *s = qobject_cast<CPSplitter *>(other.rootItem());
        QCOMPARE(s->count(), 3);
        QCOMPARE(s->orientation(), Qt::Horizontal);
        for (int i = 0; i < 3; ++i)
            QVERIFY(qobject_cast<CPSplitItem *>(s->widget(i)));
    }

    void malformedItemValues()
    {
        CPSplitView view;
        view.restore(fromJson(R"({"rootObj":{"minSize":"100","maxSize":"abc:300","hPolicy":"Sideways",
            "vPolicy":"Expanding","vStretch":300,"title":17,"url":42}})"));
        auto *item = qobject_cast<CPSplitItem *>(view.rootItem());
        const QSizePolicy before = item->sizePolicy();
        view.resize(200, 200);
        view.show();
        QTRY_VERIFY(!item->restorePending());
        QCOMPARE(item->minimumSize(), QSize(0, 0));     // no colon: kept
        QCOMPARE(item->maximumSize(), QSize(0, 300));   // a part that is not a number reads 0
        QCOMPARE(item->sizePolicy().horizontalPolicy(), before.horizontalPolicy());
        QCOMPARE(item->sizePolicy().verticalPolicy(), QSizePolicy::Expanding);
        QCOMPARE(item->sizePolicy().horizontalStretch(), before.horizontalStretch()); // absent: kept
        QCOMPARE(item->sizePolicy().verticalStretch(), 255);
        QCOMPARE(item->windowTitle(), QString("----")); // a title that is not text is ignored
        QVERIFY(!item->content());

        // Negative sizes are not applied.
        CPSplitView second;
        second.restore(fromJson(R"({"rootObj":{"minSize":"-5:10","maxSize":"20:-1"}})"));
        auto *other = qobject_cast<CPSplitItem *>(second.rootItem());
        second.show();
        QTRY_VERIFY(!other->restorePending());
        QCOMPARE(other->minimumSize(), QSize(0, 0));
        QCOMPARE(other->maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    }

    void identityIsKept()
    {
        CPSplitView view;
        view.restore(QVariantMap());
        view.show();
        auto *item = qobject_cast<CPSplitItem *>(view.rootItem());
        QTRY_VERIFY(!item->restorePending());
        const QString id = saved(item).value("id").toString();
        QVERIFY(!QUuid(id).isNull());
        QCOMPARE(saved(item).value("id").toString(), id);

        // An id without braces comes back as it was written; one that is no UUID is replaced.
        view.restore(fromJson(R"({"rootObj":{"id":"0f8fad5b-d9cb-469f-a165-70867728950e"}})"));
        item = qobject_cast<CPSplitItem *>(view.rootItem());
        QTRY_VERIFY(!item->restorePending());
        QCOMPARE(saved(item).value("id").toString(), QString("0f8fad5b-d9cb-469f-a165-70867728950e"));
        view.restore(fromJson(R"({"rootObj":{"id":"not-a-uuid"}})"));
        item = qobject_cast<CPSplitItem *>(view.rootItem());
        QTRY_VERIFY(!item->restorePending());
        const QString fresh = saved(item).value("id").toString();
        QVERIFY(!QUuid(fresh).isNull());
        QCOMPARE(saved(item).value("id").toString(), fresh);
    }

    void rootInstallationRefusals()
    {
        CPSplitView view;
        view.restore(QVariantMap());
        QWidget *root = view.rootItem();
        ZhpTest::expectMessage(QtWarningMsg, "set root item failed:newitem is nullptr");
        view.setRootItem(nullptr);
        QLabel label;
        ZhpTest::expectMessage(QtWarningMsg, "set root item failed:unknow root item");
        view.setRootItem(&label);
        ZhpTest::expectMessage(QtWarningMsg, "set root item failed:the same instance as the root item");
        view.setRootItem(root);
        QCOMPARE(view.rootItem(), root);

        // The old root is deleted later, not at once.
        QPointer<QWidget> old = root;
        view.setRootItem(new CPSplitItem(&view));
        QVERIFY(old);
        QTRY_VERIFY(!old);

        QWidget *taken = view.takeRootItem();
        QVERIFY(taken);
        QVERIFY(!view.rootItem());
        QVERIFY(!view.takeRootItem());
        delete taken;
    }

    void modesArePushedDown()
    {
        CPSplitView view;
        QSignalSpy editSpy(&view, &CPSplitView::editModelChanged);
        QSignalSpy adjustSpy(&view, &CPSplitView::adjustableChanged);
        view.restore(fromJson(kNested));
        view.resize(600, 400);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.property("editable").toBool());
        const auto items = view.findChildren<CPSplitItem *>();
        QCOMPARE(items.size(), 4);
        for (CPSplitItem *item : items) {
            QVERIFY(item->editModel());
            QVERIFY(item->settingButton()->isVisible());
            QVERIFY(item->indicator()->isVisible());
        }
        view.setEditModel(false);
        view.setEditModel(false);
        QCOMPARE(editSpy.count(), 1);
        QVERIFY(!view.property("editable").toBool());
        for (CPSplitItem *item : items) {
            QVERIFY(!item->editModel());
            QVERIFY(!item->settingButton()->isVisible());
            QVERIFY(!item->indicator()->isVisible());
        }
        // Splitters made under the view stop their handles from dragging in view mode.
        for (CPSplitter *splitter : view.findChildren<CPSplitter *>())
            QVERIFY(!splitter->dragAllowed());

        view.setAdjustable(false);
        QCOMPARE(adjustSpy.count(), 1);
        for (CPSplitter *splitter : view.findChildren<CPSplitter *>()) {
            QVERIFY(!splitter->handlesEnabled());
            for (int i = 1; i < splitter->count(); ++i)
                QVERIFY(!splitter->handle(i)->isEnabled());
        }

        QSignalSpy argsSpy(&view, &CPSplitView::zhpArgsChanged);
        view.setZhpArgs({{"code", "RB"}});
        QCOMPARE(argsSpy.count(), 0); // equal maps are no change
        view.setZhpArgs({{"code", "HC"}});
        QCOMPARE(argsSpy.count(), 1);
    }

    void contentUrlChanges()
    {
        CPSplitItem item;
        QSignalSpy changed(&item, &CPSplitItem::contentChanged);
        item.setContentUrl(QUrl("TestComponent"));
        QCOMPARE(changed.count(), 1);
        QPointer<QWidget> first = item.content();
        QVERIFY(qobject_cast<TestComponent *>(first));
        item.setContentUrl(QUrl("TestComponent"));
        QCOMPARE(changed.count(), 1); // the same URL does nothing

        // A URL that creates nothing keeps the component but takes the URL.
        item.setContentUrl(QUrl("Unregistered?x=1"));
        QCOMPARE(item.content(), first.data());
        QCOMPARE(item.contentUrl(), QUrl("Unregistered?x=1"));

        // A new component replaces the old one, which is deleted later.
        QSignalSpy titles(&item, &QWidget::windowTitleChanged);
        item.setContentUrl(QUrl("TitledComponent"));
        QVERIFY(item.content() != first.data());
        QCOMPARE(item.windowTitle(), QString("带标题组件"));
        QTRY_VERIFY(!first);
        item.content()->setWindowTitle("新标题");
        QVERIFY(titles.count() >= 2);
        QCOMPARE(titles.last().first().toString(), QString("新标题"));

        QWidget *taken = item.takeContent();
        QVERIFY(taken && !taken->parentWidget());
        QVERIFY(!item.content());
        QVERIFY(item.contentUrl().isEmpty());
        QVERIFY(item.acceptDrops());
        delete taken;
    }

    void chartViewsResetAfterLayoutChanges()
    {
        auto *view = new CPSplitView;
        FakeChartView a, b;
        view->registerChartView(&a);
        view->registerChartView(&b);
        QCOMPARE(view->chartViews().size(), 2);

        CPSplitView::notifyChartViewReset(view);
        QTest::qWait(100);
        QElapsedTimer sinceRestart;
        sinceRestart.start();
        CPSplitView::notifyChartViewReset(view); // restarts the 200 ms
        QTest::qWait(150);
        if (sinceRestart.elapsed() < 190) // only meaningful when the machine kept up
            QCOMPARE(a.resets, 0);
        QTRY_COMPARE(a.resets, 1);
        QCOMPARE(b.resets, 1);

        view->unregisterChartView(&b);
        QTRY_COMPARE(a.resets, 2);
        QCOMPARE(b.resets, 1);

        QVERIFY(CPSplitView::isAlive(view));
        delete view;
        QVERIFY(!CPSplitView::isAlive(view));
        CPSplitView::notifyChartViewReset(view); // a dead view is ignored
        QTest::qWait(250);
        QCOMPARE(a.resets, 2);
    }

    void focusIsMarked()
    {
        CPSplitView view;
        view.restore(fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":1,
            "children":[{"className":"HXCPControls::CPSplitItem","url":"TestComponent"},
                        {"className":"HXCPControls::CPSplitItem"}]}})"));
        view.resize(400, 200);
        view.show();
        QVERIFY(QTest::qWaitForWindowActive(&view));
        auto *splitter = qobject_cast<CPSplitter *>(view.rootItem());
        auto *left = qobject_cast<CPSplitItem *>(splitter->widget(0));
        auto *right = qobject_cast<CPSplitItem *>(splitter->widget(1));
        QTRY_VERIFY(left->content());
        left->content()->setFocusPolicy(Qt::StrongFocus);
        left->content()->setFocus();
        QTRY_VERIFY(left->property("focusIn").toBool());
        QVERIFY(!right->property("focusIn").toBool());
        right->setFocus();
        QTRY_VERIFY(right->property("focusIn").toBool());
        QVERIFY(!left->property("focusIn").toBool());
    }

    void paletteDragDisablesComponents()
    {
        CPSplitItem item;
        item.setContentUrl(QUrl("TestComponent"));
        QWidget *component = item.content();
        WKEventBus::instance()->send(new WKEvent("CPSplitItem#BeginDrag", "drag-1"));
        QVERIFY(!component->isEnabled());
        QCOMPARE(component->property("ProcessWKeventID").toString(), QString("drag-1"));
        WKEventBus::instance()->send(new WKEvent("CPSplitItem#EndDrag", "drag-2"));
        QVERIFY(!component->isEnabled());
        WKEventBus::instance()->send(new WKEvent("CPSplitItem#EndDrag", "drag-1"));
        QVERIFY(component->isEnabled());

        // Not in view mode, and not where another item lies below.
        item.setEditModel(false);
        WKEventBus::instance()->send(new WKEvent("CPSplitItem#BeginDrag", "drag-3"));
        QVERIFY(component->isEnabled());
        item.setEditModel(true);
        new CPSplitItem(component);
        WKEventBus::instance()->send(new WKEvent("CPSplitItem#BeginDrag", "drag-4"));
        QVERIFY(component->isEnabled());
    }

    void dropsFillItems()
    {
        CPSplitItem item;
        auto urlMime = [](const QUrl &url) {
            auto *mime = new QMimeData;
            QByteArray data;
            QDataStream stream(&data, QIODevice::WriteOnly);
            stream << url;
            mime->setData("txt/x-split-item", data);
            return mime;
        };
        std::unique_ptr<QMimeData> good(urlMime(QUrl("TestComponent?k=v")));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, good.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&item, &enter);
        QVERIFY(enter.isAccepted());
        QVERIFY(item.property("dragIn").toBool());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, good.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&item, &drop);
        QVERIFY(drop.isAccepted());
        QCOMPARE(drop.dropAction(), Qt::CopyAction);
        QVERIFY(!item.property("dragIn").toBool());
        QVERIFY(qobject_cast<TestComponent *>(item.content()));
        QCOMPARE(item.content()->property("k").toString(), QString("v"));

        QMimeData text;
        text.setText("TestComponent");
        QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        other.accept();
        QApplication::sendEvent(&item, &other);
        QVERIFY(!other.isAccepted());
    }
};

QTEST_MAIN(TstSplitTree)
#include "tst_splittree.moc"
