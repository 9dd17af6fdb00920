#include "cpxyaxissetting.h"

#include "cpindexdetailchart.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace HXCPControls {

CPXYAxisSetting::CPXYAxisSetting(QWidget *parent)
    : QWidget(parent)
    , m_table(new QTableWidget(this))
{
    setObjectName(QStringLiteral("CPXYAxisSetting"));
    m_table->setObjectName(QStringLiteral("axisTable"));
    m_table->setColumnCount(3);
    m_table->setHorizontalHeaderLabels({QStringLiteral("坐标轴"), QStringLiteral("线型设置"), QStringLiteral("轴设置")});
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 10, 20, 10);
    layout->addWidget(m_table);
}

void CPXYAxisSetting::setIndexes(const QList<QVariantMap> &indexes, const QMap<qint64, CPAxisSetting> &settings)
{
    m_table->setRowCount(0);
    m_ids.clear();
    m_units.clear();
    for (const QVariantMap &index : indexes) {
        const qint64 id = CPIndexDetailChart::indexId(index.value(QStringLiteral("IDX_ID")));
        const CPAxisSetting current = settings.value(id);
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        auto *name = new QTableWidgetItem(index.value(QStringLiteral("INDEX_NAME")).toString());
        name->setToolTip(name->text());
        m_table->setItem(row, 0, name);
        auto *line = new QComboBox;
        line->addItems({QStringLiteral("默认"), QStringLiteral("折线图"), QStringLiteral("柱状图")});
        line->setCurrentIndex(qBound(0, current.lineType, 2));
        m_table->setCellWidget(row, 1, line);
        auto *axis = new QComboBox;
        axis->addItems({QStringLiteral("默认"), QStringLiteral("左轴"), QStringLiteral("右轴")});
        axis->setCurrentIndex(qBound(0, current.axisIndex + 1, 2));
        m_table->setCellWidget(row, 2, axis);
        m_ids.append(id);
        m_units.append(CPIndexDetailChart::indexUnit(index));
    }
}

QMap<qint64, CPAxisSetting> CPXYAxisSetting::settings() const
{
    QMap<qint64, CPAxisSetting> result;
    for (int row = 0; row < m_ids.size(); ++row) {
        CPAxisSetting s;
        s.lineType = static_cast<QComboBox *>(m_table->cellWidget(row, 1))->currentIndex();
        s.axisIndex = static_cast<QComboBox *>(m_table->cellWidget(row, 2))->currentIndex() - 1;
        s.unit = m_units.at(row);
        result.insert(m_ids.at(row), s);
    }
    return result;
}

} // namespace HXCPControls
