#include "cppagecategoryitem.h"

#include "categorynode.h"
#include "wk/wkcfg.h"
#include "wk/wkcore.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStyle>
#include <QTreeView>

namespace HXCPControls {

namespace {

QIcon sectionIcon(const QString &name)
{
    return QIcon(QStringLiteral("%1/%2/images/custompage/%3")
                     .arg(WKCfg::instance()->stdPath(QStringLiteral("wkskin"), QString()),
                          WKCore::instance()->getCurrentSkinId(), name));
}

void repolish(QWidget *w)
{
    w->style()->unpolish(w);
    w->style()->polish(w);
    w->update();
}

// Whether `node` is the page `padId`.
bool isPage(const QVariantMap &node, const QString &padId)
{
    return !CategoryNode::isCategory(node) && node.value(CategoryNode::kPadId).toString() == padId;
}

// The item of the page `padId` below `parent`, depth first; null when none.
QStandardItem *findPage(QStandardItem *parent, const QString &padId)
{
    for (int row = 0; row < parent->rowCount(); ++row) {
        QStandardItem *child = parent->child(row);
        if (isPage(CategoryNode::nodeOf(child), padId))
            return child;
        if (QStandardItem *found = findPage(child, padId))
            return found;
    }
    return nullptr;
}

} // namespace

CPPageCategoryItem::CPPageCategoryItem(QWidget *parent, const QString &sectionTitle, const QString &rootTitle,
                                       const QString &currentPadId, const QString &currentTitle, int index)
    : QWidget(parent)
    , m_index(index)
    , m_rootTitle(rootTitle)
    , m_wantedPadId(currentPadId)
    , m_wantedTitle(currentTitle)
{
    setObjectName(QStringLiteral("CPPageCategoryItem"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_header = new QWidget(this);
    m_header->setObjectName(QStringLiteral("catTitleBtn"));
    m_header->setFixedHeight(36);
    m_header->setAttribute(Qt::WA_StyledBackground);
    m_header->setCursor(Qt::PointingHandCursor);
    m_header->installEventFilter(this);
    auto *headerLayout = new QHBoxLayout(m_header);
    headerLayout->setContentsMargins(8, 0, 6, 0);
    headerLayout->setSpacing(6);
    m_startIcon = new QPushButton(m_header);
    m_startIcon->setObjectName(QStringLiteral("category_start_icon"));
    m_startIcon->setFixedSize(17, 15);
    m_startIcon->setFlat(true);
    m_startIcon->setFocusPolicy(Qt::NoFocus);
    m_startIcon->setIcon(sectionIcon(QStringLiteral("first_category_icon.png")));
    m_startIcon->setIconSize(QSize(17, 15));
    m_titleLabel = new QLabel(sectionTitle, m_header);
    m_titleLabel->setObjectName(QStringLiteral("catTitleLabel"));
    m_titleLabel->setTextFormat(Qt::PlainText);
    m_arrowLabel = new QLabel(QStringLiteral("▲"), m_header);
    m_arrowLabel->setObjectName(QStringLiteral("catIconLabel"));
    m_endIcon = new QPushButton(m_header);
    m_endIcon->setObjectName(QStringLiteral("category_end_icon"));
    m_endIcon->setFixedSize(24, 24);
    m_endIcon->setFlat(true);
    m_endIcon->setFocusPolicy(Qt::NoFocus);
    m_endIcon->setIcon(sectionIcon(QStringLiteral("category_col_icon.png")));
    headerLayout->addWidget(m_startIcon);
    headerLayout->addWidget(m_titleLabel, 1);
    headerLayout->addWidget(m_arrowLabel);
    headerLayout->addWidget(m_endIcon);
    connect(m_endIcon, &QPushButton::clicked, this, &CPPageCategoryItem::toggle);
    connect(m_startIcon, &QPushButton::clicked, this, &CPPageCategoryItem::toggle);
    layout->addWidget(m_header);

    m_body = new QWidget(this);
    m_body->setObjectName(QStringLiteral("catBody"));
    m_body->setVisible(false);
    auto *bodyLayout = new QVBoxLayout(m_body);
    bodyLayout->setContentsMargins(0, 0, 0, 0);
    bodyLayout->setSpacing(0);
    layout->addWidget(m_body);
}

CPPageCategoryItem::~CPPageCategoryItem() = default;

void CPPageCategoryItem::setRecord(const QJsonObject &record)
{
    auto *model = new QStandardItemModel(this);
    QStandardItem *current = nullptr;
    CategoryNode::appendRecords(model->invisibleRootItem(), record.value(QStringLiteral("CHILDREN")).toArray(), false,
                                false, [&](QStandardItem *item, const QVariantMap &node) {
                                    if (!current && !m_wantedPadId.isEmpty() && isPage(node, m_wantedPadId))
                                        current = item;
                                });
    if (model->rowCount() == 0) {
        delete model;
        auto *empty = new QWidget(m_body);
        empty->setFixedHeight(32);
        auto *row = new QHBoxLayout(empty);
        row->setContentsMargins(30, 0, 0, 0);
        row->addWidget(new QLabel(QStringLiteral("没有节点"), empty));
        m_body->layout()->addWidget(empty);
        return;
    }

    m_model = model;
    m_tree = new QTreeView(m_body);
    m_tree->setObjectName(QStringLiteral("page_cat_tree"));
    m_tree->setHeaderHidden(true);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_tree->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Its height is fitted to its rows (fitTreeHeight); the space below the sections stays empty.
    m_tree->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_tree->setModel(m_model);
    m_body->layout()->addWidget(m_tree);
    connect(m_tree, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        QStandardItem *item = m_model->itemFromIndex(index);
        if (item && !CategoryNode::isCategory(CategoryNode::nodeOf(item)))
            selected(item);
    });
    connect(m_tree, &QTreeView::expanded, this, &CPPageCategoryItem::fitTreeHeight);
    connect(m_tree, &QTreeView::collapsed, this, &CPPageCategoryItem::fitTreeHeight);

    if (current) {
        reveal(current);
        selected(current);
    }
}

bool CPPageCategoryItem::showPad(const QString &padId)
{
    if (!m_model || padId.isEmpty())
        return false;
    QStandardItem *item = findPage(m_model->invisibleRootItem(), padId);
    if (!item)
        return false;
    reveal(item);
    mark(item);
    return true;
}

void CPPageCategoryItem::reveal(QStandardItem *item)
{
    for (QStandardItem *p = item->parent(); p; p = p->parent())
        m_tree->expand(p->index());
    if (!m_expanded)
        expandSection();
    m_tree->setCurrentIndex(item->index());
}

void CPPageCategoryItem::selected(QStandardItem *item)
{
    if (!item)
        return;
    mark(item);
    emit changePad(m_index, m_currentPadId, m_currentTitle);
}

void CPPageCategoryItem::mark(QStandardItem *item)
{
    if (!m_selectedItem)
        setHeaderSelected(true);
    if (m_selectedItem && m_selectedItem != item)
        CategoryNode::markPage(m_selectedItem, false);
    m_selectedItem = item;
    CategoryNode::markPage(item, true);
    const QVariantMap node = CategoryNode::nodeOf(item);
    m_currentPadId = node.value(QStringLiteral("PAD_ID")).toString();
    m_currentTitle = m_rootTitle + QLatin1Char('-') + node.value(QStringLiteral("NODE_NAME")).toString();
}

void CPPageCategoryItem::unselected()
{
    setHeaderSelected(false);
    if (m_selectedItem)
        CategoryNode::markPage(m_selectedItem, false);
    // No row stays highlighted in a section that no longer holds the current page.
    m_selectedItem = nullptr;
    if (m_tree)
        m_tree->selectionModel()->clear();
    m_currentPadId.clear();
    m_currentTitle.clear();
}

void CPPageCategoryItem::setHeaderSelected(bool selected)
{
    for (QWidget *w : {m_header, static_cast<QWidget *>(m_startIcon), static_cast<QWidget *>(m_titleLabel),
                       static_cast<QWidget *>(m_arrowLabel), static_cast<QWidget *>(m_endIcon)}) {
        w->setProperty("selected", selected);
        repolish(w);
    }
}

void CPPageCategoryItem::expandSection()
{
    m_expanded = true;
    m_arrowLabel->setText(QStringLiteral("▼"));
    m_endIcon->setIcon(sectionIcon(QStringLiteral("category_exp_icon.png")));
    m_body->setVisible(true);
    fitTreeHeight();
    emit onExpandSection(m_index);
}

void CPPageCategoryItem::collapseSection()
{
    m_expanded = false;
    m_arrowLabel->setText(QStringLiteral("▲"));
    m_endIcon->setIcon(sectionIcon(QStringLiteral("category_col_icon.png")));
    m_body->setVisible(false);
}

void CPPageCategoryItem::toggle()
{
    if (m_expanded)
        collapseSection();
    else
        expandSection();
}

void CPPageCategoryItem::fitTreeHeight()
{
    if (!m_tree)
        return;
    // The section grows with its rows; the view around it scrolls.
    int rows = 0;
    int rowHeight = m_tree->sizeHintForRow(0);
    for (QModelIndex index = m_model->index(0, 0); index.isValid(); index = m_tree->indexBelow(index))
        ++rows;
    if (rowHeight <= 0)
        rowHeight = m_tree->fontMetrics().height() + 8;
    m_tree->setFixedHeight(rows * rowHeight + 2 * m_tree->frameWidth() + 4);
}

bool CPPageCategoryItem::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header && event->type() == QEvent::MouseButtonRelease) {
        toggle();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace HXCPControls
