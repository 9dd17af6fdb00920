// The editor workspace: the palette and its drag, the toolbar's states, saving
// to a real server in both modes, and handles that follow the page's mode.
#include "editortest.h"
#include "../pagelayout/pagetestutil.h"

#include "editor/cpbasedialog.h"
#include "editor/skinimagepath.h"
#include "editor/workspace/cpcontroltreewidget.h"
#include "editor/workspace/cpmanagepageview.h"
#include "editor/workspace/cptoolbarview.h"
#include "editor/workspace/paletteconfig.h"
#include "modalhelper.h"
#include "serverfixture.h"
#include "pagelayout/cpcustompage.h"
#include "pagelayout/cptabwidget.h"
#include "seeddata.h"
#include "wk/wkappconfig.h"
#include "wk/wkeventbus.h"

#include <QTcpServer>

using namespace HXCPControls;
using namespace PageTest;

namespace {
const char *const kIcon = "palette/test.png";

// Palettes built from now on read `ini` (the file beside the test executable).
void writePalette(const QByteArray &ini)
{
    QDir().mkpath(QFileInfo(paletteConfigPath()).path());
    QFile file(paletteConfigPath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(ini) == ini.size());
}

QByteArray onePalette(const QByteArray &textIcons)
{
    return "[group]\ncount=1\n[group0]\nname=组\ntextIcons=\"" + textIcons + "\"\n";
}

QImage imageOf(const QIcon &icon) { return icon.pixmap(16, 16).toImage(); }

QPushButton *button(QWidget *parent, const char *name) { return parent->findChild<QPushButton *>(QLatin1String(name)); }

// The drag events that pass the event bus, as "type:stamp".
struct DragEvents : QObject {
    QStringList seen;
    DragEvents() { WKEventBus::instance()->addSubscriber(this); }
    ~DragEvents() override { WKEventBus::instance()->removeSubscriber(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == WKEventBus::instance()->mEventObj && event->type() >= QEvent::User)
            seen << static_cast<WKEvent *>(event)->typeName() + ':' + static_cast<WKEvent *>(event)->data().toString();
        return false;
    }
};

struct Palette : CPControlTreeWidget {
    using CPControlTreeWidget::CPControlTreeWidget;
    // Starts a drag of `item`; the drag object stays a child until events are processed.
    QDrag *drag(QTreeWidgetItem *item)
    {
        setCurrentItem(item);
        startDrag(Qt::CopyAction | Qt::MoveAction);
        return findChild<QDrag *>();
    }
};

// The toolbar as "responsive button|height button|preview button": "-" when hidden, "*" when checked.
QString describe(QWidget *bar)
{
    QStringList shown;
    for (const char *name : {"responsive_btn", "height_btn", "preview_btn"}) {
        QPushButton *b = button(bar, name);
        shown << (b->isVisibleTo(bar) ? b->text() + (b->isChecked() ? "*" : "") : QStringLiteral("-"));
    }
    return shown.join('|');
}

struct Workspace {
    CPManagePageView view;
    explicit Workspace(bool userMode = false) : view(nullptr, userMode)
    {
        view.resize(1100, 700);
        view.show();
    }
    CPSplitItem *item() const { return view.page()->splitView()->findChild<CPSplitItem *>(); }
    void load(const QString &padId)
    {
        if (padId.isEmpty())
            return view.loadContent({}, "页面");
        view.loadData(padId, "页面");
        QTRY_COMPARE(view.page()->padID(), padId);
        ZhpTest::settle(&view);
    }
    // Clicks "保存"; returns the box that answers as "title:text".
    QString save()
    {
        MessageBoxCatcher box;
        box.arm();
        button(view.toolBar(), "save_btn")->click();
        [&box] { QTRY_VERIFY_WITH_TIMEOUT(box.seen, 10000); }();
        return box.title + ':' + box.text;
    }
};
} // namespace

