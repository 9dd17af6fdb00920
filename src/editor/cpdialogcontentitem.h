#pragma once

#include "common/hxcpcontrols_global.h"

#include <QWidget>

namespace HXCPControls {

// What a CPDialogContent frame holds: a view that asks its frame to be
// minimized, maximized, restored or closed, and that says how tall its own
// title bar is (presses in it drag the frame).
class HXCPCONTROLS_EXPORT CPDialogContentItem : public QWidget
{
    Q_OBJECT
public:
    explicit CPDialogContentItem(QWidget *parent = nullptr);
    ~CPDialogContentItem() override;

    virtual int titleBarHeight() const;

signals:
    void minimize();
    void maximize();
    void restore();
    void close();
};

} // namespace HXCPControls
