// A chart view shows the answer to its latest configuration only, whatever
// order the answers of the seeded server arrive in.
#include "serverfixture.h"

#include "charts/cpindexchartview.h"

#include <QtWidgets>

using namespace HXCPControls;

namespace {

CPIndexChartConfig chartOf(int n, const QString &name)
{
    CPIndexChartConfig config;
    config.indexes = {QVariantMap{{"IDX_ID", kIndexBase + n}, {"INDEX_NAME", name}, {"UNIT_NAME", "元/吨"}}};
    config.optionCfg = {{"type", 1}};
    config.query = CPIndexChartConfig::defaultQuery();
    return config;
}

QJsonArray dimensions(const CPIndexChartView &view)
{
    return view.lastOption().value("dataset").toArray().first().toObject().value("dimensions").toArray();
}

} // namespace

class TstChartViewAnswers : public QObject
{
    Q_OBJECT

    DatasourceFixture m_ds;

private slots:
    void initTestCase() { m_ds.setUp(); }

    void latestConfigurationWins()
    {
        CPIndexChartInfo info;
        info.fillDefaults();
        CPIndexChartView view(nullptr, info);
        QSignalSpy updated(&view, &CPIndexChartView::chartUpdated);

        m_ds.holdNext(info.dataObjName);
        view.setConfig(chartOf(1, QStringLiteral("上海")));
        QTRY_COMPARE(m_ds.requestsTo(info.dataObjName).size(), 1);
        view.setConfig(chartOf(2, QStringLiteral("北京")));
        QTRY_COMPARE(updated.count(), 1);
        QCOMPARE(dimensions(view), (QJsonArray{"header", "北京"}));

        m_ds.release();
        QTRY_VERIFY(m_ds.heldAnswered());
        QTest::qWait(300); // time for the stale answer to arrive
        QCOMPARE(updated.count(), 1);
        QCOMPARE(dimensions(view), (QJsonArray{"header", "北京"}));
    }
};

int main(int argc, char **argv)
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    TstChartViewAnswers test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_chartviewanswers.moc"
