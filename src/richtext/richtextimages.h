#pragma once

#include "common/hxcpcontrols_global.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>

class QIODevice;

// Images inside rich text. A document carries its pictures inline as Base64
// data in the image names, so a page never refers to files or servers; and
// a document shown from stored text loads nothing but such inline data.
namespace HXCPControls::RichTextImages {

// Encoded images larger than this are refused, so that a page stays small
// enough for the server to take it.
constexpr int kMaxEncodedBytes = 8 * 1024 * 1024;
// Images with more pixels than this are neither decoded nor inserted.
constexpr qint64 kMaxPixels = 40LL * 1000 * 1000;

// The image format named by the first recognised mime type ("image/png"
// gives "PNG"); "JPG" when none is recognised.
HXCPCONTROLS_EXPORT QString formatForMimeTypes(const QStringList &mimeTypes);

// Base64 with a line feed after the characters at positions 0, 80, 160 ...
HXCPCONTROLS_EXPORT QString encodeBase64Lines(const QByteArray &data);

// The image name that embeds `image` written in `format`:
// "data:image/<random>.<format>;base64,<data>". When the format cannot be
// written PNG is used instead. Empty, with `error` set, for a null image or
// one too large to embed.
HXCPCONTROLS_EXPORT QString embeddedImageName(const QImage &image, const QString &format, QString *error = nullptr);

// Reads an image from `device`; a null image, with `error` set, when the
// data is no image or one larger than kMaxPixels.
HXCPCONTROLS_EXPORT QImage readImage(QIODevice *device, QString *error = nullptr);

// Decodes the inline data of a "data:" image name; a null image, with
// `error` set, for anything else, for data that is no image and for images
// larger than kMaxPixels.
HXCPCONTROLS_EXPORT QImage decodeDataUrl(const QUrl &name, QString *error = nullptr);

// What a text edit showing stored text gives its document for a resource:
// inline image data decoded, a placeholder picture for every other image
// (remote, local file or undecodable), and empty text for style sheets and
// pages. Nothing is read from disk or the network.
HXCPCONTROLS_EXPORT QVariant loadResource(int type, const QUrl &name);

// The picture shown where an image could not be loaded.
HXCPCONTROLS_EXPORT QImage placeholderImage();

} // namespace HXCPControls::RichTextImages
