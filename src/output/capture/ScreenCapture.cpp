#include "output/capture/ScreenCapture.h"

#include "base/core/Numeric.h"

#include <QFile>
#include <QPainter>
#include <algorithm>

namespace vexa {

ScreenCapture::ScreenCapture(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setWindowTitle(QStringLiteral("Copie d'écran"));
    setAttribute(Qt::WA_DontShowOnScreen);
}

void ScreenCapture::setWidthTwips(int twips)
{
    outerPixels.setWidth(TwipsToPixels(twips));
    resizeCanvas();
}

void ScreenCapture::setHeightTwips(int twips)
{
    outerPixels.setHeight(TwipsToPixels(twips));
    resizeCanvas();
}

void ScreenCapture::resizeCanvas()
{
    client = QSize(
        std::max(0, outerPixels.width() - FrameWidth), std::max(0, outerPixels.height() - FrameHeight));
    resize(outerPixels);
    const QSize devicePixels(qRound(client.width() * ratio), qRound(client.height() * ratio));
    if (devicePixels == canvas.size())
        return;
    QImage next(devicePixels, QImage::Format_RGB32);
    next.fill(Qt::black);
    if (!canvas.isNull() && !next.isNull()) {
        QPainter painter(&next);
        painter.drawImage(0, 0, canvas);
    }
    canvas = next;
}

void ScreenCapture::copyFrom(QWidget* source, const QRect& area)
{
    if (source == nullptr || canvas.isNull() || area.isEmpty())
        return;
    QImage pixels = source->grab(area).toImage();
    if (pixels.devicePixelRatio() != ratio) {
        ratio = pixels.devicePixelRatio();
        resizeCanvas();
    }
    pixels.setDevicePixelRatio(1.0); // one canvas pixel per device pixel
    QPainter painter(&canvas);
    painter.drawImage(0, 0, pixels);
}

bool ScreenCapture::savePicture(const QString& path) const
{
    if (canvas.isNull())
        return false;
    QFile::remove(path);
    return canvas.save(path, "BMP");
}

} // namespace vexa
