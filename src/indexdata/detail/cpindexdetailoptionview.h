#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpdetailchartoptions.h"

#include <QMap>
#include <QWidget>

class QHBoxLayout;
class QToolButton;

namespace HXCPControls {

// The tool buttons above the detail chart: form and decoration switches,
// the chart types, "还原", the picture, the data page and the comparison list.
class HXCPCONTROLS_EXPORT CPIndexDetailChartOptionView : public QWidget
{
    Q_OBJECT
public:
    explicit CPIndexDetailChartOptionView(QWidget *parent = nullptr);

    // Mirrors the options of the form in use: switches, the chosen chart
    // type, and which buttons the form offers.
    void mirror(const CPDetailChartOptions &options, bool isSeason);
    QToolButton *button(const QString &task) const { return m_buttons.value(task); }

signals:
    void exec(const QString &task, bool selected, bool isChart);
    void exec(const QString &task, bool selected);

private:
    QMap<QString, QToolButton *> m_buttons;
};

// The tool buttons above the data table: download the data, back to the chart.
class HXCPCONTROLS_EXPORT CPIndexDetailDataOptionView : public QWidget
{
    Q_OBJECT
public:
    explicit CPIndexDetailDataOptionView(QWidget *parent = nullptr);

    QToolButton *button(const QString &task) const { return m_buttons.value(task); }

signals:
    void exec(const QString &task);

private:
    QMap<QString, QToolButton *> m_buttons;
};

// A tool button named after its task, with the task's icon and hover icon of
// the skin ("custompage/<task>.png", "custompage/<task>_hover.png").
QToolButton *makeDetailToolButton(QWidget *parent, QHBoxLayout *layout, const QString &task, const QString &text,
                                  bool textBesideIcon);
// Shows a button's "selected" state: the property, re-polished, and the hover icon while selected.
void setDetailButtonSelected(QToolButton *button, bool selected);

} // namespace HXCPControls
