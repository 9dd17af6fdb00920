#pragma once

#include "common/hxcpcontrols_global.h"
#include "hxdataapi/httpjsonresult.h"
#include "hxdataapi/hxdsrequest.h"
#include "indexdata/frequencyinfo.h"

#include <QDate>
#include <QList>
#include <QObject>

#include <functional>

class QAbstractItemModel;

namespace HXDataApi {
class HXDatasourceService;
}

namespace HXCPControls {

// Datasource questions about indices: the catalogue, index rows, column
// properties, the frequency list and index values; and the export of an item
// model to an Excel workbook. Each caller owns its own instance. Async
// operations hand the raw result to the callback, which runs on the GUI thread.
class HXCPCONTROLS_EXPORT CPIndexDataService : public QObject
{
    Q_OBJECT
public:
    using Callback = std::function<void(const HXDataApi::HttpJsonResult &)>;

    explicit CPIndexDataService(QObject *parent = nullptr);
    ~CPIndexDataService() override;

    HXDataApi::HXDatasourceService *datasource() const { return m_datasource; }

    void getCatalog(const QString &catObjName, Callback callback);
    // Indices whose `field` equals `value` (the selector passes CAT_CODE and a node code).
    void getIndexs(const QString &idxObjName, const QString &field, const QVariant &value,
                   HXDataApi::HttpJsonResult &result);
    void getIndexes(const QString &idxObjName, const QList<qint64> &ids, HXDataApi::HttpJsonResult &result);
    void getIndexesByFrequency(const QString &idxObjName, const QList<qint64> &ids, int frequencyCode,
                               Callback callback);
    void getProperties(const QString &objName, Callback callback);

    static void getIndex(HXDataApi::HXDatasourceService *ds, const QString &idxObjName, const QString &field,
                         qint64 id, Callback callback);
    static void getIndexValues(HXDataApi::HXDatasourceService *ds, const QString &valueObjName,
                               const QList<qint64> &ids, const QDate &startDate, const QDate &endDate,
                               HXDataApi::HttpJsonResult &result);
    static void getIndexValuesByFrequency(HXDataApi::HXDatasourceService *ds, const QString &valueObjName,
                                          qint64 id, int frequencyCode, const QDate &startDate,
                                          const QDate &endDate, HXDataApi::HttpJsonResult &result);

    // Answers through getFrequencyFinished: at once from the process-wide
    // cache when it is filled, otherwise after a query. A failed query
    // answers with an empty list and leaves the cache empty.
    void getFrequencyList();

    // The process-wide frequency list (empty until the first successful load).
    static QList<FrequencyInfo> cachedFrequencies();

    // Writes the model's header and its Qt::UserRole + 1 values to a new
    // workbook at `filePath`. False when the sheet cannot be created.
    static bool exportToExcel(QAbstractItemModel *model, const QString &filePath);

    // The requests the operations send (public so that callers can log them).
    static HXDataApi::HXDsRequest request(const QString &objName, const QString &filter = QString(),
                                          const QMap<QString, QVariant> &params = {},
                                          const QList<HXDataApi::OrderType> &order = {});
    static QVariant idList(const QList<qint64> &ids);

signals:
    void getFrequencyFinished(QList<FrequencyInfo> list);

private:
    HXDataApi::HXDatasourceService *m_datasource;
};

} // namespace HXCPControls
