#include "cppagecategoryedit.h"

#include "categorynode.h"
#include "common/logging.h"
#include "cpaddnode.h"
#include "cpeditnode.h"
#include "cpsaveaswidget.h"
#include "cptreemodel.h"
#include "editor/cpbasedialog.h"
#include "pagelayout/cpcompositepanelservice.h"

#include <QCursor>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

namespace HXCPControls {

namespace {
const QString kStyle = QStringLiteral("controls/custompage.css");
const QString &kCode = CategoryNode::kNodeCode;
const QString &kParent = CategoryNode::kParentCode;
const QString &kName = CategoryNode::kNodeName;
const QString &kPadId = CategoryNode::kPadId;
const QString &kRoot = CategoryNode::kRoot;
// Time for the view to finish a drag (it removes the source rows after the drop) before the move is sent.
const int kMoveDelayMs = 500;
} // namespace

CPPageCategoryEdit::CPPageCategoryEdit(QWidget *parent, bool editable, bool userMode)
    : QWidget(parent)
    , m_editable(editable)
    , m_userMode(userMode)
    , mNodeService(std::make_unique<CPCompositePanelService>())
    , m_model(new CPTreeModel(this))
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    layout->addWidget(CategoryNode::makeTitlePanel(
        this, userMode ? QStringLiteral("我的页面") : QStringLiteral("在左侧选待管理产品"), &m_title));

    auto *opPanel = new QWidget(this);
    opPanel->setObjectName(QStringLiteral("op_panel"));
    opPanel->setAttribute(Qt::WA_StyledBackground);
    opPanel->setFixedHeight(30);
    opPanel->setVisible(editable);
    auto *opLayout = new QHBoxLayout(opPanel);
    opLayout->setContentsMargins(8, 2, 8, 2);
    opLayout->setSpacing(6);
    const auto button = [opPanel, opLayout](const char *name, const QString &text, const QString &tip) {
        auto *b = new QPushButton(text, opPanel);
        b->setObjectName(QLatin1String(name));
        b->setToolTip(tip);
        b->setEnabled(false);
        opLayout->addWidget(b);
        return b;
    };
    m_addBtn = button("add_btn", QStringLiteral("添加"), QStringLiteral("添加分类或页面"));
    m_delBtn = button("del_btn", QStringLiteral("删除"), QStringLiteral("删除选中节点"));
    m_refreshBtn = button("refresh_btn", QStringLiteral("刷新"), QStringLiteral("从服务器重新读取分类"));
    opLayout->addStretch();
    layout->addWidget(opPanel);
    connect(m_addBtn, &QPushButton::clicked, this, [this] { QMetaObject::invokeMethod(this, "add", Q_ARG(bool, true)); });
    connect(m_delBtn, &QPushButton::clicked, this, [this] { QMetaObject::invokeMethod(this, "del"); });
    connect(m_refreshBtn, &QPushButton::clicked, this, [this] {
        QMetaObject::invokeMethod(this, m_userMode ? "loadUserData" : "loadData", Q_ARG(bool, false));
    });

    m_tree = new QTreeView(this);
    m_tree->setObjectName(QStringLiteral("page_cat_tree_edit"));
    m_tree->setHeaderHidden(true);
    m_tree->setModel(m_model);
    m_tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tree->setDragDropMode(QAbstractItemView::InternalMove);
    if (editable) {
        m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
        m_tree->setDragEnabled(true);
        m_tree->setDropIndicatorShown(true);
        connect(m_tree, &QTreeView::customContextMenuRequested, this, &CPPageCategoryEdit::contextMenu);
    } else {
        m_tree->setContextMenuPolicy(Qt::DefaultContextMenu);
        m_tree->setDragEnabled(false);
    }
    layout->addWidget(m_tree, 1);

