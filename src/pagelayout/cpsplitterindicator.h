#pragma once

#include "common/hxcpcontrols_global.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CPSplitterIndicator;
}
class QAbstractButton;

namespace HXCPControls {

// The split operations of an item.
enum Indicator { SplitLeft = 0, SplitRight = 1, SplitTop = 2, SplitBottom = 3, DeleteLayout = 4 };

// The cross of buttons centred in an item in edit mode: split towards a side, or delete.
class HXCPCONTROLS_EXPORT CPSplitterIndicator : public QWidget
{
    Q_OBJECT
public:
    explicit CPSplitterIndicator(QWidget *parent = nullptr);
    ~CPSplitterIndicator() override;

    // The operation of a button's object name; false for other names.
    static bool indicatorOf(const QString &buttonName, Indicator *indicator);

signals:
    void signalSplitBtnClicked(HXCPControls::Indicator indicator);

private:
    void onButtonClicked(QAbstractButton *button);

    std::unique_ptr<Ui::CPSplitterIndicator> ui;
};

} // namespace HXCPControls

Q_DECLARE_METATYPE(HXCPControls::Indicator)
