// The terminal's main window over a real server: the user's first page at
// start, pages opened from the trees in tabs (once each), the analysis page,
// editing the current page and coming back, and a tree change that a new
// window (a restarted terminal) shows.
#include "navigationtest.h"

#include "analysispage.h"
#include "apphost.h"
#include "pageeditorpane.h"
#include "terminalwindow.h"

#include "editor/navigation/categorynode.h"
#include "editor/navigation/cpaddnode.h"
#include "editor/navigation/cptreemodel.h"
#include "editor/navigation/cppagecategory.h"
#include "editor/navigation/cppagecategoryedit.h"
#include "editor/navigation/cppagecategoryitem.h"
#include "editor/navigation/cpselectuserpadcategoryview.h"
#include "pagelayout/cpcustompage.h"
#include "wk/wkapplication.h"

#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>

using namespace HXCPControls;
using namespace NavTest;

class TstTerminalWindow : public QObject
{
    Q_OBJECT

    TestSkins m_skins;
    ServerTest::Fixture m_server;

    std::unique_ptr<TerminalWindow> startWindow(bool openFirst = true)
    {
        auto window = std::make_unique<TerminalWindow>();
        WKApplication::setMainWindow(window.get());
        window->resize(1200, 800);
        window->show();
        window->start(openFirst);
        if (!QTest::qWaitFor([&] { return window->isStarted(); }, 10000))
            return nullptr;
        return window;
    }

    static QStringList tabTitles(TerminalWindow *w)
    {
        QStringList titles;
        for (int i = 0; i < w->pageTabs()->count(); ++i)
            titles << w->pageTabs()->tabText(i);
        return titles;
    }

    // The pages selected in the read-only tree's open sections.
    static QStringList highlighted(TerminalWindow *w)
    {
        QStringList pads;
        for (CPPageCategoryItem *section : w->userTree()->categoryView()->sections()) {
            if (!section->tree())
                continue;
            for (const QModelIndex &index : section->tree()->selectionModel()->selectedIndexes()) {
                if (section->isExpanded())
                    pads << index.data(CategoryNode::NodeRole).toMap().value("PAD_ID").toString();
            }
        }
        return pads;
    }

private slots:
    void initTestCase()
    {
        m_skins.install();
        QVERIFY(m_server.start());
        AppHost::registerComponents();
        AppHost::dismissMessageBoxes(this);
    }

    void init() { QVERIFY(useIdentity(m_server.server(), kUser)); }
    void cleanup() { WKApplication::setMainWindow(nullptr); }

    void pagesOpenInTabsOnce()
    {
        auto window = startWindow();
        QVERIFY(window);
        QCOMPARE(tabTitles(window.get()), QStringList{"我的页面-我的综合屏"});
        QTRY_COMPARE(window->currentPage()->padID(), QString::fromLatin1(zhpserver::seed::UserPad));

        // A page picked in the read-only tree opens in a tab of its own; picked again, its tab is selected.
        CPPageCategory *tree = window->userTree()->categoryView();
        QTRY_VERIFY(!tree->sections().isEmpty());
        CPPageCategoryItem *board = tree->sections().first();
        board->expandSection();
        auto *model = qobject_cast<QStandardItemModel *>(board->tree()->model());
        for (const QString &name : {QStringLiteral("我的综合屏"), QStringLiteral("我的综合屏")}) {
            QStandardItem *item = findItem(model, name);
            QTest::mouseClick(board->tree()->viewport(), Qt::LeftButton, {}, board->tree()->visualRect(item->index()).center());
        }
        QCOMPARE(tabTitles(window.get()), QStringList{"我的页面-我的综合屏"});
        window->openPad(QString::fromLatin1(zhpserver::seed::MacroPad), "螺纹钢-宏观与行业-宏观经济概览", false);
        QCOMPARE(window->pageTabs()->count(), 2);
        window->openPad(QString::fromLatin1(zhpserver::seed::UserPad), "我的页面-我的综合屏", true);
        QCOMPARE(window->pageTabs()->currentIndex(), 0);

        // The analysis page of a product opens once; URLs it does not know open nothing.
        window->openStringUrl("view://analysis?title=%E9%93%81%E7%9F%BF%E7%9F%B3-%E5%88%86%E6%9E%90%E9%A1%B5%E9%9D%A2&product=P004");
        window->openStringUrl("view://analysis?title=x&product=P004");
        window->openStringUrl("view://somewhere?product=P004");
        window->openStringUrl("not a url");
        QCOMPARE(tabTitles(window.get()).last(), QStringLiteral("铁矿石-分析页面"));
        QCOMPARE(window->pageTabs()->count(), 3);
        auto *analysis = qobject_cast<AnalysisPage *>(window->pageTabs()->currentWidget());
        QVERIFY(analysis);
        QTRY_COMPARE(analysis->page()->padID(), QString::fromLatin1(zhpserver::seed::IronOrePad));
    }