    connect(m_tree, &QTreeView::clicked, this, [this](const QModelIndex &index) {
        QStandardItem *item = m_model->itemFromIndex(index);
        if (item && !CategoryNode::isCategory(CategoryNode::nodeOf(item)))
            openPage(item);
    });
    connect(m_model, &CPTreeModel::moveItem, this, [this](const QStandardItem *parentItem, const QString &nodeCode) {
        // The parent is looked up again when the timer fires: a reload or a
        // delete in between must not leave a stale pointer behind.
        const QPersistentModelIndex parent(parentItem ? parentItem->index() : QModelIndex());
        const bool topLevel = !parentItem;
        QTimer::singleShot(kMoveDelayMs, this, [this, parent, topLevel, nodeCode] {
            if (!topLevel && !parent.isValid())
                return;
            const QStandardItem *item = topLevel ? nullptr : m_model->itemFromIndex(parent);
            QMetaObject::invokeMethod(this, "changeNodePosition", Q_ARG(const QStandardItem *, item),
                                      Q_ARG(QString, nodeCode));
        });
    });
}

CPPageCategoryEdit::~CPPageCategoryEdit() = default;

QString CPPageCategoryEdit::rootTitle() const
{
    return m_userMode ? QStringLiteral("我的页面") : m_product.value(QStringLiteral("PRODUCT_NAME")).toString();
}

QString CPPageCategoryEdit::productCode() const
{
    return m_product.value(QStringLiteral("PRODUCT_CODE")).toVariant().toString();
}

void CPPageCategoryEdit::setProduct(const QJsonObject &product, const QString &padId)
{
    m_product = product;
    m_currentPadId = padId;
    QMetaObject::invokeMethod(this, "loadData", Q_ARG(bool, true));
}

QString CPPageCategoryEdit::titleOf(const QStandardItem *item) const
{
    const QString parentName = CategoryNode::nodeOf(item ? item->parent() : nullptr).value(kName).toString();
    return CategoryNode::pageTitle(rootTitle(), parentName, CategoryNode::nodeOf(item).value(kName).toString());
}

void CPPageCategoryEdit::loadData(bool triggerPad)
{
    if (m_userMode) {
        loadUserData(triggerPad);
        return;
    }
    if (m_product.isEmpty())
        return;
    m_title->setText(rootTitle());
    requestTree(triggerPad);
}

void CPPageCategoryEdit::loadUserData(bool triggerPad)
{
    m_title->setText(QStringLiteral("我的页面"));
    requestTree(triggerPad);
}

void CPPageCategoryEdit::requestTree(bool triggerPad)
{
    CategoryNode::requestTree(*mNodeService, this, m_userMode, productCode(), [this, triggerPad](const QJsonDocument &doc) {
        QMetaObject::invokeMethod(this, "loadTree", Qt::AutoConnection, Q_ARG(QJsonDocument, doc), Q_ARG(bool, triggerPad));
    });
}

void CPPageCategoryEdit::loadTree(const QJsonDocument &doc, bool triggerPad)
{
    QJsonArray records;
    QString error;
    if (!CategoryNode::readTree(doc, &records, &error)) {
        CategoryNode::messageError(this, CategoryNode::loadError(m_userMode, productCode(), error));
        return;
    }
    m_model->clear();
    QStandardItem *current = nullptr;
    CategoryNode::appendRecords(m_model->invisibleRootItem(), records, m_editable, false,
                                [&](QStandardItem *item, const QVariantMap &node) {
                                    if (!current && !m_currentPadId.isEmpty()
                                        && node.value(kPadId).toString() == m_currentPadId)
                                        current = item;
                                });
    m_tree->expandAll();
    if (current) {
        m_currentTitle = titleOf(current);
        m_tree->setCurrentIndex(current->index());
    }
    m_addBtn->setEnabled(true);
    m_delBtn->setEnabled(true);
    m_refreshBtn->setEnabled(true);
    if (triggerPad && !m_currentPadId.isEmpty())
        emit changePad(m_currentPadId, m_currentTitle);
}

void CPPageCategoryEdit::openPage(QStandardItem *item)
{
    m_currentPadId = CategoryNode::nodeOf(item).value(kPadId).toString();
    m_currentTitle = titleOf(item);
    emit changePad(m_currentPadId, m_currentTitle);
}

std::function<void(const HXDataApi::HttpJsonResult &)> CPPageCategoryEdit::writeCallback(const QString &failure)
{
    QPointer<CPPageCategoryEdit> self(this);
    return [self, failure](const HXDataApi::HttpJsonResult &result) {
        if (self && !result.success)
            CategoryNode::messageError(self, failure, result.errorMsg);
    };
}

