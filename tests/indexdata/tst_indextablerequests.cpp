// What index tables and the index selector do with their requests: only the
// answer to the latest query is shown, Ctrl+P opens the settings of the
// focused component however many a page holds, and a failed node query
// empties the candidates.
#include "serverfixture.h"
#include "modalhelper.h"

#include "editor/cpbasedialog.h"
#include "indexdata/cpindexdatacomponent.h"
#include "indexdata/cpindexdataview.h"
#include "indexdata/cpindexselector.h"
#include "indexdata/cpmultiindexdatacomponent.h"
#include "pagelayout/cpcustompage.h"
#include "wk/wkfactory.h"

#include <QtWidgets>

using namespace HXCPControls;

namespace {

const QString kRows = QStringLiteral("ZRN_INDEX_MULTI_PRICE_1");

QVariantMap header(const char *name, const char *caption)
{
    return {{"PROP_NAME", name}, {"PROP_CAPTION", caption}, {"PROP_TYP", "String"}};
}

CPIndexDataState state(std::initializer_list<int> indexes)
{
    CPIndexDataState s;
    s.headers = {header("INDEX_NAME", "指标名称"), header("INDEX_VAL", "最新值")};
    for (int n : indexes)
        s.indexes << QVariantMap{{"IDX_ID", double(kIndexBase + n)}};
    s.frequencies = {365};
    return s;
}

QJsonObject item(const char *url, int n)
{
    return {{"className", "HXCPControls::CPSplitItem"}, {"url", url},
            {"id", QStringLiteral("{00000000-0000-0000-0000-00000000000%1}").arg(n)},
            {"child", QJsonObject::fromVariantMap(state({n}).toMap())}};
}

} // namespace

class TstIndexTableRequests : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;

private slots:
    void initTestCase()
    {
        m_ds.setUp();
        WKFactory<QWidget>::registerClass<CPIndexDataComponent>("CPIndexDataComponent");
        WKFactory<QWidget>::registerClass<CPMultiIndexDataComponent>("CPMultiIndexDataComponent");
    }

    // Two reloads at the same frequency: the first answer, arriving last, is dropped.
    void latestAnswerWins()
    {
        CPIndexDataView view(nullptr, [] {
            CPIndexDataConfig config;
            config.dataObjName = kRows;
            return config;
        }());
        view.loadData(state({2, 3}));
        QTRY_COMPARE(view.model()->rowCount(), 2);

        m_ds.holdNext(kRows);
        view.loadData(state({2, 3, 4}));
        QTRY_COMPARE(m_ds.requestsTo(kRows).size(), 2);
        view.loadData(state({1}));
        QTRY_COMPARE(view.model()->rowCount(), 1);
        m_ds.release();
        QTRY_VERIFY(m_ds.heldAnswered());
        QTest::qWait(300); // time for the stale answer to arrive
        QCOMPARE(view.model()->rowCount(), 1);
        auto *name = qobject_cast<QPushButton *>(view.tableView()->indexWidget(view.model()->index(0, 0)));
        QVERIFY(name);
        QCOMPARE(name->text(), QStringLiteral("螺纹钢:HRB400 20mm:上海"));
    }

    // A page with two index tables and a multi-index table: Ctrl+P opens the
    // settings of the one that has the focus.
    void settingsOfTheFocusedComponent()
    {
        const QJsonObject page{
            {"rootItemType", "HXCPControls::CPSplitter"},
            {"rootObj", QJsonObject{{"orientation", 1}, {"sizes", QJsonArray{300, 300, 300}},
                                    {"children", QJsonArray{item("CPIndexDataComponent", 1), item("CPIndexDataComponent", 2),
                                                            item("CPMultiIndexDataComponent", 3)}}}}};
        CPCustomPage custom(nullptr, true);
        custom.resize(1000, 400);
        custom.show();
        custom.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&custom));
        custom.loadDataByContent(QString::fromUtf8(QJsonDocument(page).toJson()));
        QList<CPIndexDataComponent *> tables;
        QTRY_COMPARE((tables = custom.findChildren<CPIndexDataComponent *>()).size(), 3);
        for (CPIndexDataComponent *table : tables)
            QTRY_COMPARE(table->view()->model()->rowCount(), 1);

        for (int pass = 0; pass < 2; ++pass) {
            for (CPIndexDataComponent *table : tables) {
                custom.activateWindow(); // back from the previous dialog
                QVERIFY(QTest::qWaitForWindowActive(&custom));
                QWidget *viewport = table->view()->tableView()->viewport();
                QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(viewport->width() - 5, viewport->height() - 5));
                QTRY_VERIFY(table->isAncestorOf(QApplication::focusWidget()) || QApplication::focusWidget() == table);
                QWidget *opener = nullptr;
                QString indexObject;
                onNextModal<CPBaseDialog>([&](CPBaseDialog *dialog) {
                    opener = dialog->parentWidget();
                    if (auto *selector = dialog->findChild<CPIndexSelector *>())
                        indexObject = selector->indexObjName();
                    dialog->reject();
                });
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_P, Qt::ControlModifier);
                QTRY_VERIFY(opener);
                QCOMPARE(opener, table);
                QCOMPARE(indexObject, table->config().indexObjName);
            }
        }
    }

    // A failed query for a newly clicked node leaves no candidates of the previous one.
    void failedNodeEmptiesCandidates()
    {
        CPIndexSelector selector(nullptr, {{"INDEX_NAME", "指标名称"}}, true, {});
        selector.loadIndexCatalog("ZRN_GENERAL_INDEX_CATEGORY_1", "ZRN_GENERAL_INDEX_1", 3800, {});
        selector.loadCandidates({{"CAT_CODE", 380101}, {"HAV_IDX", 1}});
        QVERIFY(selector.candidateModel()->rowCount() > 0);

        m_ds.failObject("ZRN_GENERAL_INDEX_1");
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^mIndexService.getIndexs error: "));
        selector.loadCandidates({{"CAT_CODE", 380102}, {"HAV_IDX", 1}});
        QCOMPARE(selector.candidateModel()->rowCount(), 0);
        m_ds.failObject("ZRN_GENERAL_INDEX_1", false);
    }
};

QTEST_MAIN(TstIndexTableRequests)
#include "tst_indextablerequests.moc"
