// zhpctl roundtrip on good and on malformed page content.
#include "zhpctlrun.h"
#include "zhptest.h"


namespace {

using Run = ZhpctlRun;

// Runs "zhpctl roundtrip <args>", by default on the standard input.
Run roundtrip(const QByteArray &input, const QStringList &args = {"-"})
{
    return runZhpctl(QStringList{"roundtrip"} + args, input);
}

QJsonObject withoutDate(QJsonObject o)
{
    o.remove("date");
    return o;
}

const QByteArray kPage = R"({"version":"1.0","format":"json","date":"202401010000","zhpArgs":{"k":"v"},"padID":"P1",
 "zhpID":"Z","rootItemType":"HXCPControls::CPSplitter","height":600,
 "rootObj":{"orientation":2,"sizes":[300,300],"children":[
   {"className":"HXCPControls::CPSplitItem","url":"Unknown?x=1","id":"{00000000-0000-0000-0000-000000000001}",
    "child":{"deep":{"a":[1,2,{"b":null}]}},"minSize":"0:0","maxSize":"16777215:16777215","hPolicy":"Preferred",
    "vPolicy":"Preferred","hStretch":0,"vStretch":0,"title":"一"},
   {"className":"HXCPControls::CPSplitter","orientation":1,"sizes":[1,2,3],"children":[
     {"className":"HXCPControls::CPSplitItem","title":"二"},{"className":"HXCPControls::CPSplitItem","title":"三"}]}]}})";

} // namespace

class TstZhpctl : public QObject
{
    Q_OBJECT
private slots:
    void unshownItemsComeBackAsStored()
    {
        const Run r = roundtrip(kPage);
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.endsWith("}\n"));
        QVERIFY(!r.out.trimmed().contains('\n')); // compact
        QCOMPARE(withoutDate(r.json()), withoutDate(QJsonDocument::fromJson(kPage).object()));
        // "yyyyMMddhhmm" followed by the milliseconds written twice ("zz").
        QVERIFY(QRegularExpression("^\\d{12}(\\d{1,3})\\1$").match(r.json().value("date").toString()).hasMatch());
    }

    void shownPagesWriteTheirLayout()
    {
        const Run r = roundtrip(kPage, {"--show", "640x480", "-"});
        QCOMPARE(r.exitCode, 0);
        const QJsonObject page = r.json();
        QCOMPARE(page.value("height").toInt(), 600);
        QCOMPARE(page.value("padID").toString(), QString("P1"));
        const QJsonObject root = page.value("rootObj").toObject();
        const QJsonArray sizes = root.value("sizes").toArray();
        QCOMPARE(sizes.size(), 2);
        QCOMPARE(sizes[0].toInt() + sizes[1].toInt() + 1, 600); // the fixed height fills the splitter
        const QJsonObject first = root.value("children").toArray()[0].toObject();
        // An unknown component: the item keeps its URL and writes no child.
        QCOMPARE(first.value("url").toString(), QString("Unknown?x=1"));
        QVERIFY(!first.contains("child"));
        QCOMPARE(first.value("title").toString(), QString("一"));
        QCOMPARE(root.value("children").toArray()[1].toObject().value("children").toArray().size(), 2);
    }

    void shownChartsDoNotWaitForAUser()
    {
        // A chart draws in a web view, which must start off screen too (software drawing,
        // no sandbox as root); a failed query's message box is closed, not waited for.
        const QByteArray page = R"({"rootItemType":"HXCPControls::CPSplitItem","rootObj":{"url":"CPIndexChartComponent",
            "child":{"indexes":[{"IDX_ID":1,"INDEX_NAME":"甲","FREQUENCY_CODE":365}],"title":"走势"}}})";
        const Run r = roundtrip(page, {"--show", "640x480", "-"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.json().value("rootObj").toObject().value("url").toString(), QString("CPIndexChartComponent"));
        QVERIFY(r.json().value("rootObj").toObject().contains("child"));
    }

    void malformedContentNeverCrashes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("not json") << QByteArray("hello") << 3;
        QTest::newRow("empty") << QByteArray("") << 3;
        QTest::newRow("array") << QByteArray("[1,2]") << 3;
        QTest::newRow("truncated") << kPage.left(kPage.size() / 2) << 3;
        QTest::newRow("wrong types") << QByteArray(R"({"rootItemType":5,"rootObj":[1],"zhpArgs":"x","padID":null,"height":"tall"})") << 0;
        QTest::newRow("splitter with junk")
            << QByteArray(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":"x","sizes":"no",
                 "children":[5,"a",null,{"className":"HXCPControls::CPSplitter","children":{}}]}})") << 0;
        QTest::newRow("negative sizes")
            << QByteArray(R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":{"orientation":1,"sizes":[-100,-1e12,99999999999],
                 "children":[{"className":"HXCPControls::CPSplitItem","minSize":"-1:-1","maxSize":"99999999999:5"},
                             {"className":"HXCPControls::CPSplitItem","minSize":"1:2:3"}]}})") << 0;
        QByteArray deep = R"({"rootItemType":"HXCPControls::CPSplitter","rootObj":)";
        QByteArray tail;
        for (int i = 0; i < 200; ++i) {
            deep += R"({"orientation":)" + QByteArray::number(1 + i % 2) + R"(,"children":[{"className":"HXCPControls::CPSplitItem"},{"className":"HXCPControls::CPSplitter",)";
            tail += "}]}";
        }
        deep += R"("children":[]})" + tail + "}";
        deep.replace(R"("className":"HXCPControls::CPSplitter","children":[]})" "}]}", R"("className":"HXCPControls::CPSplitter","children":[]}]})");
        QTest::newRow("deep nesting") << deep << (QJsonDocument::fromJson(deep).isObject() ? 0 : 3);
    }
    void malformedContentNeverCrashes()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, exitCode);
        for (const QStringList &extra : {QStringList{"-"}, QStringList{"--show", "800x600", "-"}}) {
            const Run r = roundtrip(input, extra);
            QCOMPARE(r.exitCode, exitCode);
            // Whatever came in, a page's content goes out.
            QVERIFY2(r.json().contains("rootItemType"), r.out.constData());
            if (exitCode == 3) {
                QVERIFY(r.err.contains("zhpctl: -:"));
                QCOMPARE(r.json().value("rootItemType").toString(), QString("HXCPControls::CPSplitItem"));
            }
        }
    }

    void usageErrors()
    {
        for (const QStringList &args : {QStringList{"--show", "12by5", "-"}, QStringList{"/no/such/file.json"}}) {
            const Run r = roundtrip({}, args);
            QCOMPARE(r.exitCode, 2);
            if (args.last() != "-")
                QVERIFY(r.err.contains("cannot read"));
        }
    }
};

QTEST_GUILESS_MAIN(TstZhpctl)
#include "tst_zhpctl.moc"