void CPPageCategoryEdit::add(bool selectNode)
{
    auto *form = new CPAddNode;
    form->setPlaceChoiceVisible(selectNode);
    CPBaseDialog dialog(this, QStringLiteral("   添加分类或页面"), form, kStyle);
    dialog.setFixedSize(451, selectNode ? 250 : 210);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;

    QStandardItem *current = m_model->itemFromIndex(m_tree->currentIndex());
    const bool underCurrent = current && !form->addToRoot();
    QString parentCode = kRoot;
    if (underCurrent) {
        const QVariantMap node = CategoryNode::nodeOf(current);
        parentCode = CategoryNode::isCategory(node) ? node.value(kCode).toString() : node.value(kParent).toString();
    }
    const QString nodeCode = CategoryNode::newCode();
    const QString padId = CategoryNode::newCode();
    const bool category = form->isCategory();
    const QString name = form->name();
    QStandardItem *item =
        CategoryNode::makeItem(CategoryNode::makeNode(nodeCode, parentCode, name, category, padId), m_editable);

    if (underCurrent && CategoryNode::isCategory(CategoryNode::nodeOf(current))) {
        current->appendRow(item);
        m_tree->expand(current->index());
    } else if (underCurrent) {
        QStandardItem *parent = current->parent() ? current->parent() : m_model->invisibleRootItem();
        parent->insertRow(current->row() + 1, item);
    } else {
        m_model->appendRow(item);
    }
    m_tree->setCurrentIndex(item->index());
    const int sn = item->row();
    if (m_userMode)
        mNodeService->addUserNode(nodeCode, parentCode, name, padId, !category, sn,
                                  writeCallback(QStringLiteral("添加失败，请刷新分类")));
    else
        mNodeService->addNode(nodeCode, parentCode, name, productCode(), padId, !category, sn,
                              writeCallback(QStringLiteral("添加失败，请刷新分类")));
}

void CPPageCategoryEdit::warnNoSelection()
{
    QMessageBox::warning(this, QStringLiteral("提示"), QStringLiteral("请选中分类或页面节点"), QMessageBox::Ok);
}

void CPPageCategoryEdit::edit()
{
    QStandardItem *item = m_model->itemFromIndex(m_tree->currentIndex());
    if (!item) {
        warnNoSelection();
        return;
    }
    auto *form = new CPEditNode(item->text());
    CPBaseDialog dialog(this, QStringLiteral("   编辑"), form, kStyle);
    dialog.setFixedSize(451, 180);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QString name = form->name();
    QVariantMap node = CategoryNode::nodeOf(item);
    node.insert(kName, name);
    item->setData(node, CategoryNode::NodeRole);
    item->setText(name);
    item->setToolTip(name);
    if (!CategoryNode::isCategory(node) && node.value(kPadId).toString() == m_currentPadId)
        m_currentTitle = titleOf(item);
    const QString code = node.value(kCode).toString();
    if (m_userMode)
        mNodeService->editUserNode(code, name, writeCallback(QStringLiteral("编辑失败，请刷新分类")));
    else
        mNodeService->editNode(code, name, writeCallback(QStringLiteral("编辑失败，请刷新分类")));
}

