#include "cpindexdatacomponent.h"

#include "cpindexdatasetting.h"
#include "cpindexdataview.h"
#include "editor/cpbasedialog.h"
#include "editor/cpcomponentpanel.h"
#include "wk/wkcore.h"

#include <QAction>
#include <QMessageBox>

namespace HXCPControls {

CPIndexDataComponent::CPIndexDataComponent(QWidget *parent)
    : QFrame(parent)
{
    m_config.dataObjName = QStringLiteral("ZRN_INDEX_MULTI_PRICE_1");
    m_config.indexObjName = QStringLiteral("ZRN_GENERAL_INDEX_MULTIPRICE_1");
    m_config.columns = {qMakePair(QStringLiteral("INDEX_NAME"), QStringLiteral("指标名称"))};
    initControl();
    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage-index.css"));
}

CPIndexDataComponent::~CPIndexDataComponent() = default;

void CPIndexDataComponent::initControl()
{
    if (m_view)
        return;
    m_view = new CPIndexDataView(nullptr, m_config);
    m_panel = CPComponentPanel::fill(this, m_view);

    m_settingAction = CPComponentPanel::addSettingAction(this);
    connect(m_settingAction, &QAction::triggered, this, &CPIndexDataComponent::showSetting);
}

void CPIndexDataComponent::showSetting()
{
    auto *form = new CPIndexDataSetting(nullptr, m_config);
    form->setState(m_state);
    CPBaseDialog dlg(this, QStringLiteral("   指标数据设置"), form, QStringLiteral("controls/custompage-index.css"));
    dlg.setMinimumSize(700, 520);
    dlg.resize(980, 660);
    dlg.setSizeGripEnabled(true);
    dlg.setModal(true);
    if (dlg.exec() != QDialog::Accepted)
        return;
    m_state = form->state();
    emit windowTitleChanged(m_state.title);
    m_panel->setTitleBar(m_state.isShowTitle, m_state.title);
    m_view->loadData(m_state);
}

void CPIndexDataComponent::save(QVariantMap &map)
{
    const QVariantMap stored = m_state.toMap();
    for (auto it = stored.constBegin(); it != stored.constEnd(); ++it)
        map.insert(it.key(), it.value());
}

void CPIndexDataComponent::restore(const QVariantMap &map)
{
    QMetaObject::invokeMethod(this, "invokeRestore", Q_ARG(QVariantMap, map));
}

void CPIndexDataComponent::invokeRestore(const QVariantMap &map)
{
    m_state = CPIndexDataState::fromMap(map);
    m_panel->setTitleBar(m_state.isShowTitle, m_state.title);
    m_view->loadData(m_state);
}

void CPIndexDataComponent::loadSkin(const QVariant &skin)
{
    if (skin.isValid())
        setStyleSheet(skin.toString());
}

void CPIndexDataComponent::invokeMessageError(const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"), message, QMessageBox::Ok, this);
    box.exec();
}

} // namespace HXCPControls
