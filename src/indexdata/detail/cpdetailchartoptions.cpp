#include "cpdetailchartoptions.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace HXCPControls {

namespace {

struct TaskType
{
    const char *task;
    int type;
};

const TaskType kTaskTypes[] = {
    {"d_line", CPDetailChartOptions::Line},
    {"d_bar", CPDetailChartOptions::Bar},
    {"d_pie", CPDetailChartOptions::Pie},
    {"d_area", CPDetailChartOptions::Area},
    {"d_horizontal_bar", CPDetailChartOptions::HorizontalBar},
    {"d_stacked_bar", CPDetailChartOptions::StackedBar},
    {"d_horizontal_stacked_bar", CPDetailChartOptions::HorizontalStackedBar},
    {"d_scatter", CPDetailChartOptions::Scatter},
    {"d_kline", CPDetailChartOptions::KLine},
};

} // namespace

void CPDetailChartOptions::reset(int formMarker, const QVariantMap &firstIndex, const QDate &today)
{
    form = formMarker;
    chartType = Line;
    showLegend = true;
    showGridLines = false;
    showMarks = false;
    showTitle = false;
    titleAlign = QStringLiteral("center");
    axisSettings.clear();
    initialised = true;
    if (frequencyCode == -1)
        frequencyCode = defaultFrequencyCode(firstIndex);
    if (form == Season) {
        seasonAvailable = true;
        if (!startDate.isValid() || !endDate.isValid()) {
            startDate = today.addYears(-4);
            endDate = today;
        }
    } else {
        seasonAvailable = frequencyCode != -1 && frequencyCode != 1;
    }
}

int CPDetailChartOptions::defaultFrequencyCode(const QVariantMap &indexRow, bool *readable)
{
    if (readable)
        *readable = true;
    const QString text = indexRow.value(QStringLiteral("INDEX_PARAMS")).toString();
    if (text.trimmed().isEmpty())
        return -1;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) {
        if (readable)
            *readable = false;
        return -1;
    }
    for (const QJsonValue &param : doc.array()) {
        const QJsonObject object = param.toObject();
        if (object.value(QStringLiteral("name")).toString() != QLatin1String("FREQUENCY_CODE"))
            continue;
        bool ok = false;
        const int code = object.value(QStringLiteral("defaultValue")).toVariant().toInt(&ok);
        return ok ? code : -1;
    }
    return -1;
}

int CPDetailChartOptions::chartTypeOfTask(const QString &task)
{
    for (const TaskType &t : kTaskTypes) {
        if (task == QLatin1String(t.task))
            return t.type;
    }
    return Line;
}

QString CPDetailChartOptions::taskOfChartType(int chartType)
{
    for (const TaskType &t : kTaskTypes) {
        if (t.type == chartType)
            return QLatin1String(t.task);
    }
    return QStringLiteral("d_line");
}

} // namespace HXCPControls
