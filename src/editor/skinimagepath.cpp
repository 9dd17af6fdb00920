#include "skinimagepath.h"

#include "wk/wkcfg.h"
#include "wk/wkcore.h"

namespace HXCPControls {

QString skinImagePath(const QString &name)
{
    return QStringLiteral("%1/%2/images/%3")
        .arg(WKCfg::instance()->stdPath(QStringLiteral("wkskin"), QString()),
             WKCore::instance()->getCurrentSkinId(), name);
}

} // namespace HXCPControls
