// zhpctl option and makedata: the chart builders over files, and bad input.
#include "zhpctlrun.h"
#include "zhptest.h"

#include <QTemporaryDir>

using Run = ZhpctlRun;


class TstChartCtl : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString write(const QString &name, const QByteArray &text)
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(file.fileName()));
        file.write(text);
        return file.fileName();
    }

private slots:
    void makeDataThenOption()
    {
        // 2024-01-01 and 2024-01-02 as datasource dates (milliseconds, UTC).
        const QString records = write("records.json", R"([
            {"IDX_ID": 101, "PUBLISH_DT": 1704067200000, "INDEX_VAL": 10},
            {"IDX_ID": 102, "PUBLISH_DT": 1704067200000, "INDEX_VAL": 30},
            {"IDX_ID": 101, "PUBLISH_DT": 1704153600000, "INDEX_VAL": 12}])");
        const QString dims = write("dims.json", R"([{"name": "甲", "id": 101}, {"name": "乙", "id": 102}, {"name": "均值", "id": 0}])");
        const QString cal = write("cal.json", R"({"均值": {"INDEX_NAME": "均值", "isCal": true, "idxIdExpression": "(101+102)/2"}})");
        Run r = runZhpctl({"makedata", "--query-type", "1", "--records", records, "--dimensions", dims, "--cal", cal, "--ids", "101,102"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject data = r.json();
        QCOMPARE(data, QJsonDocument::fromJson(R"({"dimensions": ["header", "甲", "乙", "均值"], "source": [
            {"header": "2024-01-01", "甲": 10, "乙": 30, "均值": 20}, {"header": "2024-01-02", "甲": 12, "均值": null}]})").object());

        const QString dataset = write("dataset.json", QJsonDocument(data).toJson());
        const QString cfg = write("cfg.json", R"({"units": {"甲": "元/吨", "乙": "万吨"},
            "HXCPControls::HXLegendCfgWidget": {"showLegend": true, "legendPosition": "H"}})");
        r = runZhpctl({"option", "--type", "2", "--cfg", cfg, "--dataset", dataset});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(!r.out.trimmed().contains('\n'));
        QJsonObject option = r.json();
        QCOMPARE(option.value("dataset").toArray()[0].toObject(), data);

        // --full names the builders that run.
        r = runZhpctl({"option", "--type", "3", "--cfg", cfg, "--dataset", dataset, "--full", "HXPieOptionCfgWidget,HXToolTipCfgWidget"});
        QCOMPARE(r.exitCode, 0);
        option = r.json();
        QCOMPARE(option.keys(), (QStringList{"color", "dataset", "series", "tooltip"}));
    }

    void seasonShape()
    {
        const QString records = write("season.json", R"([{"IDX_ID": 34, "PUBLISH_DT": "2023-03-31", "INDEX_VAL": 8000},
                                                         {"IDX_ID": 34, "PUBLISH_DT": "2024-03-31", "INDEX_VAL": 8100}])");
        const QString query = write("query.json", R"({"seasonStart": "2023", "seasonEnd": "2024"})");
        const Run r = runZhpctl({"makedata", "--records", records, "--ids", "34", "--season-frequency", "4", "--season-query", query});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject data = r.json();
        QCOMPARE(data.value("dimensions").toArray(), (QJsonArray{"header", "2023年", "2024年"}));
        QCOMPARE(data.value("source").toArray().size(), 4);
        QCOMPARE(data.value("source").toArray()[0].toObject(), (QJsonObject{{"header", "1季度"}, {"2023年", 8000}, {"2024年", 8100}}));
    }

    void badInput_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("message");
        const QString bad = write("bad.json", "{not json");
        const QString array = write("array.json", "[1, 2]");
        const QString object = write("object.json", "{}");
        const QString dims = write("dims1.json", R"([{"name": "甲", "id": 1}])");
        QTest::newRow("no arguments") << QStringList{"option"} << 2 << "usage: zhpctl option";
        QTest::newRow("unknown option") << QStringList{"makedata", "--frobnicate", "1"} << 2 << "unexpected argument --frobnicate";
        QTest::newRow("broken cfg") << QStringList{"option", "--type", "1", "--cfg", bad, "--dataset", bad} << 1 << "bad.json:";
        QTest::newRow("missing file") << QStringList{"option", "--type", "1", "--cfg", m_dir.filePath("none.json"), "--dataset", bad} << 1 << "cannot read";
        QTest::newRow("dataset not an object") << QStringList{"option", "--type", "1", "--cfg", object, "--dataset", array}
                                              << 1 << "the dataset must be an object";
        QTest::newRow("type not a number") << QStringList{"option", "--type", "line", "--cfg", bad, "--dataset", bad} << 1 << "--type must be";
        QTest::newRow("records not an array") << QStringList{"makedata", "--query-type", "1", "--records", object, "--dimensions", array} << 1 << "the records must be a JSON array";
        QTest::newRow("dimension without name") << QStringList{"makedata", "--query-type", "1", "--records", array, "--dimensions", array}
                                               << 1 << "every dimension needs a \"name\"";
        QTest::newRow("bad id") << QStringList{"makedata", "--query-type", "1", "--records", array, "--dimensions", dims, "--ids", "1,x"} << 1 << "--ids: x is not an index ID";
    }

    void badInput()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, message);
        const Run r = runZhpctl(args);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
        QVERIFY(r.out.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstChartCtl)
#include "tst_chartctl.moc"
