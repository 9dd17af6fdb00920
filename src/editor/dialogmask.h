#pragma once

#include "common/hxcpcontrols_global.h"
#include "wk/iwkinterface.h"

#include <QPointer>
#include <QRect>
#include <QWidget>

namespace HXCPControls {

class CPDialogContent;
class CPDialogContentItem;

// The dimming layer that covers a whole maximized dialog and carries a
// movable, resizable CPDialogContent frame around an item. The item's
// minimize, maximize, restore and close requests act on the frame or on the
// dialog. The skin decides the layer's colour and transparency.
class HXCPCONTROLS_EXPORT DialogMask : public QWidget, public IWKSkin, public IWKAbstractPage
{
    Q_OBJECT
    Q_INTERFACES(IWKSkin IWKAbstractPage)
public:
    DialogMask(QWidget *parentDialog, CPDialogContentItem *item);
    ~DialogMask() override;

    // Centres the frame at three quarters of the mask's height (at least 642)
    // and 1.92 times as wide, narrowed to fit the mask when needed.
    void placeContent();

    CPDialogContent *content() const { return m_content; }
    // The frame's geometry before it was maximized; null until then.
    QRect normalGeometry() const { return m_normalGeometry; }

    void loadSkin(const QVariant &skin) override;
    QWidget *widget() override { return this; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void onMinimize();
    void onMaximize();
    void onRestore();
    void onClose();

    QPointer<QWidget> m_parentDialog;
    CPDialogContent *m_content;
    QRect m_normalGeometry;
};

} // namespace HXCPControls
