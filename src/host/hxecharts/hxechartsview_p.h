#pragma once

#include <QObject>
#include <QPointer>
#include <QWebEnginePage>

namespace HXEcharts {

class HXEChartsView;

// The page of a chart view: hands its console messages to the log.
class HXEChartsPage : public QWebEnginePage
{
    Q_OBJECT

public:
    HXEChartsPage(HXEChartsView *view);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    QPointer<HXEChartsView> m_view;
};

// The object that the page's script reaches through the web channel as "host".
class HXEChartsBridge : public QObject
{
    Q_OBJECT

public:
    explicit HXEChartsBridge(HXEChartsView *view);

public Q_SLOTS:
    // The "myPopup" toolbox feature was clicked.
    void popup();

private:
    QPointer<HXEChartsView> m_view;
};

} // namespace HXEcharts
