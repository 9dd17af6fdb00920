// Pages saved to and loaded from a real server: the tree comes back as it was.
#include "pagetestutil.h"

#include "pagelayout/cpcompositepanelservice.h"
#include "pagelayout/cpcustompage.h"
#include "pagelayout/cptabwidget.h"
#include "seeddata.h"
#include "server.h"
#include "serversignin.h"
#include "wk/wkappconfig.h"
#include "wk/wkserviceconfig.h"

#include <QTemporaryDir>

using namespace HXCPControls;
using namespace PageTest;

class TstPageServer : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    zhpserver::Server m_server;

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

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        ZhpTest::isolateHostFolders();
        TestComponent::registerIn();
        zhpserver::Options options;
        options.databasePath = m_dir.filePath("pages.sqlite");
        options.seed = true;
        options.logRequests = false;
        QString error;
        QVERIFY2(m_server.start(options, &error), qPrintable(error));
        WKServiceConfig::instance()->setHttpUrl("servercfg.ini:Global", m_server.baseUrl());
        WKAppConfig::instance()->setUserInfo({zhpserver::seed::SampleUser, "演示"});
        QVERIFY2(ZhpTest::signIn(m_server, zhpserver::seed::SampleUser, {}, &error), qPrintable(error));
        WKAppConfig::instance()->setProductId(zhpserver::seed::SampleProduct);
    }

    void editedPageComesBackById()
    {
        const QString padId = zhpserver::seed::UserEmptyPad;

        // Build a page in edit mode: nested splitters, a tab container with a
        // split view page, titles, a size policy.
        CPCustomPage editor(nullptr, true), viewer(nullptr, true);
        for (CPCustomPage *page : {&editor, &viewer}) {
            page->editable(true);
            page->resize(1000, 700);
            page->show();
        }
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto *root = qobject_cast<CPSplitItem *>(editor.splitView()->rootItem());
        root->onIndicator(SplitRight);
        settle(&editor);
        auto *top = qobject_cast<CPSplitter *>(editor.splitView()->rootItem());
        auto *right = qobject_cast<CPSplitItem *>(top->widget(1));
        right->onIndicator(SplitBottom);
        settle(&editor);
        right->setContentUrl(QUrl("CPTabWidget"));
        right->setWindowTitle("标签区");
        auto *tabs = qobject_cast<CPTabWidget *>(right->content());
        QVERIFY(tabs && tabs->editModel());
        tabs->addSplitterContainer();
        tabs->setTabText(0, "概览");
        tabs->setTabText(1, "明细");
        root->setContentUrl(QUrl("TestComponent?src=page"));
        qobject_cast<TestComponent *>(root->content())->state = {{"rows", QVariantList{1, 2}}};
        root->setWindowTitle("左侧");
        QSizePolicy policy = root->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Expanding);
        policy.setHorizontalStretch(2);
        root->setSizePolicy(policy);
        settle(&editor);

        const QVariantMap saved = editor.getContent();
        const QString text = QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(saved)).toJson(QJsonDocument::Compact));
        const auto stored = call([&](auto &s, auto cb) { s.updateUserPageContent(padId, text, cb); });
        QVERIFY2(stored.success, qPrintable(stored.errorMsg));

        // The server gives back the text as it was stored.
        const auto fetched = call([&](auto &s, auto cb) { s.getPageById(padId, cb); });
        QVERIFY(fetched.success);
        QCOMPARE(fetched.data.object().value("padCont").toString(), text);

        viewer.loadDataById(padId);
        QTRY_COMPARE(viewer.padID(), padId);
        settle(&viewer);
        auto *container = viewer.findChild<CPTabWidget *>();
        QVERIFY(container);
        QCOMPARE(container->currentIndex(), 1);
        container->setCurrentIndex(0); // every page once shown
        settle(&viewer);
        container->setCurrentIndex(1);
        settle(&viewer);
        QCOMPARE(withoutDates(viewer.getContent()), withoutDates(saved));
    }
};

QTEST_MAIN(TstPageServer)
#include "tst_pageserver.moc"
