#pragma once

#include "common/hxcpcontrols_global.h"
#include "editor/cpbasewidget.h"
#include "indexdata/cpindexdataconfig.h"
#include "indexdata/cpindexdatastate.h"

#include <memory>

namespace Ui {
class CPIndexDataSetting;
}

namespace HXCPControls {

class CPFrequencySelector;
class CPIndexSelector;
class CPSelectHeaderView;

// The settings form of an index table: its title, its indices, its columns
// and the frequencies its title bar offers.
class HXCPCONTROLS_EXPORT CPIndexDataSetting : public CPBaseWidget
{
    Q_OBJECT
public:
    CPIndexDataSetting(QWidget *parent, const CPIndexDataConfig &config);
    ~CPIndexDataSetting() override;

    void setState(const CPIndexDataState &state);
    CPIndexDataState state();

    // Refuses a form without frequencies, indices or headers, in that order.
    QString validateInput() override;

    CPIndexSelector *indexSelector() const { return m_indexSelector; }
    CPSelectHeaderView *headerView() const { return m_headerView; }
    CPFrequencySelector *frequencySelector() const { return m_frequencySelector; }

public slots:
    void resetFrequency(QList<QVariantMap> indexes);

private:
    std::unique_ptr<Ui::CPIndexDataSetting> ui;
    CPIndexDataConfig m_config;
    CPIndexSelector *m_indexSelector;
    CPSelectHeaderView *m_headerView;
    CPFrequencySelector *m_frequencySelector;
};

} // namespace HXCPControls
