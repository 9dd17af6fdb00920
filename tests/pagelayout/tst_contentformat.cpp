// Text forms of sizes and size policies in page content.
#include "zhptest.h"

#include "pagelayout/contentformat.h"

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
        QTest::newRow("zero") << "0:0" << QSize(0, 0) << true;
        QTest::newRow("unbounded") << "16777215:16777215" << QSize(16777215, 16777215) << true;
        QTest::newRow("not a number reads 0") << "abc:5" << QSize(0, 5) << true;
        QTest::newRow("negative") << "-3:5" << QSize(-3, 5) << false;
        QTest::newRow("no colon") << "100" << QSize() << false;
        QTest::newRow("three parts") << "1:2:3" << QSize() << false;
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
        const QList<QPair<QString, int>> expected{{"Fixed", 0},    {"Minimum", 1},          {"Maximum", 4},
                                                  {"Preferred", 5}, {"MinimumExpanding", 3}, {"Expanding", 7},
                                                  {"Ignored", 13}};
        for (const auto &[name, value] : expected) {
            QSizePolicy::Policy policy;
            QVERIFY(ContentFormat::policyFromName(name, &policy));
            QCOMPARE(int(policy), value);
            QCOMPARE(ContentFormat::policyName(policy), name);
        }
        QSizePolicy::Policy policy = QSizePolicy::Fixed;
        QVERIFY(!ContentFormat::policyFromName("expanding", &policy));
        QVERIFY(!ContentFormat::policyFromName("", &policy));
        QCOMPARE(policy, QSizePolicy::Fixed);
        QCOMPARE(ContentFormat::policyName(QSizePolicy::Policy(2)), QString());
    }
};

QTEST_GUILESS_MAIN(TstContentFormat)
#include "tst_contentformat.moc"
