#include "hxoptionfilterbasewidget.h"

#include "ui_hxpiechartfilterwidget.h"

#include <QJsonArray>

namespace HXCPControls {

HXOptionFilterBaseWidget::HXOptionFilterBaseWidget(QWidget *parent)
    : QWidget(parent)
{
}

void HXOptionFilterBaseWidget::apply(const QJsonObject &option)
{
    m_busy = true;
    fill(option);
    m_busy = false;
}

void HXOptionFilterBaseWidget::changeConfig()
{
    if (!m_busy)
        emit configChanged();
}

HXPieChartFilterWidget::HXPieChartFilterWidget(QWidget *parent)
    : HXOptionFilterBaseWidget(parent)
    , ui(new Ui::HXPieChartFilterWidget)
{
    ui->setupUi(this);
    connect(ui->comboBox, QOverload<int>::of(&QComboBox::currentIndexChanged), this, &HXOptionFilterBaseWidget::changeConfig);
}

HXPieChartFilterWidget::~HXPieChartFilterWidget() = default;

void HXPieChartFilterWidget::fill(const QJsonObject &option)
{
    ui->comboBox->clear();
    const QJsonObject firstSeries = option.value(QStringLiteral("series")).toArray().first().toObject();
    const int index = firstSeries.value(QStringLiteral("datasetIndex")).toInt(0);
    const QJsonArray dims = option.value(QStringLiteral("dataset")).toArray().at(index).toObject()
                                .value(QStringLiteral("dimensions")).toArray();
    for (int i = 1; i < dims.size(); ++i)
        ui->comboBox->addItem(dims.at(i).toString());
}

QJsonObject HXPieChartFilterWidget::filter(const QJsonObject &option)
{
    QJsonObject copy = option;
    const QString chosen = ui->comboBox->currentText();
    QJsonArray series = copy.value(QStringLiteral("series")).toArray();
    for (int i = 0; i < series.size(); ++i) {
        QJsonObject s = series.at(i).toObject();
        QJsonObject encode = s.value(QStringLiteral("encode")).toObject();
        encode.insert(s.value(QStringLiteral("type")).toString() == QLatin1String("pie") ? QStringLiteral("value")
                                                                                         : QStringLiteral("y"),
                      chosen);
        s.insert(QStringLiteral("encode"), encode);
        series.replace(i, s);
    }
    copy.insert(QStringLiteral("series"), series);
    return copy;
}

QStringList HXPieChartFilterWidget::choices() const
{
    QStringList list;
    for (int i = 0; i < ui->comboBox->count(); ++i)
        list.append(ui->comboBox->itemText(i));
    return list;
}

QString HXPieChartFilterWidget::currentChoice() const
{
    return ui->comboBox->currentText();
}

void HXPieChartFilterWidget::setCurrentChoice(const QString &text)
{
    ui->comboBox->setCurrentText(text);
}

} // namespace HXCPControls
