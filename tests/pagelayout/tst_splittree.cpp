// The page content tree: restoring, saving, components, decorations and chart view resets.
#include "pagetestutil.h"

#include "wk/wkeventbus.h"

#include <QMimeData>
#include <QToolButton>

using namespace HXCPControls;
using namespace PageTest;

namespace {

// Four items, three of them in a nested splitter.
const char *kNested = R"({"zhpArgs": {"code": "RB"}, "rootItemType": "HXCPControls::CPSplitter",
  "rootObj": {"orientation": 1, "children": [{"className": "HXCPControls::CPSplitItem", "url": "TestComponent"},
    {"className": "HXCPControls::CPSplitter", "orientation": 2, "children": [{"className": "HXCPControls::CPSplitItem"},
      {"className": "HXCPControls::CPSplitItem", "url": "TitledComponent"}, {"className": "HXCPControls::CPSplitItem"}]}]}})";

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
        item.setContentUrl(QUrl("TestComponent?k=v"));
        QCOMPARE(changed.count(), 1);
        QPointer<QWidget> first = item.content();
        QVERIFY(qobject_cast<TestComponent *>(first));
        QCOMPARE(first->property("k").toString(), QString("v"));
        item.setContentUrl(QUrl("TestComponent?k=v"));
        QCOMPARE(changed.count(), 1); // the same URL does nothing

        // A URL that creates nothing keeps the component but takes the URL.
        item.setContentUrl(QUrl("Unregistered?x=1"));
        QCOMPARE(item.content(), first.data());
        QCOMPARE(item.contentUrl(), QUrl("Unregistered?x=1"));

        // A new component replaces the old one, which is deleted later, and names the item.
        item.setContentUrl(QUrl("TitledComponent"));
        QVERIFY(item.content() != first.data());
        QCOMPARE(item.windowTitle(), QString("带标题组件"));
        QTRY_VERIFY(!first);

        const std::unique_ptr<QWidget> taken(item.takeContent());
        QVERIFY(taken && !taken->parentWidget() && !item.content() && item.contentUrl().isEmpty() && item.acceptDrops());
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

    void onlyPaletteDragsAreTaken()
    {
        // A palette drop is the editor's test; other data is refused.
        CPSplitItem item;
        QMimeData text;
        text.setText("TestComponent");
        QDragEnterEvent other(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
        other.accept();
        QApplication::sendEvent(&item, &other);
        QVERIFY(!other.isAccepted());
        QVERIFY(!item.property("dragIn").toBool());
    }
};

QTEST_MAIN(TstSplitTree)
#include "tst_splittree.moc"
