#include "cpproductservice.h"

#include "common/logging.h"
#include "hxdataapi/hxdatasourceservice.h"

#include <QHash>

using HXDataApi::HttpJsonResult;
using HXDataApi::HXDsRequest;

namespace HXCPControls {

namespace {

QString keyOf(const QJsonValue &value)
{
    return value.toVariant().toString();
}

bool isRootParent(const QJsonValue &parent)
{
    return parent.isNull() || parent.isUndefined();
}

} // namespace

CPProductService::CPProductService()
    : m_datasource(std::make_unique<HXDataApi::HXDatasourceService>())
{
}

CPProductService::~CPProductService() = default;

QJsonArray CPProductService::rowsOf(const HXDsRequest &request)
{
    HttpJsonResult result;
    m_datasource->getData(request, result);
    if (!result.success) {
        qCCritical(lcIndexData).noquote() << result.errorMsg;
        return {};
    }
    return result.data.array();
}

QJsonArray CPProductService::getAllProductCategories()
{
    HXDsRequest request;
    request.setObjName(QStringLiteral("ZRN_GET_ALL_PRODUCT_CATEGORY_1"));
    request.setIgnoreTotal(true);
    return rowsOf(request);
}

QJsonArray CPProductService::getAllProducts()
{
    HXDsRequest request;
    request.setObjName(QStringLiteral("ZRN_GET_ALL_PRODUCT_1"));
    request.setOrder({HXDataApi::OrderType{QStringLiteral("SN"), 1}});
    request.setIgnoreTotal(true);
    return rowsOf(request);
}

QList<QVariantMap> CPProductService::buildTree(const QJsonArray &categories, const QJsonArray &products,
                                               const QString &productCode, QJsonObject *matchedProduct)
{
    QJsonObject matched;
    bool found = false;
    QHash<QString, QJsonArray> productsOf;
    for (const QJsonValue &v : products) {
        const QJsonObject product = v.toObject();
        if (!found && !productCode.isEmpty()
            && keyOf(product.value(QStringLiteral("PRODUCT_CODE"))) == productCode) {
            matched = product;
            found = true;
        }
        productsOf[keyOf(product.value(QStringLiteral("CAT_CODE")))].append(product);
    }

    QHash<QString, QJsonObject> roots;
    QStringList rootOrder;
    for (const QJsonValue &v : categories) {
        QJsonObject category = v.toObject();
        if (!isRootParent(category.value(QStringLiteral("P_CAT_CODE"))))
            continue;
        const QString code = keyOf(category.value(QStringLiteral("CAT_CODE")));
        category.insert(QStringLiteral("children"), QJsonArray());
        category.insert(QStringLiteral("productions"), productsOf.value(code));
        if (!roots.contains(code))
            rootOrder.append(code);
        roots.insert(code, category);
    }

    for (const QJsonValue &v : categories) {
        QJsonObject category = v.toObject();
        const QJsonValue parent = category.value(QStringLiteral("P_CAT_CODE"));
        if (isRootParent(parent))
            continue;
        auto root = roots.find(keyOf(parent));
        if (root == roots.end())
            continue; // deeper levels are not shown
        const QString code = keyOf(category.value(QStringLiteral("CAT_CODE")));
        category.insert(QStringLiteral("productions"), productsOf.value(code));
        QJsonArray children = root->value(QStringLiteral("children")).toArray();
        children.append(category);
        root->insert(QStringLiteral("children"), children);
    }

    QList<QVariantMap> result;
    for (const QString &code : rootOrder)
        result.append(roots.value(code).toVariantMap());
    if (matchedProduct)
        *matchedProduct = matched;
    return result;
}

void CPProductService::getProductTree(const QString &productCode, const TreeCallback &callback)
{
    const QJsonArray categories = getAllProductCategories();
    if (categories.isEmpty())
        return;
    const QJsonArray products = getAllProducts();
    QJsonObject matched;
    const QList<QVariantMap> roots = buildTree(categories, products, productCode, &matched);
    if (callback)
        callback(matched, roots);
}

} // namespace HXCPControls
