#include "richtextview.h"

#include "common/logging.h"
#include "richtextdocument.h"
#include "ui_richtextview.h"

#include <QDesktopServices>
#include <QMouseEvent>

namespace HXCPControls {

RichTextView::RichTextView(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::RichTextView)
{
    ui->setupUi(this);
    ui->textEdit->setDocument(new RichTextDocument(ui->textEdit));
    ui->textEdit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard | Qt::LinksAccessibleByMouse);
    ui->textEdit->viewport()->installEventFilter(this);
    ui->textEdit->viewport()->setMouseTracking(true);
}

RichTextView::~RichTextView() = default;

QTextEdit *RichTextView::textEdit() const
{
    return ui->textEdit;
}

void RichTextView::setConfig(const RichTextConfig &config)
{
    if (config.text.isEmpty())
        return;
    m_config = config;
    RichTextDocument::setText(ui->textEdit, config.text);
}

bool RichTextView::isOpenable(const QUrl &url)
{
    if (!url.isValid())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        return !url.host().isEmpty();
    return scheme == QLatin1String("mailto") && !url.path().isEmpty();
}

bool RichTextView::inEditMode() const
{
    // The nearest page node that knows the mode decides: the item holding the component.
    for (const QWidget *w = this; w; w = w->parentWidget()) {
        const QVariant editModel = w->property("editModel");
        if (editModel.isValid())
            return editModel.toBool();
    }
    return false;
}

void RichTextView::openLink(const QString &href)
{
    const QUrl url = QUrl(href, QUrl::TolerantMode);
    emit linkClicked(url);
    if (inEditMode()) {
        qCInfo(lcRichText).noquote() << "link not opened while the page is edited:" << href.left(200);
        return;
    }
    if (!isOpenable(url)) {
        qCWarning(lcRichText).noquote() << "link not opened, only web and mail addresses are:" << href.left(200);
        return;
    }
    QDesktopServices::openUrl(url);
}

bool RichTextView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->textEdit->viewport())
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        const bool overLink = !ui->textEdit->anchorAt(mouse->pos()).isEmpty();
        ui->textEdit->viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::IBeamCursor);
        break;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressedAnchor = mouse->button() == Qt::LeftButton ? ui->textEdit->anchorAt(mouse->pos()) : QString();
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        // A click opens the link; a press that ends elsewhere or selects text does not.
        const QString pressed = std::exchange(m_pressedAnchor, QString());
        if (mouse->button() == Qt::LeftButton && !pressed.isEmpty() && ui->textEdit->anchorAt(mouse->pos()) == pressed
            && !ui->textEdit->textCursor().hasSelection())
            openLink(pressed);
        break;
    }
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace HXCPControls
