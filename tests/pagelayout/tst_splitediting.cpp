// Editing a page's split tree: splits, deletes and the handles' grab area.
#include "pagetestutil.h"
#include "testcomponent.h"
#include "zhptest.h"

#include "pagelayout/cpsplititem.h"
#include "pagelayout/cpsplitter.h"
#include "pagelayout/cpsplitterhandle.h"
#include "pagelayout/cpsplitview.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QToolButton>

using namespace HXCPControls;
using PageTest::fromJson;

namespace {

QByteArray threeItems(int orientation, const char *sizes)
{
    return QByteArray(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":)")
           + QByteArray::number(orientation) + R"(,"sizes":)" + sizes + R"(,"children":[
             {"className":"HXCPControls::CPSplitItem","title":"a"},
             {"className":"HXCPControls::CPSplitItem","title":"b"},
             {"className":"HXCPControls::CPSplitItem","title":"c"}]}})";
}

struct Page {
    CPSplitView view;
    explicit Page(const QVariantMap &content, QSize size = QSize(801, 400))
    {
        view.restore(content);
        view.resize(size);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        settle();
    }
    void settle() { PageTest::settle(&view); }
    CPSplitter *root() const { return qobject_cast<CPSplitter *>(view.rootItem()); }
};

CPSplitItem *itemAt(CPSplitter *splitter, int i)
{
    return qobject_cast<CPSplitItem *>(splitter->widget(i));
}

} // namespace

class TstSplitEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        TestComponent::registerIn();
    }

    void splitLoneRootToTheRight()
    {
        Page page{QVariantMap()};
        auto *old = qobject_cast<CPSplitItem *>(page.view.rootItem());
        old->onIndicator(SplitRight);
        CPSplitter *splitter = page.root();
        QVERIFY(splitter);
        QCOMPARE(splitter->orientation(), Qt::Horizontal);
        QCOMPARE(splitter->count(), 2);
        QCOMPARE(itemAt(splitter, 0), old);
        QVERIFY(itemAt(splitter, 1)->editModel());
        page.settle();
        QCOMPARE(splitter->sizes(), (QList<int>{400, 400}));
        QVERIFY(itemAt(splitter, 1)->hasFocus() || QApplication::focusWidget() == nullptr);

        // Handles of a splitter made by a split report releases to the view's chart reset.
        QSignalSpy moved(splitter, &CPSplitter::spliterHandleMoved);
        QTest::mouseRelease(splitter->handle(1), Qt::LeftButton);
        QCOMPARE(moved.count(), 1);
    }

    void splitLoneRootToTheTopAndLeft()
    {
        Page page{QVariantMap()};
        auto *old = qobject_cast<CPSplitItem *>(page.view.rootItem());
        old->onIndicator(SplitTop);
        QCOMPARE(page.root()->orientation(), Qt::Vertical);
        QVERIFY(itemAt(page.root(), 1) == old);
        old->onIndicator(SplitLeft);
        // Different orientation inside a splitter: a nested splitter takes the item's place.
        auto *nested = qobject_cast<CPSplitter *>(page.root()->widget(1));
        QVERIFY(nested);
        QCOMPARE(nested->orientation(), Qt::Horizontal);
        QCOMPARE(itemAt(nested, 1), old);
        QCOMPARE(page.view.findChildren<CPSplitItem *>().size(), 3);
    }

    void splitInsideASplitterOfTheSameOrientation()
    {
        Page page(fromJson(threeItems(1, "[200,301,200]")), QSize(703, 300));
        CPSplitter *splitter = page.root();
        QCOMPARE(splitter->sizes(), (QList<int>{200, 301, 200}));
        CPSplitItem *middle = itemAt(splitter, 1);
        middle->onIndicator(SplitRight);
        QCOMPARE(splitter->count(), 4);
        QCOMPARE(itemAt(splitter, 1), middle);
        const QList<int> sizes = splitter->sizes();
        // The others keep their sizes; the split one is halved, the new item getting the
        // odd pixel, and the new handle's pixel comes off the halves.
        QCOMPARE(sizes[0], 200);
        QCOMPARE(sizes[3], 200);
        QCOMPARE(sizes[1] + sizes[2], 301 - 1);
        QVERIFY(sizes[2] > sizes[1]);

        // New item first: it is inserted before the split one.
        CPSplitItem *first = itemAt(splitter, 0);
        first->onIndicator(SplitLeft);
        QCOMPARE(splitter->count(), 5);
        QCOMPARE(itemAt(splitter, 1), first);
        QCOMPARE(splitter->sizes()[0] + splitter->sizes()[1], 200);
    }

    void verticalSplitInAHorizontalSplitterNests()
    {
        Page page(fromJson(threeItems(1, "[200,300,200]")), QSize(702, 300));
        CPSplitItem *middle = itemAt(page.root(), 1);
        middle->onIndicator(SplitBottom);
        auto *nested = qobject_cast<CPSplitter *>(page.root()->widget(1));
        QVERIFY(nested);
        QCOMPARE(nested->orientation(), Qt::Vertical);
        QCOMPARE(itemAt(nested, 0), middle);
        QCOMPARE(page.root()->count(), 3);
        page.settle();
        QCOMPARE(page.root()->sizes()[0], 200);
    }

    void deletingOneOfTwoUnderTheViewPromotesTheOther()
    {
        Page page{QVariantMap()};
        auto *first = qobject_cast<CPSplitItem *>(page.view.rootItem());
        first->onIndicator(SplitRight);
        CPSplitItem *second = itemAt(page.root(), 1);
        QPointer<CPSplitter> splitter = page.root();
        second->onIndicator(DeleteLayout);
        QCOMPARE(page.view.rootItem(), first);
        QVERIFY(!splitter);
        page.settle();
        QVERIFY(first->isVisible());

        // A root item cannot be deleted.
        first->onIndicator(DeleteLayout);
        QCOMPARE(page.view.rootItem(), first);
    }

    void deletingInANestedSplitterLiftsTheRest()
    {
        Page page(fromJson(threeItems(1, "[200,300,200]")), QSize(702, 300));
        CPSplitItem *middle = itemAt(page.root(), 1);
        middle->onIndicator(SplitBottom);
        page.settle();
        const QList<int> outer = page.root()->sizes();
        auto *nested = qobject_cast<CPSplitter *>(page.root()->widget(1));
        CPSplitItem *added = itemAt(nested, 1);
        added->onIndicator(DeleteLayout);
        QCOMPARE(page.root()->count(), 3);
        QCOMPARE(itemAt(page.root(), 1), middle);
        QCOMPARE(page.root()->sizes(), outer);
        QVERIFY(page.view.findChildren<CPSplitter *>().size() == 1);
    }

    void deletingTheLastOfThreeGivesItsSizeToTheSecond()
    {
        Page page(fromJson(threeItems(2, "[100,150,147]")), QSize(300, 399));
        CPSplitter *splitter = page.root();
        QCOMPARE(splitter->sizes(), (QList<int>{100, 150, 147}));
        itemAt(splitter, 2)->onIndicator(DeleteLayout);
        QCOMPARE(splitter->count(), 2);
        const QList<int> sizes = splitter->sizes();
        QCOMPARE(sizes[0], 100);
        QCOMPARE(sizes[1], 297 + 1); // the freed handle's pixel too

        // The first of three gives its size to the next.
        Page other(fromJson(threeItems(2, "[100,150,147]")), QSize(300, 399));
        itemAt(other.root(), 0)->onIndicator(DeleteLayout);
        QCOMPARE(other.root()->sizes()[0] + other.root()->sizes()[1], 397 + 1);
        QCOMPARE(other.root()->sizes()[1], 147);
    }

    void splitFailsWithoutARoot()
    {
        CPSplitView view;
        auto *item = new CPSplitItem(&view);
        // The item sits under the view but is not its root.
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^splitPrivate--->failed: HXCPControls::CPSplitter"));
        item->onIndicator(SplitRight);
        QVERIFY(!view.rootItem());
        QCOMPARE(view.findChildren<CPSplitter *>().size(), 0);
    }

    void indicatorButtonsSplit()
    {
        Page page{QVariantMap()};
        auto *item = qobject_cast<CPSplitItem *>(page.view.rootItem());
        auto *down = item->indicator()->findChild<QPushButton *>("pbDown");
        QVERIFY(down);
        QCOMPARE(down->toolTip(), QString("split to bottom"));
        QCOMPARE(item->indicator()->findChild<QPushButton *>("pbLeft")->toolTip(), QString("splite to left"));
        down->click();
        QTRY_VERIFY(page.root());
        QCOMPARE(page.root()->orientation(), Qt::Vertical);
        QCOMPARE(itemAt(page.root(), 0), item);

        // The indicator of an item is centred; its setting button sits top right.
        page.settle();
        CPSplitItem *bottom = itemAt(page.root(), 1);
        const QRect ind = bottom->indicator()->geometry();
        QVERIFY(qAbs(ind.center().x() - bottom->width() / 2) <= 1);
        QCOMPARE(bottom->settingButton()->geometry().topLeft(), QPoint(bottom->width() - 5 - 16, 3));
    }

    void grabAreaFollowsTheSetting()
    {
        const QString ini = QCoreApplication::applicationDirPath() + "/start.ini";
        QFile::remove(ini);
        {
            CPSplitter splitter;
            splitter.addWidget(new QWidget);
            splitter.addWidget(new QWidget);
            splitter.resize(200, 100);
            splitter.show();
            QVERIFY(QTest::qWaitForWindowExposed(&splitter));
            QCOMPARE(CPSplitterHandle::grabWidth(), 10);
            QSplitterHandle *handle = splitter.handle(1);
            QTRY_COMPARE(handle->contentsMargins(), QMargins(4, 0, 4, 0));
            QVERIFY(handle->testAttribute(Qt::WA_MouseNoMask));
        }
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[SplitHandler]\ngrapMouseWidth=1\n");
        }
        {
            CPSplitter splitter(Qt::Vertical, nullptr, nullptr);
            splitter.addWidget(new QWidget);
            splitter.addWidget(new QWidget);
            splitter.resize(100, 200);
            splitter.show();
            QVERIFY(QTest::qWaitForWindowExposed(&splitter));
            QCOMPARE(CPSplitterHandle::grabWidth(), 1);
            QSplitterHandle *handle = splitter.handle(1);
            QCOMPARE(handle->contentsMargins(), QMargins(0, 0, 0, 0));
            QVERIFY(!handle->testAttribute(Qt::WA_MouseNoMask));
            QVERIFY(handle->mask().isEmpty());
        }
        QFile::remove(ini);
    }
};

QTEST_MAIN(TstSplitEditing)
#include "tst_splitediting.moc"
