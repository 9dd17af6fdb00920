#pragma once

#include "zhphost_global.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QStringList>
#include <QWebEngineView>

class QMenu;

namespace HXEcharts {

class HXEChartsBridge;

// A web view that draws ECharts options on a local page. It keeps the last
// option so that a reload draws it again, queues what arrives before the page
// has loaded, resolves "method=<name>" strings in options to the page's own
// JavaScript functions, offers the toolbox features of the option in its
// context menu (the custom "myPopup" feature opens the chart in a window of
// its own) and logs the page's JavaScript errors.
class ZHPHOST_EXPORT HXEChartsView : public QWebEngineView
{
    Q_OBJECT

public:
    // `extra` may hold maps ({"key": name, "value": GeoJSON}, as setGeoJson
    // takes them) and JavaScript texts that run on the page each time it has
    // loaded, before anything is drawn (for instance further chart functions:
    // "zhpChart.functions.myFormatter = function (params) {...}").
    explicit HXEChartsView(QWidget *parent = nullptr, const QJsonArray &extra = QJsonArray());
    ~HXEChartsView() override;

    // Starts loading pages for the chart views to come (at start, while the
    // first page is asked for); later the views keep that pool filled.
    static void preparePages();

    // Draws `option`, replacing what was shown. With `update` the new option
    // is a variation of the shown chart (another column of the same data): the
    // chart is not cleared first and the legend keeps the series the user has
    // switched off. Without it the chart starts afresh.
    void addCharts(const QJsonObject &option, bool update);
    QJsonObject lastOption() const { return m_lastOption; }

    // Registers maps: an array of {"key": map name, "value": GeoJSON object}.
    // A map series names its map by the key. An empty object registers an
    // empty map, so that a missing map file gives an empty chart, not an error.
    void setGeoJson(const QJsonArray &maps);
    void setGeoJson(const QString &key, const QJsonObject &geoJson);
    QStringList geoMapKeys() const;

    // A standalone view is not part of a page (a preview, a dialog, a popup
    // window): it does not offer to pop the chart out.
    void setStandalone(bool standalone);
    bool isStandalone() const { return m_standalone; }

    // The object name of the widget that holds the view; it names the view in
    // log messages and titles its popup window.
    void setContainerObjectName(const QString &name);
    QString containerObjectName() const { return m_containerObjectName; }

    // Reloads the page (after a layout change, for instance) and draws the last
    // option again; with `clear` the last option is dropped and the view stays empty.
    Q_INVOKABLE void resetWebView(bool clear);

    // True once the page has loaded and can draw.
    bool isChartReady() const { return m_ready; }

    // The chart as shown on screen.
    QImage chartImage();
    // Writes the chart as a PNG file; false (and a log line) when it cannot.
    bool saveToImage(const QString &fileName);

    // The menu of the chart's features that the context menu shows: those of
    // the option's toolbox ("dataView", "saveAsImage", "myPopup"). Null when
    // the option has none. The caller owns the menu.
    QMenu *createChartMenu(QWidget *parent = nullptr);

public Q_SLOTS:
    // Asks for a file name and saves the chart there as a PNG picture.
    void saveToImage();
    // Shows the option's data view (its "optionToContent") over the chart.
    void showDataView();
    // Opens the chart in a window of its own (the "myPopup" feature).
    void popup();

Q_SIGNALS:
    // The page has loaded (again); maps and the pending option are handed over.
    void chartReady();
    // An option has been handed to ECharts; `ok` is false when ECharts refused it.
    void chartDrawn(bool ok);
    // The "myPopup" feature was chosen; popup() follows unless the view is standalone.
    void popupRequested();
    // A JavaScript error on the page (also logged).
    void scriptError(const QString &message);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    friend class HXEChartsPage;
    friend class HXEChartsBridge;

    void onLoadFinished(bool ok);
    void draw(bool update);
    void registerMap(const QString &key, const QJsonObject &geoJson);
    void runScript(const QString &script);
    void reportScriptError(const QString &message);
    QString logName() const;

    HXEChartsBridge *m_bridge = nullptr;
    QJsonObject m_lastOption;
    bool m_hasOption = false;
    QList<QPair<QString, QJsonObject>> m_maps;
    QStringList m_scripts;
    QString m_containerObjectName;
    bool m_standalone = false;
    bool m_ready = false;
    int m_generation = 0;
};

} // namespace HXEcharts
