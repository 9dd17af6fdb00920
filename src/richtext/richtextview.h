#pragma once

#include "common/hxcpcontrols_global.h"
#include "richtextconfig.h"

#include <QUrl>
#include <QWidget>

#include <memory>

namespace Ui {
class RichTextView;
}
class QTextEdit;

namespace HXCPControls {

// Shows a rich text configuration read-only. Links open in the system's
// browser when the user clicks them in a page that is viewed, not edited,
// and only then; nothing else the text refers to is fetched.
class HXCPCONTROLS_EXPORT RichTextView : public QWidget
{
    Q_OBJECT
public:
    explicit RichTextView(QWidget *parent = nullptr);
    ~RichTextView() override;

    // An empty text changes nothing; otherwise the text is shown as HTML
    // when it starts with "<", as plain text else.
    void setConfig(const RichTextConfig &config);
    RichTextConfig config() const { return m_config; }

    QTextEdit *textEdit() const;

    // Whether a clicked link with this address is handed to the system:
    // web and mail addresses only.
    static bool isOpenable(const QUrl &url);

signals:
    // The user clicked a link; it has been handed to the system when openable.
    void linkClicked(const QUrl &url);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openLink(const QString &href);
    bool inEditMode() const;

    std::unique_ptr<Ui::RichTextView> ui;
    RichTextConfig m_config;
    QString m_pressedAnchor;
};

} // namespace HXCPControls
