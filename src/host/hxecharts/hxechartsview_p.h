#pragma once

#include <QObject>
#include <QPointer>
#include <QWebEnginePage>

namespace HXEcharts {

class HXEChartsView;

class HXEChartsBridge;

// The page of a chart view: hands its console messages to the log. A page
// is loaded ahead of its view (see takeSparePage()); the view adopts it.
class HXEChartsPage : public QWebEnginePage
{
    Q_OBJECT

public:
    explicit HXEChartsPage(QObject *parent);

    void setView(HXEChartsView *view);
    HXEChartsBridge *bridge() const { return m_bridge; }
    bool hasLoaded() const { return m_loaded; }

    // A page whose chart script has already loaded, or a new one that is
    // loading; the pool refills itself once the charts are quiet.
    static HXEChartsPage *takeSparePage();
    // Starts filling the pool now.
    static void fillPool();
    // Takes back the loaded page of a view that goes, cleared, when the pool has room.
    static void recycle(HXEChartsPage *page, QObject *view);

protected:
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString &message,
                                  int lineNumber, const QString &sourceID) override;

private:
    QPointer<HXEChartsView> m_view;
    HXEChartsBridge *m_bridge;
    bool m_loaded = false;
};

// The object that the page's script reaches through the web channel as "host".
class HXEChartsBridge : public QObject
{
    Q_OBJECT

public:
    explicit HXEChartsBridge(QObject *parent);
    void setView(HXEChartsView *view) { m_view = view; }

public Q_SLOTS:
    // The "myPopup" toolbox feature was clicked.
    void popup();

private:
    QPointer<HXEChartsView> m_view;
};

} // namespace HXEcharts
