#pragma once

#include "common/hxcpcontrols_global.h"
#include "cpdetailchartoptions.h"

#include <QList>
#include <QVariantMap>
#include <QWidget>

class QTableWidget;

namespace HXCPControls {

// The axis options of the detail chart: per index, its line type ("默认",
// "折线图", "柱状图") and its axis ("默认", "左轴", "右轴").
class HXCPCONTROLS_EXPORT CPXYAxisSetting : public QWidget
{
    Q_OBJECT
public:
    explicit CPXYAxisSetting(QWidget *parent = nullptr);

    // One row per index row, prefilled from `settings`.
    void setIndexes(const QList<QVariantMap> &indexes, const QMap<qint64, CPAxisSetting> &settings);
    QMap<qint64, CPAxisSetting> settings() const;
    QTableWidget *table() const { return m_table; }

private:
    QTableWidget *m_table;
    QList<qint64> m_ids;
    QStringList m_units;
};

} // namespace HXCPControls
