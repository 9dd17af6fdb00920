// Editing a page's split tree: sequences of splits and deletes, each step
// checked against the tree's invariants, the expected shape and a round trip
// through the content format; the handles' grab area.
#include "pagetestutil.h"

#include "pagelayout/cpsplitterhandle.h"
#include "pagelayout/splittree.h"

#include <QFile>
#include <QPushButton>

using namespace HXCPControls;
using PageTest::fromJson;

namespace {

QVariantMap threeItems(int orientation)
{
    return fromJson(QByteArray(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":)")
                    + QByteArray::number(orientation) + R"(,"sizes":[200,301,200],"children":[
             {"className":"HXCPControls::CPSplitItem","title":"a"},
             {"className":"HXCPControls::CPSplitItem","title":"b"},
             {"className":"HXCPControls::CPSplitItem","title":"c"}]}})");
}

// The tree as text: H(...) and V(...) for splitters, titles for items.
QString shape(QWidget *node)
{
    if (auto *splitter = qobject_cast<CPSplitter *>(node)) {
        QStringList parts;
        for (int i = 0; i < splitter->count(); ++i)
            parts << shape(splitter->widget(i));
        return QLatin1String(splitter->orientation() == Qt::Horizontal ? "H(" : "V(") + parts.join(',') + ')';
    }
    return node ? node->windowTitle() : QStringLiteral("null");
}

CPSplitItem *itemTitled(CPSplitView &view, const QString &title)
{
    for (CPSplitItem *item : view.findChildren<CPSplitItem *>()) {
        if (item->windowTitle() == title)
            return item;
    }
    return nullptr;
}

// One editing step: the item by title, the operation, the shape afterwards.
struct Step {
    QString item;
    Indicator op;
    QString shape;
};

} // namespace
Q_DECLARE_METATYPE(QList<Step>)

