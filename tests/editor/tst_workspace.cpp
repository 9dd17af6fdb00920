// The editor workspace: the toolbar's states, the height dialog, preview,
// saving to a real server in both modes, and the edit mode of every handle.
#include "workspacetest.h"

#include "editor/cpbasedialog.h"
#include "editor/workspace/cpconfigheight.h"
#include "editor/workspace/cpmanagepageview.h"
#include "editor/workspace/cptoolbarview.h"
#include "modalhelper.h"
#include "pagelayout/cpcompositepanelservice.h"
#include "pagelayout/cpcustompage.h"
#include "pagelayout/cptabwidget.h"
#include "seeddata.h"
#include "server.h"
#include "wk/wkappconfig.h"
#include "wk/wkserviceconfig.h"

#include <QTcpServer>

using namespace HXCPControls;
using namespace PageTest;
using namespace WorkspaceTest;

namespace {
const char *const kGlobal = "servercfg.ini:Global";

QPushButton *button(QWidget *parent, const char *name)
{
    return parent->findChild<QPushButton *>(QLatin1String(name));
}

// The toolbar as "responsive button|height button|preview button", "-" for a hidden button, "*" when checked.
QString describe(CPToolBarView &bar)
{
    auto shown = [&bar](const char *name) {
        QPushButton *b = button(&bar, name);
        return b->isVisibleTo(&bar) ? b->text() + (b->isChecked() ? "*" : "") : QStringLiteral("-");
    };
    return shown("responsive_btn") + '|' + shown("height_btn") + '|' + shown("preview_btn");
}

// Answers the next height dialog: records its initial text as "dialog:<text>",
// then types `text` and confirms, or cancels when `text` is null.
void answerHeightDialog(QStringList *log, const QString &text)
{
    onNextModal<CPBaseDialog>([log, text](CPBaseDialog *dialog) {
        auto *edit = dialog->findChild<QLineEdit *>();
        log->append("dialog:" + edit->text());
        if (text.isNull()) {
            dialog->reject();
            return;
        }
        edit->setText(text);
        button(dialog, "pbOk")->click();
    });
}

QString compactJson(const QVariantMap &content)
{
    return QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(content)).toJson(QJsonDocument::Compact));
}

HXDataApi::HttpJsonResult call(const std::function<void(CPCompositePanelService &, CPCompositePanelService::Callback)> &op)
{
    CPCompositePanelService service;
    HXDataApi::HttpJsonResult result;
    bool done = false;
    op(service, [&](const HXDataApi::HttpJsonResult &r) {
        result = r;
        done = true;
    });
    [&] { QTRY_VERIFY_WITH_TIMEOUT(done, 10000); }();
    return result;
}

// A workspace shown at a fixed size.
struct Workspace {
    CPManagePageView view;
    explicit Workspace(bool userMode = false)
        : view(nullptr, userMode)
    {
        view.resize(1100, 700);
        view.show();
        [this] { QVERIFY(QTest::qWaitForWindowExposed(&view)); }();
    }
    // The root item, or the first item of a page whose root is a splitter.
    CPSplitItem *root() const { return view.page()->splitView()->findChild<CPSplitItem *>(); }
    // Clicks "保存" and waits for the answer's message box.
    MessageBoxCatcher save()
    {
        MessageBoxCatcher box;
        box.arm();
        button(view.toolBar(), "save_btn")->click();
        [&box] { QTRY_VERIFY_WITH_TIMEOUT(box.seen, 10000); }();
        return box;
    }
};
} // namespace

class TstWorkspace : public QObject
{
    Q_OBJECT
    TestSkins m_skins;
    QTemporaryDir m_dir;
    zhpserver::Server m_server;

private slots:
    void initTestCase()
    {
        m_skins.install();
        QLoggingCategory::setFilterRules(QStringLiteral("zhp.server.info=false"));
        registerComponents();
        writePalette(onePalette("TestComponent=>组件;CPTabWidget=>标签容器;WKTitleModeListView=>页面列表"));
        zhpserver::Options options;
        options.databasePath = m_dir.filePath("pages.sqlite");
        options.seed = true;
        options.logRequests = false;
        QString error;
        QVERIFY2(m_server.start(options, &error), qPrintable(error));
        WKAppConfig::instance()->setUserInfo({zhpserver::seed::SampleUser, "演示"});
        WKAppConfig::instance()->setProductId(zhpserver::seed::SampleProduct);
    }

