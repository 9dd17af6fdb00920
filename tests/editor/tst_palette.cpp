// The component palette: its file, its registry, its drag, the tab
// container's "添加新页" menu that it fills, and the palette shipped with the terminal.
#include "workspacetest.h"

#include "apphost.h"
#include "editor/skinimagepath.h"
#include "pagelayout/componentfactory.h"
#include "pagelayout/cptabwidget.h"

using namespace HXCPControls;
using namespace WorkspaceTest;

namespace {
const char *const kIcon = "palette/test.png";

QImage imageOf(const QIcon &icon)
{
    return icon.pixmap(16, 16).toImage();
}

// The palette as "group[text|url|icon, …]" with the icon as "skin", "std" or "none".
QString describe(const CPControlTreeWidget &palette, const QIcon &skinIcon)
{
    const QImage skin = imageOf(skinIcon);
    const QImage standard = imageOf(palette.style()->standardIcon(QStyle::SP_ComputerIcon));
    QStringList groups;
    for (int i = 0; i < palette.topLevelItemCount(); ++i) {
        const QTreeWidgetItem *group = palette.topLevelItem(i);
        QStringList entries;
        for (int j = 0; j < group->childCount(); ++j) {
            const QTreeWidgetItem *item = group->child(j);
            const QImage icon = imageOf(item->icon(0));
            entries.append(QStringLiteral("%1|%2|%3").arg(
                item->text(0), item->data(0, Qt::UserRole + 1).toUrl().toString(),
                icon == skin ? QStringLiteral("skin") : icon == standard ? QStringLiteral("std") : QStringLiteral("none")));
        }
        groups.append(group->text(0) + QLatin1Char('[') + entries.join(QStringLiteral(", ")) + QLatin1Char(']'));
    }
    return groups.join(QLatin1Char(' '));
}
} // namespace

class TstPalette : public QObject
{
    Q_OBJECT
    TestSkins m_skins;
    QIcon m_skinIcon;

private slots:
    void initTestCase()
    {
        m_skins.install();
        registerComponents();
        QImage red(32, 32, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(m_skins.file(QStringLiteral("default/images/") + kIcon)));
        m_skinIcon = QIcon(skinImagePath(kIcon));
    }

    void cleanup() { removePalette(); }

    void fileRules_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QString>("palette");

