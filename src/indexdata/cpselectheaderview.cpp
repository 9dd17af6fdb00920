#include "cpselectheaderview.h"

#include "ui_cpselectheaderview.h"

#include "common/logging.h"
#include "cpindexdataservice.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>
#include <QStandardItemModel>

namespace HXCPControls {

namespace {

QString propName(const QVariantMap &row)
{
    return row.value(QStringLiteral("PROP_NAME")).toString();
}

} // namespace

CPSelectHeaderView::CPSelectHeaderView(QWidget *parent, const QString &dataObjName, const QStringList &fixedNames)
    : QWidget(parent)
    , ui(new Ui::CPSelectHeaderView)
    , m_dataObjName(dataObjName)
    , m_fixedNames(fixedNames)
    , m_model(new QStandardItemModel(this))
    , m_service(new CPIndexDataService(this))
{
    ui->setupUi(this);
    QListView *list = ui->listView;
    list->setModel(m_model);
    list->setDragEnabled(true);
    list->setAcceptDrops(true);
    list->setDropIndicatorShown(true);
    list->setDragDropMode(QAbstractItemView::InternalMove);
    list->setDefaultDropAction(Qt::MoveAction);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    connect(m_model, &QStandardItemModel::itemChanged, this, [this](QStandardItem *) { emit headersChanged(); });
}

CPSelectHeaderView::~CPSelectHeaderView() = default;

QListView *CPSelectHeaderView::listView() const
{
    return ui->listView;
}

void CPSelectHeaderView::setSelected(QList<QVariantMap> headers)
{
    QPointer<CPSelectHeaderView> self(this);
    m_service->getProperties(m_dataObjName, [self, headers](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        if (!result.success) {
            qCWarning(lcIndexData).noquote() << "mIndexService.getProperties error: " << result.errorMsg;
            return;
        }
        QMetaObject::invokeMethod(self, "loadIndexProp", Q_ARG(QJsonDocument, result.data),
                                  Q_ARG(QList<QVariantMap>, headers));
    });
}

QStandardItem *CPSelectHeaderView::makeItem(const QVariantMap &row, bool checked) const
{
    auto *item = new QStandardItem(row.value(QStringLiteral("PROP_CAPTION")).toString());
    item->setData(row, Qt::UserRole + 1);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    const bool fixed = m_fixedNames.contains(propName(row));
    if (!fixed)
        flags |= Qt::ItemIsUserCheckable;
    item->setFlags(flags); // never a drop target: items move between items
    item->setCheckState(checked || fixed ? Qt::Checked : Qt::Unchecked);
    return item;
}

void CPSelectHeaderView::loadIndexProp(const QJsonDocument &document, QList<QVariantMap> selectedList)
{
    const QSignalBlocker blocker(m_model);
    m_model->clear();
    const QJsonArray rows = document.array();
    if (selectedList.isEmpty()) {
        for (const QJsonValue &v : rows)
            m_model->appendRow(makeItem(v.toObject().toVariantMap(), true));
    } else {
        // The saved headers first, in their saved order (the table follows
        // it), then the other properties in the datasource's order.
        QHash<QString, QVariantMap> byName;
        QStringList order;
        for (const QJsonValue &v : rows) {
            const QVariantMap row = v.toObject().toVariantMap();
            byName.insert(propName(row), row);
            order.append(propName(row));
        }
        QSet<QString> placed;
        for (const QVariantMap &header : qAsConst(selectedList)) {
            const QString name = propName(header);
            if (placed.contains(name) || !byName.contains(name))
                continue;
            placed.insert(name);
            m_model->appendRow(makeItem(byName.value(name), true));
        }
        for (const QString &name : qAsConst(order)) {
            if (!placed.contains(name))
                m_model->appendRow(makeItem(byName.value(name), false));
        }
    }
    ui->listView->reset();
    emit headersChanged();
}

QList<QVariantMap> CPSelectHeaderView::selected(QString *limitField) const
{
    QList<QVariantMap> rows;
    QString colour;
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const QStandardItem *item = m_model->item(r);
        const QVariantMap row = item->data(Qt::UserRole + 1).toMap();
        if (row.value(QStringLiteral("PROP_FLAG")).toInt() == 1)
            colour = propName(row);
        if (item->checkState() == Qt::Checked)
            rows.append(row);
    }
    if (limitField)
        *limitField = colour;
    return rows;
}

int CPSelectHeaderView::count() const
{
    int n = 0;
    for (int r = 0; r < m_model->rowCount(); ++r)
        n += m_model->item(r)->checkState() == Qt::Checked ? 1 : 0;
    return n;
}

} // namespace HXCPControls
