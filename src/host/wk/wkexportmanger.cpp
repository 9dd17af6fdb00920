#include "wkexportmanger.h"

#include "wkcfg.h"
#include "wkserviceconfig.h"
#include "hxdataapi/hxhttpservice.h"
#include "zhphostlog.h"

#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

WKExportManger *WKExportManger::instance()
{
    static WKExportManger manager;
    return &manager;
}

void WKExportManger::setStorageFile(const QString &path)
{
    m_file = path;
    m_loaded = false;
}

QString WKExportManger::storageFile() const
{
    if (!m_file.isEmpty())
        return m_file;
    return WKCfg::instance()->stdPath(QStringLiteral("wkuser"), QStringLiteral("export_counts.json"));
}

void WKExportManger::load()
{
    const QDate today = QDate::currentDate();
    if (m_loaded && m_day == today)
        return;
    m_loaded = true;
    m_day = today;
    m_counts.clear();

    QFile f(storageFile());
    if (!f.open(QIODevice::ReadOnly))
        return;
    const QJsonObject root = QJsonDocument::fromJson(f.readAll()).object();
    if (QDate::fromString(root.value(QLatin1String("date")).toString(), Qt::ISODate) != today)
        return;
    const QJsonObject counts = root.value(QLatin1String("counts")).toObject();
    for (auto it = counts.begin(); it != counts.end(); ++it)
        m_counts.insert(it.key(), qMax(0, it.value().toInt()));
}

void WKExportManger::save() const
{
    QJsonObject counts;
    for (auto it = m_counts.begin(); it != m_counts.end(); ++it)
        counts.insert(it.key(), it.value());
    const QJsonObject root{{QStringLiteral("date"), m_day.toString(Qt::ISODate)},
                           {QStringLiteral("counts"), counts}};

    const QString path = storageFile();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(root).toJson()) < 0 || !f.commit())
        qCWarning(lcHost) << "cannot save export counts to" << path << f.errorString();
}

bool WKExportManger::serverConfigured()
{
    return !WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString()).isEmpty();
}

// One blocking request to the server's export quota: a reservation of
// `count` indices, or with 0 the count so far.
HXDataApi::HttpJsonResult WKExportManger::ask(const QString &path, int count)
{
    const QUrl url = QUrl(WKServiceConfig::instance()->getHttpUrl(QStringLiteral("servercfg.ini:Global"), QString())).resolved(QUrl(path));
    const QJsonObject body = count > 0 ? QJsonObject{{QStringLiteral("count"), count}} : QJsonObject();
    HXDataApi::HXHttpService http;
    http.setTimeout(15000);
    HXDataApi::HttpJsonResult result;
    bool done = false;
    QEventLoop loop;
    http.postJsonAsyn(url, QJsonDocument(body).toJson(QJsonDocument::Compact), [&](const HXDataApi::HttpJsonResult &answer) {
        result = answer;
        done = true;
        loop.quit();
    });
    if (!done)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (result.success && !result.data.object().value(QLatin1String("count")).isDouble()) {
        result.success = false;
        result.errorMsg = QStringLiteral("the answer of %1 holds no count").arg(url.toString());
    }
    return result;
}

int WKExportManger::getExportedIdxCount(const QString &user)
{
    if (serverConfigured()) {
        const HXDataApi::HttpJsonResult r = ask(QStringLiteral("/user/export/count"), 0);
        if (r.success)
            return r.data.object().value(QLatin1String("count")).toInt();
        qCWarning(lcHost).noquote() << "the export count of" << user << "is not available:" << r.errorMsg;
        return Unavailable;
    }
    load();
    return m_counts.value(user);
}

void WKExportManger::updateExportedIdxCount(const QString &user, int count)
{
    QString error;
    if (!reserveExportedIdxCount(user, count, &error))
        qCWarning(lcHost).noquote() << "the export of" << count << "indices by" << user << "was not counted:" << error;
}

bool WKExportManger::reserveExportedIdxCount(const QString &user, int count, QString *error)
{
    if (count <= 0) {
        if (error)
            *error = QStringLiteral("an export counts at least one index");
        return false;
    }
    if (serverConfigured()) {
        const HXDataApi::HttpJsonResult r = ask(QStringLiteral("/user/export/reserve"), count);
        if (!r.success && error)
            *error = r.errorMsg;
        return r.success;
    }
    load();
    int &exported = m_counts[user];
    if (exported + count > DailyLimit) {
        if (error)
            *error = QStringLiteral("the daily export limit of %1 indices would be passed: %2 exported today, %3 more asked")
                         .arg(DailyLimit).arg(exported).arg(count);
        return false;
    }
    exported += count;
    save();
    return true;
}
