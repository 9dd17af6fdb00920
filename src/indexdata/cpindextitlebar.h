#pragma once

#include "common/hxcpcontrols_global.h"
#include "indexdata/frequencyinfo.h"

#include <QMap>
#include <QWidget>

#include <memory>

namespace Ui {
class CPIndexTitleBar;
}
class QLabel;
class QPushButton;

namespace HXCPControls {

// The band above an index table: its optional title and one button per
// offered frequency; the active frequency's button is "selected".
class HXCPCONTROLS_EXPORT CPIndexTitleBar : public QWidget
{
    Q_OBJECT
public:
    CPIndexTitleBar(QWidget *parent, const QList<FrequencyInfo> &frequencies);
    ~CPIndexTitleBar() override;

    // Shows the title when asked and the buttons of `frequencies`; the highest
    // code among them becomes the active frequency.
    void reset(bool isShowTitle, const QString &title, const QList<int> &frequencies);

    int activeCode() const { return m_active; }
    QPushButton *button(int code) const { return m_buttons.value(code); }
    QLabel *titleLabel() const;

public slots:
    void activeFrequency(int frequency);

signals:
    void changed(int &frequency);

private:
    void setSelected(QPushButton *button, bool selected);

    std::unique_ptr<Ui::CPIndexTitleBar> ui;
    QMap<int, QPushButton *> m_buttons;
    int m_active = 0;
};

} // namespace HXCPControls