class TstSplitEditing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        PageTest::initCase();
        // The grab width is read once: from this file, before any handle needs it.
        QFile ini(QCoreApplication::applicationDirPath() + "/start.ini");
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[SplitHandler]\ngrapMouseWidth=7\n");
        ini.close();
        QCOMPARE(CPSplitterHandle::grabWidth(), 7);
        ini.remove();
    }

    void sequences_data()
    {
        QTest::addColumn<QVariantMap>("content");
        QTest::addColumn<QList<Step>>("steps");
        // New items are named d, e, f ... in order.
        QTest::newRow("lone root, every direction, deleted back") << QVariantMap() << QList<Step>{
            {"a", SplitRight, "H(a,d)"},          {"d", SplitBottom, "H(a,V(d,e))"}, {"e", SplitLeft, "H(a,V(d,H(f,e)))"},
            {"a", SplitTop, "H(V(g,a),V(d,H(f,e)))"}, {"f", DeleteLayout, "H(V(g,a),V(d,e))"}, {"e", DeleteLayout, "H(V(g,a),d)"},
            {"d", DeleteLayout, "V(g,a)"},        {"g", DeleteLayout, "a"},          {"a", DeleteLayout, "a"}};
        QTest::newRow("same orientation") << threeItems(1) << QList<Step>{
            {"b", SplitRight, "H(a,b,d,c)"}, {"a", SplitLeft, "H(e,a,b,d,c)"}, {"e", DeleteLayout, "H(a,b,d,c)"},
            {"c", DeleteLayout, "H(a,b,d)"}, {"b", DeleteLayout, "H(a,d)"}};
        QTest::newRow("across, nested splitter lifted") << threeItems(1) << QList<Step>{
            {"b", SplitBottom, "H(a,V(b,d),c)"}, {"a", SplitTop, "H(V(e,a),V(b,d),c)"}, {"d", DeleteLayout, "H(V(e,a),b,c)"},
            {"e", DeleteLayout, "H(a,b,c)"}};
        QTest::newRow("vertical, down to the root") << threeItems(2) << QList<Step>{
            {"c", DeleteLayout, "V(a,b)"}, {"a", SplitBottom, "V(a,d,b)"}, {"b", DeleteLayout, "V(a,d)"}, {"a", DeleteLayout, "d"}};
    }

    void sequences()
    {
        QFETCH(QVariantMap, content);
        QFETCH(QList<Step>, steps);
        CPSplitView view;
        PageTest::showRestored(view, content, QSize(801, 601));
        if (content.isEmpty())
            view.rootItem()->setWindowTitle("a");
        char next = 'd';
        for (const Step &step : steps) {
            CPSplitItem *item = itemTitled(view, step.item);
            QVERIFY2(item, qPrintable(step.item));
            item->onIndicator(step.op);
            if (CPSplitItem *added = itemTitled(view, "----")) {
                added->setWindowTitle(QString(QLatin1Char(next++)));
                QVERIFY(added->editModel());
            }
            ZhpTest::settle(&view);
            const QString what = step.item + QStringLiteral(" op %1").arg(int(step.op));
            QCOMPARE(shape(view.rootItem()), step.shape);
            const QStringList problems = SplitTree::problems(&view);
            QVERIFY2(problems.isEmpty(), qPrintable(what + ": " + problems.join("; ")));

            // The edited tree writes what builds the same tree again.
            const QVariantMap saved = PageTest::saved(&view);
            CPSplitView again;
            again.restore(saved);
            QCOMPARE(PageTest::withoutDates(PageTest::saved(&again)), PageTest::withoutDates(saved));
        }
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

    void indicatorButtonsAndHandles()
    {
        CPSplitView view;
        PageTest::showRestored(view, QVariantMap());
        CPSplitItem *item = qobject_cast<CPSplitItem *>(view.rootItem());
        item->indicator()->findChild<QPushButton *>("pbDown")->click();
        QTRY_VERIFY(qobject_cast<CPSplitter *>(view.rootItem()));
        auto *splitter = qobject_cast<CPSplitter *>(view.rootItem());
        QCOMPARE(splitter->orientation(), Qt::Vertical);

        // Handles of a splitter made by a split report releases to the view's chart reset.
        QSignalSpy moved(splitter, &CPSplitter::spliterHandleMoved);
        QTest::mouseRelease(splitter->handle(1), Qt::LeftButton);
        QCOMPARE(moved.count(), 1);
    }

    // Children laid out as QSplitter lays them out: stored sizes scaled to the
    // length, minimums kept, hidden children and the first handle left out.
    void layoutRules_data()
    {
        QTest::addColumn<Qt::Orientation>("orientation");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("stored");
        QTest::addColumn<QList<int>>("minimums");
        QTest::addColumn<QList<bool>>("hidden");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<QList<bool>>("handles");
        QTest::newRow("scaled") << Qt::Horizontal << 801 << QList<int>{100, 300} << QList<int>{0, 0} << QList<bool>{}
                                << QList<int>{200, 600} << QList<bool>{false, true};
        QTest::newRow("rounded") << Qt::Vertical << 402 << QList<int>{1, 2, 3} << QList<int>{0, 0, 0} << QList<bool>{}
                                 << QList<int>{67, 133, 200} << QList<bool>{false, true, true};
        QTest::newRow("minimum kept") << Qt::Horizontal << 401 << QList<int>{10, 390} << QList<int>{100, 0}
                                      << QList<bool>{} << QList<int>{100, 300} << QList<bool>{false, true};
        QTest::newRow("hidden child") << Qt::Horizontal << 201 << QList<int>{100, 100, 100} << QList<int>{0, 0, 0}
                                      << QList<bool>{false, true, false} << QList<int>{100, 0, 100}
                                      << QList<bool>{false, false, true};
        QTest::newRow("first hidden") << Qt::Vertical << 301 << QList<int>{100, 100, 100} << QList<int>{0, 0, 0}
                                      << QList<bool>{true, false, false} << QList<int>{0, 150, 150}
                                      << QList<bool>{false, false, true};
        QTest::newRow("size left out") << Qt::Horizontal << 401 << QList<int>{300} << QList<int>{0, 50} << QList<bool>{}
                                       << QList<int>{343, 57} << QList<bool>{false, true};
        QTest::newRow("window keeps minimums") << Qt::Horizontal << 101 << QList<int>{100, 100} << QList<int>{80, 40}
                                               << QList<bool>{} << QList<int>{80, 40} << QList<bool>{false, true};
    }

    void layoutRules()
    {
        QFETCH(Qt::Orientation, orientation);
        QFETCH(int, length);
        QFETCH(QList<int>, stored);
        QFETCH(QList<int>, minimums);
        QFETCH(QList<bool>, hidden);
        QFETCH(QList<int>, sizes);
        QFETCH(QList<bool>, handles);
        const bool horizontal = orientation == Qt::Horizontal;
        CPSplitter splitter(orientation, nullptr, nullptr);
        for (int i = 0; i < minimums.size(); ++i) {
            auto *child = new QWidget(&splitter);
            child->setMinimumSize(horizontal ? minimums[i] : 0, horizontal ? 0 : minimums[i]);
            child->setHidden(hidden.value(i));
        }
        splitter.setSizes(stored);
        splitter.resize(horizontal ? QSize(length, 50) : QSize(50, length));
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        QTRY_COMPARE(splitter.sizes(), sizes);
        for (int i = 0; i < splitter.count(); ++i)
            QCOMPARE(splitter.handle(i)->isVisible(), handles[i]);
    }

    void dragMovesOneBoundary()
    {
        CPSplitter splitter(Qt::Horizontal, nullptr, nullptr);
        for (int minimum : {0, 40, 0})
            (new QWidget(&splitter))->setMinimumWidth(minimum);
        splitter.setSizes({100, 100, 100});
        splitter.resize(302, 50);
        splitter.show();
        QVERIFY(QTest::qWaitForWindowExposed(&splitter));
        QTRY_COMPARE(splitter.sizes(), QList<int>({100, 100, 100}));
        CPSplitterHandle *handle = splitter.handle(1);
        QSignalSpy moved(&splitter, &CPSplitter::splitterMoved);
        auto mouse = [&](QEvent::Type type, int x) {
            const QPoint global = splitter.mapToGlobal(QPoint(x, 25));
            QMouseEvent event(type, handle->mapFromGlobal(global), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(handle, &event);
        };
        mouse(QEvent::MouseButtonPress, 100);
        // The third child stays; the neighbours keep their minimums.
        for (const auto &[x, expected] : {std::pair{130, QList<int>{130, 70, 100}}, std::pair{300, QList<int>{160, 40, 100}},
                                          std::pair{-50, QList<int>{0, 200, 100}}}) {
            mouse(QEvent::MouseMove, x);
            QCOMPARE(splitter.sizes(), expected);
            QCOMPARE(moved.takeLast(), QVariantList({expected[0], 1}));
            QCOMPARE(splitter.widget(1)->x(), expected[0] + 1);
        }
        splitter.setDragAllowed(false);
        mouse(QEvent::MouseMove, 130);
        QCOMPARE(splitter.sizes(), QList<int>({0, 200, 100}));
        mouse(QEvent::MouseButtonRelease, 130);
    }

    void grabAreaFollowsTheSetting()
    {
        // A band of 7 pixels around a 1 pixel line; none where the line is as wide.
        for (const auto &[orientation, width, margins] : {std::tuple{Qt::Horizontal, 1, QMargins(3, 0, 3, 0)},
                                                          std::tuple{Qt::Vertical, 7, QMargins()}}) {
            CPSplitter splitter(orientation, nullptr, nullptr);
            splitter.setHandleWidth(width);
            splitter.addWidget(new QWidget);
            splitter.addWidget(new QWidget);
            splitter.resize(200, 200);
            splitter.show();
            QVERIFY(QTest::qWaitForWindowExposed(&splitter));
            CPSplitterHandle *handle = splitter.handle(1);
            QTRY_COMPARE(handle->contentsMargins(), margins);
            QCOMPARE(handle->testAttribute(Qt::WA_MouseNoMask), !margins.isNull());
            if (margins.isNull())
                QVERIFY(handle->mask().isEmpty());
        }
    }
};

QTEST_MAIN(TstSplitEditing)
#include "tst_splitediting.moc"
