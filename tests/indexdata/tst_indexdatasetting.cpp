// The settings of an index table: the form's refusals, the index selector,
// the header list, the frequency ceiling, the title bar, and the dialog that
// changes a component.
#include "serverfixture.h"
#include "modalhelper.h"

#include "editor/cpbasedialog.h"
#include "hxdataapi/hxtreeview.h"
#include "indexdata/cpfrequencyselector.h"
#include "indexdata/cpindexdatacomponent.h"
#include "indexdata/cpindexdataservice.h"
#include "indexdata/cpindexdatasetting.h"
#include "indexdata/cpindexdataview.h"
#include "indexdata/cpindexselector.h"
#include "indexdata/cpindextitlebar.h"
#include "indexdata/cpmultiindexdatacomponent.h"
#include "indexdata/cpselectheaderview.h"

#include <QtWidgets>

using namespace HXCPControls;

namespace {

QString params(int frequencyCode)
{
    return QStringLiteral(R"([{"name":"FREQUENCY_CODE","defaultValue":%1},{"name":"VALUE_TYPE","defaultValue":100803}])")
        .arg(frequencyCode);
}

QVariantMap index(qint64 id, const QString &unit, const QString &indexParams)
{
    return {{"IDX_ID", id}, {"INDEX_NAME", QStringLiteral("指标%1").arg(id)}, {"UNIT_NAME", unit},
            {"INDEX_PARAMS", indexParams}};
}

QList<int> shownCodes(CPFrequencySelector &selector)
{
    QList<int> codes;
    for (int code : {1, 4, 7, 12, 365})
        if (selector.checkBox(code) && !selector.checkBox(code)->isHidden())
            codes << code;
    return codes;
}

QStringList captions(const QStandardItemModel *model)
{
    QStringList list;
    for (int r = 0; r < model->rowCount(); ++r)
        list << model->item(r)->text();
    return list;
}

// Clicks the catalogue node with `code` in a selector's tree.
bool clickNode(CPIndexSelector *selector, const QString &code)
{
    const QModelIndex source = selector->treeView()->indexOfId(code);
    if (!source.isValid())
        return false;
    const QVariantMap row = source.data(HXControl::HXTreeView::RowRole).toMap();
    emit selector->treeView()->clicked(source, row);
    return true;
}

} // namespace

class TstIndexDataSetting : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;

