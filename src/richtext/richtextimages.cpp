#include "richtextimages.h"

#include "common/logging.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QTextDocument>

namespace HXCPControls::RichTextImages {

namespace {

struct MimeFormat
{
    const char *mimeType;
    const char *format;
};

const MimeFormat kMimeFormats[] = {
    {"image/bmp", "BMP"},   {"image/jpeg", "JPG"}, {"image/jpg", "JPG"},   {"image/gif", "GIF"},
    {"image/png", "PNG"},   {"image/pbm", "PBM"},  {"image/pgm", "PGM"},   {"image/ppm", "PPM"},
    {"image/tiff", "TIFF"}, {"image/xbm", "XBM"},  {"image/xpm", "XPM"},
};

void setError(QString *error, const QString &text)
{
    if (error)
        *error = text;
}

bool writeImage(const QImage &image, const QString &format, QByteArray *data)
{
    data->clear();
    QBuffer buffer(data);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.toLower().toLatin1());
    return writer.canWrite() && writer.write(image);
}

} // namespace

QString formatForMimeTypes(const QStringList &mimeTypes)
{
    for (const QString &mimeType : mimeTypes) {
        for (const MimeFormat &known : kMimeFormats) {
            if (mimeType.compare(QLatin1String(known.mimeType), Qt::CaseInsensitive) == 0)
                return QString::fromLatin1(known.format);
        }
    }
    return QStringLiteral("JPG");
}

QString encodeBase64Lines(const QByteArray &data)
{
    const QByteArray base64 = data.toBase64();
    QString lines;
    lines.reserve(base64.size() + base64.size() / 80 + 2);
    for (int i = 0; i < base64.size(); ++i) {
        lines.append(QLatin1Char(base64.at(i)));
        if (i % 80 == 0)
            lines.append(QLatin1Char('\n'));
    }
    return lines;
}

QString embeddedImageName(const QImage &image, const QString &format, QString *error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("图片为空或无法解码"));
        return QString();
    }
    if (qint64(image.width()) * image.height() > kMaxPixels) {
        setError(error, QStringLiteral("图片过大（%1 × %2 像素）").arg(image.width()).arg(image.height()));
        return QString();
    }
    QString written = format.toUpper();
    QByteArray data;
    if (!writeImage(image, written, &data)) {
        // Some formats can be read but not written (GIF, or TIFF without its plugin).
        qCInfo(lcRichText) << "cannot write an image as" << written << "- embedding it as PNG";
        written = QStringLiteral("PNG");
        if (!writeImage(image, written, &data)) {
            setError(error, QStringLiteral("图片无法编码"));
            return QString();
        }
    }
    const int encodedSize = (data.size() + 2) / 3 * 4;
    if (encodedSize > kMaxEncodedBytes) {
        setError(error, QStringLiteral("图片编码后为 %1 KB，超过单张图片 %2 KB 的上限")
                            .arg(encodedSize / 1024)
                            .arg(kMaxEncodedBytes / 1024));
        return QString();
    }
    const QString fileName = QStringLiteral("%1.%2").arg(QRandomGenerator::global()->bounded(1u << 30)).arg(written);
    return QStringLiteral("data:image/%1;base64,%2").arg(fileName, encodeBase64Lines(data));
}

QImage decodeDataUrl(const QUrl &name, QString *error)
{
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0) {
        setError(error, QStringLiteral("不是内嵌图片数据"));
        return QImage();
    }
    // The name went through QUrl, which percent-encodes the line feeds of the data.
    const QByteArray raw = QByteArray::fromPercentEncoding(name.toEncoded(QUrl::RemoveScheme));
    const int comma = raw.indexOf(',');
    if (comma < 0) {
        setError(error, QStringLiteral("内嵌数据格式错误"));
        return QImage();
    }
    const QByteArray header = raw.left(comma);
    const QByteArray payload = header.endsWith(";base64") ? QByteArray::fromBase64(raw.mid(comma + 1)) : raw.mid(comma + 1);
    QBuffer buffer;
    buffer.setData(payload);
    buffer.open(QIODevice::ReadOnly);
    return readImage(&buffer, error);
}

QImage readImage(QIODevice *device, QString *error)
{
    QImageReader reader(device);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels) {
        setError(error, QStringLiteral("图片过大（%1 × %2 像素）").arg(size.width()).arg(size.height()));
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull())
        setError(error, QStringLiteral("无法识别的图片数据（%1）").arg(reader.errorString()));
    return image;
}

QImage placeholderImage()
{
    QImage image(32, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(238, 241, 245));
    QPainter painter(&image);
    painter.setPen(QColor(160, 170, 184));
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    painter.drawLine(6, 17, 12, 10);
    painter.drawLine(12, 10, 17, 15);
    painter.drawLine(17, 15, 20, 12);
    painter.drawLine(20, 12, 26, 17);
    painter.drawEllipse(QPoint(22, 7), 2, 2);
    return image;
}

QVariant loadResource(int type, const QUrl &name)
{
    if (type != QTextDocument::ImageResource)
        return QByteArray(""); // style sheets and linked pages are never loaded
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) != 0) {
        qCInfo(lcRichText).noquote() << "image not loaded, only inline images are shown:" << name.toString().left(200);
        return placeholderImage();
    }
    QString error;
    const QImage image = decodeDataUrl(name, &error);
    if (image.isNull()) {
        qCWarning(lcRichText).noquote() << "inline image not shown:" << error;
        return placeholderImage();
    }
    return image;
}

} // namespace HXCPControls::RichTextImages
