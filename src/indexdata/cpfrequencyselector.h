#pragma once

#include "common/hxcpcontrols_global.h"
#include "indexdata/frequencyinfo.h"

#include <QList>
#include <QMap>
#include <QVariantMap>
#include <QWidget>

class QCheckBox;
class QHBoxLayout;

namespace HXCPControls {

class CPIndexDataService;

// The frequencies a table offers, one check box each. Frequencies finer than
// the default frequencies of the chosen indices allow are hidden.
class HXCPCONTROLS_EXPORT CPFrequencySelector : public QWidget
{
    Q_OBJECT
public:
    explicit CPFrequencySelector(QWidget *parent = nullptr);

    void setSelected(QList<int> codes);
    // The checked codes in ascending order.
    QList<int> selected();
    int count();

    int ceiling() const { return m_ceiling; }
    QCheckBox *checkBox(int code) const { return m_boxes.value(code); }

    // The conversion of the index row's default frequency (from INDEX_PARAMS)
    // given the conversions per frequency code; 1 for an empty INDEX_PARAMS,
    // 0 for a code not in `conversions`. `ok` is false for unreadable JSON.
    static int defaultConversion(const QVariantMap &index, const QMap<int, int> &conversions, bool *ok);

public slots:
    void getFrequencyFinished(QList<FrequencyInfo> list);
    void resetFrequency(QList<QVariantMap> indexes);

private:
    void applyCeiling();

    QHBoxLayout *m_layout;
    QMap<int, QCheckBox *> m_boxes;
    QMap<int, int> m_conversions;
    int m_ceiling = 365;
    QList<QVariantMap> m_pendingIndexes;
    QList<int> m_pendingSelection;
    bool m_selectionPending = false;
    CPIndexDataService *m_service;
};

} // namespace HXCPControls