private slots:
    void initTestCase()
    {
        m_ds.setUp();
        CPIndexDataService service;
        QSignalSpy spy(&service, &CPIndexDataService::getFrequencyFinished);
        service.getFrequencyList();
        QTRY_COMPARE(spy.count(), 1);
    }

    void init() { m_ds.clear(); }

    void frequencyCeiling()
    {
        CPFrequencySelector selector;
        QCOMPARE(shownCodes(selector), QList<int>({1, 4, 7, 12, 365}));
        selector.setSelected({7, 365, 1});
        QCOMPARE(selector.selected(), QList<int>({1, 7, 365}));

        selector.resetFrequency({}); // ignored
        QCOMPARE(selector.selected(), QList<int>({1, 7, 365}));

        // A monthly index: weekly (52) and daily (365) disappear, the rest are checked.
        selector.resetFrequency({index(1, "元/吨", params(12))});
        QCOMPARE(selector.ceiling(), 12);
        QCOMPARE(shownCodes(selector), QList<int>({1, 4, 12}));
        QCOMPARE(selector.selected(), QList<int>({1, 4, 12}));

        // The finest default frequency of all indices decides.
        selector.resetFrequency({index(1, "元/吨", params(12)), index(2, "元/吨", params(7))});
        QCOMPARE(selector.ceiling(), 52);
        QCOMPARE(selector.selected(), QList<int>({1, 4, 7, 12}));

        // Empty parameters and an unknown default frequency both count as 1.
        selector.resetFrequency({index(1, "元/吨", QString())});
        QCOMPARE(selector.selected(), QList<int>({1}));
        selector.resetFrequency({index(1, "元/吨", params(99))});
        QCOMPARE(selector.ceiling(), 1);
        QCOMPARE(shownCodes(selector), QList<int>({1}));

        // Unreadable parameters: an error box, then 1.
        MessageBoxCatcher box;
        box.arm();
        selector.resetFrequency({index(1, "元/吨", QStringLiteral("[{oops")), index(2, "元/吨", params(4))});
        QCOMPARE(box.text, QStringLiteral("获取指标参数失败"));
        QCOMPARE(selector.ceiling(), 4);
        QCOMPARE(selector.selected(), QList<int>({1, 4}));
    }

    void titleBar()
    {
        CPIndexTitleBar bar(nullptr, CPIndexDataService::cachedFrequencies());
        bar.reset(false, QStringLiteral("不显示"), {12, 1, 7});
        QVERIFY(bar.titleLabel()->isHidden());
        QCOMPARE(bar.activeCode(), 12); // the highest listed code
        QVERIFY(bar.button(12)->property("selected").toBool());
        QVERIFY(!bar.button(7)->property("selected").toBool());
        QVERIFY(bar.button(365)->isHidden());
        QVERIFY(!bar.button(1)->isHidden());

        QList<int> chosen;
        connect(&bar, &CPIndexTitleBar::changed, this, [&chosen](int &code) { chosen << code; });
        bar.button(1)->click();
        QCOMPARE(chosen, QList<int>({1}));
        QVERIFY(bar.button(1)->property("selected").toBool());
        QVERIFY(!bar.button(12)->property("selected").toBool());

        bar.reset(true, QStringLiteral("标题"), {});
        QVERIFY(!bar.titleLabel()->isHidden());
        QCOMPARE(bar.titleLabel()->text(), QStringLiteral("标题"));
        QCOMPARE(bar.activeCode(), 0);
    }

    void indexSelector()
    {
        CPIndexDataConfig config;
        config.columns = {{"INDEX_NAME", "指标名称"}, {"UNIT_NAME", "单位"}};
        CPIndexSelector selector(nullptr, config.columns, true, config.fieldNames());
        QSignalSpy changed(&selector, &CPIndexSelector::selectIndexChanged);
        QVariantMap required = index(kIndexBase + 21, "点", params(365));
        required.insert("required", true);
        selector.loadIndexCatalog(config.catalogObjName, QStringLiteral("ZRN_GENERAL_INDEX_MULTIPRICE_1"), 3800,
                                  {required});
        QCOMPARE(selector.count(), 1);

        // Only the branch under 3800 that leads to indices, in SN order.
        QTRY_VERIFY(selector.treeView()->model()->rowCount() > 0);
        QVERIFY(selector.treeView()->indexOfId("380201").isValid());
        QVERIFY(selector.treeView()->indexOfId("3800").isValid());
        QVERIFY(!selector.treeView()->indexOfId("317401").isValid());
        QVERIFY(!selector.treeView()->indexOfId("3174").isValid());
        QCOMPARE(m_ds.requestsTo(config.catalogObjName).size(), 1);

        // A node without indices loads nothing; one with indices loads its candidates.
        QVERIFY(clickNode(&selector, "3802"));
        QCOMPARE(selector.candidateModel()->rowCount(), 0);
        QVERIFY(clickNode(&selector, "380201"));
        QCOMPARE(selector.candidateModel()->rowCount(), 3);
        QCOMPARE(m_ds.requestsTo("ZRN_GENERAL_INDEX_MULTIPRICE_1").last().value("filter").toString(), "CAT_CODE == :PNODE");
        QCOMPARE(m_ds.lastParams("ZRN_GENERAL_INDEX_MULTIPRICE_1").value("PNODE").toInt(), 380201);

        // Clicking a candidate twice keeps one row.
        const QModelIndex first = selector.candidateModel()->index(0, 0);
        QTest::mouseClick(selector.candidateView()->viewport(), Qt::LeftButton, {},
                          selector.candidateView()->visualRect(first).center());
        selector.addIndex(selector.candidateModel()->item(0, 0)->data(Qt::UserRole + 1).toMap());
        QCOMPARE(selector.count(), 2);
        changed.clear();
        selector.selectAll();
        QCOMPARE(selector.count(), 4);
        QCOMPARE(changed.count(), 2);
        QCOMPARE(changed.last().at(0).value<QList<QVariantMap>>().size(), 4);
        QVERIFY(!selector.addIndex({{"INDEX_NAME", "无ID"}}));

        // Units: the required index (点) and the ore indices (元/湿吨, 万吨).
        QCOMPARE(selector.validateInput(), QString());
        selector.setUnitLimit(2);
        QCOMPARE(selector.validateInput(), QStringLiteral("不同单位不能超过 2 个"));

        selector.removeIndex(0); // required: stays
        QCOMPARE(selector.count(), 4);
        selector.removeIndex(1);
        QCOMPARE(selector.count(), 3);
        selector.clearSelection();
        QCOMPARE(selector.count(), 1);
        QCOMPARE(selector.selected().first().value("IDX_ID").toLongLong(), kIndexBase + 21);
        // A cleared index can be chosen again.
        QVERIFY(selector.addIndex(selector.candidateModel()->item(0, 0)->data(Qt::UserRole + 1).toMap()));

        // A failed query for another node leaves none of the previous node's candidates.
        m_ds.failObject("ZRN_GENERAL_INDEX_MULTIPRICE_1");
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^mIndexService.getIndexs error: "));
        selector.loadCandidates({{"CAT_CODE", 380101}, {"HAV_IDX", 1}});
        m_ds.failObject("ZRN_GENERAL_INDEX_MULTIPRICE_1", false);
        QCOMPARE(selector.candidateModel()->rowCount(), 0);
    }

    void headerList()
    {
        CPSelectHeaderView view(nullptr, QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"), {QStringLiteral("INDEX_NAME")});
        view.setSelected({});
        QTRY_VERIFY(view.model()->rowCount() > 0);
        const QStringList all = captions(view.model());
        QCOMPARE(all.first(), QStringLiteral("指标名称"));
        QCOMPARE(view.count(), view.model()->rowCount()); // everything checked
        QVERIFY(!(view.model()->item(0)->flags() & Qt::ItemIsUserCheckable));
        QVERIFY(!(view.model()->item(1)->flags() & Qt::ItemIsDropEnabled));
        QString limit;
        view.selected(&limit);
        QCOMPARE(limit, QStringLiteral("CHANGE_VAL"));

        // A previous selection comes back checked and in its saved order.
        QList<QVariantMap> saved;
        for (const char *name : {"CHANGE_VAL", "INDEX_NAME", "PUBLISH_DT"}) {
            for (int r = 0; r < view.model()->rowCount(); ++r) {
                const QVariantMap row = view.model()->item(r)->data(Qt::UserRole + 1).toMap();
                if (row.value("PROP_NAME").toString() == QLatin1String(name))
                    saved << row;
            }
        }
        QCOMPARE(saved.size(), 3);
        view.setSelected(saved);
        QTRY_COMPARE(view.count(), 3);
        QCOMPARE(captions(view.model()).mid(0, 3), QStringList({"涨跌", "指标名称", "发布日期"}));
        QCOMPARE(view.model()->rowCount(), all.size());
        QStringList names;
        for (const QVariantMap &row : view.selected())
            names << row.value("PROP_NAME").toString();
        QCOMPARE(names, QStringList({"CHANGE_VAL", "INDEX_NAME", "PUBLISH_DT"}));
    }

    void formRefusesInOrder()
    {
        CPIndexDataComponent component;
        CPIndexDataSetting form(nullptr, component.config());
        form.setState(CPIndexDataState());
        QCOMPARE(form.validateInput(), QStringLiteral("请选择频率"));
        form.frequencySelector()->checkBox(365)->setChecked(true);
        QCOMPARE(form.validateInput(), QStringLiteral("请选择指标"));
        QTRY_VERIFY(form.headerView()->model()->rowCount() > 0);
        form.indexSelector()->addIndex(index(kIndexBase + 1, "元/吨", params(365)));
        QCOMPARE(form.validateInput(), QString());

        // Headers that could not be loaded leave nothing to show.
        m_ds.clear();
        m_ds.failObject("ZRN_GET_PROPERTIES_BY_OBJNAME_1");
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression("^mIndexService.getProperties error: "));
        CPIndexDataSetting broken(nullptr, component.config());
        CPIndexDataState state;
        state.frequencies = {365};
        state.indexes = {index(kIndexBase + 1, "元/吨", params(365))};
        broken.setState(state);
        QTRY_VERIFY(!m_ds.requestsTo("ZRN_GET_PROPERTIES_BY_OBJNAME_1").isEmpty());
        QTest::qWait(200); // for the refusal to arrive
        QCOMPARE(broken.validateInput(), QStringLiteral("请选择表头"));
        m_ds.failObject("ZRN_GET_PROPERTIES_BY_OBJNAME_1", false);
    }

    void dialogChangesTableAndState()
    {
        CPIndexDataComponent component;
        component.resize(900, 420);
        component.show();
        QSignalSpy title(&component, &QWidget::windowTitleChanged);
        // (How OK refuses an incomplete form: the dialog frame's and the form's own tests.)
        onNextModal<CPBaseDialog>([&](CPBaseDialog *dialog) {
            auto *form = qobject_cast<CPIndexDataSetting *>(dialog->content());
            QVERIFY(form);
            QTRY_VERIFY(form->indexSelector()->treeView()->indexOfId("380101").isValid());
            QVERIFY(clickNode(form->indexSelector(), "380101"));
            form->indexSelector()->selectAll();
            QTRY_VERIFY(form->headerView()->count() > 0);
            form->findChild<QLineEdit *>("lineEdit")->setText(QStringLiteral("螺纹钢现货"));
            form->findChild<QCheckBox *>("cbIsDisplayTitle")->setChecked(true);
            form->frequencySelector()->checkBox(12)->setChecked(false);
            dialog->findChild<QPushButton *>(QStringLiteral("pbOk"))->click();
        });
        component.settingAction()->trigger();

        const CPIndexDataState state = component.state();
        QCOMPARE(state.title, QStringLiteral("螺纹钢现货"));
        QVERIFY(state.isShowTitle);
        QCOMPARE(state.indexes.size(), 4);
        QCOMPARE(state.frequencies, QList<int>({1, 4, 7, 365})); // the weekly index allows up to 52
        QCOMPARE(state.limitField, QStringLiteral("CHANGE_VAL"));
        QCOMPARE(title.count(), 1);
        QCOMPARE(title.at(0).at(0).toString(), QStringLiteral("螺纹钢现货"));

        // The table now shows the daily rows of the three daily indices.
        QTRY_COMPARE(component.view()->model()->rowCount(), 3);
        QCOMPARE(component.view()->activeFrequency(), 365);
        QCOMPARE(component.view()->model()->columnCount(), state.headers.size());

        // Cancel changes nothing.
        onNextModal<CPBaseDialog>([](CPBaseDialog *dialog) {
            auto *form = qobject_cast<CPIndexDataSetting *>(dialog->content());
            form->findChild<QLineEdit *>("lineEdit")->setText(QStringLiteral("别的"));
            dialog->reject();
        });
        component.settingAction()->trigger();
        QCOMPARE(component.state().title, QStringLiteral("螺纹钢现货"));
    }

    void multiComponentOffersOtherIndices()
    {
        CPMultiIndexDataComponent component;
        int candidates = -1;
        onNextModal<CPBaseDialog>([&](CPBaseDialog *dialog) {
            auto *form = qobject_cast<CPIndexDataSetting *>(dialog->content());
            QTRY_VERIFY(form->indexSelector()->treeView()->indexOfId("380201").isValid());
            clickNode(form->indexSelector(), "380201");
            candidates = form->indexSelector()->candidateModel()->rowCount();
            dialog->reject();
        });
        component.settingAction()->trigger();
        QCOMPARE(candidates, 2); // the monthly import figure is not a spot series
    }
};

QTEST_MAIN(TstIndexDataSetting)
#include "tst_indexdatasetting.moc"
