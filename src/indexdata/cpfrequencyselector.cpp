#include "cpfrequencyselector.h"

#include "cpindexdataservice.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QMessageBox>

#include <utility>

namespace HXCPControls {

CPFrequencySelector::CPFrequencySelector(QWidget *parent)
    : QWidget(parent)
    , m_layout(new QHBoxLayout(this))
    , m_service(new CPIndexDataService(this))
{
    m_layout->setSpacing(6);
    m_layout->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(QStringLiteral("显示频率："), this);
    label->setObjectName(QStringLiteral("frequency_label"));
    m_layout->addWidget(label);
    m_layout->addStretch(1);
    connect(m_service, &CPIndexDataService::getFrequencyFinished, this, &CPFrequencySelector::getFrequencyFinished);
    m_service->getFrequencyList();
}

void CPFrequencySelector::getFrequencyFinished(QList<FrequencyInfo> list)
{
    if (list.isEmpty())
        return;
    QList<int> checked;
    for (auto it = m_boxes.constBegin(); it != m_boxes.constEnd(); ++it) {
        if (it.value()->isChecked())
            checked.append(it.key());
        delete it.value();
    }
    m_boxes.clear();
    m_conversions.clear();
    int position = m_layout->count() - 1; // before the stretch
    for (const FrequencyInfo &info : list) {
        if (m_boxes.contains(info.frequencyCode))
            continue;
        auto *box = new QCheckBox(info.frequencyName, this);
        box->setObjectName(QStringLiteral("frequency_cb"));
        box->setChecked(checked.contains(info.frequencyCode));
        m_layout->insertWidget(position++, box);
        m_boxes.insert(info.frequencyCode, box);
        m_conversions.insert(info.frequencyCode, info.conversion);
    }
    if (m_selectionPending) {
        m_selectionPending = false;
        setSelected(m_pendingSelection);
    }
    if (!m_pendingIndexes.isEmpty())
        resetFrequency(std::exchange(m_pendingIndexes, {}));
}

void CPFrequencySelector::setSelected(QList<int> codes)
{
    if (m_boxes.isEmpty()) {
        m_pendingSelection = codes;
        m_selectionPending = true;
        m_service->getFrequencyList();
        return;
    }
    for (auto it = m_boxes.constBegin(); it != m_boxes.constEnd(); ++it)
        it.value()->setChecked(codes.contains(it.key()));
}

QList<int> CPFrequencySelector::selected()
{
    if (m_boxes.isEmpty())
        m_service->getFrequencyList();
    if (m_boxes.isEmpty() && m_selectionPending)
        return m_pendingSelection; // not shown yet: what was asked for
    QList<int> codes;
    for (auto it = m_boxes.constBegin(); it != m_boxes.constEnd(); ++it) {
        if (it.value()->isChecked())
            codes.append(it.key());
    }
    return codes;
}

int CPFrequencySelector::count()
{
    return selected().size();
}

int CPFrequencySelector::defaultConversion(const QVariantMap &index, const QMap<int, int> &conversions, bool *ok)
{
    if (ok)
        *ok = true;
    const QString params = index.value(QStringLiteral("INDEX_PARAMS")).toString();
    if (params.trimmed().isEmpty())
        return 1;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(params.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isArray()) {
        if (ok)
            *ok = false;
        return 1;
    }
    const QJsonArray array = doc.array();
    for (const QJsonValue &v : array) {
        const QJsonObject param = v.toObject();
        if (param.value(QStringLiteral("name")).toString() != QLatin1String("FREQUENCY_CODE"))
            continue;
        const int code = param.value(QStringLiteral("defaultValue")).toVariant().toInt();
        return conversions.value(code, 0);
    }
    return 0;
}

void CPFrequencySelector::resetFrequency(QList<QVariantMap> indexes)
{
    if (indexes.isEmpty())
        return;
    if (m_boxes.isEmpty()) {
        // The conversions are not known yet; judge once the list arrives.
        m_pendingIndexes = indexes;
        return;
    }
    int ceiling = 1;
    bool reported = false;
    for (const QVariantMap &index : qAsConst(indexes)) {
        bool ok = true;
        const int conversion = defaultConversion(index, m_conversions, &ok);
        if (!ok && !reported) {
            reported = true;
            QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), QStringLiteral("获取指标参数失败"),
                            QMessageBox::Ok, this);
            box.exec();
        }
        ceiling = qMax(ceiling, conversion);
    }
    m_ceiling = ceiling;
    applyCeiling();
}

void CPFrequencySelector::applyCeiling()
{
    for (auto it = m_boxes.constBegin(); it != m_boxes.constEnd(); ++it) {
        const bool allowed = m_conversions.value(it.key()) <= m_ceiling;
        it.value()->setVisible(allowed);
        it.value()->setChecked(allowed);
    }
}

} // namespace HXCPControls
