#include "cprichtextcomponent.h"

#include "editor/cpbasedialog.h"
#include "editor/cpcomponentpanel.h"
#include "richtextedit.h"
#include "richtextview.h"
#include "wk/wkcore.h"

#include <QAction>

namespace HXCPControls {

CPRichTextComponent::CPRichTextComponent(QWidget *parent)
    : QFrame(parent)
{
    m_view = new RichTextView;
    m_panel = CPComponentPanel::fill(this, m_view);

    m_settingAction = CPComponentPanel::addSettingAction(this);
    connect(m_settingAction, &QAction::triggered, this, &CPRichTextComponent::showSetting);

    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage.css"));
}

CPRichTextComponent::~CPRichTextComponent() = default;

void CPRichTextComponent::save(QVariantMap &map)
{
    const QVariantMap stored = m_config.toMap();
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
        map.insert(it.key(), it.value());
}

void CPRichTextComponent::restore(const QVariantMap &map)
{
    m_config = RichTextConfig::fromMap(map);
    m_panel->setTitleBar(m_config.isShowTitle, m_config.title);
    m_view->setConfig(m_config);
}

void CPRichTextComponent::showSetting()
{
    auto *editor = new RichTextEdit;
    editor->setConfig(m_config);
    CPBaseDialog dialog(this, QStringLiteral("   富文本设置"), editor, QStringLiteral("controls/custompage.css"));
    dialog.setMinimumSize(800, 520);
    dialog.setSizeGripEnabled(true);
    dialog.setModal(true);
    editor->setFocus();
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_config = editor->config();
    emit windowTitleChanged(m_config.title);
    m_panel->setTitleBar(m_config.isShowTitle, m_config.title);
    m_view->setConfig(m_config);
}

void CPRichTextComponent::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

} // namespace HXCPControls
