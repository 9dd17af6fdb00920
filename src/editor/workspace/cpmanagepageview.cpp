#include "cpmanagepageview.h"

#include "common/logging.h"
#include "cpcontroltreewidget.h"
#include "cptoolbarview.h"
#include "pagelayout/cpcompositepanelservice.h"
#include "pagelayout/cpcustompage.h"
#include "ui_cpmanagepageview.h"
#include "wk/wkcore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMessageBox>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

namespace HXCPControls {

CPManagePageView::CPManagePageView(QWidget *parent, bool userMode)
    : QWidget(parent)
    , ui(new Ui::CPManagePageView)
    , m_userMode(userMode)
    , m_service(new CPCompositePanelService)
{
    ui->setupUi(this);
    setObjectName(QStringLiteral("detailWorkspace"));
    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));

    m_toolBar = new CPToolBarView(ui->pageWidget, true);
    m_toolBar->setFixedHeight(35);
    m_toolBar->hide();
    m_page = new CPCustomPage(ui->pageWidget, true);
    m_page->editable(true);
    m_page->hide();
    ui->padverticalLayout->addWidget(m_toolBar);
    ui->padverticalLayout->addWidget(m_page);

    m_palette = new CPControlTreeWidget(this, true);
    m_palette->setFixedWidth(200);
    m_palette->setHeaderHidden(true);
    m_palette->hide();
    ui->managerLayout->addWidget(m_palette);

    connect(m_page, &CPCustomPage::initResponsiveHeight, this, [this](int h) {
        m_toolBar->setDesignHeight(m_page->height());
        if (h > 0)
            m_toolBar->setResponsiveState(false, h);
        else
            m_toolBar->setResponsiveState(true, m_page->height());
    });
    connect(m_toolBar, &CPToolBarView::responsiveHeightChanged, m_page, &CPCustomPage::setResponsiveHeight);
    connect(m_toolBar, &CPToolBarView::previewState, this, [this](bool preview) {
        m_page->editable(!preview);
        m_palette->setVisible(!preview);
    });
    connect(m_toolBar, &CPToolBarView::save, this, &CPManagePageView::saveContent);
}

CPManagePageView::~CPManagePageView() = default;

// Shown and laid out before the page loads: the page's height when it has
// loaded is the design height of the height dialog.
void CPManagePageView::showParts()
{
    m_toolBar->show();
    m_page->show();
    m_palette->setVisible(!m_toolBar->isPreview());
    layout()->activate();
}

void CPManagePageView::loadData(const QString &padId, const QString &title)
{
    m_padId = padId;
    showParts();
    m_page->loadDataById(padId);
    m_toolBar->setToolBarTitle(title);
}

void CPManagePageView::loadContent(const QVariantMap &content, const QString &title)
{
    m_padId.clear();
    showParts();
    m_page->loadDataByMap(content);
    m_toolBar->setToolBarTitle(title);
}

void CPManagePageView::saveContent()
{
    const QVariantMap content = m_page->getContent();
    const QString text =
        QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(content)).toJson(QJsonDocument::Compact));

    if (m_padId.isEmpty()) {
        const QString padID = content.value(QStringLiteral("padID")).toString();
        if (!padID.isEmpty())
            m_padId = padID;
        else
            emit save(content);
    }

    QPointer<CPManagePageView> self(this);
    auto done = [self, content](const HXDataApi::HttpJsonResult &result) {
        if (!self)
            return;
        if (result.success) {
            QMessageBox::information(self, QStringLiteral("提示"), QStringLiteral("保存成功"));
        } else {
            qCWarning(lcEditor).noquote() << "save of page" << self->m_padId << "failed:" << result.errorMsg;
            self->messageError(QStringLiteral("保存失败，请刷新分类"));
        }
        if (self)
            emit self->save(content);
    };
    if (m_userMode)
        m_service->updateUserPageContent(m_padId, text, done);
    else
        m_service->updatePageContent(m_padId, text, done);
}

void CPManagePageView::messageError(const QString &msg)
{
    qCWarning(lcEditor).noquote() << msg;
    QMetaObject::invokeMethod(this, "invokeMessageError", Qt::AutoConnection, Q_ARG(QString, msg));
}

void CPManagePageView::invokeMessageError(const QString &msg)
{
    QMessageBox::critical(this, QStringLiteral("错误"), msg, QMessageBox::Ok);
}

void CPManagePageView::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPManagePageView::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

} // namespace HXCPControls
