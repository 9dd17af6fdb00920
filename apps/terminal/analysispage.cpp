#include "analysispage.h"

#include "editor/navigation/categorynode.h"
#include "editor/navigation/cppagecategory.h"
#include "pagelayout/cpcompositepanelservice.h"
#include "pagelayout/cpcustompage.h"

#include <QHBoxLayout>
#include <QJsonArray>
#include <QPointer>
#include <QSplitter>

using namespace HXCPControls;

AnalysisPage::AnalysisPage(const QJsonObject &product, QWidget *parent)
    : QWidget(parent)
    , m_service(std::make_unique<CPCompositePanelService>())
{
    setObjectName(QStringLiteral("analysisPage"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *splitter = new QSplitter(Qt::Horizontal, this);
    m_tree = new CPPageCategory(splitter, false);
    m_tree->setObjectName(QStringLiteral("screen_category"));
    m_page = new CPCustomPage(splitter, true);
    splitter->addWidget(m_tree);
    splitter->addWidget(m_page);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({260, 900});
    layout->addWidget(splitter);
    connect(m_tree, &CPPageCategory::changePad, m_page, [this](const QString &padId) {
        if (padId != m_page->padID())
            m_page->loadDataById(padId);
    });

    // The tree opens the page it is given: find the first one, then show the tree.
    QPointer<AnalysisPage> self(this);
    const QString code = product.value(QStringLiteral("PRODUCT_CODE")).toString();
    m_service->getNodeData(code, [self, product](const HXDataApi::HttpJsonResult &result) {
        if (self)
            self->m_tree->setProduct(product, result.success ? CategoryNode::firstPage(result.data.array()).value(QStringLiteral("PAD_ID")).toString() : QString());
    });
}

AnalysisPage::~AnalysisPage() = default;
