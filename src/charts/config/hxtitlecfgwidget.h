#pragma once

#include "common/hxcpcontrols_global.h"

#include <QWidget>

#include <memory>

namespace Ui {
class HXTitleCfgWidget;
}

namespace HXCPControls {

// Edits a component's title and whether it is shown; used by the chart
// configuration panel and the rich text editor.
class HXCPCONTROLS_EXPORT HXTitleCfgWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HXTitleCfgWidget(QWidget *parent = nullptr);
    ~HXTitleCfgWidget() override;

    // Sets the text and the check state without emitting titleChanged.
    void setValue(bool isShow, const QString &title);
    bool isShowTitle() const;
    QString title() const;

signals:
    void titleChanged(bool isShow, const QString &title);
    void titleChanged(bool isShow);

private:
    void emitChanged();

    std::unique_ptr<Ui::HXTitleCfgWidget> ui;
};

} // namespace HXCPControls
