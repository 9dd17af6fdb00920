#include "cpindexselector.h"

#include "ui_cpindexselector.h"

#include "common/logging.h"
#include "cpindexdataservice.h"
#include "hxdataapi/hxtreeview.h"
#include "hxdataapi/hxvariantutil.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QPointer>
#include <QStandardItemModel>
#include <QTreeView>

#include <algorithm>

namespace HXCPControls {

namespace {

QString idKey(const QVariant &value)
{
    bool ok = false;
    const qint64 id = value.toLongLong(&ok);
    if (ok)
        return QString::number(id);
    // A double ID (as JSON numbers arrive) converts only through double.
    const double d = value.toDouble(&ok);
    if (ok)
        return QString::number(qint64(d));
    return value.toString();
}

bool countsAsTrue(const QVariant &value)
{
    switch (value.userType()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toDouble() > 0;
    default:
        return false;
    }
}

void setupTable(QTableView *table, QStandardItemModel *model)
{
    table->setModel(model);
    table->verticalHeader()->hide();
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table->horizontalHeader()->setSectionsClickable(false);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setShowGrid(false);
    table->setAlternatingRowColors(true);
}

} // namespace

CPIndexSelector::CPIndexSelector(QWidget *parent, const Columns &columns, bool embedded, const QStringList &fieldNames)
    : CPBaseWidget(parent, embedded, QStringLiteral("controls/custompage.css"))
    , ui(new Ui::CPIndexSelector)
    , m_columns(columns)
    , m_candidates(new QStandardItemModel(this))
    , m_selected(new QStandardItemModel(this))
    , m_service(new CPIndexDataService(this))
{
    ui->setupUi(this);
    auto field = [&fieldNames](int i, const char *fallback) {
        return i < fieldNames.size() ? fieldNames.at(i) : QString::fromLatin1(fallback);
    };
    m_catCodeField = field(0, "CAT_CODE");
    m_parentCatField = field(1, "P_CAT_CODE");
    m_catNameField = field(2, "CAT_NAME");
    m_sortField = field(3, "");
    m_hasIndexField = field(4, "HAV_IDX");
    m_indexNameField = field(5, "INDEX_NAME");
    m_indexIdField = field(6, "IDX_ID");

    ui->index_treeview->setFindItemVisible(false);
    for (QStandardItemModel *model : {m_candidates, m_selected}) {
        model->setColumnCount(m_columns.size());
        for (int c = 0; c < m_columns.size(); ++c)
            model->setHeaderData(c, Qt::Horizontal, m_columns.at(c).second);
    }
    setupTable(ui->selectingTableView, m_candidates);
    setupTable(ui->tableView, m_selected);
    ui->tableView->setContextMenuPolicy(Qt::CustomContextMenu);

    connect(ui->index_treeview, &HXControl::HXTreeView::clicked, this,
            [this](const QModelIndex &, const QVariantMap &row) { loadCandidates(row); });
    connect(ui->selectingTableView, &QTableView::clicked, this, [this](const QModelIndex &index) {
        if (QStandardItem *item = m_candidates->item(index.row(), 0))
            addIndex(item->data(Qt::UserRole + 1).toMap());
    });
    connect(ui->selectAllBtn, &QPushButton::clicked, this, &CPIndexSelector::selectAll);
    connect(ui->clear_btn, &QPushButton::clicked, this, &CPIndexSelector::clearSelection);
    connect(ui->tableView, &QWidget::customContextMenuRequested, this, &CPIndexSelector::showSelectedMenu);
}

CPIndexSelector::~CPIndexSelector() = default;

HXControl::HXTreeView *CPIndexSelector::treeView() const
{
    return ui->index_treeview;
}

QTableView *CPIndexSelector::candidateView() const
{
    return ui->selectingTableView;
}

QTableView *CPIndexSelector::selectedView() const
{
    return ui->tableView;
}

bool CPIndexSelector::isRequired(const QVariantMap &row)
{
    return row.value(QStringLiteral("required")).toBool();
}

void CPIndexSelector::loadIndexCatalog(const QString &catObjName, const QString &idxObjName,
                                       const QVariant &rootNode, const QList<QVariantMap> &preselected)
{
    m_idxObjName = idxObjName;
    QPointer<CPIndexSelector> self(this);
    m_service->getCatalog(catObjName, [self, rootNode](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        QMetaObject::invokeMethod(self, "loadIndexCatalog",
                                  Q_ARG(QJsonDocument, result.success ? result.data : QJsonDocument()),
                                  Q_ARG(QVariant, rootNode),
                                  Q_ARG(QString, result.success ? QString() : result.errorMsg));
    });

    for (int r = m_selected->rowCount() - 1; r >= 0; --r) {
        const QVariantMap row = m_selected->item(r, 0)->data(Qt::UserRole + 1).toMap();
        if (!isRequired(row)) {
            m_selectedIds.remove(idKey(row.value(m_indexIdField)));
            m_selected->removeRow(r);
        }
    }
    for (const QVariantMap &row : preselected)
        addIndex(row);
}

QJsonArray CPIndexSelector::filterCatalog(const QJsonArray &rows, const QVariant &rootNode,
                                          const QString &catCodeField)
{
    const QString root = rootNode.toString();
    QSet<QString> codes{root};
    for (const QJsonValue &v : rows) {
        const QJsonObject row = v.toObject();
        if (row.value(QStringLiteral("HAV_IDX")).toVariant().toInt() != 1)
            continue;
        const QString path = row.value(QStringLiteral("CAT_CODE_ALL")).toVariant().toString();
        if (!path.contains(root + QLatin1Char(',')))
            continue;
        for (const QString &code : path.split(QLatin1Char(','), Qt::SkipEmptyParts))
            codes.insert(code.trimmed());
    }
    QList<QJsonObject> kept;
    for (const QJsonValue &v : rows) {
        const QJsonObject row = v.toObject();
        if (codes.contains(row.value(catCodeField).toVariant().toString()))
            kept.append(row);
    }
    std::stable_sort(kept.begin(), kept.end(), [](const QJsonObject &a, const QJsonObject &b) {
        return a.value(QStringLiteral("SN")).toDouble() < b.value(QStringLiteral("SN")).toDouble();
    });
    QJsonArray result;
    for (const QJsonObject &row : kept)
        result.append(row);
    return result;
}

void CPIndexSelector::loadIndexCatalog(const QJsonDocument &document, const QVariant &rootNode,
                                       const QString &message)
{
    if (!message.isEmpty()) {
        qCWarning(lcIndexData).noquote() << "mIndexService.getCatalog error: " << message;
        return;
    }
    const QJsonArray rows = filterCatalog(document.array(), rootNode, m_catCodeField);
    ui->index_treeview->loadData(QJsonDocument(rows), m_catCodeField, m_parentCatField, m_catNameField,
                                 m_sortField, QString(), m_hasIndexField);
    ui->index_treeview->treeView()->expandAll();
}

void CPIndexSelector::loadCandidates(const QVariantMap &node)
{
    if (!countsAsTrue(node.value(m_hasIndexField)))
        return;
    HXDataApi::HttpJsonResult result;
    m_service->getIndexs(m_idxObjName, m_catCodeField, node.value(m_catCodeField), result);
    // The candidates of the previous node never stand under a new one.
    m_candidates->removeRows(0, m_candidates->rowCount());
    if (!result.success) {
        qCWarning(lcIndexData).noquote() << "mIndexService.getIndexs error: " << result.errorMsg;
        return;
    }
    const QJsonArray rows = result.data.array();
    for (const QJsonValue &v : rows)
        m_candidates->appendRow(makeRow(v.toObject().toVariantMap()));
}

QList<QStandardItem *> CPIndexSelector::makeRow(const QVariantMap &row) const
{
    QList<QStandardItem *> items;
    for (const auto &column : m_columns) {
        const QString text = HXUtils::HXVariantUtil::toString(row.value(column.first), QString());
        auto *item = new QStandardItem(text);
        item->setToolTip(text);
        if (column.first == QLatin1String("FREQUENCY_NAME") || column.first == QLatin1String("UNIT_NAME"))
            item->setTextAlignment(Qt::AlignCenter);
        items.append(item);
    }
    if (items.isEmpty())
        items.append(new QStandardItem);
    items.first()->setData(row, Qt::UserRole + 1);
    return items;
}

bool CPIndexSelector::addIndex(const QVariantMap &row)
{
    const QVariant id = row.value(m_indexIdField);
    if (!id.isValid() || id.isNull())
        return false;
    const QString key = idKey(id);
    if (m_selectedIds.contains(key))
        return false;
    m_selectedIds.insert(key);
    m_selected->appendRow(makeRow(row));
    emit selectIndexChanged(selected());
    return true;
}

void CPIndexSelector::removeIndex(int r)
{
    QStandardItem *item = m_selected->item(r, 0);
    if (!item)
        return;
    const QVariantMap row = item->data(Qt::UserRole + 1).toMap();
    if (isRequired(row))
        return;
    m_selectedIds.remove(idKey(row.value(m_indexIdField)));
    m_selected->removeRow(r);
    emit selectIndexChanged(selected());
}

void CPIndexSelector::selectAll()
{
    for (int r = 0; r < m_candidates->rowCount(); ++r)
        addIndex(m_candidates->item(r, 0)->data(Qt::UserRole + 1).toMap());
}

void CPIndexSelector::clearSelection()
{
    bool removed = false;
    for (int r = m_selected->rowCount() - 1; r >= 0; --r) {
        const QVariantMap row = m_selected->item(r, 0)->data(Qt::UserRole + 1).toMap();
        if (isRequired(row))
            continue;
        m_selectedIds.remove(idKey(row.value(m_indexIdField)));
        m_selected->removeRow(r);
        removed = true;
    }
    if (removed)
        emit selectIndexChanged(selected());
}

void CPIndexSelector::showSelectedMenu(const QPoint &pos)
{
    const QModelIndex index = ui->tableView->indexAt(pos);
    if (!index.isValid())
        return;
    const int r = index.row();
    if (isRequired(m_selected->item(r, 0)->data(Qt::UserRole + 1).toMap()))
        return;
    QMenu menu(this);
    QAction *remove = menu.addAction(QStringLiteral("删除指标"));
    if (menu.exec(ui->tableView->viewport()->mapToGlobal(pos)) == remove)
        removeIndex(r);
}

QList<QVariantMap> CPIndexSelector::selected() const
{
    QList<QVariantMap> rows;
    for (int r = 0; r < m_selected->rowCount(); ++r)
        rows.append(m_selected->item(r, 0)->data(Qt::UserRole + 1).toMap());
    return rows;
}

int CPIndexSelector::count() const
{
    return m_selected->rowCount();
}

QString CPIndexSelector::validateInput()
{
    QSet<QString> units;
    for (const QVariantMap &row : selected()) {
        const QString unit = row.value(QStringLiteral("UNIT_NAME")).toString();
        if (units.contains(unit))
            continue;
        if (units.size() + 1 > m_unitLimit)
            return QStringLiteral("不同单位不能超过 %1 个").arg(m_unitLimit);
        units.insert(unit);
    }
    return CPBaseWidget::validateInput();
}

} // namespace HXCPControls
