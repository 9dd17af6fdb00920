#include "cppagecategory.h"

#include "categorynode.h"
#include "common/logging.h"
#include "cppagecategoryitem.h"
#include "pagelayout/cpcompositepanelservice.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QLabel>
#include <QScrollArea>

namespace HXCPControls {

CPPageCategory::CPPageCategory(QWidget *parent, bool userMode)
    : QWidget(parent)
    , m_userMode(userMode)
    , mNodeService(std::make_unique<CPCompositePanelService>())
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    layout->addWidget(CategoryNode::makeTitlePanel(
        this, userMode ? QStringLiteral("我的页面") : QStringLiteral("在左侧选择产品"), &m_title));

    auto *scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    auto *catPanel = new QWidget(scroll);
    catPanel->setObjectName(QStringLiteral("cat_panel"));
    m_catLayout = new QVBoxLayout(catPanel);
    m_catLayout->setAlignment(Qt::AlignTop);
    m_catLayout->setContentsMargins(5, 5, 5, 5);
    m_catLayout->setSpacing(6);
    scroll->setWidget(catPanel);
    layout->addWidget(scroll, 1);
}

CPPageCategory::~CPPageCategory() = default;

QString CPPageCategory::rootTitle() const
{
    return m_userMode ? QStringLiteral("我的页面") : m_product.value(QStringLiteral("PRODUCT_NAME")).toString();
}

void CPPageCategory::setProduct(const QJsonObject &product, const QString &padId)
{
    m_product = product;
    m_currentPadId = padId;
    QMetaObject::invokeMethod(this, "loadData");
}

void CPPageCategory::loadData()
{
    if (m_userMode) {
        loadUserData();
        return;
    }
    if (m_product.isEmpty())
        return;
    m_title->setText(rootTitle());
    requestTree();
}

void CPPageCategory::loadUserData()
{
    m_title->setText(QStringLiteral("我的页面"));
    requestTree();
}

void CPPageCategory::requestTree()
{
    CategoryNode::requestTree(*mNodeService, this, m_userMode, productCode(), [this](const QJsonDocument &doc) {
        QMetaObject::invokeMethod(this, "loadTree", Qt::AutoConnection, Q_ARG(QJsonDocument, doc));
    });
}

QString CPPageCategory::productCode() const
{
    return m_product.value(QStringLiteral("PRODUCT_CODE")).toVariant().toString();
}

void CPPageCategory::loadTree(const QJsonDocument &doc)
{
    QJsonArray records;
    QString error;
    if (!CategoryNode::readTree(doc, &records, &error)) {
        CategoryNode::messageError(this, CategoryNode::loadError(m_userMode, productCode(), error));
        return;
    }
    // A reload replaces the sections of the previous load.
    while (QLayoutItem *item = m_catLayout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_sections.clear();

    const QString root = rootTitle();
    int index = 0;
    for (const QJsonValue &value : records) {
        QVariantMap node;
        QJsonArray children;
        const bool ok = CategoryNode::readNode(value, &node, &children, &error);
        if (!error.isEmpty())
            qCWarning(lcEditor).noquote() << "category tree:" << error;
        if (!ok || !CategoryNode::isCategory(node))
            continue;
        auto *section = new CPPageCategoryItem(this, node.value(QStringLiteral("NODE_NAME")).toString(), root,
                                               m_currentPadId, m_currentTitle, index++);
        connect(section, &CPPageCategoryItem::changePad, this, &CPPageCategory::onSectionChangePad);
        connect(section, &CPPageCategoryItem::onExpandSection, this, &CPPageCategory::onSectionExpanded);
        m_catLayout->addWidget(section);
        m_sections.append(section);
        section->setRecord(value.toObject());
        if (!section->currentPadId().isEmpty()) {
            m_currentPadId = section->currentPadId();
            m_currentTitle = section->currentTitle();
        }
    }
    m_catLayout->addStretch();
}

void CPPageCategory::onSectionChangePad(int index, const QString &padId, const QString &title)
{
    auto *section = qobject_cast<CPPageCategoryItem *>(sender());
    if (m_selectedSection && m_selectedSection->index() != index)
        m_selectedSection->unselected();
    m_selectedSection = section;
    m_currentPadId = padId;
    m_currentTitle = title;
    emit changePad(padId, title);
}

void CPPageCategory::showCurrentPad(const QString &padId)
{
    CPPageCategoryItem *holder = nullptr;
    for (CPPageCategoryItem *section : qAsConst(m_sections)) {
        if (section->showPad(padId)) {
            holder = section;
            break;
        }
    }
    if (m_selectedSection && m_selectedSection != holder)
        m_selectedSection->unselected();
    m_selectedSection = holder;
    // Remembered for a tree that is still to arrive.
    m_currentPadId = holder ? holder->currentPadId() : padId;
    m_currentTitle = holder ? holder->currentTitle() : QString();
}

void CPPageCategory::onSectionExpanded(int index)
{
    auto *section = qobject_cast<CPPageCategoryItem *>(sender());
    if (m_expandedSection && m_expandedSection->index() != index)
        m_expandedSection->collapseSection();
    m_expandedSection = section;
}

void CPPageCategory::invokeMessageError(const QString &msg)
{
    CategoryNode::showError(this, msg);
}

} // namespace HXCPControls
