#include "cpindextitlebar.h"

#include "ui_cpindextitlebar.h"

#include <QPushButton>
#include <QStyle>

namespace HXCPControls {

CPIndexTitleBar::CPIndexTitleBar(QWidget *parent, const QList<FrequencyInfo> &frequencies)
    : QWidget(parent)
    , ui(new Ui::CPIndexTitleBar)
{
    ui->setupUi(this);
    setAttribute(Qt::WA_StyledBackground, true);
    setMaximumHeight(40);
    ui->index_data_title->hide();
    for (const FrequencyInfo &info : frequencies) {
        if (m_buttons.contains(info.frequencyCode))
            continue;
        auto *button = new QPushButton(info.frequencyName, this);
        button->setObjectName(QStringLiteral("frequency_btn"));
        button->setFixedSize(75, 38);
        button->setCursor(Qt::PointingHandCursor);
        button->setProperty("selected", false);
        button->hide();
        ui->button_group_layout->addWidget(button);
        m_buttons.insert(info.frequencyCode, button);
        const int code = info.frequencyCode;
        connect(button, &QPushButton::clicked, this, [this, code] {
            activeFrequency(code);
            int chosen = code;
            emit changed(chosen);
        });
    }
}

CPIndexTitleBar::~CPIndexTitleBar() = default;

QLabel *CPIndexTitleBar::titleLabel() const
{
    return ui->index_data_title;
}

void CPIndexTitleBar::setSelected(QPushButton *button, bool selected)
{
    button->setProperty("selected", selected);
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();
}

void CPIndexTitleBar::reset(bool isShowTitle, const QString &title, const QList<int> &frequencies)
{
    ui->index_data_title->setVisible(isShowTitle);
    ui->index_data_title->setText(isShowTitle ? title : QString());
    m_active = 0;
    bool first = true;
    // QMap iterates in ascending code order; the walk goes the other way.
    for (auto it = m_buttons.end(); it != m_buttons.begin();) {
        --it;
        const bool listed = frequencies.contains(it.key());
        it.value()->setVisible(listed);
        const bool active = listed && first;
        if (active) {
            m_active = it.key();
            first = false;
        }
        setSelected(it.value(), active);
    }
}

void CPIndexTitleBar::activeFrequency(int frequency)
{
    if (!m_buttons.contains(frequency))
        return;
    m_active = frequency;
    for (auto it = m_buttons.begin(); it != m_buttons.end(); ++it)
        setSelected(it.value(), it.key() == frequency);
}

} // namespace HXCPControls
