// The page content tree: restoring, saving, components, decorations and chart view resets.
#include "pagetestutil.h"

#include "wk/wkeventbus.h"

#include <QMimeData>
#include <QToolButton>

using namespace HXCPControls;
using namespace PageTest;

namespace {

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
    void initTestCase() { PageTest::initCase(); }

    void identityIsKept()
    {
        // A UUID comes back as it was written, with or without braces; else one is made once.
        for (const QString id : {"", "0f8fad5b-d9cb-469f-a165-70867728950e", "not-a-uuid"}) {
            CPSplitView view;
            showRestored(view, QVariantMap{{"rootObj", QVariantMap{{"id", id}}}});
            auto *item = qobject_cast<CPSplitItem *>(view.rootItem());
            const QString written = saved(item).value("id").toString();
            QVERIFY(!QUuid(written).isNull());
            if (!QUuid(id).isNull())
                QCOMPARE(written, id);
            QCOMPARE(saved(item).value("id").toString(), written);
        }
    }

    void rootInstallationRefusals()
    {
        CPSplitView view;
        view.restore(QVariantMap());
        QWidget *root = view.rootItem();
        QLabel label;
        const QList<QPair<QWidget *, const char *>> refused{{nullptr, "newitem is nullptr"}, {&label, "unknow root item"},
                                                            {root, "the same instance as the root item"}};
        for (const auto &[widget, reason] : refused) {
            ZhpTest::expectMessage(QtWarningMsg, QString("set root item failed:") + reason);
            view.setRootItem(widget);
            QCOMPARE(view.rootItem(), root);
        }

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
        showRestored(view, fromJson(kNested));
        const auto items = view.findChildren<CPSplitItem *>();
        QCOMPARE(items.size(), 4);
        for (bool edit : {true, false}) {
            view.setEditModel(edit);
            QCOMPARE(view.property("editable").toBool(), edit);
            for (CPSplitItem *item : items) {
                QCOMPARE(item->editModel(), edit);
                QCOMPARE(item->settingButton()->isVisible(), edit);
                QCOMPARE(item->indicator()->isVisible(), edit);
            }
        }
        view.setEditModel(false);
        QCOMPARE(editSpy.count(), 1);
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

        // Notices within the 200 ms restart the timer: one reset for both.
        CPSplitView::notifyChartViewReset(view);
        CPSplitView::notifyChartViewReset(view);
        QCOMPARE(a.resets, 0);
        QTRY_COMPARE(a.resets, 1);
        QTest::qWait(300);
        QCOMPARE(a.resets, 1);
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
        showRestored(view, fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":1,
            "children":[{"className":"HXCPControls::CPSplitItem","url":"TestComponent"},
                        {"className":"HXCPControls::CPSplitItem"}]}})"));
        QVERIFY(QTest::qWaitForWindowActive(&view));
        auto *splitter = qobject_cast<CPSplitter *>(view.rootItem());
        auto *left = qobject_cast<CPSplitItem *>(splitter->widget(0));
        auto *right = qobject_cast<CPSplitItem *>(splitter->widget(1));
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