    void treeFollowsTheCurrentTab()
    {
        auto window = startWindow();
        QVERIFY(window);
        const QString first = QString::fromLatin1(zhpserver::seed::UserPad);
        const QString nested = QString::fromLatin1(zhpserver::seed::UserEmptyPad);
        QTRY_COMPARE(highlighted(window.get()), QStringList{first});
        window->openPad(nested, "我的页面-收藏-待编辑页面", true);
        QCOMPARE(highlighted(window.get()), QStringList{nested});
        // A product page is not in the user's tree.
        window->openPad(QString::fromLatin1(zhpserver::seed::MacroPad), "螺纹钢-宏观与行业-宏观经济概览", false);
        QCOMPARE(highlighted(window.get()), QStringList());
        window->pageTabs()->setCurrentIndex(0);
        QCOMPARE(highlighted(window.get()), QStringList{first});
        QCOMPARE(window->pageTabs()->count(), 3);
    }

    void editTheCurrentPageAndComeBack()
    {
        auto window = startWindow();
        QVERIFY(window);
        QTRY_VERIFY(window->currentPage() && !window->currentPage()->padID().isEmpty());
        CPCustomPage *viewed = window->currentPage();
        window->editCurrentPage();
        PageEditorPane *editor = window->editor();
        QVERIFY(editor->isVisible() && !window->pageTabs()->isVisible());
        QTRY_COMPARE(editor->page()->padID(), viewed->padID());
        QVERIFY(!editor->page()->readOnly());

        QVariantMap changed = editor->page()->getContent();
        changed.insert("height", 1234);
        editor->page()->loadDataByMap(changed);
        // The workspace's own save button; the box that tells how it went is closed by the test.
        QTest::mouseClick(editor->workspace()->findChild<QPushButton *>("save_btn"), Qt::LeftButton);
        QTRY_VERIFY(window->pageTabs()->isVisible());
        QCOMPARE(window->pageTabs()->currentIndex(), 0);
        viewed = window->currentPage();
        const QString padId = QString::fromLatin1(zhpserver::seed::UserPad);
        const QJsonObject stored = QJsonDocument::fromJson(ServerTest::pageContent(padId).toUtf8()).object();
        QCOMPARE(stored.value("height").toInt(), 1234);
        // The tab shows the saved page.
        QTRY_COMPARE(viewed->pageHeight(), 1234);
        QCOMPARE(viewed->padID(), padId);
    }

    void treeChangesOutliveTheWindow()
    {
        const QString name = "重启后仍在 " + CategoryNode::newCode().left(6);
        {
            auto window = startWindow(false);
            QVERIFY(window);
            window->treeEditSwitch()->click();
            CPPageCategoryEdit *edit = window->userTree()->categoryEdit();
            QVERIFY(edit);
            QTRY_VERIFY(edit->findChild<QPushButton *>("add_btn")->isEnabled());
            edit->tree()->setCurrentIndex(findItem(edit->model(), "收藏")->index());
            onNextDialog<CPAddNode>([&](CPAddNode *form) {
                form->findChild<QRadioButton *>("rbPage")->setChecked(true);
                form->findChild<QLineEdit *>("leName")->setText(name);
            });
            edit->add(true);
            QTRY_VERIFY(find(serverTree(true), name).row >= 0);
            // Back to the read-only view, which shows the change.
            window->treeEditSwitch()->click();
            QVERIFY(window->userTree()->categoryView());
        }
        auto window = startWindow(false);
        QVERIFY(window);
        CPPageCategory *tree = window->userTree()->categoryView();
        QTRY_VERIFY(!tree->sections().isEmpty());
        bool shown = false;
        for (CPPageCategoryItem *s : tree->sections())
            shown |= s->tree() && findItem(qobject_cast<QStandardItemModel *>(s->tree()->model()), name);
        QVERIFY(shown);

        // Another user's terminal shows none of it.
        QVERIFY(useIdentity(m_server.server(), QString::fromLatin1(zhpserver::seed::OtherUser)));
        auto other = startWindow();
        QVERIFY(other);
        QCOMPARE(tabTitles(other.get()), QStringList{"我的页面-钢材日报"});
        QTRY_COMPARE(other->userTree()->categoryView()->sections().size(), 1);
    }
};

QTEST_MAIN(TstTerminalWindow)
#include "tst_terminalwindow.moc"
