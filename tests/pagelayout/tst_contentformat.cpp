// Text forms of sizes and size policies in page content, and the size rules
// of splitting and deleting.
#include "zhptest.h"

#include "pagelayout/contentformat.h"
#include "pagelayout/splittree.h"

using namespace HXCPControls;

class TstContentFormat : public QObject
{
    Q_OBJECT
private slots:
    void sizesAsText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("applicable");
        QTest::newRow("plain") << "120:80" << QSize(120, 80) << true;
        QTest::newRow("unbounded") << "16777215:16777215" << QSize(16777215, 16777215) << true;
        QTest::newRow("not a number reads 0") << "abc:5" << QSize(0, 5) << true;
        QTest::newRow("negative") << "-3:5" << QSize(-3, 5) << false;
        QTest::newRow("no colon") << "100" << QSize() << false;
        QTest::newRow("empty") << "" << QSize() << false;
    }
    void sizesAsText()
    {
        QFETCH(QString, text);
        QFETCH(QSize, size);
        QFETCH(bool, applicable);
        const QSize read = ContentFormat::textToSize(text);
        QCOMPARE(read, size);
        QCOMPARE(read.isValid() && ContentFormat::isApplicable(read), applicable);
        if (size.isValid())
            QCOMPARE(ContentFormat::textToSize(ContentFormat::sizeToText(size)), size);
    }

    void policyNames()
    {
        for (QSizePolicy::Policy policy : {QSizePolicy::Fixed, QSizePolicy::Minimum, QSizePolicy::Maximum, QSizePolicy::Preferred,
                                           QSizePolicy::MinimumExpanding, QSizePolicy::Expanding, QSizePolicy::Ignored}) {
            QSizePolicy::Policy read = QSizePolicy::Fixed;
            QVERIFY(ContentFormat::policyFromName(ContentFormat::policyName(policy), &read));
            QCOMPARE(read, policy);
        }
        QSizePolicy::Policy policy = QSizePolicy::Fixed;
        QVERIFY(!ContentFormat::policyFromName("expanding", &policy));
        QCOMPARE(policy, QSizePolicy::Fixed);
        QCOMPARE(ContentFormat::policyName(QSizePolicy::Policy(2)), QString());
    }

    void sizeRules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QList<int>>("sizes");
        QTest::addColumn<int>("arg");
        QTest::addColumn<QList<int>>("expected");
        // equal: sizes = {count, width, pending width}, arg = handle width
        QTest::newRow("equal halves") << "equal" << QList<int>{2, 801, 0} << 1 << QList<int>{400, 400};
        QTest::newRow("equal, pending width of a split") << "equal" << QList<int>{2, 500, 801} << 1 << QList<int>{400, 400};
        QTest::newRow("equal thirds ignore pending") << "equal" << QList<int>{3, 302, 900} << 1 << QList<int>{100, 100, 100};
        QTest::newRow("equal, nothing") << "equal" << QList<int>{0, 300, 0} << 1 << QList<int>{};
        QTest::newRow("split after: odd pixel to the new") << "splitAfter" << QList<int>{200, 301, 200} << 1 << QList<int>{200, 150, 151, 200};
        QTest::newRow("split before") << "splitBefore" << QList<int>{200, 301, 200} << 1 << QList<int>{200, 151, 150, 200};
        QTest::newRow("split the last") << "splitAfter" << QList<int>{10, 20} << 1 << QList<int>{10, 10, 10};
        QTest::newRow("delete the last: to the previous") << "delete" << QList<int>{100, 150, 147} << 2 << QList<int>{100, 297};
        QTest::newRow("delete the first: to the next") << "delete" << QList<int>{100, 150, 147} << 0 << QList<int>{250, 147};
        QTest::newRow("delete one of two: dissolved") << "delete" << QList<int>{100, 150} << 0 << QList<int>{};
    }
    void sizeRules()
    {
        QFETCH(QString, rule);
        QFETCH(QList<int>, sizes);
        QFETCH(int, arg);
        QFETCH(QList<int>, expected);
        QList<int> result;
        if (rule == "equal")
            result = SplitTree::equalSizes(sizes[0], sizes[1], arg, sizes[2]);
        else if (rule == "delete")
            result = SplitTree::sizesAfterDelete(sizes, arg);
        else
            result = SplitTree::sizesAfterSplit(sizes, arg, rule == "splitBefore");
        QCOMPARE(result, expected);
    }
};

QTEST_GUILESS_MAIN(TstContentFormat)
#include "tst_contentformat.moc"
