#include "cpindexdatasetting.h"

#include "ui_cpindexdatasetting.h"

#include "cpfrequencyselector.h"
#include "cpindexselector.h"
#include "cpselectheaderview.h"
#include "wk/wkcore.h"

namespace HXCPControls {

CPIndexDataSetting::CPIndexDataSetting(QWidget *parent, const CPIndexDataConfig &config)
    : CPBaseWidget(parent, false, QStringLiteral("controls/custompage.css"))
    , ui(new Ui::CPIndexDataSetting)
    , m_config(config)
{
    ui->setupUi(this);
    // Both sheets: the shared one for the form's frame, the index one for its pickers.
    WKCore::instance()->addStyle2View(this, QStringLiteral("controls/custompage-index.css"));

    m_indexSelector = new CPIndexSelector(this, m_config.columns, true, m_config.fieldNames());
    m_headerView = new CPSelectHeaderView(this, m_config.dataObjName, {m_config.nameColumn});
    m_frequencySelector = new CPFrequencySelector(this);
    m_headerView->setFixedWidth(250);
    ui->index_select_layout->addWidget(m_indexSelector);
    ui->header_layout->addWidget(m_headerView);
    ui->frequency_layout->addWidget(m_frequencySelector);
    ui->lineEdit->setPlaceholderText(QStringLiteral("表格标题"));

    connect(m_indexSelector, &CPIndexSelector::selectIndexChanged, this, [this](QList<QVariantMap> indexes) {
        QMetaObject::invokeMethod(this, "resetFrequency", Q_ARG(QList<QVariantMap>, indexes));
    });
}

CPIndexDataSetting::~CPIndexDataSetting() = default;

void CPIndexDataSetting::setState(const CPIndexDataState &state)
{
    m_frequencySelector->setSelected(state.frequencies);
    m_indexSelector->loadIndexCatalog(m_config.catalogObjName, m_config.indexObjName, m_config.rootNode,
                                      state.indexes);
    m_headerView->setSelected(state.headers);
    ui->lineEdit->setText(state.title);
    ui->cbIsDisplayTitle->setChecked(state.isShowTitle);
    QMetaObject::invokeMethod(this, "resetFrequency", Q_ARG(QList<QVariantMap>, state.indexes));
}

CPIndexDataState CPIndexDataSetting::state()
{
    CPIndexDataState s;
    s.title = ui->lineEdit->text();
    s.isShowTitle = ui->cbIsDisplayTitle->isChecked();
    s.frequencies = m_frequencySelector->selected();
    s.indexes = m_indexSelector->selected();
    s.headers = m_headerView->selected(&s.limitField);
    return s;
}

QString CPIndexDataSetting::validateInput()
{
    if (m_frequencySelector->count() == 0)
        return QStringLiteral("请选择频率");
    if (m_indexSelector->count() == 0)
        return QStringLiteral("请选择指标");
    if (m_headerView->count() == 0)
        return QStringLiteral("请选择表头");
    return QString();
}

void CPIndexDataSetting::resetFrequency(QList<QVariantMap> indexes)
{
    m_frequencySelector->resetFrequency(indexes);
}

} // namespace HXCPControls
