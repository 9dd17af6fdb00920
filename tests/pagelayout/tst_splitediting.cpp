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
