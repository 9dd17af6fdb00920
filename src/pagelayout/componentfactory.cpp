#include "componentfactory.h"

#include "wk/wkfactory.h"

#include <QUrlQuery>
#include <QVariant>
#include <QWidget>

namespace HXCPControls {

QString componentKey(const QUrl &url)
{
    const QString text = QStringLiteral("control://") + url.toString();
    const QStringList parts = text.split(QStringLiteral("://"));
    return parts.size() < 2 ? QString() : parts.at(1).section(QLatin1Char('?'), 0, 0);
}

QWidget *createComponent(const QUrl &url, QWidget *parent)
{
    const QString text = QStringLiteral("control://") + url.toString();
    const QString key = componentKey(url);

    QWidget *component = WKFactory<QWidget>::create(key.toUtf8(), parent);
    if (!component)
        return nullptr;

    component->setProperty("url", url);
    const QUrl formed(text);
    const auto items = QUrlQuery(formed).queryItems(QUrl::FullyDecoded);
    for (const auto &item : items)
        component->setProperty(item.first.toLocal8Bit().constData(), item.second);
    return component;
}

QStringList componentKeys()
{
    QStringList keys;
    for (const QByteArray &key : WKFactory<QWidget>::keys())
        keys.append(QString::fromUtf8(key));
    return keys;
}

} // namespace HXCPControls
