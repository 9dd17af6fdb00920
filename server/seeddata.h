#pragma once

#include <QDate>
#include <QString>

#include <vector>

namespace zhpserver {

class Storage;

// The sample data of a fresh installation: the index catalogue, indices
// with ten years of values, frequencies, column properties, products, the
// regional prices of every province, and sample pages in product and user
// trees. Everything is derived from fixed tables and a fixed random walk,
// so two databases seeded for the same end date hold the same rows.
namespace seed {

// Identities used by the sample pages and trees.
inline const char *const SampleProduct = "P001";      // 螺纹钢
inline const char *const SecondProduct = "P004";      // 铁矿石
inline const char *const SampleUser = "u1001";
inline const char *const OtherUser = "u1002";

// Sample page IDs (32 upper-case hexadecimal digits).
inline const char *const DashboardPad = "5EED0000000000000000000000000101";  // P001: tabs, splitters, table, charts, map, text
inline const char *const PlattsQuotePad = "5EED0000000000000000000000000102"; // P001: Platts and quote charts, multi-price table
inline const char *const MacroPad = "5EED0000000000000000000000000103";       // P001: macro, global and industry charts
inline const char *const SeasonPad = "5EED0000000000000000000000000104";      // P001: a seasonal chart
inline const char *const ProductNotePad = "5EED0000000000000000000000000105"; // P001: top-level page, rich text
inline const char *const IronOrePad = "5EED0000000000000000000000000106";     // P004
inline const char *const UserPad = "5EED0000000000000000000000000201";        // u1001/P001: table and chart
inline const char *const UserEmptyPad = "5EED0000000000000000000000000202";   // u1001/P001: node without content
inline const char *const OtherUserPad = "5EED0000000000000000000000000301";   // u1002/P001

// The value type of every seeded value.
constexpr int ValueType = 100803;

struct IndexSpec
{
    qint64 id;
    qint64 catCode;
    const char *name;
    const char *unit;
    int frequency; // 365, 7, 12, 4, 1
    const char *source;
    double base;   // level the walk starts at and drifts around
    bool rate;     // a percentage that moves around its base rather than a price
    bool multiPrice, vez, platts, quote;
};

// The indices of the general catalogue (not the provincial ones).
const std::vector<IndexSpec> &indices();

// True when the database holds neither indices nor tree nodes.
bool isEmpty(Storage &storage);

// Fills an empty database; values end at `endDate` and start ten years
// earlier. False with `error` set when a statement fails (nothing is kept).
bool fill(Storage &storage, const QDate &endDate, QString *error);

} // namespace seed
} // namespace zhpserver
