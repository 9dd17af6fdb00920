#include "cpbasewidget.h"

#include "wk/wkcore.h"

namespace HXCPControls {

CPBaseWidget::CPBaseWidget(QWidget *parent, bool embedded, const QString &styleSheetFile)
    : QWidget(nullptr)
    , m_styleSheetFile(styleSheetFile)
{
    Q_UNUSED(parent)
    if (!embedded)
        WKCore::instance()->addStyle2View(this, m_styleSheetFile);
}

CPBaseWidget::~CPBaseWidget() = default;

QString CPBaseWidget::validateInput()
{
    return QString();
}

void CPBaseWidget::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

} // namespace HXCPControls
