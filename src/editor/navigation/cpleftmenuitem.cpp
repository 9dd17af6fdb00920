#include "cpleftmenuitem.h"

#include "common/logging.h"
#include "hxdataapi/hxaccesstoken.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPixmap>
#include <QStyle>

namespace HXCPControls {

namespace {
// A host that never answers must not keep the request open for ever.
const int kIconTimeoutMs = 10000;

void restyle(QWidget *w)
{
    QApplication::style()->unpolish(w);
    QApplication::style()->polish(w);
    w->update();
}
} // namespace

CPLeftMenuItem::CPLeftMenuItem(QWidget *parent)
    : QPushButton(parent)
{
    setObjectName(QStringLiteral("leftMenuItem"));
    setProperty("selected", false);
    setAttribute(Qt::WA_Hover);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_flag = new QWidget(this);
    m_flag->setObjectName(QStringLiteral("leftMenuItemSelectedFlag"));
    m_flag->setAttribute(Qt::WA_StyledBackground);
    m_flag->setFixedWidth(6);
    m_flag->setProperty("selected", false);
    m_image = new QLabel(this);
    m_image->setObjectName(QStringLiteral("leftMenuItemImage"));
    m_image->setFixedSize(20, 20);
    m_image->setScaledContents(true);
    m_text = new QPushButton(this);
    m_text->setObjectName(QStringLiteral("leftMenuItemText"));
    m_text->setFocusPolicy(Qt::NoFocus);
    // The text is part of the item: hovering and clicking it is hovering and clicking the item.
    m_text->setAttribute(Qt::WA_TransparentForMouseEvents);
    layout->addWidget(m_flag);
    layout->addSpacing(12);
    layout->addWidget(m_image);
    layout->addSpacing(12);
    layout->addWidget(m_text, 1);
}

CPLeftMenuItem::~CPLeftMenuItem() = default;

void CPLeftMenuItem::setText(const QString &text)
{
    m_text->setText(text);
    setToolTip(text);
}

QString CPLeftMenuItem::text() const
{
    return m_text->text();
}

bool CPLeftMenuItem::hasIcon() const
{
    return !m_image->pixmap(Qt::ReturnByValue).isNull();
}

void CPLeftMenuItem::loadIcon(const QUrl &url)
{
    if (url.isEmpty())
        return;
    if (!m_network) {
        m_network = new QNetworkAccessManager(this);
        connect(m_network, &QNetworkAccessManager::finished, this, &CPLeftMenuItem::onDownloadFileComplete);
    }
    QNetworkRequest request(url);
    request.setTransferTimeout(kIconTimeoutMs);
    // Carries the user's token when the icons come from the configured server.
    HXDataApi::addAccessToken(request);
    m_network->get(request);
}

void CPLeftMenuItem::onDownloadFileComplete(QNetworkReply *reply)
{
    QMetaObject::invokeMethod(this, "slotReplyPixmapLoad", Q_ARG(QNetworkReply *, reply));
}

void CPLeftMenuItem::slotReplyPixmapLoad(QNetworkReply *reply)
{
    reply->deleteLater();
    if (reply->error() != QNetworkReply::NoError) {
        qCDebug(lcEditor).noquote() << "menu icon" << reply->url().toString() << reply->errorString();
        return;
    }
    QPixmap pixmap;
    if (!pixmap.loadFromData(reply->readAll())) {
        qCDebug(lcEditor).noquote() << "menu icon" << reply->url().toString() << "is not an image";
        return;
    }
    m_image->setPixmap(pixmap);
}

void CPLeftMenuItem::select()
{
    setSelectedState(true);
}

void CPLeftMenuItem::unselect()
{
    setSelectedState(false);
}

void CPLeftMenuItem::setSelectedState(bool selected)
{
    m_flag->setProperty("selected", selected);
    setProperty("selected", selected);
    restyle(m_flag);
    restyle(this);
}

} // namespace HXCPControls
