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
    outerPixels_.setWidth(twipsToPixels(twips));
    resizeCanvas();
}

void ScreenCapture::setHeightTwips(int twips)
{
    outerPixels_.setHeight(twipsToPixels(twips));
    resizeCanvas();
}

void ScreenCapture::resizeCanvas()
{
    client_ = QSize(
        std::max(0, outerPixels_.width() - FrameWidth), std::max(0, outerPixels_.height() - FrameHeight));
    resize(outerPixels_);
    const QSize devicePixels(qRound(client_.width() * ratio_), qRound(client_.height() * ratio_));
    if (devicePixels == canvas_.size())
        return;
    QImage next(devicePixels, QImage::Format_RGB32);
    next.fill(Qt::black);
    if (!canvas_.isNull() && !next.isNull()) {
        QPainter painter(&next);
        painter.drawImage(0, 0, canvas_);
    }
    canvas_ = next;
}

void ScreenCapture::copyFrom(QWidget* source, const QRect& area)
{
    if (source == nullptr || canvas_.isNull() || area.isEmpty())
        return;
    QImage pixels = source->grab(area).toImage();
    if (pixels.devicePixelRatio() != ratio_) {
        ratio_ = pixels.devicePixelRatio();
        resizeCanvas();
    }
    pixels.setDevicePixelRatio(1.0); // one canvas pixel per device pixel
    QPainter painter(&canvas_);
    painter.drawImage(0, 0, pixels);
}

bool ScreenCapture::savePicture(const QString& path) const
{
    if (canvas_.isNull())
        return false;
    QFile::remove(path);
    return canvas_.save(path, "BMP");
}

} // namespace vexa
