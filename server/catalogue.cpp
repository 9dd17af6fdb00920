#include "catalogue.h"

namespace zhpserver {

QString fieldTypeName(FieldType type)
{
    switch (type) {
    case FieldType::Integer: return QStringLiteral("integer");
    case FieldType::Real: return QStringLiteral("number");
    case FieldType::Text: return QStringLiteral("text");
    case FieldType::Date: return QStringLiteral("date");
    }
    return QString();
}

const FieldDef *ObjectDef::field(const QString &fieldName) const
{
    for (const FieldDef &f : fields) {
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

namespace {

FieldDef col(const char *name, const char *sql, FieldType type, const char *caption = "", int flag = 0)
{
    FieldDef f;
    f.name = QLatin1String(name);
    f.sql = QLatin1String(sql);
    f.type = type;
    f.caption = QString::fromUtf8(caption);
    f.flag = flag;
    return f;
}

FieldDef alias(const char *name, const char *sql, FieldType type)
{
    FieldDef f = col(name, sql, type);
    f.output = false;
    return f;
}

ObjectDef categoryObject(const char *name, const char *description, const char *set)
{
    ObjectDef o;
    o.name = QLatin1String(name);
    o.description = QString::fromUtf8(description);
    o.from = QStringLiteral("idx_category c");
    o.where = QStringLiteral("c.cat_set = ") + QLatin1String(set);
    o.defaultOrder = QStringLiteral("c.sn, c.cat_code");
    o.fields = {
        col("CAT_CODE", "c.cat_code", FieldType::Integer, "分类代码"),
        col("P_CAT_CODE", "c.p_cat_code", FieldType::Integer, "上级分类"),
        col("CAT_NAME", "c.cat_name", FieldType::Text, "分类名称"),
        col("CAT_CODE_ALL", "c.cat_code_all", FieldType::Text, "分类路径"),
        col("HAV_IDX", "c.hav_idx", FieldType::Integer, "含指标"),
        col("SN", "c.sn", FieldType::Integer, "序号"),
    };
    return o;
}

ObjectDef indexObject(const char *name, const char *description, const char *setColumn, bool withArea)
{
    ObjectDef o;
    o.name = QLatin1String(name);
    o.description = QString::fromUtf8(description);
    o.from = QStringLiteral("idx_index i JOIN idx_frequency f ON f.frequency_code = i.frequency_code");
    o.where = QStringLiteral("i.") + QLatin1String(setColumn) + QStringLiteral(" = 1");
    o.defaultOrder = QStringLiteral("i.sn, i.idx_id");
    o.fields = {
        col("IDX_ID", "i.idx_id", FieldType::Integer, "指标ID"),
        alias("IDX_IDS", "i.idx_id", FieldType::Integer),
        alias("INDEX_ID", "i.idx_id", FieldType::Integer),
        col("CAT_CODE", "i.cat_code", FieldType::Integer, "分类代码"),
        col("INDEX_NAME", "i.index_name", FieldType::Text, "指标名称"),
        col("UNIT_NAME", "i.unit_name", FieldType::Text, "单位"),
        col("FREQUENCY_CODE", "i.frequency_code", FieldType::Integer, "频率代码"),
        col("FREQUENCY_NAME", "f.frequency_name", FieldType::Text, "频率"),
        col("SOURCE_NAME", "i.source_name", FieldType::Text, "来源"),
        col("INDEX_DESC", "i.index_desc", FieldType::Text, "指标说明"),
        col("INDEX_PARAMS", "i.index_params", FieldType::Text),
        col("SN", "i.sn", FieldType::Integer),
    };
    if (withArea)
        o.fields.push_back(col("AREA_NAME", "i.area_name", FieldType::Text, "地区"));
    return o;
}

ObjectDef valueObject(const char *name, const char *description, const char *where)
{
    ObjectDef o;
    o.name = QLatin1String(name);
    o.description = QString::fromUtf8(description);
    o.from = QStringLiteral("idx_value v");
    o.where = QLatin1String(where);
    o.defaultOrder = QStringLiteral("v.idx_id, v.publish_dt");
    o.fields = {
        col("IDX_ID", "v.idx_id", FieldType::Integer, "指标ID"),
        alias("IDX_IDS", "v.idx_id", FieldType::Integer),
        col("PUBLISH_DT", "v.publish_dt", FieldType::Date, "发布日期"),
        col("INDEX_VAL", "v.index_val", FieldType::Real, "数值"),
        // Series are long; what every row of one query shares is only filtered on.
        alias("VALUE_TYPE", "v.value_type", FieldType::Integer),
        alias("FREQUENCY_CODE", "v.frequency_code", FieldType::Integer),
    };
    return o;
}

} // namespace

Catalogue::Catalogue()
{
    m_objects.push_back(categoryObject("ZRN_GENERAL_INDEX_CATEGORY_1", "指标分类树（价格、宏观、行业、普氏、报价）", "1"));
    m_objects.push_back(categoryObject("ZRN_GENERAL_INDEX_MAP_CATEGORY_1", "区域价格指标分类树", "2"));

    m_objects.push_back(indexObject("ZRN_GENERAL_INDEX_1", "全部指标", "is_general", false));
    m_objects.push_back(indexObject("ZRN_GENERAL_INDEX_MULTIPRICE_1", "多价格表可选指标", "is_multiprice", false));
    m_objects.push_back(indexObject("ZRN_VEZ_INDEX_MULTIPRICE_1", "多价格表可选指标（现货与库存）", "is_vez", false));
    m_objects.push_back(indexObject("ZRN_PLATTS_INDEX_1", "普氏指标", "is_platts", false));
    m_objects.push_back(indexObject("ZRN_ZRN_QUOTE_INDEX_1", "报价指标", "is_quote", false));
    m_objects.push_back(indexObject("ZRN_GENERAL_INDEX_MAP_1", "区域价格指标（每省一个）", "is_map", true));

    m_objects.push_back(valueObject("ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1", "指标数值序列", ""));
    m_objects.push_back(valueObject("ZRN_PLATTS_INDEX_DATA_CACHE_1", "普氏指标数值序列",
                                    "v.idx_id IN (SELECT pi.idx_id FROM idx_index pi WHERE pi.is_platts = 1)"));

    {
        ObjectDef o;
        o.name = QStringLiteral("ZRN_INDEX_MULTI_PRICE_1");
        o.description = QStringLiteral("各频率最新值、上期值与涨跌");
        o.from = QStringLiteral("idx_multi_price m JOIN idx_index i ON i.idx_id = m.idx_id"
                                " JOIN idx_frequency f ON f.frequency_code = m.frequency_code");
        o.defaultOrder = QStringLiteral("i.sn, m.idx_id, m.frequency_code");
        o.fields = {
            col("INDEX_ID", "m.idx_id", FieldType::Integer),
            col("IDX_ID", "m.idx_id", FieldType::Integer),
            alias("IDX_IDS", "m.idx_id", FieldType::Integer),
            col("INDEX_NAME", "i.index_name", FieldType::Text, "指标名称"),
            col("PUBLISH_DT", "m.publish_dt", FieldType::Date, "发布日期"),
            col("INDEX_VAL", "m.index_val", FieldType::Real, "最新值"),
            col("PREV_VAL", "m.prev_val", FieldType::Real, "上期值"),
            col("CHANGE_VAL", "m.change_val", FieldType::Real, "涨跌", 1),
            col("CHANGE_RATE", "m.change_rate", FieldType::Real, "涨跌幅(%)", 2),
            col("UNIT_NAME", "i.unit_name", FieldType::Text, "单位"),
            col("FREQUENCY_CODE", "m.frequency_code", FieldType::Integer),
            col("FREQUENCY_NAME", "f.frequency_name", FieldType::Text, "频率"),
            col("SOURCE_NAME", "i.source_name", FieldType::Text, "来源"),
            col("INDEX_DESC", "i.index_desc", FieldType::Text),
        };
        m_objects.push_back(o);
    }
    {
        ObjectDef o;
        o.name = QStringLiteral("ZRN_INDEX_MAP_PRICE_1");
        o.description = QStringLiteral("各省最新价格");
        o.from = QStringLiteral("idx_map_price p JOIN idx_index i ON i.idx_id = p.idx_id");
        o.defaultOrder = QStringLiteral("i.sn, p.idx_id");
        o.fields = {
            col("IDX_ID", "p.idx_id", FieldType::Integer),
            alias("IDX_IDS", "p.idx_id", FieldType::Integer),
            col("AREA_NAME", "i.area_name", FieldType::Text, "地区"),
            col("INDEX_NAME", "i.index_name", FieldType::Text, "指标名称"),
            col("PRICE", "p.price", FieldType::Real, "价格"),
            col("UNIT_NAME", "i.unit_name", FieldType::Text, "单位"),
            col("PUBLISH_DT", "p.publish_dt", FieldType::Date, "发布日期"),
        };
        m_objects.push_back(o);
    }
    {
        ObjectDef o;
        o.name = QStringLiteral("ZRN_GET_PROPERTIES_BY_OBJNAME_1");
        o.description = QStringLiteral("数据对象的可选表头");
        o.from = QStringLiteral("obj_property p");
        o.defaultOrder = QStringLiteral("p.obj_eng_name, p.sn");
        o.fields = {
            col("OBJ_ENG_NAME", "p.obj_eng_name", FieldType::Text),
            col("PROP_NAME", "p.prop_name", FieldType::Text),
            col("PROP_CAPTION", "p.prop_caption", FieldType::Text),
            col("PROP_TYP", "p.prop_typ", FieldType::Text),
            col("PROP_FLAG", "p.prop_flag", FieldType::Integer),
            col("SN", "p.sn", FieldType::Integer),
        };
        m_objects.push_back(o);
    }
    {
        ObjectDef o;
        o.name = QStringLiteral("ZRN_GET_INDEX_FREQUENCY_LIST_1");
        o.description = QStringLiteral("频率列表");
        o.from = QStringLiteral("idx_frequency f");
        o.defaultOrder = QStringLiteral("f.sn");
        o.fields = {
            col("FREQUENCY_CODE", "f.frequency_code", FieldType::Integer),
            col("FREQUENCY_NAME", "f.frequency_name", FieldType::Text),
            col("CONVERSION", "f.conversion", FieldType::Integer),
            col("SN", "f.sn", FieldType::Integer),
        };
        m_objects.push_back(o);
    }
    {
        ObjectDef o;
        o.name = QStringLiteral("ZRN_GET_ALL_PRODUCT_CATEGORY_1");
        o.description = QStringLiteral("产品分类");
        o.from = QStringLiteral("product_category c");
        o.defaultOrder = QStringLiteral("c.sn, c.cat_code");
        o.fields = {
            col("CAT_CODE", "c.cat_code", FieldType::Text),
            col("P_CAT_CODE", "c.p_cat_code", FieldType::Text),
            col("CAT_NAME", "c.cat_name", FieldType::Text),
            col("CAT_IMAGE", "c.cat_image", FieldType::Text),
            col("SN", "c.sn", FieldType::Integer),
        };
        m_objects.push_back(o);
    }
    {
        ObjectDef o;
        o.name = QStringLiteral("ZRN_GET_ALL_PRODUCT_1");
        o.description = QStringLiteral("产品");
        o.from = QStringLiteral("product p");
        o.defaultOrder = QStringLiteral("p.sn, p.product_code");
        o.fields = {
            col("PRODUCT_CODE", "p.product_code", FieldType::Text),
            col("PRODUCT_NAME", "p.product_name", FieldType::Text),
            col("CAT_CODE", "p.cat_code", FieldType::Text),
            col("SN", "p.sn", FieldType::Integer),
        };
        m_objects.push_back(o);
    }
}

const Catalogue &Catalogue::instance()
{
    static const Catalogue catalogue;
    return catalogue;
}

const ObjectDef *Catalogue::object(const QString &name) const
{
    for (const ObjectDef &o : m_objects) {
        if (o.name == name)
            return &o;
    }
    return nullptr;
}

} // namespace zhpserver
