#pragma once
// "Copie d'écran": the hidden canvas on which the viewer assembles a copy of
// screen pixels before saving it as a bitmap and printing it. Its outer size
// is given in twips and includes a frame of FrameWidth x FrameHeight pixels,
// so its client area, and the kept image, is the outer size less that frame.
// It is never shown; its image persists until it is destroyed.
#include <QImage>
#include <QWidget>

namespace vexa {

class ScreenCapture : public QWidget {
    Q_OBJECT
public:
    static constexpr int FrameWidth = 8; // pixels added to the copied width
    static constexpr int FrameHeight = 54; // pixels added to the copied height

    explicit ScreenCapture(QWidget* parent = nullptr);

    void setWidthTwips(int twips);
    void setHeightTwips(int twips);
    QSize clientSize() const { return client_; }

    // Copies the pixels of `area` of the source window (its child widgets
    // included) into the client area, the area's top left at (0, 0), at the
    // screen's device pixel ratio: on a HiDPI screen the image holds every
    // device pixel of the area.
    void copyFrom(QWidget* source, const QRect& area);

    const QImage& image() const { return canvas_; }
    // Writes the image as a bitmap file, replacing any file of that name.
    bool savePicture(const QString& path) const;

private:
    void resizeCanvas();

    QSize outerPixels_;
    QSize client_;
    qreal ratio_ = 1.0; // device pixels per client pixel
    QImage canvas_;
};

} // namespace vexa
