#pragma once
// The viewer's handle on its image display: creates the DicomView, relays its
// notifications and offers what the window needs in plain types, so the
// window's code does not depend on the display's headers.
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

class QWidget;

namespace vexa {

class DicomView;

struct DisplaySpacing {
    double column = 0.0; // millimetres between neighbouring columns
    double row = 0.0; // millimetres between neighbouring rows
    bool fromFile = false; // the file states a spacing
    bool atDetector = false; // only Imager Pixel Spacing: measured at the detector
};

class ViewerDisplay : public QObject {
    Q_OBJECT
public:
    explicit ViewerDisplay(QWidget* parent);

    QWidget* widget() const;
    void setDisplayFile(const QString& path);
    QString displayFile() const;
    bool hasImage() const;
    QSize imageSize() const;
    DisplaySpacing spacing() const;

    int zoomLevel() const;
    void setZoomLevel(int zoomLevel);
    bool fitMode() const;
    void setFitMode(bool fit);
    int pointerTool() const;
    void setPointerTool(int tool);
    int polarity() const;
    void setPolarity(int polarity);
    void restoreDisplay();
    bool showTags() const;
    void setShowTags(bool show);
    void setDisplaySwitch(int id, bool on);
    int offsetX() const;
    int offsetY() const;

    QPointF imageToScreen(QPointF image) const;
    QPointF screenToImage(QPointF screen) const;
    // The image pixel under a widget position (may lie outside the image).
    QPoint pixelAt(QPointF screen) const;
    // The part of the image the display shows, in image pixels, and where it
    // lies on the display, in widget pixels.
    QRectF visibleImageRect() const;
    QRect visibleScreenRect() const;
    // The visible part at a size in device pixels, with the current contrast
    // and polarity, drawn from the source pixels.
    QImage renderVisible(QSize size) const;

signals:
    void clicked(int x, int y, int button, int shift);
    void pressed(int x, int y, int button, int shift);
    void pointerMoved(int column, int row, double value);
    void zoomChanged();
    void beep();

private:
    DicomView* view;
};

} // namespace vexa
