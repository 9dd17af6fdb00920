// The index table: rows of the seeded server at the stored frequencies, the
// frequency title bar, duplicate rows, colours, name buttons, restore and
// save, failures and the row highlight.
#include "serverfixture.h"
#include "modalhelper.h"

#include "editor/cpcomponentpanel.h"
#include "indexdata/cpindexdatacomponent.h"
#include "indexdata/cpindexdataservice.h"
#include "indexdata/cpindexdataview.h"
#include "indexdata/cpindextitlebar.h"
#include "indexdata/cpmultiindexdatacomponent.h"
#include "indexdata/cptableviewstyleditemdelegate.h"
#include "indexdata/detail/cpindexdetailview.h"

#include <QtWidgets>

using namespace HXCPControls;

namespace {

const QString kRows = QStringLiteral("ZRN_INDEX_MULTI_PRICE_1");

QVariantMap header(const QString &name, const QString &caption, const QString &type, const QVariant &flag = QVariant())
{
    QVariantMap h{{"PROP_NAME", name}, {"PROP_CAPTION", caption}, {"PROP_TYP", type}};
    if (flag.isValid())
        h.insert("PROP_FLAG", flag);
    return h;
}

QList<QVariantMap> tableHeaders()
{
    return {header("INDEX_NAME", "指标名称", "String", 0), header("PUBLISH_DT", "发布日期", "DateTime", 0),
            header("INDEX_VAL", "最新值", "Double", 0), header("CHANGE_VAL", "涨跌", "Double", 1),
            header("CHANGE_RATE", "涨跌幅(%)", "Double", 2), header("UNIT_NAME", "单位", "String"),
            header("FREQUENCY_NAME", "频率", "String", 0)};
}

// A state with the table's headers, the seeded indices numbered `indexes`, and `frequencies`.
CPIndexDataState tableState(std::initializer_list<int> indexes, const QList<int> &frequencies)
{
    CPIndexDataState state;
    state.headers = tableHeaders();
    for (int n : indexes)
        state.indexes << QVariantMap{{"IDX_ID", double(kIndexBase + n)}, {"INDEX_NAME", QStringLiteral("指标%1").arg(n)}};
    state.frequencies = frequencies;
    return state;
}

// The state as a page stores it: through JSON, as the server gives it back.
QVariantMap stored(const CPIndexDataState &state)
{
    return QJsonDocument(QJsonObject::fromVariantMap(state.toMap())).object().toVariantMap();
}

QString textAt(const CPIndexDataView *view, int row, int column)
{
    return view->model()->item(row, column)->text();
}

QString colourAt(const CPIndexDataView *view, int row, int column)
{
    return view->model()->item(row, column)->foreground().color().name(QColor::HexRgb).toUpper();
}

} // namespace

class TstIndexDataView : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;

    // A view whose headers are in place (the frequency list has answered).
    std::unique_ptr<CPIndexDataView> viewWithHeaders(const QList<QVariantMap> &headers)
    {
        CPIndexDataConfig config;
        config.dataObjName = kRows;
        auto view = std::make_unique<CPIndexDataView>(nullptr, config);
        CPIndexDataState state;
        state.headers = headers;
        view->loadData(state);
        [&] { QTRY_VERIFY(view->titleBar() != nullptr); }();
        return view;
    }

