// The index table: rows of the seeded server at the stored frequencies, the
// frequency title bar, name buttons, a failed query, duplicate rows, colours,
// restore and save, the row highlight, answers that arrive out of order, and
// Ctrl+P on a page of several tables.
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
#include "editor/cpbasedialog.h"
#include "indexdata/cpindexselector.h"
#include "pagelayout/cpcustompage.h"
#include "wk/wkfactory.h"

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

// A split item of a page holding a table of the seeded index `n`.
QJsonObject pageItem(const char *url, int n)
{
    return {{"className", "HXCPControls::CPSplitItem"}, {"url", url},
            {"id", QStringLiteral("{00000000-0000-0000-0000-00000000000%1}").arg(n)},
            {"child", QJsonObject::fromVariantMap(tableState({n}, {365}).toMap())}};
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

public:
    // The chart's web view shares its OpenGL context with the widgets.
    static void initMain() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

private slots:
    void initTestCase()
    {
        m_ds.setUp();
        WKFactory<QWidget>::registerClass<CPIndexDataComponent>("CPIndexDataComponent");
        WKFactory<QWidget>::registerClass<CPMultiIndexDataComponent>("CPMultiIndexDataComponent");
    }

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

        // The name opens the detail dialog, maximized, on the index at the shown frequency.
        QSignalSpy detail(view, &CPIndexDataView::indexDetailRequested);
        CPIndexDetailRequest seen;
        bool maximized = false;
        onNextModal<CPIndexDetailDialog>([&](CPIndexDetailDialog *dialog) {
            seen = dialog->view()->request();
            maximized = dialog->windowState() & Qt::WindowMaximized;
            dialog->reject();
        });
        button->click(); // returns when the dialog closes
        QVERIFY(maximized);
        const QVariantMap expected{{"indexName", button->text()}, {"indexId", kIndexBase + 1}, {"sourceCode", "1"},
                                   {"frequencyCode", 7}, {"frequencyName", "周"}, {"conversion", 52}};
        QCOMPARE(detail.count(), 1);
        QCOMPARE(detail.at(0).at(0).toMap(), expected);
        QCOMPARE((QVariantMap{{"indexName", seen.indexName}, {"indexId", seen.indexId}, {"sourceCode", seen.sourceCode},
                              {"frequencyCode", seen.frequencyCode}, {"frequencyName", seen.frequencyName}, {"conversion", seen.conversion}}),
                 expected);

        // A failed query says so and keeps the rows shown.
        m_ds.failObject(kRows);
        ZhpTest::expectMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^index rows:")));
        MessageBoxCatcher box;
        box.arm();
        QTest::mouseClick(bar->button(365), Qt::LeftButton);
        QTRY_VERIFY(box.seen);
        m_ds.failObject(kRows, false);
        QCOMPARE(box.title + QLatin1Char('|') + box.text, QStringLiteral("错误|指标加载失败"));
        QCOMPARE(view->model()->rowCount(), 4);
        QCOMPARE(textAt(view, 0, 6), QStringLiteral("周"));
    }

    void duplicatesColoursAndCells()
    {
        auto view = viewWithHeaders(tableHeaders());
        const QJsonArray rows{
            QJsonObject{{"INDEX_ID", 1}, {"IDX_ID", 1}, {"INDEX_NAME", "甲"}, {"CHANGE_VAL", -1.5}, {"PUBLISH_DT", 1704412800000.0},
                        {"INDEX_VAL", 3900}},
            QJsonObject{{"INDEX_ID", 1}, {"IDX_ID", 1}, {"INDEX_NAME", "甲again"}, {"CHANGE_VAL", 5}},
            QJsonObject{{"INDEX_ID", 2}, {"IDX_ID", 2}, {"INDEX_NAME", "乙"}, {"CHANGE_VAL", "0.00"}, {"CHANGE_RATE", "0.05"}},
            QJsonObject{{"INDEX_ID", 3}, {"IDX_ID", 3}, {"INDEX_NAME", "丙"}, {"CHANGE_VAL", 2.3}, {"CHANGE_RATE", QJsonValue::Null},
                        {"UNIT_NAME", "元/吨"}, {"FREQUENCY_NAME", QJsonValue::Null}},
        };
        // Per row, R for red and G for grey: only a positive change, numeric or
        // text, is red, and only in the columns flagged 1 or 2.
        auto colours = [&view] {
            QStringList shown;
            for (int r = 0; r < view->model()->rowCount(); ++r) {
                QString row;
                for (int c = 0; c < view->model()->columnCount(); ++c) {
                    const QString colour = colourAt(view.get(), r, c);
                    row += colour == QLatin1String("#C92E25") ? 'R' : colour == QLatin1String("#515151") ? 'G' : '?';
                }
                shown << row;
            }
            return shown;
        };
        view->loadData(QJsonDocument(rows));
        QCOMPARE(view->model()->rowCount(), 3); // the second row of index 1 is not shown
        QCOMPARE(view->colorColumn(), QStringLiteral("CHANGE_VAL"));
        QCOMPARE(colours(), QStringList({"GGGGGGG", "GGGGGGG", "GGGRRGG"}));
        QStringList texts;
        for (int c = 0; c < view->model()->columnCount(); ++c)
            texts << textAt(view.get(), 0, c) + '|' + textAt(view.get(), 2, c);
        QCOMPARE(texts, QStringList({"|", "2024-01-05|", "3900|", "-1.5|2.3", "|", "|元/吨", "|"})); // null and missing values are empty
        auto *name = qobject_cast<QPushButton *>(view->tableView()->indexWidget(view->model()->index(0, 0)));
        QVERIFY(name);
        QCOMPARE(name->text(), QStringLiteral("甲")); // the first of the duplicates

        // A stored limit field overrides the flagged column; a missing or null value is grey.
        CPIndexDataState state;
        state.headers = tableHeaders();
        state.limitField = QStringLiteral("CHANGE_RATE");
        view->loadData(state);
        QTRY_COMPARE(view->model()->columnCount(), 7);
        view->loadData(QJsonDocument(rows));
        QCOMPARE(view->colorColumn(), QStringLiteral("CHANGE_RATE"));
        QCOMPARE(colours(), QStringList({"GGGGGGG", "GGGRRGG", "GGGGGGG"}));
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
        QTRY_COMPARE(view->delegate()->highlightRow(), 1); // what is painted
        QVERIFY(changed.count() >= 1);
        QCOMPARE(changed.last().at(0).toModelIndex().row(), 1);
        QCOMPARE(changed.last().at(1).toModelIndex().column(), 6);

        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(viewport, &leave);
        QCOMPARE(view->delegate()->highlightRow(), -1);
    }

    // Two reloads at the same frequency: the first answer, arriving last, is dropped.
    void latestAnswerWins()
    {
        auto held = viewWithHeaders(tableHeaders());
        CPIndexDataView &view = *held;
        view.loadData(tableState({2, 3}, {365}));
        QTRY_COMPARE(view.model()->rowCount(), 2);

        m_ds.holdNext(kRows);
        view.loadData(tableState({2, 3, 4}, {365}));
        QTRY_COMPARE(m_ds.requestsTo(kRows).size(), 2);
        view.loadData(tableState({1}, {365}));
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
                                    {"children", QJsonArray{pageItem("CPIndexDataComponent", 1), pageItem("CPIndexDataComponent", 2),
                                                            pageItem("CPMultiIndexDataComponent", 3)}}}}};
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
};

QTEST_MAIN(TstIndexDataView)
#include "tst_indexdataview.moc"