        const QByteArray two = "[group]\ncount=%1\n"
                               "[group0]\nname=甲\ntextIcons=\"TestComponent=>一\"\n"
                               "[group1]\nname=乙\ntextIcons=\"TitledComponent=>二\"\n"
                               "[group2]\nname=丙\ntextIcons=\"CPTabWidget=>三\"\n";
        QTest::newRow("no file") << QByteArray() << "";
        QTest::newRow("empty file") << QByteArray("") << "";
        QTest::newRow("count 2 reads groups 0 and 1")
            << QByteArray(two).replace("%1", "2") << "甲[  一|TestComponent|std] 乙[  二|TitledComponent|std]";
        QTest::newRow("count beyond the groups")
            << QByteArray(two).replace("%1", "2147483647")
            << "甲[  一|TestComponent|std] 乙[  二|TitledComponent|std] 丙[  三|CPTabWidget|std]";
        QTest::newRow("no count") << QByteArray(two).replace("count=%1\n", "") << "";
        QTest::newRow("key in other case keeps the written key")
            << onePalette("testCOMPONENT=>一") << "组件[  一|testCOMPONENT|std]";
        QTest::newRow("parts: one skipped, empty name, icon, empty icon, four")
            << onePalette(QByteArray("TestComponent;TestComponent=>;TestComponent=>图=>") + kIcon
                          + ";TestComponent=>空=>;TestComponent=>四=>" + kIcon + "=>x")
            << "组件[  |TestComponent|std,   图|TestComponent|skin,   空|TestComponent|std,   四|TestComponent|std]";
        QTest::newRow("unknown keys and empty pieces skipped")
            << onePalette("Nope=>无;;CPTabWidget=>标签;=>空") << "组件[  标签|CPTabWidget|std]";
        QTest::newRow("group without entries or textIcons dropped")
            << QByteArray("[group]\ncount=3\n[group0]\nname=甲\ntextIcons=\"Nope=>无\"\n[group1]\nname=乙\n"
                          "[group2]\nname=丙\ntextIcons=\"CPTabWidget=>标签\"\n")
            << "丙[  标签|CPTabWidget|std]";
        QTest::newRow("unquoted value ends at the first semicolon")
            << QByteArray("[group]\ncount=1\n[group0]\nname=甲\ntextIcons=CPTabWidget=>标签;TestComponent=>一\n")
            << "甲[  标签|CPTabWidget|std]";
        QTest::newRow("garbage lines")
            << QByteArray("\x01\x02 garbage\n=\n[[[\n[group]\ncount=1\nno equals sign\n[group0]\nname=甲\n"
                          "textIcons=\"CPTabWidget=>标签\"\n\xff\xfe\n")
            << "甲[  标签|CPTabWidget|std]";
    }

    void fileRules()
    {
        QFETCH(QByteArray, ini);
        QFETCH(QString, palette);
        if (!ini.isNull())
            writePalette(ini);
        CPControlTreeWidget widget(nullptr, true);
        QCOMPARE(describe(widget, m_skinIcon), palette);
        for (int i = 0; i < widget.topLevelItemCount(); ++i) {
            QTreeWidgetItem *group = widget.topLevelItem(i);
            QVERIFY(group->isExpanded());
            QCOMPARE(group->textAlignment(0), int(Qt::AlignCenter));
            for (int j = 0; j < group->childCount(); ++j)
                QCOMPARE(group->child(j)->flags(), Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsEnabled);
        }
    }

    void registryKeepsFirstReadOrderWithoutDuplicates()
    {
        writePalette("[group]\ncount=2\n[group0]\nname=甲\ntextIcons=\"TitledComponent=>标题=>a.png;CPTabWidget=>容器\"\n"
                     "[group1]\nname=乙\ntextIcons=\"CPTabWidget=>容器;TitledComponent=>标题\"\n");
        const QList<QStringList> before = CPControlTreeWidget::paletteEntries();
        QList<QStringList> expected = before;
        for (const QStringList &entry : {QStringList{"TitledComponent", "标题", "a.png"}, QStringList{"CPTabWidget", "容器"},
                                         QStringList{"TitledComponent", "标题"}}) {
            if (!expected.contains(entry))
                expected.append(entry);
        }
        CPControlTreeWidget first(nullptr, true);
        CPControlTreeWidget::loadPaletteEntries();
        CPControlTreeWidget second(nullptr, true);
        QCOMPARE(CPControlTreeWidget::paletteEntries(), expected);
    }

    void dragCarriesEntry_data()
    {
        QTest::addColumn<bool>("fromGroup");
        QTest::newRow("entry") << false;
        QTest::newRow("group caption") << true;
    }

    void dragCarriesEntry()
    {
        QFETCH(bool, fromGroup);
        writePalette(onePalette(QByteArray("TestComponent=>组件=>") + kIcon));
        Palette palette(nullptr, true);
        QTreeWidgetItem *entry = paletteEntry(&palette, QStringLiteral("TestComponent"));
        QVERIFY(entry);

        // An item in edit mode with a component, which steps aside for the drag.
        CPSplitView view;
        view.resize(400, 300);
        view.show();
        auto *target = new CPSplitItem(&view);
        view.setRootItem(target);
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        target->setContentUrl(QUrl("TitledComponent"));
        QWidget *old = target->content();

        DragEvents events;
        QDrag *drag = palette.drag(fromGroup ? entry->parent() : entry);
        QVERIFY(drag);
        QCOMPARE(drag->mimeData()->formats(), QStringList{CPControlTreeWidget::itemMimeType()});
        QCOMPARE(drag->hotSpot(), QPoint(12, 12));
        QCOMPARE(drag->pixmap().size(), fromGroup ? QSize(0, 0) : QSize(32, 32));

        // One begin and one end, with the same stamp, whatever became of the drag.
        QCOMPARE(events.seen.size(), 2);
        const QString stamp = events.seen.at(0).section(QLatin1Char(':'), 1);
        QVERIFY2(QRegularExpression("^\\d{17}$").match(stamp).hasMatch(), qPrintable(stamp));
        QCOMPARE(events.seen, (QStringList{"CPSplitItem#BeginDrag:" + stamp, "CPSplitItem#EndDrag:" + stamp}));
        QVERIFY(old->isEnabled());
        QCOMPARE(old->property("ProcessWKeventID").toString(), stamp);

        // Dropped on the item, the entry's component replaces the old one; a
        // group's empty URL creates nothing and the old component stays.
        QVERIFY(drop(target, drag->mimeData()));
        QCOMPARE(target->contentUrl().toString(), fromGroup ? QString() : QString("TestComponent"));
        QCOMPARE(target->content() == old, fromGroup);
        QCOMPARE(qobject_cast<TestComponent *>(target->content()) != nullptr, !fromGroup);
    }

    void tabMenuAddsTitleModePages()
    {
        writePalette(onePalette(QByteArray("WKTitleModeListView=>页面列表=>") + kIcon
                                + ";TestComponent=>组件;WKTitleModeListView=>页面目录"));
        CPControlTreeWidget palette(nullptr, true);

        CPSplitView view;
        view.resize(500, 300);
        auto *item = new CPSplitItem(&view);
        view.setRootItem(item);
        item->setContentUrl(QUrl("CPTabWidget"));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *tabs = qobject_cast<CPTabWidget *>(item->content());
        QVERIFY(tabs);

        std::unique_ptr<QMenu> menu(tabs->createSettingMenu());
        QMenu *newPages = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text() == QStringLiteral("添加新页"))
                newPages = action->menu();
        }
        QVERIFY(newPages);
        QStringList texts;
        for (QAction *action : newPages->actions())
            texts.append(action->text());
        QCOMPARE(texts, (QStringList{"页面列表", "页面目录"}));
        QCOMPARE(imageOf(newPages->actions().at(0)->icon()), imageOf(m_skinIcon));
        QVERIFY(newPages->actions().at(1)->icon().isNull());

        newPages->actions().at(0)->trigger();
        QCOMPARE(tabs->count(), 2);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(tabs->tabText(1), QString("页面列表"));
        auto *page = qobject_cast<CPSplitItem *>(tabs->currentWidget());
        QVERIFY(page && page->content());
        QCOMPARE(page->content()->objectName(), QString("pageList"));
        QCOMPARE(page->contentUrl().toString(), QString("WKTitleModeListView"));
    }

    // The terminal's palette lists every component it registers, each with an image of the default skin.
    void shippedPaletteCoversRegisteredComponents()
    {
        AppHost::registerComponents();
        const QString source = QStringLiteral(ZHP_SOURCE_DIR);
        QStringList listed;
        for (const PaletteGroup &group : readPaletteConfig(source + "/apps/terminal/config/zhp_v2.ini", componentKeys())) {
            for (const QStringList &entry : group.entries) {
                listed.append(entry.at(0));
                QCOMPARE(entry.size(), 3);
                QVERIFY2(QFile::exists(source + "/src/resources/skins/default/images/" + entry.at(2)), qPrintable(entry.at(2)));
            }
        }
        for (const QString &key : componentKeys()) {
            if (!key.contains(QLatin1String("Test")) && key != QLatin1String("TitledComponent"))
                QVERIFY2(listed.contains(key), qPrintable(key));
        }
        QCOMPARE(listed.removeDuplicates(), 0);
    }
};

QTEST_MAIN(TstPalette)
#include "tst_palette.moc"
