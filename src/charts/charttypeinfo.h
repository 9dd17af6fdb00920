#pragma once

#include "common/hxcpcontrols_global.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace HXCPControls {

// One of the chart forms that a chart component can take. Exactly the flag of
// its own type is set.
struct HXCPCONTROLS_EXPORT ChartTypeInfo
{
    enum Type {
        Line = 1,
        Bar = 2,
        Pie = 3,
        Area = 4,
        Map = 5,
        HorizontalBar = 6,
        StackedBar = 7,
        HorizontalStackedBar = 8,
        Scatter = 9,
        KLine = 10,
        Section = 11,
    };

    int type = Line;
    QString name;
    QString key;
    bool isLine = false;
    bool isBar = false;
    bool isPie = false;
    bool isArea = false;
    bool isMap = false;
    bool isStackedBar = false;
    bool isHorizontalBar = false;
    bool isHorizontalStackedBar = false;
    bool isScatter = false;
    bool isKLine = false;
    bool isSection = false;

    // The record of a type code; codes outside 1..11 give the line chart.
    static ChartTypeInfo fromType(int type);
    // Every known type, in code order.
    static QList<ChartTypeInfo> allTypes();
};

// One series of a chart: its name and the index whose values feed it.
struct HXCPCONTROLS_EXPORT Dimension
{
    QString name;
    qint64 id = 0;

    bool operator==(const Dimension &other) const { return name == other.name && id == other.id; }
};

// Registers the chart value types with the meta-object system (for slots
// invoked by name). Safe to call more than once.
HXCPCONTROLS_EXPORT void registerChartMetaTypes();

} // namespace HXCPControls

Q_DECLARE_METATYPE(HXCPControls::ChartTypeInfo)
Q_DECLARE_METATYPE(HXCPControls::Dimension)
Q_DECLARE_METATYPE(QList<HXCPControls::Dimension>)
