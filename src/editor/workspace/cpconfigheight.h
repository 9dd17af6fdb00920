#pragma once

#include "editor/cpbasewidget.h"

#include <memory>

namespace Ui {
class CPConfigHeight;
}

namespace HXCPControls {

// The form of the height dialog: a fixed page height typed in, or picked as
// 1.5, 2 or 3 times the design height.
class HXCPCONTROLS_EXPORT CPConfigHeight : public CPBaseWidget
{
    Q_OBJECT
public:
    CPConfigHeight(int currentHeight, int designHeight, QWidget *parent = nullptr);
    ~CPConfigHeight() override;

    // The line edit's text as a decimal integer; 0 when it is empty.
    int heightValue() const;
    int currentHeight() const { return m_currentHeight; }
    int designHeight() const { return m_designHeight; }

private:
    std::unique_ptr<Ui::CPConfigHeight> ui;
    int m_currentHeight;
    int m_designHeight;
};

} // namespace HXCPControls