    void init() { WKServiceConfig::instance()->setHttpUrl(kGlobal, m_server.baseUrl()); }

    void cleanupTestCase() { removePalette(); }

    void toolbarStates_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QString>("log");

        QTest::newRow("start") << "" << "固定高度|-|预览" << "";
        QTest::newRow("preview") << "preview" << "-|-|取消预览*" << "preview:1";
        QTest::newRow("preview twice") << "preview preview" << "固定高度|-|预览" << "preview:1 preview:0";
        QTest::newRow("fixed") << "fixed:800" << "自适应高度|设置高度|预览" << "dialog:-1 height:800";
        QTest::newRow("fixed, preview, preview") << "fixed:800 preview preview" << "自适应高度|设置高度|预览"
                                                 << "dialog:-1 height:800 preview:1 preview:0";
        QTest::newRow("fixed over preview") << "fixed:800 preview" << "-|-|取消预览*" << "dialog:-1 height:800 preview:1";
        QTest::newRow("fixed, then responsive keeps the height")
            << "fixed:800 responsive responsive:" << "固定高度|-|预览" << "dialog:-1 height:800 height:-1 dialog:800";
        QTest::newRow("cancelled dialog") << "responsive:" << "固定高度|-|预览" << "dialog:-1";
        QTest::newRow("empty height reads 0") << "fixed:" << "自适应高度|设置高度|预览" << "dialog:-1 height:0";
        QTest::newRow("height button") << "fixed:800 height:900" << "自适应高度|设置高度|预览"
                                       << "dialog:-1 height:800 dialog:800 height:900";
        QTest::newRow("cancelled height button") << "fixed:800 height:" << "自适应高度|设置高度|预览"
                                                 << "dialog:-1 height:800 dialog:800";
        QTest::newRow("state set fixed") << "state:600" << "自适应高度|设置高度|预览" << "";
        QTest::newRow("state set fixed during preview") << "preview state:600 preview" << "自适应高度|设置高度|预览"
                                                        << "preview:1 preview:0";
        QTest::newRow("state set responsive") << "fixed:800 state:-1" << "固定高度|-|预览" << "dialog:-1 height:800";
        QTest::newRow("save") << "save" << "固定高度|-|预览" << "save";
    }

    void toolbarStates()
    {
        QFETCH(QString, steps);
        QFETCH(QString, buttons);
        QFETCH(QString, log);

        CPToolBarView bar(nullptr, true);
        QStringList seen;
        connect(&bar, &CPToolBarView::previewState, [&seen](bool p) { seen << QStringLiteral("preview:%1").arg(p); });
        connect(&bar, &CPToolBarView::responsiveHeightChanged, [&seen](int h) { seen << QStringLiteral("height:%1").arg(h); });
        connect(&bar, &CPToolBarView::save, [&seen] { seen << QStringLiteral("save"); });

        // "name" clicks a button; "name:text" answers the dialog it opens
        // (an empty text after the colon cancels, "fixed:" confirms an empty field).
        for (const QString &step : steps.split(' ', Qt::SkipEmptyParts)) {
            const QString name = step.section(':', 0, 0);
            const QString arg = step.section(':', 1);
            if (name == "state") {
                bar.setResponsiveState(arg.toInt() < 1, arg.toInt());
                continue;
            }
            if (step.contains(':'))
                answerHeightDialog(&seen, name == "fixed" ? arg : arg.isEmpty() ? QString() : arg);
            const char *target = name == "preview" ? "preview_btn"
                               : name == "save"    ? "save_btn"
                               : name == "height"  ? "height_btn"
                                                   : "responsive_btn";
            button(&bar, target)->click();
        }
        QCOMPARE(describe(bar), buttons);
        QCOMPARE(seen.join(' '), log);
    }

    void heightForm_data()
    {
        QTest::addColumn<QString>("ratio");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("height");

        QTest::newRow("current height") << "" << QString() << 700;
        QTest::newRow("1.5 times, truncated") << "1.5倍高度" << QString() << 949;
        QTest::newRow("2 times") << "2倍高度" << QString() << 1266;
        QTest::newRow("3 times") << "3倍高度" << QString() << 1899;
        QTest::newRow("letters refused") << "" << "12ab3" << 123;
        QTest::newRow("empty field") << "" << "" << 0;
    }

    void heightForm()
    {
        QFETCH(QString, ratio);
        QFETCH(QString, typed);
        QFETCH(int, height);

        CPConfigHeight form(700, 633);
        for (QPushButton *b : form.findChildren<QPushButton *>()) {
            if (b->text() == ratio)
                b->click();
        }
        if (!typed.isNull()) {
            auto *edit = form.findChild<QLineEdit *>();
            edit->clear();
            QTest::keyClicks(edit, typed);
        }
        QCOMPARE(form.heightValue(), height);
    }

    void workspaceTakesPageHeight_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("responsive");
        QTest::newRow("absent") << QVariant() << true;
        QTest::newRow("zero") << QVariant(0) << true;
        QTest::newRow("negative") << QVariant(-5) << true;
        QTest::newRow("800") << QVariant(800) << false;
    }

    void workspaceTakesPageHeight()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, responsive);
        Workspace w;
        QVariantMap content;
        if (stored.isValid())
            content.insert("height", stored);
        w.view.loadContent(content, "页面");
        CPToolBarView *bar = w.view.toolBar();
        QCOMPARE(bar->isResponsive(), responsive);
        QCOMPARE(bar->fixedHeight(), responsive ? w.view.page()->height() : 800);
        QCOMPARE(bar->designHeight(), w.view.page()->height());
        QCOMPARE(describe(*bar), responsive ? QString("固定高度|-|预览") : QString("自适应高度|设置高度|预览"));
        QCOMPARE(w.view.findChild<QLabel *>("toolbar_title")->text(), QString("页面"));

        // The toolbar's height goes to the page, which saves it.
        w.view.page()->setResponsiveHeight(-1);
        emit bar->responsiveHeightChanged(640);
        QCOMPARE(w.view.page()->getContent().value("height").toInt(), 640);
    }

    void previewShowsThePageReadOnly()
    {
        Workspace w;
        w.view.loadContent({}, "页面");
        QVERIFY(w.view.palette()->isVisible() && w.view.toolBar()->isVisible() && w.view.page()->isVisible());
        QVERIFY(w.view.palette()->isHeaderHidden());
        for (bool preview : {true, false}) {
            button(w.view.toolBar(), "preview_btn")->click();
            QCOMPARE(w.view.palette()->isVisible(), !preview);
            QCOMPARE(w.view.page()->readOnly(), preview);
            QCOMPARE(w.root()->editModel(), !preview);
        }
    }

    void save_data()
    {
        QTest::addColumn<bool>("userMode");
        QTest::addColumn<QString>("padId");
        QTest::addColumn<bool>("stored");
        QTest::newRow("user page in user mode") << true << QString(zhpserver::seed::UserEmptyPad) << true;
        QTest::newRow("product page in product mode") << false << QString(zhpserver::seed::ProductNotePad) << true;
        QTest::newRow("product page in user mode") << true << QString(zhpserver::seed::SeasonPad) << false;
        QTest::newRow("user page in product mode") << false << QString(zhpserver::seed::UserPad) << false;
    }

    void save()
    {
        QFETCH(bool, userMode);
        QFETCH(QString, padId);
        QFETCH(bool, stored);

        Workspace w(userMode);
        w.view.loadData(padId, "页面");
        QTRY_COMPARE(w.view.page()->padID(), padId);
        settle(&w.view);
        // What the page held before, as the server has it.
        const QString before = call([&](auto &s, auto cb) { s.getPageById(padId, cb); }).data.object().value("padCont").toString();

        w.root()->setContentUrl(QUrl("TestComponent?src=save"));
        qobject_cast<TestComponent *>(w.root()->content())->state = {{"rows", QVariantList{1, 2}}};
        QSignalSpy saved(&w.view, &CPManagePageView::save);
        if (!stored) {
            ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^save of page .* failed:"));
            ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("保存失败，请刷新分类"));
        }
        const MessageBoxCatcher box = w.save();
        QCOMPARE(box.title, stored ? QString("提示") : QString("错误"));
        QCOMPARE(box.text, stored ? QString("保存成功") : QString("保存失败，请刷新分类"));
        QCOMPARE(saved.count(), 1);
        const QVariantMap content = saved.at(0).at(0).toMap();

        const QString now = call([&](auto &s, auto cb) { s.getPageById(padId, cb); }).data.object().value("padCont").toString();
        QCOMPARE(now, stored ? compactJson(content) : before);
        if (!stored)
            return;
        CPCustomPage reader(nullptr, true);
        reader.show();
        reader.loadDataById(padId);
        QTRY_COMPARE(reader.padID(), padId);
        settle(&reader);
        QCOMPARE(withoutDates(reader.getContent()), withoutDates(content));
    }

    void failedSaveKeepsTheEditor()
    {
        Workspace w;
        w.view.loadData(zhpserver::seed::ProductNotePad, "页面");
        QTRY_COMPARE(w.view.page()->padID(), QString(zhpserver::seed::ProductNotePad));
        settle(&w.view);
        const QVariantMap before = withoutDates(w.view.page()->getContent());

        QTcpServer closed; // a port on which nothing listens any more
        QVERIFY(closed.listen(QHostAddress::LocalHost));
        const quint16 port = closed.serverPort();
        closed.close();
        WKServiceConfig::instance()->setHttpUrl(kGlobal, QStringLiteral("http://127.0.0.1:%1/").arg(port));

        QSignalSpy saved(&w.view, &CPManagePageView::save);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^save of page .* failed:"));
        ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("保存失败，请刷新分类"));
        const MessageBoxCatcher box = w.save();
        QCOMPARE(box.title, QString("错误"));
        QCOMPARE(box.text, QString("保存失败，请刷新分类"));
        QCOMPARE(saved.count(), 1);
        QCOMPARE(withoutDates(saved.at(0).at(0).toMap()), before);
        QCOMPARE(withoutDates(w.view.page()->getContent()), before);
        QVERIFY(!w.view.page()->readOnly() && w.view.palette()->isVisible());
    }

    void newPageWithoutIdEmitsBeforeAndAfter()
    {
        Workspace w(true);
        w.view.loadContent({}, "新页面");
        QSignalSpy saved(&w.view, &CPManagePageView::save);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^save of page .* failed:"));
        ZhpTest::expectMessage(QtWarningMsg, QStringLiteral("保存失败，请刷新分类"));
        MessageBoxCatcher box;
        box.arm();
        button(w.view.toolBar(), "save_btn")->click();
        QCOMPARE(saved.count(), 1); // before the request
        QTRY_VERIFY_WITH_TIMEOUT(box.seen, 10000);
        QCOMPARE(saved.count(), 2); // after its answer
        QCOMPARE(saved.at(0), saved.at(1));
    }

    // A page built from nothing by dragging from the palette, split twice,
    // with a tab container and a page added through its menu: saved and
    // read back by ID, it is the same tree with the same components.
    void builtPageComesBackById()
    {
        const QString nodeCode = QUuid::createUuid().toString(QUuid::Id128).toUpper();
        const QString padId = QUuid::createUuid().toString(QUuid::Id128).toUpper();
        QVERIFY(call([&](auto &s, auto cb) { s.addUserNode(nodeCode, "ROOT", "新建页面", padId, true, 0, cb); }).success);

        Workspace w(true);
        w.view.loadData(padId, "新建页面");
        QTRY_COMPARE(w.view.page()->padID(), padId);
        settle(&w.view);

        CPSplitItem *left = w.root();
        left->onIndicator(SplitRight);
        settle(&w.view);
        auto *right = qobject_cast<CPSplitItem *>(qobject_cast<CPSplitter *>(w.view.page()->splitView()->rootItem())->widget(1));
        right->onIndicator(SplitBottom);
        settle(&w.view);
        auto *bottom = qobject_cast<CPSplitItem *>(qobject_cast<CPSplitter *>(right->parentWidget())->widget(1));

        const std::pair<CPSplitItem *, const char *> drops[] = {
            {left, "TestComponent"}, {right, "TestComponent"}, {bottom, "CPTabWidget"}};
        for (const auto &[item, key] : drops) {
            std::unique_ptr<QMimeData> mime(CPControlTreeWidget::createMimeData(paletteEntry(w.view.palette(), key)));
            QVERIFY(drop(item, mime.get()));
        }
        qobject_cast<TestComponent *>(left->content())->state = {{"kind", "chart"}};
        qobject_cast<TestComponent *>(right->content())->state = {{"kind", "table"}};
        auto *tabs = qobject_cast<CPTabWidget *>(bottom->content());
        std::unique_ptr<QMenu> menu(tabs->createSettingMenu());
        QMenu *newPages = menu->findChild<QMenu *>();
        QVERIFY(newPages && !newPages->actions().isEmpty());
        newPages->actions().at(0)->trigger();
        QCOMPARE(tabs->count(), 2);
        settle(&w.view);

        const MessageBoxCatcher box = w.save();
        QCOMPARE(box.text, QString("保存成功"));
        const QVariantMap built = w.view.page()->getContent();

        CPCustomPage reader(nullptr, true); // as large as the page was, so that the splitters keep their sizes
        reader.resize(w.view.page()->size());
        reader.show();
        reader.loadDataById(padId);
        QTRY_COMPARE(reader.padID(), padId);
        settle(&reader);
        auto *readTabs = reader.findChild<CPTabWidget *>();
        QVERIFY(readTabs);
        readTabs->setCurrentIndex(1 - readTabs->currentIndex()); // every tab page once shown
        settle(&reader);
        readTabs->setCurrentIndex(1 - readTabs->currentIndex());
        settle(&reader);
        QCOMPARE(withoutDates(reader.getContent()), withoutDates(built));
        QCOMPARE(reader.findChildren<TestComponent *>().size(), 2);
        QVERIFY(reader.findChild<QLabel *>("pageList"));
    }

    // Handles cannot be dragged in view mode: those of split views restored
    // in tab pages and those of splitters made by a split across orientations.
    void viewModeFreezesEveryHandle()
    {
        const QVariantMap content = fromJson(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{
            "orientation":1,"sizes":[300,300],"children":[
              {"className":"HXCPControls::CPSplitItem"},
              {"className":"HXCPControls::CPSplitItem","url":"CPTabWidget","child":{"currentIndex":0,"pages":[
                {"ctype":"HXCPControls::CPSplitView","tabText":"A","rootItemType":"HXCPControls::CPSplitter",
                 "rootObj":{"orientation":2,"sizes":[100,100],"children":[
                   {"className":"HXCPControls::CPSplitItem"},{"className":"HXCPControls::CPSplitItem"}]}}]}}]}})");
        CPCustomPage page(nullptr, true);
        page.resize(800, 500);
        page.show();
        page.loadDataByMap(content);
        settle(&page);

        // Each splitter as "drag" or "fixed", marked when its zhpObj is not that of its items and its view.
        auto states = [&page] {
            QStringList states;
            for (CPSplitter *splitter : page.findChildren<CPSplitter *>()) {
                CPSplitItem *item = splitter->findChild<CPSplitItem *>();
                const bool sameObj = splitter->property("zhpObj").value<QWidget *>() == item->zhpObj()
                                     && item->zhpObj() == CPSplitView::ancestorOf(splitter);
                states << QString(splitter->dragAllowed() ? "drag" : "fixed") + (sameObj ? "" : "!zhpObj");
            }
            return states.join(' ');
        };
        QCOMPARE(states(), QString("fixed fixed"));

        page.editable(true);
        QCOMPARE(states(), QString("drag drag"));
        // A vertical split of an item in a horizontal splitter nests a new splitter.
        qobject_cast<CPSplitItem *>(qobject_cast<CPSplitter *>(page.splitView()->rootItem())->widget(0))->onIndicator(SplitTop);
        settle(&page);
        QCOMPARE(states(), QString("drag drag drag"));
        page.editable(false);
        QCOMPARE(states(), QString("fixed fixed fixed"));
    }
};

QTEST_MAIN(TstWorkspace)
#include "tst_workspace.moc"