private slots:
    void initTestCase() { m_ds.setUp(); }

    void init() { m_ds.clear(); }

    void showsRowsAndSwitchesFrequency()
    {
        CPIndexDataComponent component;
        component.resize(900, 400);
        component.show();
        CPIndexDataState state = tableState({1, 2, 4, 8}, {7, 365});
        state.isShowTitle = true;
        state.title = QStringLiteral("钢材价格");
        component.restore(stored(state));

        CPIndexDataView *view = component.view();
        // The last stored frequency is queried first: the two daily indices.
        QTRY_COMPARE(view->model()->rowCount(), 2);
        QCOMPARE(view->activeFrequency(), 365);
        QCOMPARE(m_ds.lastParams(kRows).value("FREQUENCY_CODE").toInt(), 365);
        QCOMPARE(m_ds.lastParams(kRows).value("IDX_IDS").toArray().size(), 4);
        QCOMPARE(textAt(view, 0, 6), QStringLiteral("日"));
        QVERIFY(QDate::fromString(textAt(view, 0, 1), QStringLiteral("yyyy-MM-dd")).isValid());
        QVERIFY(component.panel()->titleWidget()->isVisibleTo(&component));
        QCOMPARE(component.panel()->titleLabel()->text(), QStringLiteral("钢材价格"));

        CPIndexTitleBar *bar = view->titleBar();
        QVERIFY(!bar->button(12)->isVisibleTo(bar));
        QVERIFY(bar->button(7)->isVisibleTo(bar));

        // Weekly: all four indices have a weekly row.
        QTest::mouseClick(bar->button(7), Qt::LeftButton);
        QTRY_COMPARE(view->model()->rowCount(), 4);
        QCOMPARE(view->activeFrequency(), 7);
        for (int r = 0; r < 4; ++r)
            QCOMPARE(textAt(view, r, 6), QStringLiteral("周"));
        QCOMPARE(m_ds.lastParams(kRows).value("FREQUENCY_CODE").toInt(), 7);

        // Name buttons carry the names; the name cell itself has no text.
        auto *button = qobject_cast<QPushButton *>(view->tableView()->indexWidget(view->model()->index(0, 0)));
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("螺纹钢:HRB400 20mm:上海"));
        QVERIFY(textAt(view, 0, 0).isEmpty());
        QCOMPARE(view->model()->item(0, 0)->toolTip(), button->text());

        QSignalSpy detail(view, &CPIndexDataView::indexDetailRequested);
        onNextModal<CPIndexDetailDialog>([](CPIndexDetailDialog *dialog) { dialog->reject(); });
        button->click(); // the detail dialog opens, modal, and is closed
        QCOMPARE(detail.count(), 1);
        const QVariantMap request = detail.at(0).at(0).toMap();
        QCOMPARE(request.value("indexId").toLongLong(), kIndexBase + 1);
        QCOMPARE(request.value("frequencyName").toString(), QStringLiteral("周"));
        QCOMPARE(request.value("conversion").toInt(), 52);
        QCOMPARE(request.value("sourceCode").toString(), QStringLiteral("1"));
    }

    void duplicatesColoursAndCells()
    {
        auto view = viewWithHeaders(tableHeaders());
        const QJsonArray rows{
            QJsonObject{{"INDEX_ID", 1}, {"IDX_ID", 1}, {"INDEX_NAME", "甲"}, {"CHANGE_VAL", -1.5}, {"CHANGE_RATE", -0.4},
                        {"PUBLISH_DT", 1704412800000.0}, {"INDEX_VAL", 3900}},
            QJsonObject{{"INDEX_ID", 1}, {"IDX_ID", 1}, {"INDEX_NAME", "甲again"}, {"CHANGE_VAL", 5}},
            QJsonObject{{"INDEX_ID", 2}, {"IDX_ID", 2}, {"INDEX_NAME", "乙"}, {"CHANGE_VAL", "0.00"}, {"CHANGE_RATE", 0}},
            QJsonObject{{"INDEX_ID", 3}, {"IDX_ID", 3}, {"INDEX_NAME", "丙"}, {"CHANGE_VAL", 2.3}, {"CHANGE_RATE", 0.5},
                        {"UNIT_NAME", "元/吨"}, {"FREQUENCY_NAME", QJsonValue::Null}},
        };
        view->loadData(QJsonDocument(rows));
        QCOMPARE(view->model()->rowCount(), 3); // the second row of index 1 is not shown
        QCOMPARE(view->colorColumn(), QStringLiteral("CHANGE_VAL"));
        const int change = 3, rate = 4, unit = 5, freq = 6;
        QCOMPARE(colourAt(view.get(), 0, change), QStringLiteral("#515151"));
        QCOMPARE(colourAt(view.get(), 1, change), QStringLiteral("#515151"));
        QCOMPARE(colourAt(view.get(), 2, change), QStringLiteral("#C92E25"));
        QCOMPARE(colourAt(view.get(), 2, rate), QStringLiteral("#C92E25")); // flag 2 follows the row
        QCOMPARE(colourAt(view.get(), 2, unit), QStringLiteral("#515151")); // no flag: always grey
        QCOMPARE(colourAt(view.get(), 2, 2), QStringLiteral("#515151"));    // flag 0
        QCOMPARE(textAt(view.get(), 0, 1), QStringLiteral("2024-01-05"));
        QCOMPARE(textAt(view.get(), 0, 2), QStringLiteral("3900"));
        QCOMPARE(textAt(view.get(), 0, change), QStringLiteral("-1.5"));
        QCOMPARE(textAt(view.get(), 2, freq), QString()); // null value
        QCOMPARE(view->model()->item(2, unit)->toolTip(), QStringLiteral("元/吨"));
        QCOMPARE(Qt::Alignment(view->model()->item(2, unit)->textAlignment()), Qt::AlignVCenter | Qt::AlignHCenter);
        QCOMPARE(Qt::Alignment(view->model()->item(2, 0)->textAlignment()), Qt::Alignment(Qt::AlignVCenter));
        auto *name = qobject_cast<QPushButton *>(view->tableView()->indexWidget(view->model()->index(0, 0)));
        QVERIFY(name);
        QCOMPARE(name->text(), QStringLiteral("甲")); // the first of the duplicates

        // A stored limit field overrides the flagged column.
        CPIndexDataState state;
        state.headers = tableHeaders();
        state.limitField = QStringLiteral("CHANGE_RATE");
        view->loadData(state);
        QTRY_COMPARE(view->model()->columnCount(), 7);
        view->loadData(QJsonDocument(rows));
        QCOMPARE(view->colorColumn(), QStringLiteral("CHANGE_RATE"));
        QCOMPARE(colourAt(view.get(), 1, change), QStringLiteral("#515151")); // rate 0
        QCOMPARE(colourAt(view.get(), 2, change), QStringLiteral("#C92E25")); // rate 0.5
    }

    void colourRule()
    {
        // Red only for a positive change, numeric or text; grey for the rest.
        const QVariant up[] = {2.3, QStringLiteral("0.05")};
        const QVariant flat[] = {-1.5, QStringLiteral("0.00"), QVariant(), QVariant::fromValue(QPoint(1, 1))};
        for (const QVariant &v : up)
            QCOMPARE(CPIndexDataView::rowColor(v), QStringLiteral("#C92E25"));
        for (const QVariant &v : flat)
            QCOMPARE(CPIndexDataView::rowColor(v), QStringLiteral("#515151"));
    }

    void withoutNameColumnOrColourColumn()
    {
        auto view = viewWithHeaders({header("INDEX_VAL", "最新值", "Double", 2), header("UNIT_NAME", "单位", "String")});
        view->loadData(QJsonDocument(QJsonArray{QJsonObject{{"INDEX_ID", 1}, {"INDEX_VAL", 12.5}, {"UNIT_NAME", "%"}}}));
        QCOMPARE(view->model()->rowCount(), 1);
        QVERIFY(view->colorColumn().isEmpty());
        QCOMPARE(colourAt(view.get(), 0, 0), QStringLiteral("#515151"));
        for (int c = 0; c < 2; ++c)
            QVERIFY(!view->tableView()->indexWidget(view->model()->index(0, c)));
    }

    void restoreAndSave()
    {
        // Stored states restore to the same keys and values.
        CPIndexDataState state = tableState({1, 5}, {1, 4, 7, 12, 365});
        state.isShowTitle = true;
        state.title = QStringLiteral("现货");
        state.limitField = QStringLiteral("CHANGE_VAL");
        const QVariantMap map = stored(state);

        CPMultiIndexDataComponent multi;
        multi.restore(map);
        QVariantMap saved;
        multi.save(saved);
        QCOMPARE(QJsonDocument(QJsonObject::fromVariantMap(saved)), QJsonDocument(QJsonObject::fromVariantMap(map)));
        QCOMPARE(saved.value("frequencies").toList().first().userType(), int(QMetaType::Int));
        QTRY_COMPARE(multi.view()->model()->rowCount(), 2);
        QCOMPARE(multi.view()->activeFrequency(), 365);

        // Without "frequencies" nothing is ever queried.
        m_ds.clear();
        QVariantMap noFrequencies = map;
        noFrequencies.remove("frequencies");
        CPIndexDataComponent table;
        table.restore(noFrequencies);
        QTRY_VERIFY(table.view()->titleBar() != nullptr);
        QTest::qWait(100);
        QVERIFY(table.state().frequencies.isEmpty());
        QVERIFY(m_ds.requestsTo(kRows).isEmpty());
        QCOMPARE(table.view()->model()->rowCount(), 0);
        QCOMPARE(table.view()->model()->columnCount(), 7);

        // Garbage in a stored state reads as empty values.
        CPIndexDataComponent odd;
        odd.restore({{"isShowTitle", QVariantList{}}, {"headers", 5}, {"indexes", QVariantList{1, "x"}}, {"frequencies", "365"}});
        QVariantMap oddSaved;
        odd.save(oddSaved);
        QCOMPARE(oddSaved.value("headers").toList().size(), 0);
        QCOMPARE(oddSaved.value("isShowTitle").toBool(), false);
        QCOMPARE(oddSaved.value("indexes").toList().size(), 2); // kept, but without IDX_ID they select nothing
        QVERIFY(oddSaved.value("frequencies").toList().isEmpty());
    }

    void failedQueryKeepsRows()
    {
        CPIndexDataComponent component;
        component.show();
        component.restore(stored(tableState({1, 2}, {12, 365})));
        CPIndexDataView *view = component.view();
        QTRY_COMPARE(view->model()->rowCount(), 2);

        m_ds.failObject(kRows);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^index rows:")));
        MessageBoxCatcher box;
        box.arm();
        QTest::mouseClick(view->titleBar()->button(12), Qt::LeftButton);
        QTRY_VERIFY(box.seen);
        QCOMPARE(box.title + QLatin1Char('|') + box.text, QStringLiteral("错误|指标加载失败"));
        QCOMPARE(view->model()->rowCount(), 2);
        QCOMPARE(textAt(view, 0, 6), QStringLiteral("日"));
        m_ds.failObject(kRows, false);
    }

    void hoveredRowIsHighlighted()
    {
        CPIndexDataComponent component;
        component.resize(800, 400);
        component.show();
        QVERIFY(QTest::qWaitForWindowExposed(&component));
        component.restore(stored(tableState({1, 2, 3}, {365})));
        CPIndexDataView *view = component.view();
        QTRY_COMPARE(view->model()->rowCount(), 3);

        QSignalSpy changed(view->model(), &QAbstractItemModel::dataChanged);
        QWidget *viewport = view->tableView()->viewport();
        const QRect second = view->tableView()->visualRect(view->model()->index(1, 2));
        QTest::mouseMove(viewport, second.center());
        QTRY_COMPARE(view->highlightedRow(), 1);
        QCOMPARE(view->delegate()->highlightRow(), 1);
        QVERIFY(changed.count() >= 1);
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.last().at(1).toModelIndex().column(), 6);

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(viewport, &leave);
        QCOMPARE(view->highlightedRow(), -1);
        QCOMPARE(view->delegate()->highlightRow(), -1);
    }
};

int main(int argc, char **argv)
{
    // Index names open the detail dialog, whose chart is a web view.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TstIndexDataView test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_indexdataview.moc"
