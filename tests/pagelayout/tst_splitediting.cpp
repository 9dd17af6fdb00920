// Editing a page's split tree: splits, deletes and the handles' grab area.
#include "pagetestutil.h"

#include "pagelayout/cpsplitterhandle.h"

#include <QFile>
#include <QPushButton>
#include <QToolButton>

using namespace HXCPControls;
using PageTest::fromJson;

namespace {

QVariantMap threeItems(int orientation, const char *sizes)
{
    return fromJson(QByteArray(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":)")
                    + QByteArray::number(orientation) + R"(,"sizes":)" + sizes + R"(,"children":[
             {"className":"HXCPControls::CPSplitItem","title":"a"},
             {"className":"HXCPControls::CPSplitItem","title":"b"},
             {"className":"HXCPControls::CPSplitItem","title":"c"}]}})");
}

struct Page {
    CPSplitView view;
    explicit Page(const QVariantMap &content, QSize size = QSize(801, 801)) { PageTest::showRestored(view, content, size); }
    void settle() { PageTest::settle(&view); }
    CPSplitter *root() const { return qobject_cast<CPSplitter *>(view.rootItem()); }
    CPSplitItem *lone() const { return qobject_cast<CPSplitItem *>(view.rootItem()); }
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
    void initTestCase() { PageTest::initCase(); }

    void splitLoneRoot_data()
    {
        QTest::addColumn<int>("indicator");
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<int>("oldIndex");
        QTest::newRow("left") << int(SplitLeft) << Qt::Horizontal << 1;
        QTest::newRow("right") << int(SplitRight) << Qt::Horizontal << 0;
        QTest::newRow("top") << int(SplitTop) << Qt::Vertical << 1;
        QTest::newRow("bottom") << int(SplitBottom) << Qt::Vertical << 0;
    }
    void splitLoneRoot()
    {
        QFETCH(int, indicator);
        QFETCH(Qt::Orientation, orientation);
        QFETCH(int, oldIndex);
        Page page{QVariantMap()};
        CPSplitItem *old = page.lone();
        old->onIndicator(Indicator(indicator));
        CPSplitter *splitter = page.root();
        QVERIFY(splitter);
        QCOMPARE(splitter->orientation(), orientation);
        QCOMPARE(splitter->count(), 2);
        QCOMPARE(itemAt(splitter, oldIndex), old);
        CPSplitItem *added = itemAt(splitter, 1 - oldIndex);
        QVERIFY(added->editModel());
        page.settle();
        QCOMPARE(splitter->sizes(), (QList<int>{400, 400}));
        QVERIFY(added->hasFocus() || QApplication::focusWidget() == nullptr);

        // Handles of a splitter made by a split report releases to the view's chart reset.
        QSignalSpy moved(splitter, &CPSplitter::spliterHandleMoved);
        QTest::mouseRelease(splitter->handle(1), Qt::LeftButton);
        QCOMPARE(moved.count(), 1);
    }

