#include "contentformat.h"

#include <QStringList>

#include <array>

namespace HXCPControls {
namespace ContentFormat {

namespace {
struct PolicyName {
    QSizePolicy::Policy policy;
    const char *name;
};
constexpr std::array<PolicyName, 7> kPolicies{{
    {QSizePolicy::Fixed, "Fixed"},
    {QSizePolicy::Minimum, "Minimum"},
    {QSizePolicy::Maximum, "Maximum"},
    {QSizePolicy::Preferred, "Preferred"},
    {QSizePolicy::MinimumExpanding, "MinimumExpanding"},
    {QSizePolicy::Expanding, "Expanding"},
    {QSizePolicy::Ignored, "Ignored"},
}};
} // namespace

QString sizeToText(const QSize &size)
{
    return QStringLiteral("%1:%2").arg(size.width()).arg(size.height());
}

QSize textToSize(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() != 2)
        return QSize();
    return QSize(parts.at(0).toInt(), parts.at(1).toInt());
}

bool isApplicable(const QSize &size)
{
    return size.width() >= 0 && size.height() >= 0;
}

QString policyName(QSizePolicy::Policy policy)
{
    for (const PolicyName &p : kPolicies) {
        if (p.policy == policy)
            return QLatin1String(p.name);
    }
    return QString();
}

bool policyFromName(const QString &name, QSizePolicy::Policy *policy)
{
    for (const PolicyName &p : kPolicies) {
        if (name == QLatin1String(p.name)) {
            *policy = p.policy;
            return true;
        }
    }
    return false;
}

} // namespace ContentFormat
} // namespace HXCPControls
