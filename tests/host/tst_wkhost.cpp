// The host framework layer: skins, configuration, export counts.
#include "zhptest.h"

#include "wk/iwkinterface.h"
#include "wk/wkappconfig.h"
#include "wk/wkcfg.h"
#include "wk/wkcore.h"
#include "wk/wkexportmanger.h"
#include "wk/wkserviceconfig.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>

namespace {

void writeFile(const QString &path, const QByteArray &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

class SkinnedLabel : public QLabel, public IWKSkin
{
public:
    using QLabel::QLabel;
    QWidget *widget() override { return this; }
    void loadSkin(const QVariant &skin) override
    {
        if (skin.isValid())
            setStyleSheet(skin.toString());
    }
};

} // namespace

class TstWkHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        ZhpTest::failOnUnexpectedMessages();
        m_root = ZhpTest::isolateHostFolders();
        WKCfg::instance()->setStdPath("wkskin", m_root + "/skins");
    }

    void stylesFollowTheSkin()
    {
        writeFile(m_root + "/skins/default/controls/custompage.css", "QLabel { color: red; }");
        writeFile(m_root + "/skins/dark/controls/custompage.css", "QLabel { color: white; }");
        auto *label = new SkinnedLabel;
        WKCore::instance()->addStyle2View(label, "controls/custompage.css");
        QCOMPARE(label->styleSheet(), QString("QLabel { color: red; }"));

        QSignalSpy changed(WKCore::instance(), &WKCore::skinChanged);
        WKCore::instance()->setCurrentSkinId("dark");
        QCOMPARE(changed.count(), 1);
        QCOMPARE(label->styleSheet(), QString("QLabel { color: white; }"));

        // A destroyed widget is forgotten: changing the skin again must not touch it.
        delete label;
        WKCore::instance()->setCurrentSkinId("default");

        // Sheets import shared rules of the same skin; an import loop is cut and reported.
        writeFile(m_root + "/skins/default/controls/shared.css", "QLabel { margin: 2px; }");
        writeFile(m_root + "/skins/default/controls/page.css", "@import \"controls/shared.css\";\nQLabel { color: green; }");
        writeFile(m_root + "/skins/default/controls/loop.css", "QLabel { padding: 1px; }\n  @import \"controls/loop.css\";");
        QCOMPARE(WKCore::instance()->styleSheet("controls/page.css"), QString("QLabel { margin: 2px; }\nQLabel { color: green; }"));
        ZhpTest::expectMessage(QtWarningMsg, "style sheet imports itself: \"controls/loop.css\" \"controls/loop.css\"");
        QCOMPARE(WKCore::instance()->styleSheet("controls/loop.css"), QString("QLabel { padding: 1px; }\n"));

        // A skin without the file leaves the style as it was.
        auto *other = new SkinnedLabel;
        other->setStyleSheet("QLabel { color: blue; }");
        WKCore::instance()->addStyle2View(other, "controls/absent.css");
        QCOMPARE(other->styleSheet(), QString("QLabel { color: blue; }"));
        delete other;
    }

    void configurationValues()
    {
        writeFile(m_root + "/wkconfig/servercfg.ini",
                  "[Global]\nurl=http://127.0.0.1:8600/\n"
                  "[ZHP_GET]\nurl=/custom/page/get\nbody={\"id\":\"%1\",\"x\":1}\n"
                  "[FunctionMenu]\nmenuIconHost=http://icons.local/\n");
        WKServiceConfig *services = WKServiceConfig::instance();
        services->clear();
        QCOMPARE(WKCore::instance()->value("servercfg.ini:FunctionMenu/menuIconHost", "").toString(),
                 QString("http://icons.local/"));

        QCOMPARE(services->getHttpUrl("servercfg.ini:Global", ""), QString("http://127.0.0.1:8600/"));
        const WKHttpInfo info = services->getHttpInfo("servercfg.ini:ZHP_GET", "{\"padId\":\"%1\"}");
        QCOMPARE(info.url, QUrl("http://127.0.0.1:8600/custom/page/get"));
        QCOMPARE(info.body, QString("{\"id\":\"%1\",\"x\":1}"));

        // Values set in memory win; an unconfigured key gives the defaults.
        services->setHttpUrl("servercfg.ini:Global", "http://127.0.0.1:9/");
        QCOMPARE(services->getHttpInfo("servercfg.ini:ZHP_GET", "").url, QUrl("http://127.0.0.1:9/custom/page/get"));
        services->clear();
        QFile::remove(m_root + "/wkconfig/servercfg.ini");
        QCOMPARE(services->getHttpUrl("servercfg.ini:Global", "none"), QString("none"));
    }

    void applicationConfig()
    {
        writeFile(m_root + "/wkconfig/appcfg.ini",
                  "[User]\nid=u42\nname=Li\n[Product]\nid=P9\n[Rights]\nexport=IDX_DATA_EXPORT, OTHER\n");
        WKAppConfig *config = WKAppConfig::instance();
        config->reload();
        QCOMPARE(config->getUserInfo().userId, QString("u42"));
        QCOMPARE(config->getProuctId(), QString("P9"));
        QVERIFY(config->canExport("IDX_DATA_EXPORT"));
        QVERIFY(config->canExport("OTHER"));
        QVERIFY(!config->canExport("NOPE"));
    }

    void exportCountsPerUserAndDay()
    {
        const QString file = m_root + "/counts/export.json";
        WKExportManger *exports = WKExportManger::instance();
        exports->setStorageFile(file);
        exports->updateExportedIdxCount("a", 3);
        exports->updateExportedIdxCount("a", 4);
        exports->updateExportedIdxCount("b", 1);
        QCOMPARE(exports->getExportedIdxCount("a"), 7);

        // Persisted: read back from the file.
        exports->setStorageFile(file);
        QCOMPARE(exports->getExportedIdxCount("a"), 7);
        QCOMPARE(exports->getExportedIdxCount("b"), 1);

        // Counts of another day do not count today.
        const QJsonObject old{{"date", QDate::currentDate().addDays(-1).toString(Qt::ISODate)},
                              {"counts", QJsonObject{{"a", 499}}}};
        writeFile(file, QJsonDocument(old).toJson());
        exports->setStorageFile(file);
        QCOMPARE(exports->getExportedIdxCount("a"), 0);

        // A damaged file starts from zero instead of failing.
        writeFile(file, "{not json");
        exports->setStorageFile(file);
        QCOMPARE(exports->getExportedIdxCount("a"), 0);
        exports->updateExportedIdxCount("a", 2);
        exports->setStorageFile(file);
        QCOMPARE(exports->getExportedIdxCount("a"), 2);
    }

private:
    QString m_root;
};

QTEST_MAIN(TstWkHost)
#include "tst_wkhost.moc"
