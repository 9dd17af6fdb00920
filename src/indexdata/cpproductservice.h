#pragma once

#include "common/hxcpcontrols_global.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace HXDataApi {
class HXDatasourceService;
class HXDsRequest;
}

namespace HXCPControls {

// The product catalogue: categories and products, shaped into the two-level
// tree that the product menus show.
class HXCPCONTROLS_EXPORT CPProductService
{
public:
    using TreeCallback = std::function<void(const QJsonObject &product, const QList<QVariantMap> &roots)>;

    CPProductService();
    ~CPProductService();
    CPProductService(const CPProductService &) = delete;
    CPProductService &operator=(const CPProductService &) = delete;

    // Both block; an empty array when the query fails (the error is logged).
    QJsonArray getAllProductCategories();
    QJsonArray getAllProducts();

    // Calls `callback` with the product whose PRODUCT_CODE is `productCode`
    // (empty when none) and the root categories, each with "children" (its
    // sub-categories) and "productions" (its products). Nothing is called
    // when there are no categories.
    void getProductTree(const QString &productCode, const TreeCallback &callback);

    // The shaping step of getProductTree, without the queries.
    static QList<QVariantMap> buildTree(const QJsonArray &categories, const QJsonArray &products,
                                        const QString &productCode, QJsonObject *matchedProduct);

private:
    // Runs a blocking query; the rows, or none (logged) when it failed.
    QJsonArray rowsOf(const HXDataApi::HXDsRequest &request);

    std::unique_ptr<HXDataApi::HXDatasourceService> m_datasource;
};

} // namespace HXCPControls
