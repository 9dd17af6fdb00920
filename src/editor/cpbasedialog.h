#pragma once

#include "common/hxcpcontrols_global.h"

#include <QDialog>
#include <QPoint>
#include <QPointer>

#include <memory>

namespace Ui {
class CPBaseDialog;
}

namespace HXCPControls {

class CPBaseWidget;

// The frameless modal dialog that shows a settings form: a title band that
// drags the dialog, a close button, the form, and an OK/Cancel bar. OK asks a
// CPBaseWidget form to validate its input and keeps the dialog open, with the
// error shown, while the form refuses.
//
//     CPBaseDialog dlg(this, QStringLiteral("   设置高度"), form, QStringLiteral("controls/custompage.css"));
//     dlg.setFixedSize(451, 230);
//     dlg.setModal(true);
//     if (dlg.exec() == QDialog::Accepted)
//         ... read the values out of form ...
//
// The dialog takes the form (and the extra button, which goes left of OK)
// and destroys them with itself.
class HXCPCONTROLS_EXPORT CPBaseDialog : public QDialog
{
    Q_OBJECT
public:
    CPBaseDialog(QWidget *parent, const QString &title, QWidget *content, const QString &styleSheetFile,
                 QWidget *extraButton = nullptr);
    ~CPBaseDialog() override;

    QWidget *content() const { return m_content; }
    QString title() const { return m_title; }
    // The skinned widget that holds the whole frame.
    CPBaseWidget *frameWidget() const { return m_frame; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void confirm();

    std::unique_ptr<Ui::CPBaseDialog> ui;
    CPBaseWidget *m_frame;
    QPointer<QWidget> m_content;
    QString m_title;
    QPoint m_pressPos;
    bool m_dragging = false;
};

} // namespace HXCPControls
