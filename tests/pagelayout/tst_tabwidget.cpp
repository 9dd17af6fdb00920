// The tab container, the setting menus and the size policy dialog.
#include "modalhelper.h"
#include "pagetestutil.h"

#include "editor/cpbasedialog.h"
#include "pagelayout/cpsizepolicysettings.h"
#include "pagelayout/cptabwidget.h"
#include "wk/wkeventbus.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QSpinBox>
#include <QTabBar>
#include <QToolButton>

using namespace HXCPControls;
using namespace PageTest;

namespace {

QStringList actionTexts(QMenu *menu)
{
    QStringList texts;
    for (QAction *a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("|") : a->text());
    return texts;
}

// Answers the next message box with OK, or rejects it.
void answerNextBox(bool ok)
{
    onNextModal<QMessageBox>([ok](QMessageBox *box) { ok ? box->button(QMessageBox::Ok)->click() : box->reject(); });
}

} // namespace

class TstTabWidget : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { PageTest::initCase(); }

    void editModeAndPages()
    {
        CPTabWidget tabs;
        QSignalSpy editable(&tabs, &CPTabWidget::editableChanged);
        QVERIFY(!tabs.tabsClosable() && !tabs.addPageAction()->isVisible());
        tabs.setEditModel(true);
        QCOMPARE(editable.count(), 1);
        QVERIFY(tabs.tabsClosable() && tabs.addPageAction()->isVisible() && tabs.addSplitterAction()->isVisible());
        QVERIFY(qobject_cast<CPSplitItem *>(tabs.widget(0))->editModel());

        tabs.addPage(QUrl("TitledComponent"));
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.currentIndex(), 1);
        QCOMPARE(tabs.tabText(1), QString("------")); // titles that change later name the tab
        qobject_cast<CPSplitItem *>(tabs.widget(1))->content()->setWindowTitle("改名");
        QCOMPARE(tabs.tabText(1), QString("改名"));

        tabs.addSplitterAction()->trigger();
        QCOMPARE(tabs.count(), 3);
        auto *view = qobject_cast<CPSplitView *>(tabs.widget(2));
        QVERIFY(view && view->editModel());
        QVERIFY(qobject_cast<CPSplitItem *>(view->rootItem()));

        tabs.setEditModel(false);
        QVERIFY(!view->editModel());
        QVERIFY(!qobject_cast<CPSplitItem *>(tabs.widget(0))->editModel());
        QVERIFY(!tabs.addPageAction()->isVisible());

        // The user-setting action shows the setting button.
        QVERIFY(tabs.settingButton()->isHidden());
        tabs.userSettingAction()->trigger();
        QVERIFY(tabs.showSetting() && !tabs.settingButton()->isHidden());
    }

    void createdFromItsUrlInAView()
    {
        CPSplitView view;
        view.restore(QVariantMap());
        auto *item = qobject_cast<CPSplitItem *>(view.rootItem());
        item->setContentUrl(QUrl("CPTabWidget"));
        auto *tabs = qobject_cast<CPTabWidget *>(item->content());
        QVERIFY(!item->acceptDrops()); // its pages take the drops
        QCOMPARE(tabs->count(), 1);
        QVERIFY(qobject_cast<CPSplitItem *>(tabs->widget(0))->property("inTab").toBool());
        // Drag protection leaves a tab container alone.
        WKEventBus::instance()->send(new WKEvent("CPSplitItem#BeginDrag", "d"));
        QVERIFY(tabs->isEnabled());
        QCOMPARE(tabs->splitView(), &view);
        QVERIFY(tabs->editModel()); // a new split view is in edit mode
        view.setEditModel(false);
        QVERIFY(!tabs->editModel());
    }

    void titlesAreEditedInPlace()
    {
        CPTabWidget tabs;
        tabs.setEditModel(true);
        tabs.addPage();
        tabs.resize(400, 300);
        tabs.show();
        QVERIFY(QTest::qWaitForWindowActive(&tabs));
        tabs.setCurrentIndex(1);
        tabs.changeTitle(1);
        auto *editor = tabs.tabBar()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QCOMPARE(editor->selectedText(), QString("------"));
        editor->setText("行情");
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(tabs.tabText(1), QString("行情"));
        QTRY_VERIFY(!tabs.tabBar()->findChild<QLineEdit *>());

        tabs.changeTitle(1);
        editor = tabs.tabBar()->findChild<QLineEdit *>();
        editor->clear();
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(tabs.tabText(1), QString("------"));

        ZhpTest::expectMessage(QtWarningMsg, "change page title error,index out of range:del index->5 and total count is 2");
        tabs.changeTitle(5);
        ZhpTest::expectMessage(QtWarningMsg, "del page error,index out of range:del index->-1 and total count is 2");
        tabs.delPage(-1);
    }

    void pagesAreDeletedAfterConfirmation()
    {
        CPTabWidget tabs;
        tabs.addPage();
        answerNextBox(false);
        tabs.delPage(0);
        QCOMPARE(tabs.count(), 2);

        answerNextBox(true);
        QPointer<QWidget> first = tabs.widget(0);
        tabs.delPage(0);
        QCOMPARE(tabs.count(), 1);
        QTRY_VERIFY(!first);

        // Closing the last one by its button is allowed too and leaves the placeholder.
        tabs.setEditModel(true);
        answerNextBox(true);
        emit tabs.tabCloseRequested(0);
        QCOMPARE(tabs.count(), 0);
        tabs.resize(300, 200);
        tabs.grab(); // paints without any page
    }

    void settingMenus()
    {
        CPTabWidget tabs;
        std::unique_ptr<QMenu> menu(tabs.createSettingMenu());
        QCOMPARE(actionTexts(menu.get()), (QStringList{"修改当前页标题", "添加新页"}));
        tabs.addPage(QUrl("TestComponent"));
        auto *page = qobject_cast<CPSplitItem *>(tabs.widget(1));
        page->content()->addAction(new QAction("导出", page->content()));
        menu.reset(tabs.createSettingMenu());
        QCOMPARE(actionTexts(menu.get()), (QStringList{"导出", "|", "修改当前页标题", "添加新页", "删除当前页"}));

        // An item in a splitter offers the split operations; a tab page does not.
        CPSplitView view;
        view.restore(fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":1,
            "children":[{"className":"HXCPControls::CPSplitItem","url":"TestComponent"},{"className":"HXCPControls::CPSplitItem"}]}})"));
        view.show();
        ZhpTest::settle(&view);
        auto *item = qobject_cast<CPSplitItem *>(qobject_cast<CPSplitter *>(view.rootItem())->widget(0));
        item->content()->addAction(new QAction("刷新", item->content()));
        menu.reset(item->createSettingMenu());
        QCOMPARE(actionTexts(menu.get()), (QStringList{"刷新", "|", "左切分", "上切分", "右切分", "下切分", "删除布局", "|", "|",
                                                       "设置大小策略", "|", "清空"}));
        menu.reset(page->createSettingMenu());
        QCOMPARE(actionTexts(menu.get()), (QStringList{"导出", "|", "|", "设置大小策略", "|", "清空"}));

        ZhpTest::expectMessage(QtWarningMsg, "initSettingMenu error:the spliter item is nullptr");
        CPSplitItem::initSettingMenu(menu.get(), nullptr);

        // A menu action splits the item (once the event loop runs).
        menu.reset(item->createSettingMenu());
        menu->actions()[4]->trigger(); // 右切分
        QTRY_COMPARE(qobject_cast<CPSplitter *>(view.rootItem())->count(), 3);
        menu.reset(); // before the item that parents it
    }

    void clearingAnItem()
    {
        CPSplitItem item;
        item.setContentUrl(QUrl("TestComponent"));
        QPointer<QWidget> component = item.content();
        answerNextBox(false);
        item.clearContent();
        QCOMPARE(item.content(), component.data());
        answerNextBox(true);
        item.clearContent();
        QVERIFY(!item.content());
        QTRY_VERIFY(!component);
    }

    void sizePolicyDialog()
    {
        CPSplitItem item;
        item.resize(333, 222);
        item.setMinimumSize(10, 20);
        onNextModal<CPBaseDialog>([](CPBaseDialog *dialog) {
            auto *form = dialog->findChild<CPSizePolicySettings *>();
            QCOMPARE(form->findChild<QSpinBox *>("sbMinHeight")->value(), 20);
            QCOMPARE(form->findChild<QLineEdit *>("leCurrentWidth")->text(), QString("333"));
            form->findChild<QToolButton *>("tbCopyToMaxWidth")->click();
            QCOMPARE(form->findChild<QSpinBox *>("sbMaxWidth")->value(), 333);
            form->findChild<QToolButton *>("tbCopyToMinHeight")->click();
            form->findChild<QComboBox *>("cbVPolicy")->setCurrentText("Fixed");
            form->findChild<QSpinBox *>("sbHStretch")->setValue(3);
            dialog->accept();
        });
        item.editSizePolicy();
        QCOMPARE(item.maximumWidth(), 333);
        QCOMPARE(item.minimumHeight(), 222);
        QCOMPARE(item.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
        QCOMPARE(item.sizePolicy().horizontalStretch(), 3);
        onNextModal<CPBaseDialog>([](CPBaseDialog *dialog) { dialog->reject(); });
        item.editSizePolicy();
        QCOMPARE(item.maximumWidth(), 333);
    }

    void restoringOddContent()
    {
        CPTabWidget tabs;
        // Empty or missing pages keep the pages but apply title and showSetting.
        tabs.restore(fromJson(R"({"pages":[],"currentIndex":3,"title":"新标题","showSetting":true})"));
        QCOMPARE(tabs.count(), 1);
        QCOMPARE(tabs.currentIndex(), 0);
        QCOMPARE(tabs.windowTitle(), QString("新标题"));
        QVERIFY(tabs.showSetting());
        tabs.restore(fromJson(R"({"title":"x"})"));
        QVERIFY(tabs.count() == 1 && !tabs.showSetting());

        // An unknown ctype adds no tab, but its tabText goes to the tab at that position.
        tabs.restore(fromJson(R"({"pages":[{"ctype":"HXCPControls::CPSplitItem","tabText":"A"},
            {"ctype":"Nope","tabText":"B"},{"ctype":"HXCPControls::CPSplitView","tabText":"C"}],"currentIndex":1})"));
        QCOMPARE(tabs.count(), 2);
        QCOMPARE(tabs.tabText(0), QString("A"));
        QCOMPARE(tabs.tabText(1), QString("C"));
        QCOMPARE(tabs.currentIndex(), 1);
    }

};

QTEST_MAIN(TstTabWidget)
#include "tst_tabwidget.moc"
