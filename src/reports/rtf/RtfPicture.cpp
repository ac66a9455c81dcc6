#include "reports/rtf/RtfPicture.h"

#include "base/core/Numeric.h"
#include "reports/rtf/RtfTokenizer.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QImage>
#include <QImageReader>
#include <QTextDocument>
#include <QUrl>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

// Largest picture side we show, in pixels (about 1.8 m at 96 dpi): a bound on
// the sizes that hostile files give, not on real pictures.
constexpr double kMaxSide = 7000;

QImage decode(const RtfPicture& picture)
{
    const char* format = picture.kind == RtfPictureKind::Png ? "png" : "jpeg";
    QByteArray bytes = picture.data;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    const QSize size = reader.size();
    if (!size.isValid() || qint64(size.width()) * size.height() > 64LL * 1024 * 1024)
        return {};
    return reader.read();
}

QImage placeholder()
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(QColor(0xd8, 0xd8, 0xd8));
    for (int i = 0; i < 16; ++i) {
        image.setPixel(i, 0, 0xff909090);
        image.setPixel(i, 15, 0xff909090);
        image.setPixel(0, i, 0xff909090);
        image.setPixel(15, i, 0xff909090);
    }
    return image;
}

bool isMetafile(RtfPictureKind kind)
{
    return kind == RtfPictureKind::WindowsMetafile || kind == RtfPictureKind::EnhancedMetafile
        || kind == RtfPictureKind::MacPict;
}

} // namespace

void RtfPicture::appendHex(QByteArrayView text)
{
    for (const char c : text) {
        const int value = hexDigitValue(c);
        if (value < 0)
            continue; // blanks and line breaks between the digits
        if (pendingNibble_ < 0) {
            pendingNibble_ = value;
        } else {
            data.append(char(pendingNibble_ * 16 + value));
            pendingNibble_ = -1;
        }
    }
}

void RtfPicture::appendBinary(QByteArrayView bytes)
{
    data.append(bytes);
}

QString rtfPlaceholderName()
{
    return QStringLiteral("rtf-picture-placeholder");
}

QTextImageFormat addRtfPicture(QTextDocument& document, const RtfPicture& picture)
{
    QImage image;
    if (picture.kind == RtfPictureKind::Png || picture.kind == RtfPictureKind::Jpeg)
        image = decode(picture);

    // Shown size in pixels: the goal size when given, else the picture's own.
    double width = picture.goalWidth > 0 ? double(picture.goalWidth) / TwipsPerPixel : 0;
    double height = picture.goalHeight > 0 ? double(picture.goalHeight) / TwipsPerPixel : 0;
    if (width <= 0 || height <= 0) {
        if (!image.isNull()) {
            width = image.width();
            height = image.height();
        } else if (isMetafile(picture.kind)) {
            width = picture.width * 96.0 / 2540.0; // 0.01 mm
            height = picture.height * 96.0 / 2540.0;
        } else {
            width = picture.width;
            height = picture.height;
        }
    }
    width *= std::clamp(picture.scaleX, 1, 1000) / 100.0;
    height *= std::clamp(picture.scaleY, 1, 1000) / 100.0;
    // Whole twips, as the file will hold them.
    width = std::round(std::clamp(width, 1.0, kMaxSide) * TwipsPerPixel) / TwipsPerPixel;
    height = std::round(std::clamp(height, 1.0, kMaxSide) * TwipsPerPixel) / TwipsPerPixel;

    QTextImageFormat format;
    QString name;
    if (image.isNull()) {
        name = rtfPlaceholderName();
        if (!document.resource(QTextDocument::ImageResource, QUrl(name)).isValid())
            document.addResource(QTextDocument::ImageResource, QUrl(name), placeholder());
    } else {
        // Named by content: a picture that comes twice is kept once.
        name = QStringLiteral("rtf-picture-")
            + QString::fromLatin1(
                QCryptographicHash::hash(picture.data, QCryptographicHash::Sha1).toHex().left(20));
        document.addResource(QTextDocument::ImageResource, QUrl(name), image);
    }
    format.setName(name);
    format.setWidth(width);
    format.setHeight(height);
    format.setProperty(rtf_picture_property::Data, picture.data);
    format.setProperty(rtf_picture_property::Kind, int(picture.kind));
    if (isMetafile(picture.kind) || image.isNull()) {
        format.setProperty(rtf_picture_property::PixelWidth, picture.width);
        format.setProperty(rtf_picture_property::PixelHeight, picture.height);
    }
    return format;
}

} // namespace vexa
