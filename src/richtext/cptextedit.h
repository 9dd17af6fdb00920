#pragma once

#include "common/hxcpcontrols_global.h"

#include <QTextEdit>

namespace HXCPControls {

// The text edit of the rich text editor. Pictures pasted from the clipboard
// or inserted from a file are embedded in the document as Base64 data, so the
// text carries them wherever it is stored; images the text refers to in any
// other way are never loaded.
class HXCPCONTROLS_EXPORT CPTextEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit CPTextEdit(QWidget *parent = nullptr);

    // Inserts `image` at the cursor, written in `format` ("PNG", "JPG" ...),
    // with its own width and height. False, with `error` set, when the image
    // is empty or too large to embed.
    bool dropImage(const QImage &image, const QString &format, QString *error = nullptr);

    Q_INVOKABLE QVariant loadResource(int type, const QUrl &name) override;

signals:
    // An image could not be embedded; `reason` says why.
    void imageRefused(const QString &reason);

protected:
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
};

} // namespace HXCPControls
