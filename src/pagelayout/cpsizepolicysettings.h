#pragma once

#include "common/hxcpcontrols_global.h"

#include <QFrame>
#include <QSizePolicy>

#include <memory>

namespace Ui {
class CPSizePolicySettings;
}

namespace HXCPControls {

// The form that edits an item's minimum and maximum size, size policies and stretches.
class HXCPCONTROLS_EXPORT CPSizePolicySettings : public QFrame
{
    Q_OBJECT
public:
    explicit CPSizePolicySettings(QWidget *parent = nullptr);
    ~CPSizePolicySettings() override;

    // Fills the form from a widget's current values.
    void setValues(const QSize &minSize, const QSize &maxSize, const QSizePolicy &policy, const QSize &current);
    QSize minSize() const;
    QSize maxSize() const;
    // `base` with the chosen policies and stretches.
    QSizePolicy policy(QSizePolicy base) const;

    static QStringList policyNames();

private slots:
    void on_tbCopyToMinWidth_clicked();
    void on_tbCopyToMinHeight_clicked();
    void on_tbCopyToMaxWidth_clicked();
    void on_tbCopyToMaxHeight_clicked();

private:
    std::unique_ptr<Ui::CPSizePolicySettings> ui;
};

} // namespace HXCPControls
