#include "cpindexdataservice.h"

#include "common/logging.h"
#include "hxdataapi/hxdatasourceservice.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>

#include <xlsxwriter.h>

#include <limits>

using HXDataApi::HttpJsonResult;
using HXDataApi::HXDsRequest;
using HXDataApi::OrderType;

namespace HXCPControls {

namespace {

QList<FrequencyInfo> &frequencyCache()
{
    static QList<FrequencyInfo> cache;
    return cache;
}

const QString kDateFormat = QStringLiteral("[yyyy-MM-dd]");

int registerTypes()
{
    qRegisterMetaType<FrequencyInfo>("FrequencyInfo");
    qRegisterMetaType<QList<FrequencyInfo>>("QList<FrequencyInfo>");
    return 0;
}
const int s_typesRegistered = registerTypes();

} // namespace

CPIndexDataService::CPIndexDataService(QObject *parent)
    : QObject(parent)
    , m_datasource(new HXDataApi::HXDatasourceService)
{
    Q_UNUSED(s_typesRegistered)
}

CPIndexDataService::~CPIndexDataService()
{
    delete m_datasource;
}

HXDsRequest CPIndexDataService::request(const QString &objName, const QString &filter,
                                        const QMap<QString, QVariant> &params, const QList<OrderType> &order)
{
    HXDsRequest r;
    r.setObjName(objName);
    if (!filter.isEmpty())
        r.setFilter(filter);
    if (!params.isEmpty())
        r.setFilterParams(params);
    if (!order.isEmpty())
        r.setOrder(order);
    r.setIgnoreTotal(true);
    return r;
}

QVariant CPIndexDataService::idList(const QList<qint64> &ids)
{
    QJsonArray array;
    for (qint64 id : ids)
        array.append(QJsonValue(id));
    return QVariant::fromValue(array);
}

void CPIndexDataService::getCatalog(const QString &catObjName, Callback callback)
{
    m_datasource->getData(request(catObjName, QString(), {}, {OrderType{QStringLiteral("CAT_CODE"), 1}}),
                          std::move(callback));
}

void CPIndexDataService::getIndexs(const QString &idxObjName, const QString &field, const QVariant &value,
                                   HttpJsonResult &result)
{
    m_datasource->getData(request(idxObjName, QStringLiteral("%1 == :PNODE").arg(field),
                                  {{QStringLiteral("PNODE"), value}}),
                          result);
}

void CPIndexDataService::getIndexes(const QString &idxObjName, const QList<qint64> &ids, HttpJsonResult &result)
{
    m_datasource->getData(request(idxObjName, QStringLiteral("IDX_ID in :IDX_IDS"),
                                  {{QStringLiteral("IDX_IDS"), idList(ids)}}),
                          result);
}

void CPIndexDataService::getIndexesByFrequency(const QString &idxObjName, const QList<qint64> &ids,
                                               int frequencyCode, Callback callback)
{
    m_datasource->getData(request(idxObjName, QStringLiteral("IDX_IDS in :IDX_IDS && FREQUENCY_CODE == :FREQUENCY_CODE"),
                                  {{QStringLiteral("IDX_IDS"), idList(ids)},
                                   {QStringLiteral("FREQUENCY_CODE"), frequencyCode}}),
                          std::move(callback));
}

void CPIndexDataService::getProperties(const QString &objName, Callback callback)
{
    m_datasource->getData(request(QStringLiteral("ZRN_GET_PROPERTIES_BY_OBJNAME_1"),
                                  QStringLiteral("%1 == :OBJ_ENG_NAME").arg(QStringLiteral("OBJ_ENG_NAME")),
                                  {{QStringLiteral("OBJ_ENG_NAME"), objName}}),
                          std::move(callback));
}

void CPIndexDataService::getIndex(HXDataApi::HXDatasourceService *ds, const QString &idxObjName,
                                  const QString &field, qint64 id, Callback callback)
{
    if (!ds)
        return;
    ds->getData(request(idxObjName, QStringLiteral("%1 == :IDX_ID").arg(field),
                        {{QStringLiteral("IDX_ID"), QVariant::fromValue<qint64>(id)}}),
                std::move(callback));
}

void CPIndexDataService::getIndexValues(HXDataApi::HXDatasourceService *ds, const QString &valueObjName,
                                        const QList<qint64> &ids, const QDate &startDate, const QDate &endDate,
                                        HttpJsonResult &result)
{
    if (!ds)
        return;
    const QString filter =
        QStringLiteral("IDX_ID in :IDX_IDS && VALUE_TYPE == 100803 && PUBLISH_DT >= %1 && PUBLISH_DT <= %2")
            .arg(startDate.toString(kDateFormat), endDate.toString(kDateFormat));
    ds->getData(request(valueObjName, filter, {{QStringLiteral("IDX_IDS"), idList(ids)}}), result);
}

void CPIndexDataService::getIndexValuesByFrequency(HXDataApi::HXDatasourceService *ds, const QString &valueObjName,
                                                   qint64 id, int frequencyCode, const QDate &startDate,
                                                   const QDate &endDate, HttpJsonResult &result)
{
    if (!ds)
        return;
    const QString filter = QStringLiteral("IDX_ID == :IDX_ID && FREQUENCY_CODE == :FREQUENCY_CODE && "
                                          "VALUE_TYPE == 100803 && PUBLISH_DT >= %1 && PUBLISH_DT <= %2")
                               .arg(startDate.toString(kDateFormat), endDate.toString(kDateFormat));
    ds->getData(request(valueObjName, filter,
                        {{QStringLiteral("IDX_ID"), QVariant::fromValue<qint64>(id)},
                         {QStringLiteral("FREQUENCY_CODE"), frequencyCode}}),
                result);
}

QList<FrequencyInfo> CPIndexDataService::cachedFrequencies()
{
    return frequencyCache();
}

void CPIndexDataService::getFrequencyList()
{
    if (!frequencyCache().isEmpty()) {
        emit getFrequencyFinished(frequencyCache());
        return;
    }
    QPointer<CPIndexDataService> self(this);
    m_datasource->getData(request(QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1"), QString(), {},
                                  {OrderType{QStringLiteral("SN"), 1}}),
                          [self](const HttpJsonResult &result) {
                              if (!self)
                                  return;
                              if (!result.success) {
                                  qCWarning(lcIndexData).noquote() << QStringLiteral("频率加载失败") << result.errorMsg;
                                  emit self->getFrequencyFinished({});
                                  return;
                              }
                              QList<FrequencyInfo> list;
                              const QJsonArray rows = result.data.array();
                              for (const QJsonValue &v : rows) {
                                  const QJsonObject row = v.toObject();
                                  FrequencyInfo info;
                                  info.frequencyCode = row.value(QStringLiteral("FREQUENCY_CODE")).toVariant().toInt();
                                  info.frequencyName = row.value(QStringLiteral("FREQUENCY_NAME")).toVariant().toString();
                                  info.conversion = row.value(QStringLiteral("CONVERSION")).toVariant().toInt();
                                  list.append(info);
                              }
                              frequencyCache() = list;
                              emit self->getFrequencyFinished(list);
                          });
}

namespace {

// "\r\n", "\r\r" and the two characters "\u" are noise left by the sources'
// own exports; they never belong in a cell.
QString cleanText(QString text)
{
    if (text.contains(QLatin1String("\r\n")) || text.contains(QLatin1String("\r\r"))
        || text.contains(QLatin1String("\\u"))) {
        text.remove(QStringLiteral("\r\n"));
        text.remove(QStringLiteral("\r\r"));
        text.remove(QStringLiteral("\\u"));
    }
    return text;
}

bool isInteger(int type)
{
    switch (type) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

} // namespace

bool CPIndexDataService::exportToExcel(QAbstractItemModel *model, const QString &filePath)
{
    const QByteArray path = QFile::encodeName(filePath);
    lxw_workbook *workbook = workbook_new(path.constData());
    if (!workbook) {
        qCWarning(lcIndexData).noquote() << "cannot create the workbook" << filePath;
        return false;
    }
    const QByteArray sheetName = QStringLiteral("新建工作簿_%1").arg(1).toUtf8();
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, sheetName.constData());
    if (!sheet) {
        qCWarning(lcIndexData).noquote() << "cannot add the worksheet to" << filePath;
        workbook_close(workbook);
        QFile::remove(filePath);
        return false;
    }

