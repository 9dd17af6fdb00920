#include "hxtreeview.h"

#include <QHeaderView>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace HXControl {

HXTreeView::HXTreeView(QWidget *parent)
    : QWidget(parent)
    , m_find(new QLineEdit(this))
    , m_tree(new QTreeView(this))
    , m_model(new QStandardItemModel(this))
    , m_proxy(new QSortFilterProxyModel(this))
{
    setObjectName(QStringLiteral("HXTreeView"));
    m_find->setObjectName(QStringLiteral("findEdit"));
    m_find->setPlaceholderText(QStringLiteral("查找"));
    m_find->setClearButtonEnabled(true);
    m_tree->setObjectName(QStringLiteral("treeView"));
    m_tree->header()->hide();
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setUniformRowHeights(true);

    m_proxy->setSourceModel(m_model);
    m_proxy->setRecursiveFilteringEnabled(true);
    m_proxy->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_tree->setModel(m_proxy);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_find);
    layout->addWidget(m_tree);

    connect(m_find, &QLineEdit::textChanged, this, &HXTreeView::applyFilter);
    connect(m_tree, &QTreeView::clicked, this, [this](const QModelIndex &proxyIndex) {
        const QModelIndex source = m_proxy->mapToSource(proxyIndex);
        emit clicked(source, source.data(RowRole).toMap());
    });
}

void HXTreeView::setFindItemVisible(bool visible)
{
    m_find->setVisible(visible);
}

bool HXTreeView::isTrue(const QVariant &flag)
{
    switch (flag.userType()) {
    case QMetaType::Bool:
        return flag.toBool();
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Double:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return flag.toDouble() > 0;
    case QMetaType::QString:
        return flag.toString() == QLatin1String("1") || flag.toString() == QLatin1String("true");
    default:
        return false;
    }
}

static QString keyText(const QJsonValue &v)
{
    if (v.isDouble())
        return QString::number(qint64(v.toDouble()));
    return v.toVariant().toString();
}

void HXTreeView::loadData(const QJsonDocument &rows, const QString &idField, const QString &parentField,
                          const QString &textField, const QString &sortField, const QString &toolTipField,
                          const QString &flagField)
{
    m_model->clear();
    m_byId.clear();

    QVector<QJsonObject> objects;
    for (const QJsonValue &v : rows.array()) {
        if (v.isObject())
            objects.append(v.toObject());
    }
    if (!sortField.isEmpty()) {
        std::stable_sort(objects.begin(), objects.end(), [&](const QJsonObject &a, const QJsonObject &b) {
            return a.value(sortField).toVariant().toDouble() < b.value(sortField).toVariant().toDouble();
        });
    }

    QVector<QPair<QStandardItem *, QString>> withParent;
    for (const QJsonObject &o : objects) {
        const QString id = keyText(o.value(idField));
        auto *item = new QStandardItem(o.value(textField).toVariant().toString());
        const QVariantMap row = o.toVariantMap();
        item->setData(row, RowRole);
        if (!toolTipField.isEmpty())
            item->setToolTip(o.value(toolTipField).toVariant().toString());
        if (!flagField.isEmpty()) {
            const bool flagged = isTrue(o.value(flagField).toVariant());
            item->setData(flagged, FlagRole);
            if (flagged) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
        }
        if (!id.isEmpty() && !m_byId.contains(id))
            m_byId.insert(id, item);
        withParent.append({item, keyText(o.value(parentField))});
    }
    for (const auto &[item, parentId] : withParent) {
        QStandardItem *parent = m_byId.value(parentId);
        // A node may not hang below itself or below one of its descendants.
        for (QStandardItem *p = parent; p; p = p->parent()) {
            if (p == item) {
                parent = nullptr;
                break;
            }
        }
        if (parent)
            parent->appendRow(item);
        else
            m_model->appendRow(item);
    }
    applyFilter(m_find->text());
}

QModelIndex HXTreeView::indexOfId(const QString &id) const
{
    QStandardItem *item = m_byId.value(id);
    return item ? item->index() : QModelIndex();
}

void HXTreeView::applyFilter(const QString &text)
{
    m_proxy->setFilterFixedString(text.trimmed());
    if (!text.trimmed().isEmpty())
        m_tree->expandAll();
}

} // namespace HXControl
