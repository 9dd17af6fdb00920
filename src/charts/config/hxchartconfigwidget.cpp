#include "hxchartconfigwidget.h"

#include "hxcalindexwidget.h"
#include "hxchartconfigcontrol.h"
#include "hxtitlecfgwidget.h"
#include "ui_hxchartconfigwidget.h"

#include "charts/cpchartdatabuilder.h"
#include "charts/cpchartsservice.h"
#include "charts/cpindexchartview.h"
#include "common/logging.h"
#include "editor/cpbasedialog.h"
#include "hxdataapi/hxvariantutil.h"
#include "indexdata/cpindexdataservice.h"
#include "indexdata/cpindexselector.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QJsonArray>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>

namespace HXCPControls {

namespace {

const QString kIsCal = QStringLiteral("isCal");
const QString kIsSeason = QStringLiteral("isSeason");
const QString kUnchecked = QStringLiteral("unchecked");
const QString kStyle = QStringLiteral("controls/custompage-chart.css");
// A chart draws two value axes at most.
constexpr int kUnitLimit = 2;

bool isCalculated(const QVariantMap &entry)
{
    return entry.contains(kIsCal);
}

} // namespace

HXChartConfigWidget::HXChartConfigWidget(QWidget *parent, CPIndexChartInfo info)
    : CPBaseWidget(parent, false, kStyle)
    , ui(new Ui::HXChartConfigWidget)
    , m_info(std::move(info))
    , m_model(new QStandardItemModel(this))
    , m_chartsService(new CPChartsService)
    , m_indexService(new CPIndexDataService(this))
{
    registerChartMetaTypes();
    // A description straight from a component class still lacks its defaults.
    m_info.fillDefaults();
    ui->setupUi(this);
    setObjectName(QStringLiteral("HXChartConfigWidget"));
    m_title = new HXTitleCfgWidget(this);
    ui->title_layout->addWidget(m_title);
    m_control = new HXChartConfigControl(nullptr, m_info.chartTypes, m_info.shortLists, m_info.fullLists, m_info.geoJson);
    ui->box_chart_layout->addWidget(m_control);
    // Charts queried by ID alone show the latest values whatever the period says.
    m_control->setPeriodEnabled(m_info.queryType == 1);

    QTableView *table = ui->indexTable;
    table->setModel(m_model);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    table->horizontalHeader()->setSectionsClickable(false);
    table->horizontalHeader()->setStretchLastSection(true);
    // Rows are reordered by dragging their header.
    table->verticalHeader()->setSectionsMovable(true);
    connect(table->verticalHeader(), &QHeaderView::sectionMoved, this,
            [this](int, int from, int to) {
                QMetaObject::invokeMethod(this, [this, from, to] { moveIndex(from, to); }, Qt::QueuedConnection);
            });
    connect(table, &QWidget::customContextMenuRequested, this, &HXChartConfigWidget::contextMenu);
    connect(ui->add_index_btn, &QPushButton::clicked, this, &HXChartConfigWidget::showSelectIndex);
    connect(ui->edit_index_btn, &QPushButton::clicked, this, &HXChartConfigWidget::showSelectIndex);
    connect(ui->cal_index_btn, &QPushButton::clicked, this, [this] { showCalIndex(-1); });
    connect(m_control, &HXChartConfigControl::queryChanged, this, [this] { refreshPreview(); });
    connect(m_control, &HXChartConfigControl::seasonChanged, this, &HXChartConfigWidget::switchForm);
    refreshTable();
}

HXChartConfigWidget::~HXChartConfigWidget() = default;

QTableView *HXChartConfigWidget::indexTable() const
{
    return ui->indexTable;
}

void HXChartConfigWidget::setConfig(const CPIndexChartConfig &config)
{
    m_config = config;
    m_isSeason = config.isSeasonForm;
    m_title->setValue(config.isShowTitle, config.title);
    m_indexes = config.indexes;
    refreshIndexes();
    const QVariantMap &optionCfg = m_isSeason ? config.seasonOptionCfg : config.optionCfg;
    // A seasonal form never configured starts as the normal chart.
    const int type = (optionCfg.isEmpty() ? config.optionCfg : optionCfg).value(QStringLiteral("type")).toInt();
    m_control->setConfig(type, m_isSeason, m_isSeason ? config.seasonQuery : config.query, optionCfg);
    if (m_isSeason)
        ensureSeasonEntry();
    refreshTable();
    refreshPreview();
}

CPIndexChartConfig HXChartConfigWidget::config() const
{
    CPIndexChartConfig config = m_config;
    config.version = QStringLiteral("v2");
    config.isShowTitle = m_title->isShowTitle();
    config.title = m_title->title();
    config.indexes = m_indexes;
    config.isSeasonForm = m_isSeason;
    storeControl(config);
    return config;
}

void HXChartConfigWidget::storeControl(CPIndexChartConfig &config) const
{
    const QVariantMap shown = m_control->config();
    if (m_isSeason) {
        config.seasonOptionCfg = shown.value(QStringLiteral("optionCfg")).toMap();
        config.seasonQuery = shown.value(QStringLiteral("query")).toMap();
    } else {
        config.optionCfg = shown.value(QStringLiteral("optionCfg")).toMap();
        config.query = shown.value(QStringLiteral("query")).toMap();
    }
}

void HXChartConfigWidget::switchForm(bool isSeason)
{
    if (isSeason == m_isSeason)
        return;
    storeControl(m_config);
    m_isSeason = isSeason;
    const QVariantMap &optionCfg = isSeason ? m_config.seasonOptionCfg : m_config.optionCfg;
    const int type = optionCfg.isEmpty() ? m_control->chartType().type : optionCfg.value(QStringLiteral("type")).toInt();
    m_control->setConfig(type, isSeason, isSeason ? m_config.seasonQuery : m_config.query, optionCfg);
    if (isSeason)
        ensureSeasonEntry();
    refreshTable();
    refreshPreview();
}

void HXChartConfigWidget::ensureSeasonEntry()
{
    for (const QVariantMap &entry : qAsConst(m_indexes)) {
        if (entry.value(kIsSeason).toBool())
            return;
    }
    if (!m_indexes.isEmpty())
        m_indexes.first().insert(kIsSeason, true);
}

void HXChartConfigWidget::refreshIndexes()
{
    QList<qint64> ids;
    for (const QVariantMap &entry : qAsConst(m_indexes)) {
        bool ok = false;
        const qint64 id = entry.value(m_info.indexIdField).toLongLong(&ok);
        if (!isCalculated(entry) && ok && !ids.contains(id))
            ids.append(id);
    }
    if (ids.isEmpty())
        return;
    HXDataApi::HttpJsonResult result;
    m_indexService->getIndexes(m_info.indexObjName, ids, result);
    if (!result.success) {
        qCCritical(lcCharts).noquote() << QStringLiteral("mIndexService.getIndexes error: ") + result.errorMsg;
        return;
    }
    QHash<qint64, QVariantMap> fresh;
    for (const QJsonValue &row : result.data.array()) {
        const QVariantMap map = row.toObject().toVariantMap();
        fresh.insert(map.value(m_info.indexIdField).toLongLong(), map);
    }
    const QStringList refreshed{m_info.indexNameField, m_info.seriesNameField, QStringLiteral("UNIT_NAME"),
                                QStringLiteral("FREQUENCY_CODE"), QStringLiteral("FREQUENCY_NAME")};
    for (QVariantMap &entry : m_indexes) {
        if (isCalculated(entry))
            continue;
        const auto row = fresh.constFind(entry.value(m_info.indexIdField).toLongLong());
        if (row == fresh.constEnd())
            continue;
        for (const QString &key : refreshed) {
            if (row->contains(key))
                entry.insert(key, row->value(key));
        }
    }
}

QVariantMap HXChartConfigWidget::keptFields(const QVariantMap &row) const
{
    QStringList keys{m_info.indexIdField,           m_info.indexNameField,           m_info.seriesNameField,
                     QStringLiteral("UNIT_NAME"),    QStringLiteral("FREQUENCY_CODE"), QStringLiteral("FREQUENCY_NAME"),
                     QStringLiteral("IS_MULTI_VALUE")};
    for (const auto &column : m_info.columns)
        keys.append(column.first);
    QVariantMap kept;
    for (const QString &key : keys) {
        if (row.contains(key))
            kept.insert(key, row.value(key));
    }
    return kept;
}

void HXChartConfigWidget::refreshTable()
{
    QHeaderView *rows = ui->indexTable->verticalHeader();
    {
        // A dragged row header has done its work once the entries moved.
        const QSignalBlocker block(rows);
        for (int visual = 0; visual < rows->count(); ++visual) {
            if (rows->logicalIndex(visual) != visual)
                rows->moveSection(rows->visualIndex(visual), visual);
        }
    }
    m_model->clear();
    QStringList headers{QString()};
    for (const auto &column : m_info.columns)
        headers.append(column.second);
    m_model->setColumnCount(headers.size());
    m_model->setHorizontalHeaderLabels(headers);
    delete m_seasonGroup;
    m_seasonGroup = nullptr;
    if (m_isSeason) {
        m_seasonGroup = new QButtonGroup(this);
        m_seasonGroup->setExclusive(true);
    }
    bool seasonShown = false;
    for (int r = 0; r < m_indexes.size(); ++r) {
        const QVariantMap &entry = m_indexes.at(r);
        QList<QStandardItem *> items{new QStandardItem};
        for (const auto &column : m_info.columns) {
            const QString text = HXUtils::HXVariantUtil::toString(entry.value(column.first), QString());
            auto *item = new QStandardItem(text);
            item->setToolTip(text);
            items.append(item);
        }
        m_model->appendRow(items);
        const QModelIndex cell = m_model->index(r, 0);
        if (m_isSeason) {
            auto *radio = new QRadioButton(ui->indexTable);
            // Only the first marked entry is drawn.
            radio->setChecked(!seasonShown && entry.value(kIsSeason).toBool());
            seasonShown = seasonShown || radio->isChecked();
            m_seasonGroup->addButton(radio);
            connect(radio, &QRadioButton::clicked, this, [this, r] {
                for (int i = 0; i < m_indexes.size(); ++i)
                    m_indexes[i].insert(kIsSeason, i == r);
                refreshPreview();
            });
            ui->indexTable->setIndexWidget(cell, radio);
        } else {
            auto *check = new QCheckBox(ui->indexTable);
            check->setChecked(!entry.value(kUnchecked).toBool());
            connect(check, &QCheckBox::toggled, this, [this, r](bool on) {
                m_indexes[r].insert(kUnchecked, !on);
                refreshPreview();
            });
            ui->indexTable->setIndexWidget(cell, check);
        }
    }
    QHeaderView *columns = ui->indexTable->horizontalHeader();
    columns->setSectionResizeMode(0, QHeaderView::Fixed);
    columns->resizeSection(0, 25);
    for (int c = 1; c < headers.size(); ++c)
        columns->setSectionResizeMode(c, c == 1 ? QHeaderView::Stretch : QHeaderView::ResizeToContents);
    ui->stackedWidget->setCurrentWidget(m_indexes.isEmpty() ? ui->empty_index_widget : ui->index_list_widget);
}

void HXChartConfigWidget::refreshPreview()
{
    CPIndexChartConfig shown = m_config;
    shown.indexes = m_indexes;
    shown.isSeasonForm = m_isSeason;
    storeControl(shown);
    const CPIndexChartView::LoadPlan plan = CPIndexChartView::loadPlan(m_info, shown);
    m_units = plan.units;
    m_seasonFrequency = plan.seasonFrequency;
    const int generation = ++m_generation;
    if (plan.ids.isEmpty()) {
        QJsonArray dimensions{QStringLiteral("header")};
        for (const Dimension &d : plan.dimensions)
            dimensions.append(d.name);
        m_control->showData(dimensions, QJsonArray(), m_units);
        emit previewUpdated();
        return;
    }
    QPointer<HXChartConfigWidget> self(this);
    auto callback = [self, generation, plan](const HXDataApi::HttpJsonResult &result) {
        // Only the answer to the latest question is shown.
        if (!self || self->m_generation != generation)
            return;
        if (!result.success) {
            qCWarning(lcCharts).noquote() << "chart preview query failed:" << result.errorMsg;
            QMetaObject::invokeMethod(self, "invokeMessageError", Q_ARG(QString, QStringLiteral("指标加载失败")));
            return;
        }
        QMetaObject::invokeMethod(self, "makeData", Q_ARG(QJsonDocument, result.data),
                                  Q_ARG(QList<HXCPControls::Dimension>, plan.dimensions), Q_ARG(QVariantMap, plan.calIndexes),
                                  Q_ARG(QList<qlonglong>, plan.ids));
    };
    if (m_isSeason) {
        shown.seasonQuery.insert(QStringLiteral("frequency"), plan.seasonFrequency);
        m_chartsService->querySeasonData(m_info.dataObjName, plan.ids, plan.seasonFrequency, shown.seasonQuery, callback);
    } else {
        m_chartsService->queryChartData(m_info.dataObjName, m_info.queryType, plan.ids, shown.query, callback);
    }
}

void HXChartConfigWidget::makeData(QJsonDocument doc, QList<Dimension> dimensions, QVariantMap calIndexes,
                                   QList<qlonglong> idxList)
{
    const CPChartDataBuilder::Result data =
        m_isSeason ? CPChartDataBuilder::makeSeasonData(m_seasonFrequency, doc, dimensions, m_info.valueField,
                                                        m_info.dateField, calIndexes, idxList)
                   : CPChartDataBuilder::makeData(m_info.queryType, doc, dimensions, m_info.indexIdField,
                                                  m_info.valueField, m_info.dateField, calIndexes, idxList);
    m_control->showData(data.first, data.second, m_units);
    emit previewUpdated();
}

void HXChartConfigWidget::makeData(QJsonDocument doc, QList<Dimension> dimensions, QVariantMap calIndexes)
{
    makeData(doc, dimensions, calIndexes, QList<qlonglong>());
}

void HXChartConfigWidget::makeData(QJsonDocument doc, QList<Dimension> dimensions)
{
    makeData(doc, dimensions, QVariantMap(), QList<qlonglong>());
}

void HXChartConfigWidget::invokeMessageError(QString msg)
{
    qCDebug(lcCharts).noquote() << msg;
    QMessageBox::critical(this, QStringLiteral("错误"), msg, QMessageBox::Ok);
}

void HXChartConfigWidget::moveIndex(int from, int to)
{
    if (from == to || from < 0 || to < 0 || from >= m_indexes.size() || to >= m_indexes.size())
        return;
    m_indexes.move(from, to);
    refreshTable();
    refreshPreview();
}

void HXChartConfigWidget::contextMenu(QPoint pos)
{
    const QModelIndex index = ui->indexTable->indexAt(pos);
    if (!index.isValid() || index.row() >= m_indexes.size())
        return;
    const int row = index.row();
    QMenu menu(this);
    QAction *remove = menu.addAction(QStringLiteral("删除指标"));
    QAction *edit = isCalculated(m_indexes.at(row)) ? menu.addAction(QStringLiteral("修改指标")) : nullptr;
    QAction *chosen = menu.exec(ui->indexTable->viewport()->mapToGlobal(pos));
    if (chosen && chosen == remove)
        deleteIndex(row);
    else if (chosen && chosen == edit)
        showCalIndex(row);
}

void HXChartConfigWidget::deleteIndex(int row)
{
    if (row < 0 || row >= m_indexes.size())
        return;
    m_indexes.removeAt(row);
    if (m_isSeason)
        ensureSeasonEntry();
    refreshTable();
    refreshPreview();
}

void HXChartConfigWidget::showSelectIndex()
{
    QList<QVariantMap> chosen;
    for (const QVariantMap &entry : qAsConst(m_indexes)) {
        if (!isCalculated(entry))
            chosen.append(entry);
    }
    auto *selector = new CPIndexSelector(nullptr, m_info.columns, true,
                                         {m_info.catCodeField, m_info.parentCatField, m_info.catNameField,
                                          m_info.catExtraField, m_info.hasIndexField, m_info.indexNameField,
                                          m_info.indexIdField});
    selector->setUnitLimit(kUnitLimit);
    selector->loadIndexCatalog(m_info.catalogObjName, m_info.indexObjName, m_info.rootNode, chosen);
    CPBaseDialog dialog(this, QStringLiteral("   选择指标"), selector, kStyle);
    dialog.setMinimumSize(830, 472);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;

    // The chosen rows replace the plain entries; an entry that stays keeps its
    // flags and place, calculated entries stay where they were, new ones follow.
    QHash<qint64, QVariantMap> picked;
    QList<qint64> order;
    for (const QVariantMap &row : selector->selected()) {
        const qint64 id = row.value(m_info.indexIdField).toLongLong();
        picked.insert(id, row);
        order.append(id);
    }
    QList<QVariantMap> entries;
    for (const QVariantMap &entry : qAsConst(m_indexes)) {
        if (isCalculated(entry)) {
            entries.append(entry);
            continue;
        }
        const qint64 id = entry.value(m_info.indexIdField).toLongLong();
        if (picked.contains(id)) {
            QVariantMap kept = entry;
            const QVariantMap fresh = keptFields(picked.take(id));
            for (auto it = fresh.begin(); it != fresh.end(); ++it)
                kept.insert(it.key(), it.value());
            entries.append(kept);
        }
    }
    for (qint64 id : qAsConst(order)) {
        if (picked.contains(id))
            entries.append(keptFields(picked.value(id)));
    }
    m_indexes = entries;
    if (m_isSeason)
        ensureSeasonEntry();
    refreshTable();
    refreshPreview();
}

qint64 HXChartConfigWidget::nextCalculatedId() const
{
    qint64 smallest = -1;
    for (const QVariantMap &entry : m_indexes) {
        if (isCalculated(entry))
            smallest = qMin(smallest, entry.value(QStringLiteral("IDX_ID")).toLongLong());
    }
    return smallest - 1;
}

void HXChartConfigWidget::showCalIndex(int index)
{
    if (index >= m_indexes.size())
        return;
    QList<QVariantMap> operands;
    for (const QVariantMap &entry : qAsConst(m_indexes)) {
        if (!isCalculated(entry))
            operands.append(entry);
    }
    const bool editing = index >= 0;
    const qint64 id = editing ? m_indexes.at(index).value(QStringLiteral("IDX_ID")).toLongLong() : nextCalculatedId();
    auto *editor = new HXCalIndexWidget(nullptr, operands, id);
    if (editing)
        editor->setData(m_indexes.at(index));

    auto *validateButton = new QPushButton(QStringLiteral("验证"));
    validateButton->setObjectName(QStringLiteral("validateIndexExpression"));
    validateButton->setFixedSize(75, 25);
    CPBaseDialog dialog(this, QStringLiteral("   指标计算"), editor, kStyle, validateButton);
    connect(validateButton, &QPushButton::clicked, &dialog, [editor, &dialog] {
        if (editor->validate())
            QMessageBox::information(&dialog, QStringLiteral("提示"), QStringLiteral("验证通过"), QMessageBox::Ok);
        else
            QMessageBox::critical(&dialog, QStringLiteral("错误"), QStringLiteral("验证失败"), QMessageBox::Ok);
    });
    dialog.setMinimumSize(1000, 500);
    dialog.setSizeGripEnabled(true);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;

    QVariantMap entry = editor->data();
    entry.insert(kIsSeason, false);
    if (editing) {
        if (m_indexes.at(index).contains(kUnchecked))
            entry.insert(kUnchecked, m_indexes.at(index).value(kUnchecked));
        m_indexes[index] = entry;
    } else {
        m_indexes.append(entry);
    }
    if (m_isSeason)
        ensureSeasonEntry();
    refreshTable();
    refreshPreview();
}

} // namespace HXCPControls
