#include "seeddata.h"

#include "catalogue.h"
#include "datasourcequery.h"
#include "serverlog.h"
#include "storage.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>

namespace zhpserver {
namespace seed {

namespace {

constexpr qint64 kIndexBase = 2001000000000LL; // IDs above 2^32, well below 2^53
constexpr qint64 kMapBase = 2002000000000LL;

struct Category
{
    int set;      // 1 general, 2 regional
    qint64 code;
    qint64 parent; // 0: root
    const char *name;
    bool hasIndices;
};

const Category kCategories[] = {
    {1, 3800, 0, "价格指数", false},
    {1, 3801, 3800, "钢材", false},
    {1, 380101, 3801, "螺纹钢", true},
    {1, 380102, 3801, "板材", true},
    {1, 380103, 3801, "钢材库存与开工", true},
    {1, 3802, 3800, "炉料", false},
    {1, 380201, 3802, "铁矿石", true},
    {1, 380202, 3802, "焦煤焦炭", true},
    {1, 3803, 3800, "有色金属", false},
    {1, 380301, 3803, "铜铝锌", true},
    {1, 3174, 0, "全球宏观", false},
    {1, 317401, 3174, "美国", true},
    {1, 317402, 3174, "欧元区", true},
    {1, 400, 0, "宏观经济", false},
    {1, 40001, 400, "国民经济核算", true},
    {1, 40002, 400, "价格指数", true},
    {1, 40003, 400, "货币金融", true},
    {1, 399, 0, "行业经济", false},
    {1, 39901, 399, "钢铁行业", true},
    {1, 39902, 399, "房地产与汽车", true},
    {1, 39903, 399, "能源电力", true},
    {1, 3900, 0, "普氏指数", false},
    {1, 390001, 3900, "铁矿石指数", true},
    {1, 390002, 3900, "煤焦与钢材指数", true},
    {1, 3500, 0, "报价指数", false},
    {1, 350001, 3500, "期货主力合约", true},
    {2, 3800, 0, "价格指数", false},
    {2, 3850, 3800, "区域价格", false},
    {2, 385001, 3850, "螺纹钢分省均价", true},
    {2, 385002, 3850, "热轧板卷分省均价", true},
};

#define IDX(n) (kIndexBase + (n))
// id, category, name, unit, frequency, source, base, rate, multiPrice, vez, platts, quote
const std::vector<IndexSpec> kIndices = {
    {IDX(1), 380101, "螺纹钢:HRB400 20mm:上海", "元/吨", 365, "钢材现货市场", 3900, false, true, true, false, false},
    {IDX(2), 380101, "螺纹钢:HRB400 20mm:北京", "元/吨", 365, "钢材现货市场", 3850, false, true, true, false, false},
    {IDX(3), 380101, "螺纹钢:HRB400 20mm:广州", "元/吨", 365, "钢材现货市场", 4050, false, true, true, false, false},
    {IDX(4), 380101, "螺纹钢:全国均价", "元/吨", 7, "钢材现货市场", 3950, false, true, true, false, false},
    {IDX(5), 380102, "热轧板卷:Q235B 4.75mm:上海", "元/吨", 365, "钢材现货市场", 3950, false, true, true, false, false},
    {IDX(6), 380102, "冷轧板卷:1.0mm:上海", "元/吨", 365, "钢材现货市场", 4600, false, true, true, false, false},
    {IDX(7), 380102, "中厚板:Q235B 20mm:上海", "元/吨", 7, "钢材现货市场", 4000, false, true, true, false, false},
    {IDX(8), 380103, "螺纹钢:社会库存", "万吨", 7, "钢材库存调查", 600, false, true, true, false, false},
    {IDX(9), 380103, "热轧板卷:社会库存", "万吨", 7, "钢材库存调查", 250, false, true, true, false, false},
    {IDX(10), 380103, "钢厂:高炉开工率", "%", 7, "钢厂调研", 80, true, true, true, false, false},
    {IDX(11), 380201, "铁矿石:62%澳粉:青岛港", "元/湿吨", 365, "港口现货市场", 800, false, true, true, false, false},
    {IDX(12), 380201, "铁矿石:45港口库存", "万吨", 7, "港口调研", 13000, false, true, true, false, false},
    {IDX(13), 380201, "中国:进口铁矿石数量:当月值", "万吨", 12, "海关总署", 9000, false, true, false, false, false},
    {IDX(14), 380202, "焦炭:准一级:天津港", "元/吨", 365, "港口现货市场", 2300, false, true, true, false, false},
    {IDX(15), 380202, "主焦煤:山西", "元/吨", 365, "煤炭现货市场", 1800, false, true, true, false, false},
    {IDX(16), 380301, "电解铜:1#:长江有色", "元/吨", 365, "有色金属现货市场", 60000, false, true, false, false, false},
    {IDX(17), 380301, "铝锭:A00:长江有色", "元/吨", 365, "有色金属现货市场", 18000, false, true, false, false, false},
    {IDX(18), 380301, "锌锭:0#:上海", "元/吨", 365, "有色金属现货市场", 22000, false, true, false, false, false},
    {IDX(19), 317401, "美国:GDP:不变价:环比折年率", "%", 4, "美国经济分析局", 2.2, true, false, false, false, false},
    {IDX(20), 317401, "美国:CPI:同比", "%", 12, "美国劳工部", 2.5, true, false, false, false, false},
    {IDX(21), 317401, "美元指数", "点", 365, "洲际交易所", 100, false, false, false, false, false},
    {IDX(22), 317401, "美国:联邦基金目标利率", "%", 12, "美联储", 2.0, true, false, false, false, false},
    {IDX(23), 317402, "欧元区:制造业PMI", "点", 12, "欧元区统计局", 50, true, false, false, false, false},
    {IDX(24), 317402, "欧元区:HICP:同比", "%", 12, "欧元区统计局", 2.0, true, false, false, false, false},
    {IDX(25), 317402, "欧元区:GDP:现价", "亿欧元", 1, "欧元区统计局", 120000, false, false, false, false, false},
    {IDX(26), 40001, "中国:GDP:不变价:累计同比", "%", 4, "国家统计局", 6.0, true, false, false, false, false},
    {IDX(27), 40001, "中国:GDP:现价", "亿元", 1, "国家统计局", 900000, false, false, false, false, false},
    {IDX(28), 40001, "中国:年末总人口", "万人", 1, "国家统计局", 140000, false, false, false, false, false},
    {IDX(29), 40002, "中国:CPI:当月同比", "%", 12, "国家统计局", 2.0, true, false, false, false, false},
    {IDX(30), 40002, "中国:PPI:全部工业品:当月同比", "%", 12, "国家统计局", 0.0, true, false, false, false, false},
    {IDX(31), 40002, "中国:制造业PMI", "%", 12, "国家统计局", 50, true, false, false, false, false},
    {IDX(32), 40003, "中国:M2:同比", "%", 12, "中国人民银行", 9.0, true, false, false, false, false},
    {IDX(33), 40003, "中国:社会融资规模存量:同比", "%", 12, "中国人民银行", 10.0, true, false, false, false, false},
    {IDX(34), 39901, "中国:粗钢产量:当月值", "万吨", 12, "国家统计局", 8500, false, false, false, false, false},
    {IDX(35), 39901, "中国:生铁产量:当月值", "万吨", 12, "国家统计局", 7200, false, false, false, false, false},
    {IDX(36), 39901, "中国:钢材出口数量:当月值", "万吨", 12, "海关总署", 600, false, false, false, false, false},
    {IDX(37), 39901, "钢铁行业:固定资产投资:累计同比", "%", 4, "国家统计局", 5.0, true, false, false, false, false},
    {IDX(38), 39902, "中国:房地产开发投资:累计同比", "%", 12, "国家统计局", 5.0, true, false, false, false, false},
    {IDX(39), 39902, "中国:汽车产量:当月值", "万辆", 12, "国家统计局", 230, false, false, false, false, false},
    {IDX(40), 39903, "中国:发电量:当月值", "亿千瓦时", 12, "国家统计局", 6500, false, false, false, false, false},
    {IDX(41), 39903, "中国:全社会用电量", "亿千瓦时", 1, "国家能源局", 70000, false, false, false, false, false},
    {IDX(42), 39903, "中国:原煤产量", "亿吨", 1, "国家统计局", 38, false, false, false, false, false},
    {IDX(43), 390001, "普氏62%铁矿石指数", "美元/干吨", 365, "普氏", 100, false, false, false, true, false},
    {IDX(44), 390001, "普氏65%铁矿石指数", "美元/干吨", 365, "普氏", 115, false, false, false, true, false},
    {IDX(45), 390001, "普氏58%铁矿石指数", "美元/干吨", 365, "普氏", 85, false, false, false, true, false},
    {IDX(46), 390002, "普氏澳洲峰景矿硬焦煤指数", "美元/吨", 365, "普氏", 200, false, false, false, true, false},
    {IDX(47), 390002, "普氏东南亚热轧卷板指数", "美元/吨", 7, "普氏", 550, false, false, false, true, false},
    {IDX(48), 350001, "螺纹钢期货主力合约收盘价", "元/吨", 365, "期货交易所", 3800, false, false, false, false, true},
    {IDX(49), 350001, "铁矿石期货主力合约收盘价", "元/吨", 365, "期货交易所", 780, false, false, false, false, true},
    {IDX(50), 350001, "焦炭期货主力合约收盘价", "元/吨", 365, "期货交易所", 2300, false, false, false, false, true},
    {IDX(51), 350001, "热轧卷板期货主力合约收盘价", "元/吨", 365, "期货交易所", 3900, false, false, false, false, true},
};
#undef IDX

const char *const kProvinces[] = {
    "北京", "天津", "河北", "山西", "内蒙古", "辽宁", "吉林", "黑龙江", "上海", "江苏", "浙江", "安徽",
    "福建", "江西", "山东", "河南", "湖北", "湖南", "广东", "广西", "海南", "重庆", "四川", "贵州",
    "云南", "西藏", "陕西", "甘肃", "青海", "宁夏", "新疆", "台湾", "香港", "澳门",
};
constexpr int kProvinceCount = int(sizeof kProvinces / sizeof kProvinces[0]);

struct Frequency
{
    int code;
    const char *name;
    int conversion;
};
const Frequency kFrequencies[] = {{365, "日", 365}, {7, "周", 52}, {12, "月", 12}, {4, "季", 4}, {1, "年", 1}};

int conversionOf(int code)
{
    for (const Frequency &f : kFrequencies)
        if (f.code == code)
            return f.conversion;
    return 1;
}

QString frequencyName(int code)
{
    for (const Frequency &f : kFrequencies)
        if (f.code == code)
            return QString::fromUtf8(f.name);
    return QString();
}

struct ProductCategory
{
    const char *code;
    const char *parent; // null: root
    const char *name;
};
const ProductCategory kProductCategories[] = {
    {"C10", nullptr, "黑色金属"}, {"C1001", "C10", "钢材"}, {"C1002", "C10", "炉料"},
    {"C100101", "C1001", "建筑钢材细分"}, // a third level, which the product menus leave out
    {"C20", nullptr, "有色金属"}, {"C2001", "C20", "铜"}, {"C2002", "C20", "铝"},
    {"C30", nullptr, "能源化工"}, {"C3001", "C30", "煤炭"},
    {"C40", nullptr, "农产品"}, // products directly under the root, no sub-categories
};

struct Product
{
    const char *code;
    const char *name;
    const char *category;
};
const Product kProducts[] = {
    {"P001", "螺纹钢", "C1001"}, {"P002", "热轧板卷", "C1001"}, {"P003", "冷轧板卷", "C1001"},
    {"P004", "铁矿石", "C1002"}, {"P005", "焦炭", "C1002"}, {"P006", "焦煤", "C1002"},
    {"P007", "盘螺", "C100101"}, {"P101", "电解铜", "C2001"}, {"P102", "铝锭", "C2002"},
    {"P201", "动力煤", "C3001"}, {"P301", "大豆", "C40"}, {"P302", "玉米", "C40"},
};

// A small deterministic generator (splitmix64), so that the values do not
// depend on the standard library's engines.
class Random
{
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    double uniform() { return (double(next() >> 11) + 0.5) / 9007199254740992.0; }
    double normal() { return std::sqrt(-2.0 * std::log(uniform())) * std::cos(6.283185307179586 * uniform()); }

private:
    quint64 m_state;
};

double round(double v, int decimals)
{
    const double f = std::pow(10.0, decimals);
    return std::round(v * f) / f;
}

// Observation dates of a frequency between two dates: every day, every
// Friday, the last day of every month, quarter or year.
QList<QDate> observationDates(int frequency, const QDate &start, const QDate &end)
{
    QList<QDate> dates;
    for (QDate d = start; d <= end; d = d.addDays(1)) {
        const bool lastOfMonth = d.day() == d.daysInMonth();
        bool take = false;
        switch (frequency) {
        case 365: take = true; break;
        case 7: take = d.dayOfWeek() == Qt::Friday; break;
        case 12: take = lastOfMonth; break;
        case 4: take = lastOfMonth && d.month() % 3 == 0; break;
        default: take = d.month() == 12 && d.day() == 31; break;
        }
        if (take)
            dates.append(d);
    }
    return dates;
}

// A walk around the base level: prices move by relative steps that are pulled
// back towards the base; rates move by absolute steps.
QList<double> walk(const IndexSpec &def, int count)
{
    Random rng(quint64(def.id) * 2654435761ULL);
    const int conversion = conversionOf(def.frequency);
    const double stepScale = std::sqrt(365.0 / conversion);
    QList<double> values;
    values.reserve(count);
    double v = def.base;
    const int decimals = def.rate ? 2 : (def.base >= 1000 ? 0 : 2);
    for (int i = 0; i < count; ++i) {
        if (def.rate) {
            v += 0.15 * (def.base - v) + 0.06 * stepScale * rng.normal();
        } else {
            const double logV = std::log(v) + 0.004 * stepScale * (std::log(def.base) - std::log(v))
                                + 0.011 * stepScale * rng.normal();
            v = std::exp(logV);
        }
        values.append(round(v, decimals));
    }
    return values;
}

int periodKey(int frequency, const QDate &d)
{
    switch (frequency) {
    case 365: return int(d.toJulianDay());
    case 7: {
        int year = 0;
        const int week = d.weekNumber(&year);
        return year * 100 + week;
    }
    case 12: return d.year() * 100 + d.month();
    case 4: return d.year() * 10 + (d.month() - 1) / 3;
    default: return d.year();
    }
}

QString indexParams(int frequency)
{
    const QJsonArray params{QJsonObject{{QStringLiteral("name"), QStringLiteral("FREQUENCY_CODE")}, {QStringLiteral("defaultValue"), frequency}},
                            QJsonObject{{QStringLiteral("name"), QStringLiteral("VALUE_TYPE")}, {QStringLiteral("defaultValue"), ValueType}}};
    return QString::fromUtf8(QJsonDocument(params).toJson(QJsonDocument::Compact));
}

QString propType(FieldType type)
{
    switch (type) {
    case FieldType::Date: return QStringLiteral("DateTime");
    case FieldType::Real: return QStringLiteral("Double");
    case FieldType::Integer: return QStringLiteral("Long");
    case FieldType::Text: return QStringLiteral("String");
    }
    return QString();
}

struct SqlFailure
{
    QString text;
};

void run(QSqlQuery &q)
{
    if (!q.exec())
        throw SqlFailure{q.lastError().text() + QStringLiteral(" in ") + q.lastQuery().left(120)};
}

void prepare(QSqlQuery &q, const char *sql)
{
    if (!q.prepare(QString::fromLatin1(sql)))
        throw SqlFailure{q.lastError().text() + QStringLiteral(" in ") + QString::fromLatin1(sql).left(120)};
}

// Inserts rows column by column in one batch.
void batch(QSqlQuery &q, const QVector<QVariantList> &columns)
{
    for (const QVariantList &c : columns)
        q.addBindValue(c);
    if (!q.execBatch())
        throw SqlFailure{q.lastError().text() + QStringLiteral(" in ") + q.lastQuery().left(120)};
}

QString pathOf(const Category &c)
{
    QStringList codes{QString::number(c.code)};
    for (qint64 p = c.parent; p != 0;) {
        codes.prepend(QString::number(p));
        qint64 up = 0;
        for (const Category &o : kCategories)
            if (o.set == c.set && o.code == p)
                up = o.parent;
        p = up;
    }
    return codes.join(QLatin1Char(','));
}

void fillCatalogue(QSqlDatabase &db)
{
    QSqlQuery q(db);
    prepare(q, "INSERT INTO idx_frequency (frequency_code, frequency_name, conversion, sn) VALUES (?, ?, ?, ?)");
    int sn = 0;
    for (const Frequency &f : kFrequencies) {
        q.addBindValue(f.code);
        q.addBindValue(QString::fromUtf8(f.name));
        q.addBindValue(f.conversion);
        q.addBindValue(++sn);
        run(q);
    }

    prepare(q, "INSERT INTO idx_category (cat_set, cat_code, p_cat_code, cat_name, cat_code_all, hav_idx, sn) VALUES (?, ?, ?, ?, ?, ?, ?)");
    sn = 0;
    for (const Category &c : kCategories) {
        q.addBindValue(c.set);
        q.addBindValue(c.code);
        q.addBindValue(c.parent ? QVariant(c.parent) : QVariant(QVariant::LongLong));
        q.addBindValue(QString::fromUtf8(c.name));
        q.addBindValue(pathOf(c));
        q.addBindValue(c.hasIndices ? 1 : 0);
        q.addBindValue(++sn);
        run(q);
    }

    prepare(q, "INSERT INTO obj_property (obj_eng_name, prop_name, prop_caption, prop_typ, prop_flag, sn) VALUES (?, ?, ?, ?, ?, ?)");
    for (const ObjectDef &o : Catalogue::instance().objects()) {
        sn = 0;
        for (const FieldDef &f : o.fields) {
            if (!f.output || f.caption.isEmpty())
                continue;
            q.addBindValue(o.name);
            q.addBindValue(f.name);
            q.addBindValue(f.caption);
            q.addBindValue(propType(f.type));
            q.addBindValue(f.flag);
            q.addBindValue(++sn);
            run(q);
        }
    }

    prepare(q, "INSERT INTO product_category (cat_code, p_cat_code, cat_name, cat_image, sn) VALUES (?, ?, ?, ?, ?)");
    sn = 0;
    for (const ProductCategory &c : kProductCategories) {
        q.addBindValue(QString::fromLatin1(c.code));
        q.addBindValue(c.parent ? QVariant(QString::fromLatin1(c.parent)) : QVariant(QVariant::String));
        q.addBindValue(QString::fromUtf8(c.name));
        // Root categories carry their menu icon, relative to the server's base URL.
        q.addBindValue(c.parent ? QVariant(QVariant::String) : QVariant(QStringLiteral("menuicons/%1.png").arg(QLatin1String(c.code))));
        q.addBindValue(++sn);
        run(q);
    }
    prepare(q, "INSERT INTO product (product_code, product_name, cat_code, sn) VALUES (?, ?, ?, ?)");
    sn = 0;
    for (const Product &p : kProducts) {
        q.addBindValue(QString::fromLatin1(p.code));
        q.addBindValue(QString::fromUtf8(p.name));
        q.addBindValue(QString::fromLatin1(p.category));
        q.addBindValue(++sn);
        run(q);
    }
}

void insertIndex(QSqlQuery &q, qint64 id, qint64 cat, const QString &name, const QString &unit, int frequency, const QString &source,
                 const QString &area, bool general, bool multi, bool vez, bool platts, bool quote, bool map, int sn)
{
    q.addBindValue(id);
    q.addBindValue(cat);
    q.addBindValue(name);
    q.addBindValue(unit);
    q.addBindValue(frequency);
    q.addBindValue(source);
    q.addBindValue(QStringLiteral("%1，%2，单位：%3，来源：%4").arg(name, frequencyName(frequency) + QStringLiteral("度数据"), unit, source));
    q.addBindValue(area.isEmpty() ? QVariant(QVariant::String) : QVariant(area));
    q.addBindValue(indexParams(frequency));
    for (bool flag : {general, multi, vez, platts, quote, map})
        q.addBindValue(flag ? 1 : 0);
    q.addBindValue(sn);
    run(q);
}

void fillIndices(QSqlDatabase &db, const QDate &endDate)
{
    const QDate start = endDate.addYears(-10).addDays(1);
    QSqlQuery q(db);
    prepare(q, "INSERT INTO idx_index (idx_id, cat_code, index_name, unit_name, frequency_code, source_name, index_desc, area_name,"
               " index_params, is_general, is_multiprice, is_vez, is_platts, is_quote, is_map, sn)"
               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    int sn = 0;
    for (const IndexSpec &s : kIndices)
        insertIndex(q, s.id, s.catCode, QString::fromUtf8(s.name), QString::fromUtf8(s.unit), s.frequency, QString::fromUtf8(s.source),
                    QString(), true, s.multiPrice, s.vez, s.platts, s.quote, false, ++sn);

    // One regional index per province and product, with its latest price.
    QSqlQuery price(db);
    prepare(price, "INSERT INTO idx_map_price (idx_id, publish_dt, price) VALUES (?, ?, ?)");
    const qint64 lastDay = dateToMs(endDate);
    struct Regional { qint64 cat; const char *product; double base; };
    const Regional regional[] = {{385001, "螺纹钢", 3900}, {385002, "热轧板卷", 4000}};
    for (int r = 0; r < 2; ++r) {
        Random rng(7919 + quint64(r));
        for (int p = 0; p < kProvinceCount; ++p) {
            const qint64 id = kMapBase + r * 100 + p + 1;
            const QString area = QString::fromUtf8(kProvinces[p]);
            insertIndex(q, id, regional[r].cat, QStringLiteral("%1:均价:%2").arg(QString::fromUtf8(regional[r].product), area),
                        QStringLiteral("元/吨"), 365, QStringLiteral("钢材现货市场"), area, false, false, false, false, false, true, ++sn);
            price.addBindValue(id);
            price.addBindValue(lastDay);
            price.addBindValue(round(regional[r].base * (0.9 + 0.2 * rng.uniform()), 0));
            run(price);
        }
    }

    // Values, and per frequency the latest and the previous period.
    QSqlQuery values(db);
    prepare(values, "INSERT INTO idx_value (idx_id, value_type, publish_dt, frequency_code, index_val) VALUES (?, ?, ?, ?, ?)");
    QSqlQuery multi(db);
    prepare(multi, "INSERT INTO idx_multi_price (idx_id, frequency_code, publish_dt, index_val, prev_val, change_val, change_rate)"
                   " VALUES (?, ?, ?, ?, ?, ?, ?)");
    for (const IndexSpec &s : kIndices) {
        const QList<QDate> dates = observationDates(s.frequency, start, endDate);
        const QList<double> series = walk(s, dates.size());
        QVector<QVariantList> cols(5);
        for (int i = 0; i < dates.size(); ++i) {
            cols[0].append(s.id);
            cols[1].append(ValueType);
            cols[2].append(dateToMs(dates.at(i)));
            cols[3].append(s.frequency);
            cols[4].append(series.at(i));
        }
        batch(values, cols);

        const int native = conversionOf(s.frequency);
        for (const Frequency &f : kFrequencies) {
            if (f.conversion > native)
                continue;
            // The last observation of each period of f.
            std::map<int, int> lastOfPeriod;
            for (int i = 0; i < dates.size(); ++i)
                lastOfPeriod[periodKey(f.code, dates.at(i))] = i;
            if (lastOfPeriod.size() < 2)
                continue;
            auto it = lastOfPeriod.rbegin();
            const int latest = it->second;
            const int previous = (++it)->second;
            const double now = series.at(latest), before = series.at(previous);
            multi.addBindValue(s.id);
            multi.addBindValue(f.code);
            multi.addBindValue(dateToMs(dates.at(latest)));
            multi.addBindValue(now);
            multi.addBindValue(before);
            multi.addBindValue(round(now - before, 2));
            multi.addBindValue(before != 0 ? QVariant(round((now - before) / std::fabs(before) * 100.0, 2)) : QVariant(QVariant::Double));
            run(multi);
        }
    }
}

// ---- sample pages ----

const QUuid kItemNamespace(QStringLiteral("{7d3c1f0e-5a2b-4c6d-9e8f-0a1b2c3d4e5f}"));

class PageBuilder
{
public:
    explicit PageBuilder(const QString &padId) : m_padId(padId) {}

    QJsonObject item(const QString &url, const QJsonObject &child, const QString &title, int hStretch = 0, int vStretch = 0)
    {
        QJsonObject o{{QStringLiteral("url"), url},
                      {QStringLiteral("id"), QUuid::createUuidV5(kItemNamespace, m_padId + QString::number(++m_items)).toString()},
                      {QStringLiteral("minSize"), QStringLiteral("0:0")},
                      {QStringLiteral("maxSize"), QStringLiteral("16777215:16777215")},
                      {QStringLiteral("hPolicy"), QStringLiteral("Preferred")},
                      {QStringLiteral("vPolicy"), QStringLiteral("Preferred")},
                      {QStringLiteral("hStretch"), hStretch},
                      {QStringLiteral("vStretch"), vStretch},
                      {QStringLiteral("title"), title.isEmpty() ? QStringLiteral("----") : title}};
        if (!url.isEmpty())
            o.insert(QStringLiteral("child"), child);
        return o;
    }

    // orientation 1: side by side, 2: stacked.
    static QJsonObject splitter(int orientation, const QList<int> &sizes, const QList<QJsonObject> &children)
    {
        QJsonArray list, sizeList;
        for (QJsonObject c : children) {
            if (!c.contains(QStringLiteral("className")))
                c.insert(QStringLiteral("className"), c.contains(QStringLiteral("children")) ? QStringLiteral("HXCPControls::CPSplitter")
                                                                                              : QStringLiteral("HXCPControls::CPSplitItem"));
            list.append(c);
        }
        for (int s : sizes)
            sizeList.append(s);
        return {{QStringLiteral("sizes"), sizeList}, {QStringLiteral("orientation"), orientation}, {QStringLiteral("children"), list}};
    }

    QJsonObject splitView(const QJsonObject &root, bool isSplitter) const
    {
        return {{QStringLiteral("version"), QStringLiteral("1.0")},
                {QStringLiteral("format"), QStringLiteral("json")},
                {QStringLiteral("date"), QStringLiteral("202401010900000")},
                {QStringLiteral("zhpArgs"), QJsonObject()},
                {QStringLiteral("padID"), m_padId},
                {QStringLiteral("zhpID"), QString()},
                {QStringLiteral("rootItemType"), isSplitter ? QStringLiteral("HXCPControls::CPSplitter") : QStringLiteral("HXCPControls::CPSplitItem")},
                {QStringLiteral("rootObj"), root}};
    }

    QString page(const QJsonObject &root, int height = -1) const
    {
        QJsonObject o = splitView(root, root.contains(QStringLiteral("children")));
        o.insert(QStringLiteral("height"), height);
        return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
    }

    static QJsonObject tabPage(const QString &text, const QJsonObject &page, bool isSplitView)
    {
        QJsonObject o = page;
        o.insert(QStringLiteral("ctype"), isSplitView ? QStringLiteral("HXCPControls::CPSplitView") : QStringLiteral("HXCPControls::CPSplitItem"));
        o.insert(QStringLiteral("tabText"), text);
        return o;
    }

    static QJsonObject tabs(const QList<QJsonObject> &pages)
    {
        QJsonArray list;
        for (const QJsonObject &p : pages)
            list.append(p);
        return {{QStringLiteral("pages"), list},
                {QStringLiteral("currentIndex"), 0},
                {QStringLiteral("title"), QString()},
                {QStringLiteral("showSetting"), false}};
    }

private:
    QString m_padId;
    int m_items = 0;
};

const IndexSpec &def(int n)
{
    return kIndices.at(size_t(n - 1));
}

QJsonObject indexRow(const IndexSpec &s)
{
    return {{QStringLiteral("IDX_ID"), double(s.id)},
            {QStringLiteral("CAT_CODE"), double(s.catCode)},
            {QStringLiteral("INDEX_NAME"), QString::fromUtf8(s.name)},
            {QStringLiteral("UNIT_NAME"), QString::fromUtf8(s.unit)},
            {QStringLiteral("FREQUENCY_CODE"), s.frequency},
            {QStringLiteral("FREQUENCY_NAME"), frequencyName(s.frequency)},
            {QStringLiteral("INDEX_PARAMS"), indexParams(s.frequency)}};
}

QJsonArray multiPriceHeaders()
{
    QJsonArray headers;
    const ObjectDef *o = Catalogue::instance().object(QStringLiteral("ZRN_INDEX_MULTI_PRICE_1"));
    for (const FieldDef &f : o->fields) {
        if (!f.output || f.caption.isEmpty() || f.name == QLatin1String("SOURCE_NAME"))
            continue;
        headers.append(QJsonObject{{QStringLiteral("PROP_NAME"), f.name},
                                   {QStringLiteral("PROP_CAPTION"), f.caption},
                                   {QStringLiteral("PROP_TYP"), propType(f.type)},
                                   {QStringLiteral("PROP_FLAG"), f.flag}});
    }
    return headers;
}

QJsonObject tableState(const QString &title, const QList<int> &indexNumbers, const QList<int> &frequencies)
{
    QJsonArray indexes, freqs;
    for (int n : indexNumbers)
        indexes.append(indexRow(def(n)));
    // A table saves its frequencies in ascending code order.
    QList<int> sorted = frequencies;
    std::sort(sorted.begin(), sorted.end());
    for (int f : sorted)
        freqs.append(f);
    return {{QStringLiteral("isShowTitle"), true},
            {QStringLiteral("title"), title},
            {QStringLiteral("limitField"), QString()},
            {QStringLiteral("headers"), multiPriceHeaders()},
            {QStringLiteral("indexes"), indexes},
            {QStringLiteral("frequencies"), freqs}};
}

QJsonObject legend()
{
    return {{QStringLiteral("showLegend"), true},
            {QStringLiteral("legendPosition"), QStringLiteral("H")},
            {QStringLiteral("legendHPosition"), QStringLiteral("C")},
            {QStringLiteral("legendVPosition"), QStringLiteral("T")}};
}

// An index entry of a chart: the columns the chart settings keep of an index.
QJsonObject chartEntry(const IndexSpec &s)
{
    return {{QStringLiteral("IDX_ID"), double(s.id)},
            {QStringLiteral("INDEX_NAME"), QString::fromUtf8(s.name)},
            {QStringLiteral("UNIT_NAME"), QString::fromUtf8(s.unit)},
            {QStringLiteral("FREQUENCY_CODE"), s.frequency},
            {QStringLiteral("FREQUENCY_NAME"), frequencyName(s.frequency)}};
}

QJsonObject latestQuery(const QString &count, int unit)
{
    return {{QStringLiteral("isLatestDate"), true}, {QStringLiteral("date"), count}, {QStringLiteral("unit"), unit}};
}

// `options` adds option item entries (keyed by class name) to the legend's.
QJsonObject chartState(const QString &title, const QList<int> &indexNumbers, int chartType, const QString &years = QStringLiteral("2"),
                       const QJsonObject &options = QJsonObject(), const QJsonObject &query = QJsonObject())
{
    QJsonArray indexes;
    for (int n : indexNumbers)
        indexes.append(chartEntry(def(n)));
    QJsonObject optionCfg{{QStringLiteral("type"), chartType}, {QStringLiteral("HXCPControls::HXLegendCfgWidget"), legend()}};
    for (auto it = options.begin(); it != options.end(); ++it)
        optionCfg.insert(it.key(), it.value());
    return {{QStringLiteral("version"), QStringLiteral("v2")},
            {QStringLiteral("isShowTitle"), true},
            {QStringLiteral("title"), title},
            {QStringLiteral("isSeasonForm"), false},
            {QStringLiteral("indexes"), indexes},
            {QStringLiteral("optionCfg"), optionCfg},
            {QStringLiteral("seasonOptionCfg"), QJsonObject()},
            {QStringLiteral("query"), query.isEmpty() ? latestQuery(years, 1) : query}};
}

QJsonObject seasonChartState(const QString &title, int indexNumber, int endYear)
{
    QJsonObject entry = chartEntry(def(indexNumber));
    entry.insert(QStringLiteral("isSeason"), true);
    const QJsonObject option{{QStringLiteral("type"), 1}, {QStringLiteral("HXCPControls::HXLegendCfgWidget"), legend()}};
    return {{QStringLiteral("version"), QStringLiteral("v2")},
            {QStringLiteral("isShowTitle"), true},
            {QStringLiteral("title"), title},
            {QStringLiteral("isSeasonForm"), true},
            {QStringLiteral("indexes"), QJsonArray{entry}},
            {QStringLiteral("optionCfg"), option},
            {QStringLiteral("seasonOptionCfg"), option},
            {QStringLiteral("query"), QJsonObject{{QStringLiteral("isLatestDate"), true}, {QStringLiteral("date"), QStringLiteral("5")}, {QStringLiteral("unit"), 1}}},
            {QStringLiteral("seasonQuery"), QJsonObject{{QStringLiteral("seasonStart"), QString::number(endYear - 4)},
                                                        {QStringLiteral("seasonEnd"), QString::number(endYear)}}}};
}

QJsonObject mapChartState(const QString &title)
{
    QJsonArray indexes;
    for (int p = 0; p < kProvinceCount; ++p) {
        const QString area = QString::fromUtf8(kProvinces[p]);
        indexes.append(QJsonObject{{QStringLiteral("IDX_ID"), double(kMapBase + p + 1)},
                                   {QStringLiteral("CAT_CODE"), 385001},
                                   {QStringLiteral("INDEX_NAME"), QString(QStringLiteral("螺纹钢:均价:") + area)},
                                   {QStringLiteral("AREA_NAME"), area},
                                   {QStringLiteral("UNIT_NAME"), QStringLiteral("元/吨")},
                                   {QStringLiteral("FREQUENCY_CODE"), 365},
                                   {QStringLiteral("FREQUENCY_NAME"), QStringLiteral("日")}});
    }
    return {{QStringLiteral("version"), QStringLiteral("v2")},
            {QStringLiteral("isShowTitle"), true},
            {QStringLiteral("title"), title},
            {QStringLiteral("isSeasonForm"), false},
            {QStringLiteral("indexes"), indexes},
            {QStringLiteral("optionCfg"), QJsonObject{{QStringLiteral("type"), 5},
                                                      {QStringLiteral("HXCPControls::HXSeriesOptionCfgWidget"), QJsonObject{{QStringLiteral("isShowMaxMin"), false}}},
                                                      {QStringLiteral("HXCPControls::HXMapCfgWidget"), QJsonObject{{QStringLiteral("isCustomColor"), false}}}}},
            {QStringLiteral("seasonOptionCfg"), QJsonObject()}};
}

QJsonObject textState(const QString &title, const QString &html)
{
    return {{QStringLiteral("isShowTitle"), !title.isEmpty()}, {QStringLiteral("title"), title}, {QStringLiteral("text"), html}};
}

struct PageDef
{
    QString padId;
    QString content;
};

QList<PageDef> samplePages(const QDate &endDate)
{
    QList<PageDef> pages;
    const QString table = QStringLiteral("CPIndexDataComponent");
    const QString multiTable = QStringLiteral("CPMultiIndexDataComponent");
    const QString chart = QStringLiteral("CPIndexChartComponent");
    const QString mapChart = QStringLiteral("CPIndexMapChartComponent");
    const QString text = QStringLiteral("CPRichTextComponent");

    { // The dashboard: a banner over a tab container; the first tab is a split view of its own.
        PageBuilder b(QString::fromLatin1(DashboardPad));
        const QJsonObject axisUnits{{QStringLiteral("HXCPControls::HXXYDataCfgWidget"),
                                     QJsonObject{{QStringLiteral("isShowUnit"), true}, {QStringLiteral("isShowNetGrid"), true}}}};
        const QJsonObject transposedPie{{QStringLiteral("HXCPControls::HXSeriesOptionCfgWidget"),
                                         QJsonObject{{QStringLiteral("isShowMaxMin"), false}, {QStringLiteral("transposed"), true}}}};
        const QJsonObject spot = PageBuilder::splitter(2, {360, 360}, {
            PageBuilder::splitter(1, {520, 420, 420}, {
                b.item(table, tableState(QStringLiteral("钢材现货价格"), {1, 2, 3, 5, 6, 4, 8}, {365, 7, 12, 4, 1}), QStringLiteral("钢材现货价格")),
                b.item(chart, chartState(QStringLiteral("螺纹钢价格走势"), {1, 2, 3}, 1, QStringLiteral("2"), axisUnits), QStringLiteral("螺纹钢价格走势")),
                b.item(chart, chartState(QStringLiteral("钢材社会库存"), {8, 9}, 7, QStringLiteral("1"), axisUnits), QStringLiteral("钢材社会库存")),
            }),
            PageBuilder::splitter(1, {340, 340, 340, 340}, {
                b.item(chart, chartState(QStringLiteral("原料价格构成"), {11, 14, 15}, 3, QStringLiteral("1"), transposedPie,
                                         latestQuery(QStringLiteral("1"), 2)), QStringLiteral("原料价格构成")),
                b.item(chart, chartState(QStringLiteral("三地螺纹钢价格截面"), {1, 2, 3}, 11, QStringLiteral("1"), axisUnits,
                                         latestQuery(QStringLiteral("1"), 2)), QStringLiteral("三地螺纹钢价格截面")),
                b.item(QStringLiteral("CPMarcoIndustryChartComponent"), seasonChartState(QStringLiteral("粗钢产量季节性"), 34, endDate.year()),
                       QStringLiteral("粗钢产量季节性")),
                b.item(mapChart, mapChartState(QStringLiteral("螺纹钢分省均价")), QStringLiteral("螺纹钢分省均价")),
            }),
        });
        QJsonObject spotView = b.splitView(spot, true);
        spotView.remove(QStringLiteral("padID")); // a split view inside a tab is not a page of its own
        const QJsonObject tabContainer = PageBuilder::tabs({
            PageBuilder::tabPage(QStringLiteral("现货价格"), spotView, true),
            PageBuilder::tabPage(QStringLiteral("原料走势"), b.item(chart, chartState(QStringLiteral("原料价格"), {11, 14, 15}, 4), QStringLiteral("原料价格")), false),
        });
        const QJsonObject root = PageBuilder::splitter(2, {90, 700}, {
            b.item(text, textState(QString(), QStringLiteral("<h3>螺纹钢价格看板</h3><p>上海、北京、广州三地螺纹钢现货价格，原料与库存，以及各省均价。"
                                                             "数据截至 %1。</p>").arg(endDate.toString(QStringLiteral("yyyy-MM-dd")))),
                   QStringLiteral("看板说明"), 0, 0),
            b.item(QStringLiteral("CPTabWidget"), tabContainer, QStringLiteral("价格看板"), 0, 1),
        });
        pages.append({QString::fromLatin1(DashboardPad), b.page(root)});
    }
    {
        PageBuilder b(QString::fromLatin1(PlattsQuotePad));
        const QJsonObject root = PageBuilder::splitter(2, {400, 300}, {
            PageBuilder::splitter(1, {560, 560}, {
                b.item(QStringLiteral("CPPlattsChartComponent"), chartState(QStringLiteral("普氏铁矿石指数"), {43, 44, 45}, 1), QStringLiteral("普氏铁矿石指数")),
                b.item(QStringLiteral("CPQuoteIndexChartComponent"), chartState(QStringLiteral("期货主力合约"), {48, 51}, 1, QStringLiteral("1")), QStringLiteral("期货主力合约")),
            }),
            b.item(multiTable, tableState(QStringLiteral("现货与库存"), {1, 5, 11, 14, 8, 12}, {365, 7, 12}), QStringLiteral("现货与库存")),
        });
        pages.append({QString::fromLatin1(PlattsQuotePad), b.page(root, 900)});
    }
    {
        PageBuilder b(QString::fromLatin1(MacroPad));
        const QJsonObject root = PageBuilder::splitter(2, {350, 350}, {
            PageBuilder::splitter(1, {560, 560}, {
                b.item(QStringLiteral("CPMarcoChartComponent"), chartState(QStringLiteral("中国通胀"), {29, 30}, 1, QStringLiteral("5")), QStringLiteral("中国通胀")),
                b.item(QStringLiteral("CPGlobalMarcoChartComponent"), chartState(QStringLiteral("海外通胀"), {20, 24}, 1, QStringLiteral("5")), QStringLiteral("海外通胀")),
            }),
            PageBuilder::splitter(1, {560, 560}, {
                b.item(QStringLiteral("CPMarcoIndustryChartComponent"), chartState(QStringLiteral("粗钢与生铁产量"), {34, 35}, 2), QStringLiteral("粗钢与生铁产量")),
                b.item(text, textState(QStringLiteral("解读"), QStringLiteral("<p>PMI 与 CPI、PPI 共同刻画需求与价格，产量数据反映钢铁供给。</p>")), QStringLiteral("解读")),
            }),
        });
        pages.append({QString::fromLatin1(MacroPad), b.page(root)});
    }
    {
        PageBuilder b(QString::fromLatin1(SeasonPad));
        pages.append({QString::fromLatin1(SeasonPad),
                      b.page(b.item(QStringLiteral("CPMarcoIndustryChartComponent"), seasonChartState(QStringLiteral("粗钢产量季节性"), 34, endDate.year()),
                                    QStringLiteral("粗钢产量季节性")))});
    }
    {
        PageBuilder b(QString::fromLatin1(ProductNotePad));
        pages.append({QString::fromLatin1(ProductNotePad),
                      b.page(b.item(text, textState(QStringLiteral("产品说明"), QStringLiteral("<p>螺纹钢：HRB400 20mm，主要用于建筑。</p>")), QStringLiteral("产品说明")))});
    }
    {
        PageBuilder b(QString::fromLatin1(IronOrePad));
        const QJsonObject root = PageBuilder::splitter(1, {560, 560}, {
            b.item(chart, chartState(QStringLiteral("铁矿石价格"), {11, 43}, 1), QStringLiteral("铁矿石价格")),
            b.item(table, tableState(QStringLiteral("铁矿石"), {11, 12, 13}, {365, 7, 12}), QStringLiteral("铁矿石")),
        });
        pages.append({QString::fromLatin1(IronOrePad), b.page(root)});
    }
    {
        PageBuilder b(QString::fromLatin1(UserPad));
        const QJsonObject root = PageBuilder::splitter(2, {300, 400}, {
            b.item(table, tableState(QStringLiteral("我的关注"), {1, 11, 16}, {365, 12}), QStringLiteral("我的关注")),
            b.item(chart, chartState(QStringLiteral("螺纹钢与铁矿石"), {1, 11}, 1, QStringLiteral("1")), QStringLiteral("螺纹钢与铁矿石")),
        });
        pages.append({QString::fromLatin1(UserPad), b.page(root)});
    }
    {
        PageBuilder b(QString::fromLatin1(OtherUserPad));
        pages.append({QString::fromLatin1(OtherUserPad),
                      b.page(b.item(text, textState(QStringLiteral("钢材日报"), QStringLiteral("<p>今日钢价小幅上涨。</p>")), QStringLiteral("钢材日报")))});
    }
    return pages;
}

struct NodeDef
{
    const char *code;
    const char *parent;
    const char *name;
    const char *padId; // null for a category
    int kind;          // 1 product tree, 2 user tree
    const char *product;
    const char *user;
};

const NodeDef kNodes[] = {
    {"5EEC0000000000000000000000000001", "ROOT", "价格监测", nullptr, 1, "P001", ""},
    {"5EEC0000000000000000000000000002", "5EEC0000000000000000000000000001", "螺纹钢价格看板", DashboardPad, 1, "P001", ""},
    {"5EEC0000000000000000000000000003", "5EEC0000000000000000000000000001", "普氏与期货报价", PlattsQuotePad, 1, "P001", ""},
    {"5EEC0000000000000000000000000004", "ROOT", "宏观与行业", nullptr, 1, "P001", ""},
    {"5EEC0000000000000000000000000005", "5EEC0000000000000000000000000004", "宏观经济概览", MacroPad, 1, "P001", ""},
    {"5EEC0000000000000000000000000006", "5EEC0000000000000000000000000004", "季节性分析", nullptr, 1, "P001", ""},
    {"5EEC0000000000000000000000000007", "5EEC0000000000000000000000000006", "粗钢产量季节性", SeasonPad, 1, "P001", ""},
    {"5EEC0000000000000000000000000008", "ROOT", "产品说明", ProductNotePad, 1, "P001", ""},
    {"5EEC0000000000000000000000000009", "ROOT", "铁矿石", nullptr, 1, "P004", ""},
    {"5EEC000000000000000000000000000A", "5EEC0000000000000000000000000009", "铁矿石价格与库存", IronOrePad, 1, "P004", ""},
    {"5EEC0000000000000000000000000101", "ROOT", "我的看板", nullptr, 2, "P001", "u1001"},
    {"5EEC0000000000000000000000000102", "5EEC0000000000000000000000000101", "我的综合屏", UserPad, 2, "P001", "u1001"},
    {"5EEC0000000000000000000000000103", "5EEC0000000000000000000000000101", "收藏", nullptr, 2, "P001", "u1001"},
    {"5EEC0000000000000000000000000104", "5EEC0000000000000000000000000103", "待编辑页面", UserEmptyPad, 2, "P001", "u1001"},
    {"5EEC0000000000000000000000000201", "ROOT", "钢材研究", nullptr, 2, "P001", "u1002"},
    {"5EEC0000000000000000000000000202", "5EEC0000000000000000000000000201", "钢材日报", OtherUserPad, 2, "P001", "u1002"},
};

void fillPages(QSqlDatabase &db, const QDate &endDate)
{
    QSqlQuery q(db);
    prepare(q, "INSERT INTO tree_node (node_code, tree_kind, product_code, user_id, parent_code, node_name, is_pad, pad_id, sn)"
               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)");
    std::map<QString, int> nextSn;
    for (const NodeDef &n : kNodes) {
        const QString parent = QString::fromLatin1(n.parent);
        const QString scopeKey = QString::number(n.kind) + QLatin1Char('/') + QLatin1String(n.product) + QLatin1Char('/')
                                 + QLatin1String(n.user) + QLatin1Char('/') + parent;
        q.addBindValue(QString::fromLatin1(n.code));
        q.addBindValue(n.kind);
        q.addBindValue(QString::fromLatin1(n.product));
        q.addBindValue(QString(QLatin1String(n.user)));
        q.addBindValue(parent);
        q.addBindValue(QString::fromUtf8(n.name));
        q.addBindValue(n.padId ? 1 : 0);
        q.addBindValue(n.padId ? QVariant(QString::fromLatin1(n.padId)) : QVariant(QVariant::String));
        q.addBindValue(nextSn[scopeKey]++);
        run(q);
    }
    const qint64 stamp = dateToMs(endDate);
    prepare(q, "INSERT INTO page (pad_id, content, updated_by, updated_at, revision) VALUES (?, ?, ?, ?, 1)");
    for (const PageDef &p : samplePages(endDate)) {
        q.addBindValue(p.padId);
        q.addBindValue(p.content);
        q.addBindValue(QStringLiteral("seed"));
        q.addBindValue(stamp);
        run(q);
    }
}

} // namespace

const std::vector<IndexSpec> &indices()
{
    return kIndices;
}

bool isEmpty(Storage &storage)
{
    QSqlDatabase db = storage.connection();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT (SELECT COUNT(*) FROM idx_index) + (SELECT COUNT(*) FROM tree_node)")) || !q.next())
        return false;
    return q.value(0).toLongLong() == 0;
}

bool fill(Storage &storage, const QDate &endDate, QString *error)
{
    std::lock_guard<std::mutex> lock(storage.writeMutex());
    QSqlDatabase db = storage.connection();
    if (!db.transaction()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    // Another server on the same database may have seeded it meanwhile.
    if (!storage.lockWrites(db)) {
        db.rollback();
        if (error)
            *error = QStringLiteral("cannot lock the database for seeding");
        return false;
    }
    if (!isEmpty(storage)) {
        db.rollback();
        return true;
    }
    try {
        fillCatalogue(db);
        fillIndices(db, endDate);
        fillPages(db, endDate);
    } catch (const SqlFailure &failure) {
        db.rollback();
        qCWarning(lcServer).noquote() << "seeding failed:" << failure.text;
        if (error)
            *error = failure.text;
        return false;
    }
    if (!db.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    qCInfo(lcServer).noquote() << "seeded" << storage.location().display() << "with values up to" << endDate.toString(Qt::ISODate);
    return true;
}

} // namespace seed
} // namespace zhpserver
