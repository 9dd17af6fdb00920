#include "cptextedit.h"

#include "common/logging.h"
#include "richtextimages.h"

#include <QMimeData>
#include <QTextCursor>
#include <QTextImageFormat>

namespace HXCPControls {

CPTextEdit::CPTextEdit(QWidget *parent)
    : QTextEdit(parent)
{
}

bool CPTextEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasImage() || QTextEdit::canInsertFromMimeData(source);
}

void CPTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (source->hasImage()) {
        const QImage image = qvariant_cast<QImage>(source->imageData());
        QString error;
        if (dropImage(image, RichTextImages::formatForMimeTypes(source->formats()), &error))
            return;
        qCWarning(lcRichText).noquote() << "pasted image not inserted:" << error;
        emit imageRefused(error);
        if (!source->hasText() && !source->hasHtml())
            return;
    }
    QTextEdit::insertFromMimeData(source);
}

bool CPTextEdit::dropImage(const QImage &image, const QString &format, QString *error)
{
    const QString name = RichTextImages::embeddedImageName(image, format, error);
    if (name.isEmpty())
        return false;
    // The document keeps the decoded picture under its name, so it is shown
    // at once; written out, the name carries the data.
    document()->addResource(QTextDocument::ImageResource, QUrl(name), image);
    QTextImageFormat imageFormat;
    imageFormat.setWidth(image.width());
    imageFormat.setHeight(image.height());
    imageFormat.setName(name);
    textCursor().insertImage(imageFormat);
    return true;
}

QVariant CPTextEdit::loadResource(int type, const QUrl &name)
{
    return RichTextImages::loadResource(type, name);
}

} // namespace HXCPControls
