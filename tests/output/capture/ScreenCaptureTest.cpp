// The capture canvas copies exactly the pixels asked for.
#include "output/capture/ScreenCapture.h"
#include "base/core/Numeric.h"

#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// A window painted with a distinct colour per pixel position.
class Pattern : public QWidget {
public:
    Pattern() { resize(500, 400); }
    static QColor at(int x, int y) { return QColor(x % 256, y % 256, (x / 256) * 64 + (y / 256) * 16); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                image.setPixelColor(x, y, at(x, y));
        QPainter(this).drawImage(0, 0, image);
    }
};

QImage capture(QWidget& source, QRect area, const QString& path)
{
    ScreenCapture grab;
    grab.setWidthTwips(pixelsToTwips(area.width() + ScreenCapture::FrameWidth));
    grab.setHeightTwips(pixelsToTwips(area.height() + ScreenCapture::FrameHeight));
    EXPECT_EQ(grab.size(), QSize(area.width() + 8, area.height() + 54));
    grab.copyFrom(&source, area);
    EXPECT_TRUE(grab.savePicture(path));
    return QImage(path);
}

} // namespace

TEST(ScreenCapture, CopiesTheAreaPixelForPixelAndEachCaptureStandsAlone)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("~tmp.bmp"));
    Pattern source;
    const QImage first = capture(source, QRect(2, 29, 300, 200), path);
    ASSERT_EQ(first.size(), QSize(300, 200));
    for (QPoint p : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 199), QPoint(299, 199), QPoint(150, 77)})
        EXPECT_EQ(first.pixelColor(p), Pattern::at(p.x() + 2, p.y() + 29)) << p.x() << "," << p.y();

    const QImage second = capture(source, QRect(100, 100, 120, 80), path);
    ASSERT_EQ(second.size(), QSize(120, 80));
    EXPECT_EQ(second.pixelColor(0, 0), Pattern::at(100, 100));
    EXPECT_EQ(second.pixelColor(119, 79), Pattern::at(219, 179));
}
