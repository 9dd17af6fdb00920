#include "settingbutton.h"

#include <QIcon>
#include <QMessageBox>
#include <QStyle>
#include <QToolButton>

namespace HXCPControls {

QToolButton *makeSettingButton(QWidget *parent)
{
    // Decoding the images is most of the cost of an item; pages have hundreds of buttons.
    static const QIcon icon = [] {
        QIcon i;
        i.addFile(QStringLiteral(":/images/setting.png"), QSize(), QIcon::Normal);
        i.addFile(QStringLiteral(":/images/settingH.png"), QSize(), QIcon::Active);
        i.addFile(QStringLiteral(":/images/settingP.png"), QSize(), QIcon::Selected);
        return i;
    }();
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("settingBtn"));
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(16, 16);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void repolish(QWidget *widget)
{
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    widget->update();
}

bool askConfirmation(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setButtonText(QMessageBox::Ok, QStringLiteral("确 定"));
    box.setButtonText(QMessageBox::Cancel, QStringLiteral("取 消"));
    return box.exec() == QMessageBox::Ok;
}

} // namespace HXCPControls