void CPPageCategoryEdit::del()
{
    QStandardItem *item = m_model->itemFromIndex(m_tree->currentIndex());
    if (!item) {
        warnNoSelection();
        return;
    }
    QMessageBox box(QMessageBox::Warning, QStringLiteral("提示"), QStringLiteral("确定要删除选中节点吗？"),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setButtonText(QMessageBox::Yes, QStringLiteral("确 定"));
    box.setButtonText(QMessageBox::No, QStringLiteral("取 消"));
    if (box.exec() != QMessageBox::Yes)
        return;
    const QString code = CategoryNode::nodeOf(item).value(kCode).toString();
    QStandardItem *parent = item->parent() ? item->parent() : m_model->invisibleRootItem();
    if (item->hasChildren())
        item->removeRows(0, item->rowCount());
    parent->removeRow(item->row());
    if (m_userMode)
        mNodeService->deleteUserNode(code, writeCallback(QStringLiteral("删除失败，请刷新分类")));
    else
        mNodeService->deleteNode(code, writeCallback(QStringLiteral("删除失败，请刷新分类")));
}

void CPPageCategoryEdit::changeNodePosition(const QStandardItem *parentItem, QString nodeCode)
{
    QStandardItem *parent = parentItem ? m_model->itemFromIndex(parentItem->index()) : m_model->invisibleRootItem();
    if (!parent)
        return;
    QStandardItem *moved = nullptr;
    if (nodeCode.isEmpty()) {
        if (parent->rowCount() > 0)
            moved = parent->child(parent->rowCount() - 1);
    } else {
        for (int row = 0; row < parent->rowCount() && !moved; ++row) {
            if (CategoryNode::nodeOf(parent->child(row)).value(kCode).toString() == nodeCode)
                moved = parent->child(row);
        }
    }
    if (!moved)
        return;
    const QString parentCode = parentItem ? CategoryNode::nodeOf(parent).value(kCode).toString() : kRoot;
    QVariantMap node = CategoryNode::nodeOf(moved);
    node.insert(kParent, parentCode);
    moved->setData(node, CategoryNode::NodeRole);
    const QString code = node.value(kCode).toString();
    if (m_userMode)
        mNodeService->moveUserNode(code, parentCode, moved->row(), writeCallback(QStringLiteral("修改位置失败，请刷新分类")));
    else
        mNodeService->moveNode(code, parentCode, productCode(), moved->row(),
                               writeCallback(QStringLiteral("修改位置失败，请刷新分类")));
}

void CPPageCategoryEdit::contextMenu(QPoint pos)
{
    const QModelIndex index = m_tree->indexAt(pos);
    QStandardItem *item = m_model->itemFromIndex(index);
    if (!item)
        return;
    m_tree->setCurrentIndex(index);
    const bool category = CategoryNode::isCategory(CategoryNode::nodeOf(item));
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("page_cat_menu"));
    if (category) {
        menu.addAction(QStringLiteral("添加分类或页面"), this, [this] { add(false); });
    } else {
        QPersistentModelIndex target(index);
        menu.addAction(QStringLiteral("编辑综合屏"), this, [this, target] {
            if (QStandardItem *page = m_model->itemFromIndex(target))
                openPage(page);
        });
        menu.addAction(QStringLiteral("另存为"), this, [this, target] {
            if (QStandardItem *page = m_model->itemFromIndex(target))
                saveAs(page);
        });
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("编辑"), this, &CPPageCategoryEdit::edit);
    menu.addAction(QStringLiteral("删除"), this, &CPPageCategoryEdit::del);
    menu.exec(QCursor::pos());
}

void CPPageCategoryEdit::saveAs(QStandardItem *item)
{
    const QVariantMap node = CategoryNode::nodeOf(item);
    auto *form = new CPSaveAsWidget(nullptr, m_userMode);
    form->setPageTitle(node.value(kName).toString());
    CPBaseDialog dialog(this, QStringLiteral("   综合屏另存为"), form, kStyle);
    dialog.setMinimumSize(660, 420);
    dialog.setSizeGripEnabled(true);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const QVariantMap target = form->saveAsTarget();
    const QString title = target.value(QStringLiteral("title")).toString();
    const QString parentCode = target.value(kCode).toString();
    const QString padId = node.value(kPadId).toString();
    const QString targetProduct = target.value(QStringLiteral("PRODUCT_CODE")).toString();
    QPointer<CPPageCategoryEdit> self(this);
    auto done = [self, targetProduct](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        if (!result.success) {
            CategoryNode::messageError(self, QStringLiteral("另存为失败"), result.errorMsg);
            return;
        }
        QMessageBox::information(self, QStringLiteral("成功"), QStringLiteral("另存为成功"));
        if (self->m_userMode)
            self->loadUserData(false);
        else if (targetProduct == self->productCode())
            self->loadData(false);
    };
    if (m_userMode)
        mNodeService->saveAsUserNode(title, parentCode, padId, done);
    else
        mNodeService->saveAsNode(title, parentCode, targetProduct, padId, done);
}

void CPPageCategoryEdit::invokeMessageError(const QString &msg)
{
    CategoryNode::showError(this, msg);
}

} // namespace HXCPControls
