#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonObject>
#include <QWidget>

#include <memory>

namespace Ui {
class HXPieChartFilterWidget;
}

namespace HXCPControls {

// A small control above a chart that shows another view of the same option
// (another column of its dataset) without rebuilding it.
class HXCPCONTROLS_EXPORT HXOptionFilterBaseWidget : public QWidget
{
    Q_OBJECT
public:
    explicit HXOptionFilterBaseWidget(QWidget *parent = nullptr);

    // Fills the control from `option` without announcing a change.
    void apply(const QJsonObject &option);
    bool isBusy() const { return m_busy; }

public slots:
    virtual QJsonObject filter(const QJsonObject &option) = 0;
    virtual void fill(const QJsonObject &option) = 0;
    void changeConfig();

signals:
    void configChanged();

private:
    bool m_busy = false;
};

// The column picker of pie and section charts: lists the dimensions of the
// dataset that the first series draws and points every series at the chosen one.
class HXCPCONTROLS_EXPORT HXPieChartFilterWidget : public HXOptionFilterBaseWidget
{
    Q_OBJECT
public:
    explicit HXPieChartFilterWidget(QWidget *parent = nullptr);
    ~HXPieChartFilterWidget() override;

    QJsonObject filter(const QJsonObject &option) override;
    void fill(const QJsonObject &option) override;

    QStringList choices() const;
    QString currentChoice() const;
    void setCurrentChoice(const QString &text);

private:
    std::unique_ptr<Ui::HXPieChartFilterWidget> ui;
};

} // namespace HXCPControls