    lxw_format *header = workbook_add_format(workbook);
    format_set_bold(header);
    format_set_align(header, LXW_ALIGN_CENTER);
    format_set_align(header, LXW_ALIGN_VERTICAL_DISTRIBUTED);

    // One body format whose number format follows the last number written:
    // cells after a number keep that number's format until another number
    // changes it, so three variants of the same format cover every cell.
    auto bodyFormat = [workbook](const char *numberFormat) {
        lxw_format *f = workbook_add_format(workbook);
        format_set_align(f, LXW_ALIGN_CENTER);
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
        if (numberFormat)
            format_set_num_format(f, numberFormat);
        return f;
    };
    lxw_format *plainBody = bodyFormat(nullptr);
    lxw_format *doubleBody = bodyFormat("#,##0.00######;-#,##0.00######");
    lxw_format *intBody = bodyFormat("#,##0;-#,##0");
    lxw_format *body = plainBody;

    if (model) {
        const int columns = model->columnCount();
        const int rows = model->rowCount();
        for (int c = 0; c < columns; ++c) {
            const QByteArray text = model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString().toUtf8();
            worksheet_write_string(sheet, 0, lxw_col_t(c), text.constData(), header);
        }
        const double lowest = std::numeric_limits<double>::lowest();
        for (int r = 0; r < rows; ++r) {
            const lxw_row_t row = lxw_row_t(r + 1);
            for (int c = 0; c < columns; ++c) {
                const lxw_col_t col = lxw_col_t(c);
                const QVariant value = model->data(model->index(r, c), Qt::UserRole + 1);
                if (!value.isValid() || value.isNull() || value.toDouble() == lowest) {
                    worksheet_write_string(sheet, row, col, "-", body);
                    continue;
                }
                const int type = value.userType();
                if (type == QMetaType::Double || type == QMetaType::Float) {
                    body = doubleBody;
                    worksheet_write_number(sheet, row, col, value.toDouble(), body);
                } else if (isInteger(type)) {
                    body = intBody;
                    worksheet_write_number(sheet, row, col, value.toDouble(), body);
                } else {
                    const QString text = type == QMetaType::QDate
                        ? value.toDate().toString(QStringLiteral("yyyy-MM-dd"))
                        : value.toString();
                    const QByteArray utf8 = cleanText(text).toUtf8();
                    worksheet_write_string(sheet, row, col, utf8.constData(), body);
                }
            }
        }
    }

    const lxw_error error = workbook_close(workbook);
    if (error != LXW_NO_ERROR) {
        qCWarning(lcIndexData).noquote() << "cannot write the workbook" << filePath << ":" << lxw_strerror(error);
        return false;
    }
    return true;
}

} // namespace HXCPControls
