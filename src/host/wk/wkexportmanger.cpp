#include "wkexportmanger.h"

#include "wkcfg.h"
#include "zhphostlog.h"

#include <QDir>
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

int WKExportManger::getExportedIdxCount(const QString &user)
{
    load();
    return m_counts.value(user);
}

void WKExportManger::updateExportedIdxCount(const QString &user, int count)
{
    load();
    m_counts[user] += count;
    save();
}