class TstWorkspace : public QObject
{
    Q_OBJECT
    TestSkins m_skins;
    ServerTest::Fixture m_server;

private slots:
    void initTestCase()
    {
        m_skins.install();
        TestComponent::registerIn();
        WKFactory<QWidget>::constructors().insert("WKTitleModeListView", [](QWidget *parent) -> QWidget * {
            auto *list = new QLabel(parent);
            list->setObjectName("pageList");
            return list;
        });
        QImage red(32, 32, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(m_skins.file(QStringLiteral("default/images/") + kIcon)));
        // Signed in as the sample user, who also edits the product pages that the workspace saves.
        QString error;
        QVERIFY2(m_server.start(true, &error, {QStringLiteral("*")}, QDate()), qPrintable(error));
        WKAppConfig::instance()->setUserInfo({zhpserver::seed::SampleUser, "演示"});
        WKAppConfig::instance()->setProductId(zhpserver::seed::SampleProduct);
    }

    void init()
    {
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.server().baseUrl());
        writePalette(onePalette(QByteArray("TestComponent=>组件=>") + kIcon + ";CPTabWidget=>标签容器"
                                + ";WKTitleModeListView=>页面列表=>" + kIcon + ";WKTitleModeListView=>页面目录"));
    }

    void cleanupTestCase() { QFile::remove(paletteConfigPath()); }

    void paletteFile_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("palette"); // "group[text|url|icon, …]", icon "skin" or "std"

        const QByteArray three = "[group]\ncount=%1\n[group0]\nname=甲\ntextIcons=\"TestComponent=>一\"\n[group1]\nname=乙\n"
                                 "textIcons=\"TitledComponent=>二\"\n[group2]\nname=丙\ntextIcons=\"CPTabWidget=>三\"\n";
        QTest::newRow("no file") << QByteArray() << "";
        QTest::newRow("no count") << QByteArray(three).replace("count=%1\n", "") << "";
        QTest::newRow("count 2") << QByteArray(three).replace("%1", "2") << "甲[  一|TestComponent|std] 乙[  二|TitledComponent|std]";
        QTest::newRow("count beyond the groups") << QByteArray(three).replace("%1", "2147483647")
            << "甲[  一|TestComponent|std] 乙[  二|TitledComponent|std] 丙[  三|CPTabWidget|std]";
        QTest::newRow("key in other case, as written") << onePalette("testCOMPONENT=>一") << "组[  一|testCOMPONENT|std]";
        QTest::newRow("one, two, three, four parts") << onePalette(QByteArray("TestComponent;TestComponent=>;TestComponent=>图=>")
                                                                   + kIcon + ";TestComponent=>空=>;CPTabWidget=>四=>" + kIcon + "=>x")
            << "组[  |TestComponent|std,   图|TestComponent|skin,   空|TestComponent|std,   四|CPTabWidget|std]";
        QTest::newRow("unknown keys, empty pieces, empty groups") << QByteArray(
            "[group]\ncount=3\n[group0]\nname=甲\ntextIcons=\"Nope=>无;;=>空\"\n[group1]\nname=乙\n[group2]\nname=丙\ntextIcons=\"CPTabWidget=>标签\"\n")
            << "丙[  标签|CPTabWidget|std]";
    }

    void paletteFile()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, palette);
        QFile::remove(paletteConfigPath());
        if (!ini.isNull())
            writePalette(ini);
        CPControlTreeWidget widget(nullptr, true);
        const QImage skin = imageOf(QIcon(skinImagePath(kIcon))), standard = imageOf(widget.style()->standardIcon(QStyle::SP_ComputerIcon));
        QStringList groups;
        for (int i = 0; i < widget.topLevelItemCount(); ++i) {
            QTreeWidgetItem *group = widget.topLevelItem(i);
            QStringList entries;
            for (int j = 0; j < group->childCount(); ++j) {
                QTreeWidgetItem *item = group->child(j);
                const QImage icon = imageOf(item->icon(0));
                entries << item->text(0) + '|' + item->data(0, Qt::UserRole + 1).toUrl().toString() + '|'
                               + (icon == skin ? "skin" : icon == standard ? "std" : "?");
            }
            groups << group->text(0) + '[' + entries.join(", ") + ']';
        }
        QCOMPARE(groups.join(' '), palette);
    }

    void dragFromPalette_data()
    {
        QTest::addColumn<bool>("group");
        QTest::newRow("entry") << false;
        QTest::newRow("group caption") << true;
    }

    // The drag carries the entry's URL; the item it is dropped on takes the
    // component (a group's empty URL creates none); one begin and one end
    // event with the same stamp frame the drag, which offscreen ends at once.
    void dragFromPalette()
    {
        QFETCH(bool, group);
        Palette palette(nullptr, true);
        CPSplitView view;
        auto *target = new CPSplitItem(&view);
        view.setRootItem(target);
        view.show();
        target->setContentUrl(QUrl("TitledComponent"));
        QWidget *old = target->content();

        DragEvents events;
        QTreeWidgetItem *entry = palette.findItems("  组件", Qt::MatchExactly | Qt::MatchRecursive).value(0);
        QDrag *drag = palette.drag(group ? entry->parent() : entry);
        QVERIFY(drag && drag->mimeData()->hasFormat("txt/x-split-item"));
        const QString stamp = events.seen.value(0).section(':', 1);
        QCOMPARE(events.seen, (QStringList{"CPSplitItem#BeginDrag:" + stamp, "CPSplitItem#EndDrag:" + stamp}));
        QVERIFY(!stamp.isEmpty() && old->isEnabled() && old->property("ProcessWKeventID") == stamp);

        // Dropped as the drag ends.
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPoint(5, 5), Qt::CopyAction, drag->mimeData(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QVERIFY(enter.isAccepted() && dropped.isAccepted());
        QCOMPARE(target->contentUrl().toString(), group ? "" : "TestComponent");
        QCOMPARE(target->content() == old, group);
    }

    void toolbarStates_data()
    {
        QTest::addColumn<QString>("steps"); // buttons clicked; "x:text" answers the dialog x opens ("x:" cancels), "fixed:" confirms it empty
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("log");
        QTest::newRow("preview twice") << "preview preview" << "固定高度|-|预览" << "preview:1 preview:0";
        QTest::newRow("fixed") << "fixed:800" << "自适应高度|设置高度|预览" << "dialog:-1 height:800";
        QTest::newRow("fixed, preview") << "fixed:800 preview" << "-|-|取消预览*" << "dialog:-1 height:800 preview:1";
        QTest::newRow("responsive keeps the height") << "fixed:800 responsive responsive:" << "固定高度|-|预览" << "dialog:-1 height:800 height:-1 dialog:800";
        QTest::newRow("cancelled") << "responsive:" << "固定高度|-|预览" << "dialog:-1";
        QTest::newRow("empty field") << "fixed:" << "自适应高度|设置高度|预览" << "dialog:-1 height:0";
        QTest::newRow("height button") << "fixed:800 height:900 height:" << "自适应高度|设置高度|预览" << "dialog:-1 height:800 dialog:800 height:900 dialog:900";
        QTest::newRow("ratios of the design height") << "design:633 fixed:1.5倍高度 height:2倍高度 height:3倍高度" << "自适应高度|设置高度|预览"
            << "dialog:-1 height:949 dialog:949 height:1266 dialog:1266 height:1899";
        QTest::newRow("state fixed in preview") << "preview state:600" << "-|-|取消预览*" << "preview:1";
    }

    void toolbarStates()
    {
        QFETCH(QString, steps);
        QFETCH(QString, buttons);
        QFETCH(QString, log);
        CPToolBarView bar(nullptr, true);
        QStringList seen;
        connect(&bar, &CPToolBarView::previewState, [&](bool p) { seen << QString("preview:%1").arg(p); });
        connect(&bar, &CPToolBarView::responsiveHeightChanged, [&](int h) { seen << QString("height:%1").arg(h); });
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section(':', 0, 0), arg = step.section(':', 1);
            if (name == "state" || name == "design") {
                name == "state" ? bar.setResponsiveState(arg.toInt() < 1, arg.toInt()) : bar.setDesignHeight(arg.toInt());
                continue;
            }
            if (step.contains(':')) {
                const QString answer = name == "fixed" || !arg.isEmpty() ? arg : QString();
                onNextModal<CPBaseDialog>([&seen, answer](CPBaseDialog *dialog) {
                    auto *edit = dialog->findChild<QLineEdit *>();
                    seen << "dialog:" + edit->text();
                    if (answer.isNull())
                        return dialog->reject();
                    const QList<QPushButton *> ratios = dialog->findChildren<QPushButton *>();
                    auto ratio = std::find_if(ratios.begin(), ratios.end(), [&](QPushButton *b) { return answer.contains("倍") && b->text() == answer; });
                    ratio != ratios.end() ? (*ratio)->click() : edit->setText(answer);
                    button(dialog, "pbOk")->click();
                });
            }
            button(&bar, name == "preview" ? "preview_btn" : name == "height" ? "height_btn" : "responsive_btn")->click();
        }
        QCOMPARE(describe(&bar), buttons);
        QCOMPARE(seen.join(' '), log);
    }

    void workspaceFollowsPage_data()
    {
        QTest::addColumn<QVariant>("height");
        QTest::newRow("absent") << QVariant();
        QTest::newRow("zero") << QVariant(0);
        QTest::newRow("800") << QVariant(800);
    }

    void workspaceFollowsPage()
    {
        QFETCH(QVariant, height);
        Workspace w;
        w.view.loadContent(height.isValid() ? QVariantMap{{"height", height}} : QVariantMap(), "页面");
        const bool fixed = height.toInt() == 800;
        QCOMPARE(describe(w.view.toolBar()), fixed ? QString("自适应高度|设置高度|预览") : QString("固定高度|-|预览"));
        QCOMPARE(w.view.toolBar()->fixedHeight(), fixed ? 800 : w.view.page()->height());
        QCOMPARE(w.view.toolBar()->designHeight(), w.view.page()->height());
        for (bool preview : {true, false}) {
            button(w.view.toolBar(), "preview_btn")->click();
            QVERIFY(w.view.palette()->isVisible() != preview && w.view.page()->readOnly() == preview && w.item()->editModel() != preview);
        }
    }

    void save_data()
    {
        QTest::addColumn<bool>("userMode");
        QTest::addColumn<QString>("padId"); // empty: content without a page
        QTest::addColumn<bool>("serverUp");
        QTest::addColumn<bool>("ok");
        QTest::newRow("user page, user mode") << true << QString(zhpserver::seed::UserEmptyPad) << true << true;
        QTest::newRow("product page, product mode") << false << QString(zhpserver::seed::ProductNotePad) << true << true;
        QTest::newRow("product page, user mode") << true << QString(zhpserver::seed::SeasonPad) << true << false;
        QTest::newRow("user page, product mode") << false << QString(zhpserver::seed::UserPad) << true << false;
        QTest::newRow("server stopped") << false << QString(zhpserver::seed::MacroPad) << false << false;
        QTest::newRow("no page") << true << QString() << true << false;
    }

    void save()
    {
        QFETCH(bool, userMode);
        QFETCH(QString, padId);
        QFETCH(bool, serverUp);
        QFETCH(bool, ok);
        Workspace w(userMode);
        w.load(padId);
        const QString before = padId.isEmpty() ? QString() : ServerTest::pageContent(padId);
        w.item()->setContentUrl(QUrl("TestComponent?src=save"));
        qobject_cast<TestComponent *>(w.item()->content())->state = {{"rows", QVariantList{1, 2}}};
        const QVariantMap edited = withoutDates(w.view.page()->getContent());
        if (!serverUp) {
            QTcpServer closed; // a port nothing listens on any more
            QVERIFY(closed.listen(QHostAddress::LocalHost));
            WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", QString("http://127.0.0.1:%1/").arg(closed.serverPort()));
        }
        if (!ok) {
            ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^save of page .* failed:"));
            ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("保存失败，请刷新分类"));
        }
        QSignalSpy saved(&w.view, &CPManagePageView::save);
        QCOMPARE(w.save(), ok ? QString("提示:保存成功") : QString("错误:保存失败，请刷新分类"));
        // Once after the answer; content that names no page also before the request.
        QCOMPARE(saved.count(), padId.isEmpty() ? 2 : 1);
        const QVariantMap content = saved.last().at(0).toMap();
        QCOMPARE(withoutDates(content), edited);
        QCOMPARE(withoutDates(w.view.page()->getContent()), edited);
        QVERIFY(!w.view.page()->readOnly() && w.view.palette()->isVisible());
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.server().baseUrl());
        if (!padId.isEmpty())
            QCOMPARE(ServerTest::pageContent(padId), ok ? QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(content)).toJson(QJsonDocument::Compact)) : before);
    }

    // "添加新页" offers the palette's title-mode entries, with their icons; read twice, listed once.
    void tabMenuAddsTitleModePages()
    {
        CPControlTreeWidget::loadPaletteEntries();
        CPControlTreeWidget::loadPaletteEntries();
        CPTabWidget tabs;
        std::unique_ptr<QMenu> menu(tabs.createSettingMenu());
        QMenu *newPages = menu->findChild<QMenu *>();
        QVERIFY(newPages);
        QStringList texts;
        for (QAction *action : newPages->actions())
            texts << action->text() + (action->icon().isNull() ? "" : "*");
        QCOMPARE(texts, (QStringList{"页面列表*", "页面目录"}));
        newPages->actions().at(0)->trigger();
        QCOMPARE(tabs.tabText(tabs.currentIndex()), QString("页面列表"));
        QVERIFY(tabs.currentWidget()->findChild<QLabel *>("pageList"));
    }

    // In view mode no handle can be dragged: neither those of split views
    // restored in tab pages nor those of splitters made by a split across orientations.
    void handlesFollowThePageMode()
    {
        CPCustomPage page(nullptr, true);
        page.resize(800, 500);
        page.show();
        page.loadDataByMap(fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":1,"children":[
            {"className":"HXCPControls::CPSplitItem"},{"className":"HXCPControls::CPSplitItem","url":"CPTabWidget","child":{"pages":[
              {"ctype":"HXCPControls::CPSplitView","rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":2,"children":[
                {"className":"HXCPControls::CPSplitItem"},{"className":"HXCPControls::CPSplitItem"}]}}]}}]}})"));
        ZhpTest::settle(&page);
        // Each splitter as "drag" or "fixed", with "!" when its zhpObj is not that of its items and view.
        auto states = [&page] {
            QStringList states;
            for (CPSplitter *splitter : page.findChildren<CPSplitter *>()) {
                QWidget *obj = splitter->findChild<CPSplitItem *>()->zhpObj();
                states << QString(splitter->dragAllowed() ? "drag" : "fixed")
                              + (splitter->property("zhpObj").value<QWidget *>() == obj && obj == CPSplitView::ancestorOf(splitter) ? "" : "!");
            }
            return states.join(' ');
        };
        QCOMPARE(states(), QString("fixed fixed"));
        page.editable(true);
        qobject_cast<CPSplitItem *>(qobject_cast<CPSplitter *>(page.splitView()->rootItem())->widget(0))->onIndicator(SplitTop);
        ZhpTest::settle(&page);
        QCOMPARE(states(), QString("drag drag drag"));
        page.editable(false);
        QCOMPARE(states(), QString("fixed fixed fixed"));
    }
};

QTEST_MAIN(TstWorkspace)
#include "tst_workspace.moc"
