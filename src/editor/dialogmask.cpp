#include "dialogmask.h"

#include "cpdialogcontent.h"
#include "cpdialogcontentitem.h"
#include "wk/wkcore.h"

#include <QDialog>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>

namespace HXCPControls {

namespace {
constexpr int kMinimumWidth = 1024;
constexpr int kMinimumHeight = 642;
} // namespace

DialogMask::DialogMask(QWidget *parentDialog, CPDialogContentItem *item)
    : QWidget(parentDialog)
    , m_parentDialog(parentDialog)
    , m_content(new CPDialogContent(this, item))
{
    setObjectName(QStringLiteral("DialogMask"));
    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage-index-detail.css"));

    if (item) {
        connect(item, &CPDialogContentItem::minimize, this, &DialogMask::onMinimize);
        connect(item, &CPDialogContentItem::maximize, this, &DialogMask::onMaximize);
        connect(item, &CPDialogContentItem::restore, this, &DialogMask::onRestore);
        connect(item, &CPDialogContentItem::close, this, &DialogMask::onClose);
    }
}

DialogMask::~DialogMask() = default;

void DialogMask::placeContent()
{
    const int maskWidth = width();
    const int maskHeight = height();
    const double h = std::max(double(kMinimumHeight), 0.75 * maskHeight);
    double w = 1.92 * h;
    if (w > maskWidth)
        w = std::max(kMinimumWidth, maskWidth - 100);
    const int frameWidth = int(w);
    const int frameHeight = int(h);
    m_content->setGeometry((maskWidth - frameWidth) / 2, (maskHeight - frameHeight) / 2, frameWidth, frameHeight);
    m_content->setMinimumSize(kMinimumWidth, kMinimumHeight);
}

void DialogMask::onMinimize()
{
    if (m_parentDialog)
        m_parentDialog->showMinimized();
}

void DialogMask::onMaximize()
{
    m_normalGeometry = m_content->geometry();
    m_content->setGeometry(0, 0, width(), height());
}

void DialogMask::onRestore()
{
    if (!m_normalGeometry.isEmpty())
        m_content->setGeometry(m_normalGeometry);
    else
        placeContent();
}

void DialogMask::onClose()
{
    if (auto *dialog = qobject_cast<QDialog *>(m_parentDialog.data()))
        dialog->accept();
    else if (m_parentDialog)
        m_parentDialog->close();
}

void DialogMask::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void DialogMask::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

} // namespace HXCPControls
