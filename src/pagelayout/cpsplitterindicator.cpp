#include "cpsplitterindicator.h"

#include "ui_cpsplitterindicator.h"

#include <array>

namespace HXCPControls {

namespace {
struct ButtonOperation {
    const char *name;
    Indicator indicator;
};
constexpr std::array<ButtonOperation, 5> kButtons{{
    {"pbLeft", SplitLeft},
    {"pbRight", SplitRight},
    {"pbUp", SplitTop},
    {"pbDown", SplitBottom},
    {"pbDel", DeleteLayout},
}};
} // namespace

CPSplitterIndicator::CPSplitterIndicator(QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::CPSplitterIndicator>())
{
    ui->setupUi(this);
    connect(ui->buttonGroup, QOverload<QAbstractButton *>::of(&QButtonGroup::buttonClicked), this,
            &CPSplitterIndicator::onButtonClicked);
}

CPSplitterIndicator::~CPSplitterIndicator() = default;

bool CPSplitterIndicator::indicatorOf(const QString &buttonName, Indicator *indicator)
{
    for (const ButtonOperation &b : kButtons) {
        if (buttonName == QLatin1String(b.name)) {
            *indicator = b.indicator;
            return true;
        }
    }
    return false;
}

void CPSplitterIndicator::onButtonClicked(QAbstractButton *button)
{
    Indicator indicator;
    if (button && indicatorOf(button->objectName(), &indicator))
        emit signalSplitBtnClicked(indicator);
}

} // namespace HXCPControls
