#include "iwkinterface.h"

IWKInterface::~IWKInterface() = default;
IWKMemory::~IWKMemory() = default;

void IWKAbstractPage::init(const QUrl &url, QVariant)
{
    m_pageUrl = url.toString();
    m_lastVisited = QDateTime::currentDateTime();
}

void IWKAbstractPage::refresh(const QUrl &url, QVariant)
{
    m_pageUrl = url.toString();
    m_lastVisited = QDateTime::currentDateTime();
}

const char *IWKAbstractPage::signalTitleChanged() { return nullptr; }
const char *IWKAbstractPage::signalUrlChanged() { return nullptr; }
const char *IWKAbstractPage::signalIconChanged() { return nullptr; }
const char *IWKAbstractPage::signalLoadProgressChanged() { return nullptr; }
const char *IWKAbstractPage::signalOpenNewUrl() { return nullptr; }
QString IWKAbstractPage::pageUrl() { return m_pageUrl; }
QIcon IWKAbstractPage::icon() { return m_icon; }
QString IWKAbstractPage::title() { return m_title; }
QDateTime IWKAbstractPage::lastVisited() { return m_lastVisited; }
void IWKAbstractPage::setPageUrl(const QString &url) { m_pageUrl = url; }
void IWKAbstractPage::setIcon(QIcon icon) { m_icon = std::move(icon); }
void IWKAbstractPage::setTitle(const QString &title) { m_title = title; }
