#pragma once

#include "common/hxcpcontrols_global.h"

#include <QList>
#include <QMetaType>
#include <QString>

namespace HXCPControls {

// One row of the frequency list: its code (365 daily … 1 yearly), its name
// and how many periods of it make a year.
struct HXCPCONTROLS_EXPORT FrequencyInfo
{
    int frequencyCode = 0;
    QString frequencyName;
    int conversion = 0;

    bool operator==(const FrequencyInfo &other) const
    {
        return frequencyCode == other.frequencyCode && frequencyName == other.frequencyName
            && conversion == other.conversion;
    }
};

} // namespace HXCPControls

Q_DECLARE_METATYPE(HXCPControls::FrequencyInfo)
Q_DECLARE_METATYPE(QList<HXCPControls::FrequencyInfo>)
