#include "cpsaveaswidget.h"

#include "ui_cpsaveaswidget.h"

#include "categorynode.h"
#include "indexdata/cpproductservice.h"
#include "pagelayout/cpcompositepanelservice.h"

#include <QHeaderView>
#include <QPointer>
#include <QStandardItemModel>
#include <QTimer>

namespace HXCPControls {

namespace {
const int ProductRole = Qt::UserRole + 2;
}

CPSaveAsWidget::CPSaveAsWidget(QWidget *parent, bool userMode)
    : CPBaseWidget(parent, true, QStringLiteral("controls/custompage.css"))
    , ui(std::make_unique<Ui::CPSaveAsWidget>())
    , m_userMode(userMode)
    , m_padModel(new QStandardItemModel(this))
    , mNodeService(std::make_unique<CPCompositePanelService>())
{
    ui->setupUi(this);
    m_padModel->setHorizontalHeaderLabels({QStringLiteral("选择目标分类")});
    ui->padCatTree->setModel(m_padModel);
    ui->padCatTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ui->prodCatTree->setVisible(!userMode);
    connect(ui->prodCatTree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) { onProductClicked(item); });

    if (userMode) {
        requestTree(true, QString());
    } else {
        // The catalogue query blocks; it runs once the form is on screen.
        QTimer::singleShot(0, this, [this] {
            m_productService = std::make_unique<CPProductService>();
            QPointer<CPSaveAsWidget> self(this);
            m_productService->getProductTree(QString(), [self](const QJsonObject &, const QList<QVariantMap> &roots) {
                if (self)
                    QMetaObject::invokeMethod(self, "loadProdCatData", Qt::AutoConnection,
                                              Q_ARG(QList<QVariantMap>, roots));
            });
        });
    }
}

CPSaveAsWidget::~CPSaveAsWidget() = default;

void CPSaveAsWidget::setPageTitle(const QString &title)
{
    ui->leTitle->setText(title);
}

QVariantMap CPSaveAsWidget::saveAsTarget() const
{
    QVariantMap target{{QStringLiteral("NODE_CODE"),
                        CategoryNode::nodeOf(m_padModel->itemFromIndex(ui->padCatTree->currentIndex()))
                            .value(QStringLiteral("NODE_CODE"))},
                       {QStringLiteral("title"), ui->leTitle->text()}};
    if (!m_userMode)
        target.insert(QStringLiteral("PRODUCT_CODE"), m_productCode);
    return target;
}

QString CPSaveAsWidget::validateInput()
{
    if (!m_padModel->itemFromIndex(ui->padCatTree->currentIndex()))
        return QStringLiteral("请选择页面分类");
    if (ui->leTitle->text().trimmed().isEmpty())
        return QStringLiteral("请输入页面名称");
    return QString();
}

void CPSaveAsWidget::loadProdCatData(const QList<QVariantMap> &list)
{
    ui->prodCatTree->clear();
    const auto addProducts = [](QTreeWidgetItem *parent, const QVariantList &products) {
        for (const QVariant &p : products) {
            const QVariantMap product = p.toMap();
            auto *item = new QTreeWidgetItem(parent, {product.value(QStringLiteral("PRODUCT_NAME")).toString()});
            item->setData(0, ProductRole, product);
        }
    };
    for (const QVariantMap &root : list) {
        auto *rootItem = new QTreeWidgetItem(ui->prodCatTree, {root.value(QStringLiteral("CAT_NAME")).toString()});
        for (const QVariant &c : root.value(QStringLiteral("children")).toList()) {
            const QVariantMap child = c.toMap();
            auto *childItem = new QTreeWidgetItem(rootItem, {child.value(QStringLiteral("CAT_NAME")).toString()});
            addProducts(childItem, child.value(QStringLiteral("productions")).toList());
        }
        addProducts(rootItem, root.value(QStringLiteral("productions")).toList());
    }
    ui->prodCatTree->expandAll();
}

void CPSaveAsWidget::onProductClicked(QTreeWidgetItem *item)
{
    const QVariantMap product = item ? item->data(0, ProductRole).toMap() : QVariantMap();
    if (!product.isEmpty())
        loadProductTree(product);
}

void CPSaveAsWidget::loadProductTree(const QVariantMap &product)
{
    const QString code = product.value(QStringLiteral("PRODUCT_CODE")).toString();
    m_productCode = code;
    m_padModel->removeRows(0, m_padModel->rowCount());
    requestTree(false, code);
}

void CPSaveAsWidget::requestTree(bool userMode, const QString &productCode)
{
    const int generation = ++m_generation;
    CategoryNode::requestTree(*mNodeService, this, userMode, productCode, [this, generation](const QJsonDocument &doc) {
        // Another product may have been chosen meanwhile.
        if (generation == m_generation)
            QMetaObject::invokeMethod(this, "loadPadCatData", Qt::AutoConnection, Q_ARG(QJsonDocument, doc));
    });
}

void CPSaveAsWidget::loadPadCatData(const QJsonDocument &doc)
{
    QJsonArray records;
    QString error;
    if (!CategoryNode::readTree(doc, &records, &error)) {
        CategoryNode::messageError(this, CategoryNode::loadError(m_userMode, m_productCode, error));
        return;
    }
    m_padModel->removeRows(0, m_padModel->rowCount());
    CategoryNode::appendRecords(m_padModel->invisibleRootItem(), records, false, true);
    ui->padCatTree->expandAll();
}

void CPSaveAsWidget::invokeMessageError(const QString &msg)
{
    CategoryNode::showError(this, msg);
}

} // namespace HXCPControls
