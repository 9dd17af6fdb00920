// The filter language: parsing any text, and compiling what parses against a
// datasource object with parameters of every kind. A filter that compiles
// binds exactly one value per placeholder of its SQL.

#include "datasourcequery.h"
#include "filterparser.h"

#include <QJsonArray>

#include <cstdint>
#include <cstdlib>

using namespace zhpserver;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QJsonObject params{{"IDX_IDS", QJsonArray{qint64(2001000000001), 2, 3}},
                                    {"IDX_ID", qint64(2001000000001)},
                                    {"D", "2024-01-01"},
                                    {"T", "x' OR '1'='1"},
                                    {"F", 1.5},
                                    {"L", QJsonArray{"a", 1, QJsonValue()}}};
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), int(size));
    const filter::ParseResult parsed = filter::parse(text);
    if (!parsed.ok() && parsed.message().isEmpty())
        std::abort();
    for (const char *object : {"ZRN_GENERAL_CHART_INDEX_DATA_CACHE_1", "ZRN_GET_PROPERTIES_BY_OBJNAME_1"}) {
        CompiledQuery query;
        QueryError error;
        if (compileQuery(QString::fromLatin1(object), text, params, QJsonArray(), query, error)) {
            if (!parsed.ok() || query.sql.count(QLatin1Char('?')) != query.binds.size())
                std::abort();
        } else if (error.status != 400 || error.message.isEmpty()) {
            std::abort();
        }
    }
    return 0;
}
