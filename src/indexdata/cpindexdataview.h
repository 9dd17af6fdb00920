#pragma once

#include "common/hxcpcontrols_global.h"
#include "indexdata/cpindexdataconfig.h"
#include "indexdata/cpindexdatastate.h"
#include "indexdata/frequencyinfo.h"
#include "indexdata/cpindextitlebar.h"

#include <QFrame>
#include <QJsonDocument>
#include <QMap>
#include <QPointer>

#include <memory>

namespace Ui {
class CPIndexDataView;
}
class QStandardItemModel;
class QTableView;

namespace HXCPControls {

class CPIndexDataService;
class CPIndexTitleBar;
class CPTableViewStyledItemDelegate;

// The table of an index data component: a frequency title bar over the
// latest values of the chosen indices at the active frequency. Rows whose
// colour column rose are painted red in their flagged columns; index names
// are buttons that open the index's details.
class HXCPCONTROLS_EXPORT CPIndexDataView : public QFrame
{
    Q_OBJECT
public:
    CPIndexDataView(QWidget *parent, const CPIndexDataConfig &config);
    ~CPIndexDataView() override;

    void loadData(const CPIndexDataState &state);

    const CPIndexDataConfig &config() const { return m_config; }
    QStandardItemModel *model() const { return m_model; }
    QTableView *tableView() const;
    CPIndexTitleBar *titleBar() const { return m_titleBar; }
    CPTableViewStyledItemDelegate *delegate() const { return m_delegate; }
    int activeFrequency() const { return m_activeFrequency; }
    int highlightedRow() const { return m_highlightRow; }
    QString colorColumn() const { return m_colorColumn; }
    QList<FrequencyInfo> frequencyList() const { return m_frequencyList; }

    // The colour of a row from its colour-column value: red when the value
    // rose, the body grey otherwise.
    static QString rowColor(const QVariant &value);
    // The text of a cell from its value and its property type.
    static QString cellText(const QVariant &value, const QString &propType);

public slots:
    void loadData(const QJsonDocument &document);
    void invokeMessageError(const QString &message);
    void highlightRow(const QPoint &point, bool entered);
    void initControl();
    void getFrequencyFinished(QList<FrequencyInfo> list);
    // Queries the rows of one frequency (also on each choice in the title bar).
    void queryFrequency(int frequencyCode);

signals:
    // A click on an index name, just before the index detail dialog opens on
    // the request (name, ID, source code, frequency code, name and conversion).
    void indexDetailRequested(const QVariantMap &request);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openIndexDetail(const QString &name, qint64 id);

    std::unique_ptr<Ui::CPIndexDataView> ui;
    CPIndexDataConfig m_config;
    CPIndexDataState m_state;
    QStandardItemModel *m_model;
    CPTableViewStyledItemDelegate *m_delegate;
    CPIndexDataService *m_service;
    QList<FrequencyInfo> m_frequencyList;
    QMap<int, FrequencyInfo> m_frequencyMap;
    QPointer<CPIndexTitleBar> m_titleBar;
    QList<QVariantMap> m_indexes;
    QList<QVariantMap> m_headers;
    QList<int> m_frequencies;
    QString m_limitField;
    int m_activeFrequency = 0;
    QString m_colorColumn;
    int m_highlightRow = -1;
    int m_queryGeneration = 0;
};

} // namespace HXCPControls
