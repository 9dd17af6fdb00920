#pragma once

#include "zhphost_global.h"

#include <QDateTime>
#include <QIcon>
#include <QObject>
#include <QUrl>
#include <QVariant>
#include <QVariantMap>

class QWidget;

// Common base of the host interfaces that a widget implements.
class ZHPHOST_EXPORT IWKInterface
{
public:
    virtual QWidget *widget() = 0;
    virtual ~IWKInterface();
};

// A widget whose look comes from the current skin: the host hands it the text
// of a style sheet file now and on every change of skin.
class ZHPHOST_EXPORT IWKSkin : public IWKInterface
{
public:
    virtual void loadSkin(const QVariant &skin) = 0;
};

// Base of every page-level widget that the host opens. The framework keeps the
// page's address, icon, title and time of last visit; pages override nothing.
class ZHPHOST_EXPORT IWKAbstractPage : public IWKInterface
{
public:
    virtual void init(const QUrl &url, QVariant args);
    virtual void refresh(const QUrl &url, QVariant args);
    // Signatures (as SIGNAL() gives them) of the page's notification signals,
    // or nullptr when the page has none of that kind.
    virtual const char *signalTitleChanged();
    virtual const char *signalUrlChanged();
    virtual const char *signalIconChanged();
    virtual const char *signalLoadProgressChanged();
    virtual const char *signalOpenNewUrl();
    virtual QString pageUrl();
    virtual QIcon icon();
    virtual QString title();
    virtual QDateTime lastVisited();
    virtual void setPageUrl(const QString &url);
    virtual void setIcon(QIcon icon);
    virtual void setTitle(const QString &title);

private:
    QString m_pageUrl;
    QIcon m_icon;
    QString m_title;
    QDateTime m_lastVisited;
};

// State that a widget writes into a map and rebuilds from it; pages store it as JSON.
class ZHPHOST_EXPORT IWKMemory
{
public:
    virtual ~IWKMemory();
    virtual void save(QVariantMap &map) = 0;
    virtual void restore(const QVariantMap &map) = 0;
};

#define IWKSkin_iid "net.lumedex.WKPlugin.IWKSkin"
#define IWKAbstractPage_iid "net.lumedex.WKPlugin.IWKAbstractPage"
#define IWKMemory_iid "com.quorvandelis.IWKMemory"

Q_DECLARE_INTERFACE(IWKSkin, IWKSkin_iid)
Q_DECLARE_INTERFACE(IWKAbstractPage, IWKAbstractPage_iid)
Q_DECLARE_INTERFACE(IWKMemory, IWKMemory_iid)
