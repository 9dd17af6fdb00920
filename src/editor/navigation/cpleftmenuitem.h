#pragma once

#include "common/hxcpcontrols_global.h"

#include <QPushButton>
#include <QUrl>

class QLabel;
class QNetworkAccessManager;
class QNetworkReply;

namespace HXCPControls {

// One entry of the product menu bar: a selection flag, the category's icon
// (downloaded from the menu icon host) and its name.
class HXCPCONTROLS_EXPORT CPLeftMenuItem : public QPushButton
{
    Q_OBJECT
public:
    explicit CPLeftMenuItem(QWidget *parent = nullptr);
    ~CPLeftMenuItem() override;

    void setIndex(int index) { m_index = index; }
    int index() const { return m_index; }
    void setText(const QString &text);
    QString text() const;
    // Downloads the icon; nothing for an empty URL. An icon that cannot be
    // fetched or read leaves the item without one.
    void loadIcon(const QUrl &url);
    bool hasIcon() const;
    void select();
    void unselect();

public slots:
    void slotReplyPixmapLoad(QNetworkReply *reply);
    void onDownloadFileComplete(QNetworkReply *reply);

private:
    void setSelectedState(bool selected);

    int m_index = -1;
    QWidget *m_flag;
    QLabel *m_image;
    QPushButton *m_text;
    QNetworkAccessManager *m_network = nullptr;
};

} // namespace HXCPControls
