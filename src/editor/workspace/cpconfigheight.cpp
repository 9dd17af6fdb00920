#include "cpconfigheight.h"

#include "ui_cpconfigheight.h"

#include <QIntValidator>

namespace HXCPControls {

CPConfigHeight::CPConfigHeight(int currentHeight, int designHeight, QWidget *parent)
    : CPBaseWidget(parent, true, QStringLiteral("controls/custompage.css"))
    , ui(new Ui::CPConfigHeight)
    , m_currentHeight(currentHeight)
    , m_designHeight(designHeight)
{
    ui->setupUi(this);
    ui->height_edit->setValidator(new QIntValidator(1, 1000000, ui->height_edit));
    ui->height_edit->setText(QString::number(currentHeight));

    const struct {
        QPushButton *button;
        double ratio;
    } ratios[] = {{ui->ratio15_btn, 1.5}, {ui->ratio2_btn, 2}, {ui->ratio3_btn, 3}};
    for (const auto &r : ratios) {
        const double ratio = r.ratio;
        connect(r.button, &QPushButton::clicked, this,
                [this, ratio] { ui->height_edit->setText(QString::number(int(m_designHeight * ratio))); });
    }
}

CPConfigHeight::~CPConfigHeight() = default;

int CPConfigHeight::heightValue() const
{
    return ui->height_edit->text().toInt(nullptr, 10);
}

} // namespace HXCPControls
