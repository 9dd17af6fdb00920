#pragma once

#include "common/hxcpcontrols_global.h"

#include <QWidget>

#include <memory>

namespace Ui {
class CPDetailTitleSetting;
}

namespace HXCPControls {

// The title options of the detail chart: shown or not, text, alignment.
class HXCPCONTROLS_EXPORT CPDetailTitleSetting : public QWidget
{
    Q_OBJECT
public:
    explicit CPDetailTitleSetting(QWidget *parent = nullptr);
    ~CPDetailTitleSetting() override;

    void setValues(bool show, const QString &text, const QString &align);
    bool isShowTitle() const;
    QString titleText() const;
    // "left", "center" or "right".
    QString alignment() const;

private:
    std::unique_ptr<Ui::CPDetailTitleSetting> ui;
};

} // namespace HXCPControls