    void splitInsideASplitterOfTheSameOrientation()
    {
        Page page(threeItems(1, "[200,301,200]"), QSize(703, 300));
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

    // A split across the splitter's orientation nests a splitter in the item's
    // place; deleting one of its two items lifts the other back.
    void crossSplitNestsAndDeleteLifts()
    {
        Page page(threeItems(1, "[200,300,200]"), QSize(702, 300));
        CPSplitItem *first = itemAt(page.root(), 0);
        CPSplitItem *middle = itemAt(page.root(), 1);
        middle->onIndicator(SplitBottom);
        first->onIndicator(SplitTop);
        QCOMPARE(page.root()->count(), 3);
        auto *nested = qobject_cast<CPSplitter *>(page.root()->widget(1));
        QVERIFY(nested);
        QCOMPARE(nested->orientation(), Qt::Vertical);
        QCOMPARE(itemAt(nested, 0), middle);
        auto *nestedFirst = qobject_cast<CPSplitter *>(page.root()->widget(0));
        QVERIFY(nestedFirst);
        QCOMPARE(itemAt(nestedFirst, 1), first);
        page.settle();
        const QList<int> outer = page.root()->sizes();
        QCOMPARE(outer[0], 200);

        itemAt(nested, 1)->onIndicator(DeleteLayout);
        QCOMPARE(page.root()->count(), 3);
        QCOMPARE(itemAt(page.root(), 1), middle);
        QCOMPARE(page.root()->sizes(), outer);
        QCOMPARE(page.view.findChildren<CPSplitter *>().size(), 2);
    }

    void deletingOneOfTwoUnderTheViewPromotesTheOther()
    {
        Page page{QVariantMap()};
        CPSplitItem *first = page.lone();
        first->onIndicator(SplitRight);
        QPointer<CPSplitter> splitter = page.root();
        itemAt(splitter, 1)->onIndicator(DeleteLayout);
        QCOMPARE(page.view.rootItem(), first);
        QVERIFY(!splitter);
        page.settle();
        QVERIFY(first->isVisible());

        // A root item cannot be deleted.
        first->onIndicator(DeleteLayout);
        QCOMPARE(page.view.rootItem(), first);
    }

    void deletingOneOfThreeGivesItsSizeToTheNeighbour()
    {
        // The last gives its size to the one before it, with the freed handle's pixel.
        Page page(threeItems(2, "[100,150,147]"), QSize(300, 399));
        QCOMPARE(page.root()->sizes(), (QList<int>{100, 150, 147}));
        itemAt(page.root(), 2)->onIndicator(DeleteLayout);
        QCOMPARE(page.root()->sizes(), (QList<int>{100, 297 + 1}));

        // Any other gives it to the next.
        Page other(threeItems(2, "[100,150,147]"), QSize(300, 399));
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
        CPSplitItem *item = page.lone();
        item->indicator()->findChild<QPushButton *>("pbDown")->click();
        QTRY_VERIFY(page.root());
        QCOMPARE(page.root()->orientation(), Qt::Vertical);
        QCOMPARE(itemAt(page.root(), 0), item);

        // The indicator of an item is centred; its setting button sits top right.
        page.settle();
        CPSplitItem *bottom = itemAt(page.root(), 1);
        QVERIFY(qAbs(bottom->indicator()->geometry().center().x() - bottom->width() / 2) <= 1);
        QCOMPARE(bottom->settingButton()->geometry().topLeft(), QPoint(bottom->width() - 5 - 16, 3));
    }

    void grabAreaFollowsTheSetting()
    {
        const QString ini = QCoreApplication::applicationDirPath() + "/start.ini";
        QFile::remove(ini);
        auto check = [](Qt::Orientation orientation, int grab, const QMargins &margins, bool noMask) {
            CPSplitter splitter(orientation, nullptr, nullptr);
            splitter.addWidget(new QWidget);
            splitter.addWidget(new QWidget);
            splitter.resize(200, 200);
            splitter.show();
            QVERIFY(QTest::qWaitForWindowExposed(&splitter));
            QCOMPARE(CPSplitterHandle::grabWidth(), grab);
            QSplitterHandle *handle = splitter.handle(1);
            QTRY_COMPARE(handle->contentsMargins(), margins);
            QCOMPARE(handle->testAttribute(Qt::WA_MouseNoMask), noMask);
            if (!noMask)
                QVERIFY(handle->mask().isEmpty());
        };
        check(Qt::Horizontal, 10, QMargins(4, 0, 4, 0), true);
        {
            QFile f(ini);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[SplitHandler]\ngrapMouseWidth=1\n");
        }
        check(Qt::Vertical, 1, QMargins(0, 0, 0, 0), false);
        QFile::remove(ini);
    }
};

QTEST_MAIN(TstSplitEditing)
#include "tst_splitediting.moc"
