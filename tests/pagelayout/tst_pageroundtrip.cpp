// Every page of tests/data/pages through `zhpctl roundtrip`, unshown and shown.
//
// NAME.json is the page. With NAME.error beside it the page is malformed: the
// tool prints the empty page, names the fault and exits with status 3.
// Otherwise the unshown round trip gives the page back as stored (or as
// NAME.unshown where the format itself changes what it reads), and the
// round trip shown at 1200x800 gives NAME.shown, which leaves out the state of
// components that were created (their own tests check it). The seeded pages
// (seed-*.json) are also checked to be what the server seeds.
#include "seeddata.h"
#include "serverfixture.h"
#include "zhpctlrun.h"

#include <QDir>
#include <QRegularExpression>

namespace {

QDir pagesDir() { return QDir(QStringLiteral(PAGES_DIR)); }

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// `actual` without the "date" stamps, and without the `child` objects that
// `expected` leaves out.
QJsonValue comparable(const QJsonValue &actual, const QJsonValue &expected)
{
    if (actual.isObject()) {
        QJsonObject out;
        const QJsonObject a = actual.toObject();
        const QJsonObject e = expected.toObject();
        for (auto it = a.begin(); it != a.end(); ++it) {
            if (it.key() == QLatin1String("date") || (it.key() == QLatin1String("child") && !e.contains(it.key())))
                continue;
            out.insert(it.key(), comparable(it.value(), e.value(it.key())));
        }
        return out;
    }
    if (actual.isArray()) {
        QJsonArray out;
        const QJsonArray a = actual.toArray();
        const QJsonArray e = expected.toArray();
        for (int i = 0; i < a.size(); ++i)
            out.append(comparable(a.at(i), i < e.size() ? e.at(i) : QJsonValue()));
        return out;
    }
    return actual;
}

void compareJson(const QJsonObject &actual, const QJsonObject &expected)
{
    const QJsonObject a = comparable(actual, expected).toObject();
    const QJsonObject e = comparable(expected, expected).toObject();
    if (a != e) {
        const QByteArray got = QJsonDocument(a).toJson(QJsonDocument::Compact);
        const QByteArray want = QJsonDocument(e).toJson(QJsonDocument::Compact);
        int at = 0;
        while (at < got.size() && at < want.size() && got[at] == want[at])
            ++at;
        QFAIL(qPrintable(QStringLiteral("differs at %1:\n got: %2\nwant: %3")
                             .arg(at)
                             .arg(QString::fromUtf8(got.mid(qMax(0, at - 80), 200)),
                                  QString::fromUtf8(want.mid(qMax(0, at - 80), 200)))));
    }
}

} // namespace

class TstPageRoundTrip : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { ZhpTest::failOnUnexpectedMessages(); }

    void pages_data()
    {
        QTest::addColumn<QString>("name");
        const QStringList files = pagesDir().entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 10);
        for (const QString &file : files)
            QTest::newRow(qPrintable(file)) << QFileInfo(file).completeBaseName();
    }

    void pages()
    {
        QFETCH(QString, name);
        const QString path = pagesDir().filePath(name + QStringLiteral(".json"));
        const QByteArray text = readFile(path);
        const QByteArray error = readFile(pagesDir().filePath(name + QStringLiteral(".error"))).trimmed();

        const ZhpctlRun unshown = runZhpctl({QStringLiteral("roundtrip"), path});
        QVERIFY(unshown.out.endsWith("}\n") && !unshown.out.trimmed().contains('\n')); // compact, one line
        // "yyyyMMddhhmm" followed by the milliseconds written twice ("zz").
        QVERIFY(QRegularExpression("^\\d{12}(\\d{1,3})\\1$").match(unshown.json().value("date").toString()).hasMatch());
        if (!error.isEmpty()) {
            QCOMPARE(unshown.exitCode, 3);
            QVERIFY2(unshown.err.contains(": " + error + "\n"), unshown.err.constData());
            const QJsonObject empty = unshown.json();
            QCOMPARE(empty.value("rootItemType").toString(), QStringLiteral("HXCPControls::CPSplitItem"));
            QCOMPARE(empty.value("rootObj").toObject().value("url").toString(), QString());
            return;
        }
        const QJsonObject stored = QJsonDocument::fromJson(text).object();
        QCOMPARE(unshown.exitCode, 0);
        const QByteArray unshownText = readFile(pagesDir().filePath(name + QStringLiteral(".unshown")));
        compareJson(unshown.json(), unshownText.isEmpty() ? stored : QJsonDocument::fromJson(unshownText).object());

        const ZhpctlRun shown = runZhpctl({QStringLiteral("roundtrip"), QStringLiteral("--show"), QStringLiteral("1200x800"), path});
        QCOMPARE(shown.exitCode, 0);
        compareJson(shown.json(), QJsonDocument::fromJson(readFile(pagesDir().filePath(name + QStringLiteral(".shown")))).object());

        // The state of a component this build lacks comes back byte for byte.
        if (name.startsWith(QLatin1String("unregistered"))) {
            const QJsonObject item = stored.value("rootObj").toObject().value("children").toArray().at(0).toObject();
            const QByteArray child = QJsonDocument(item.value("child").toObject()).toJson(QJsonDocument::Compact);
            QVERIFY(text.contains("\"child\":" + child));
            QVERIFY(shown.out.contains("\"child\":" + child));
        }
    }

    void seededPagesAreTheFolders()
    {
        ServerTest::Fixture server;
        QString error;
        QVERIFY2(server.start(true, &error), qPrintable(error));
        const QStringList files = pagesDir().entryList({QStringLiteral("seed-*.json")}, QDir::Files);
        QCOMPARE(files.size(), 8);
        for (const QString &file : files) {
            const QByteArray text = readFile(pagesDir().filePath(file)).trimmed();
            const QString padId = QJsonDocument::fromJson(text).object().value("padID").toString();
            // A user's page is read by its owner.
            const QString owner = padId == QLatin1String(zhpserver::seed::OtherUserPad) ? "u1002" : "u1001";
            QVERIFY2(ZhpTest::signIn(server.server(), owner, {}, &error), qPrintable(error));
            QCOMPARE(ServerTest::pageContent(padId).toUtf8(), text);
        }
    }
};

QTEST_GUILESS_MAIN(TstPageRoundTrip)
#include "tst_pageroundtrip.moc"
