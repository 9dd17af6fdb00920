#include "cptoolbarview.h"

#include "cpconfigheight.h"
#include "editor/cpbasedialog.h"
#include "ui_cptoolbarview.h"
#include "wk/wkcore.h"

#include <QPainter>
#include <QStyleOption>

namespace HXCPControls {

CPToolBarView::CPToolBarView(QWidget *parent, bool embedded)
    : QWidget(parent)
    , ui(new Ui::CPToolBarView)
{
    ui->setupUi(this);
    ui->height_btn->hide();
    ui->preview_btn->setChecked(false);
    if (!embedded)
        WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));

    connect(ui->preview_btn, &QPushButton::clicked, this, &CPToolBarView::setPreView);
    connect(ui->save_btn, &QPushButton::clicked, this, &CPToolBarView::save);
    connect(ui->responsive_btn, &QPushButton::clicked, this, &CPToolBarView::toggleResponsive);
    connect(ui->height_btn, &QPushButton::clicked, this, &CPToolBarView::popupHeightDialog);
}

CPToolBarView::~CPToolBarView() = default;

void CPToolBarView::setToolBarTitle(const QString &title)
{
    ui->toolbar_title->setText(title.isEmpty() ? QString() : title);
}

void CPToolBarView::setDesignHeight(int height)
{
    m_designHeight = height;
}

void CPToolBarView::setResponsiveState(bool responsive, int height)
{
    m_responsive = responsive;
    m_fixedHeight = height;
    updateButtons();
}

void CPToolBarView::updateButtons()
{
    ui->responsive_btn->setText(m_responsive ? QStringLiteral("固定高度") : QStringLiteral("自适应高度"));
    ui->responsive_btn->setVisible(!m_preview);
    ui->height_btn->setVisible(!m_preview && !m_responsive);
    ui->preview_btn->setText(m_preview ? QStringLiteral("取消预览") : QStringLiteral("预览"));
}

void CPToolBarView::setPreView()
{
    m_preview = !m_preview;
    ui->preview_btn->setChecked(m_preview);
    updateButtons();
    emit previewState(m_preview);
}

void CPToolBarView::toggleResponsive()
{
    if (m_responsive) {
        popupHeightDialog();
        return;
    }
    // The fixed height stays stored: the dialog offers it again next time.
    m_responsive = true;
    updateButtons();
    emit responsiveHeightChanged(-1);
}

void CPToolBarView::popupHeightDialog()
{
    auto *form = new CPConfigHeight(m_fixedHeight, m_designHeight, nullptr);
    CPBaseDialog dialog(nullptr, QStringLiteral("   设置高度"), form, QStringLiteral("controls/custompage.css"));
    dialog.setFixedSize(451, 230);
    dialog.setModal(true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_fixedHeight = form->heightValue();
    m_responsive = false;
    updateButtons();
    emit responsiveHeightChanged(m_fixedHeight);
}

void CPToolBarView::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPToolBarView::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

} // namespace HXCPControls
