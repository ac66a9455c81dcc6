#pragma once
// Displays one DICOM image with its window, polarity, zoom and pan, offers
// five built-in pointer tools and reports pointer events. A file of several
// frames opens on its first; each other frame is read when it is shown.
//
// Image to screen: screen = ZoomLevel / 100 * (image - offset / (ZoomLevel / 100)),
// with offset = OffsetX (OffsetY) in screen pixels (see ViewGeometry.h).
//
// Signals use the mouse-button codes 1 primary, 2 secondary, 4 middle and the
// shift codes 1 Shift, 2 Ctrl, 4 Alt.
#include "dicom/DicomImageData.h"
#include "dicom/DisplayLut.h"
#include "dicom/ViewGeometry.h"
#include "viewer/view/DicomViewTools.h"

#include <QImage>
#include <QWidget>
#include <functional>
#include <memory>

class QPlainTextEdit;

namespace vexa {

class DicomView : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString DisplayFile READ displayFile WRITE setDisplayFile)
    Q_PROPERTY(int ZoomLevel READ zoomLevel WRITE setZoomLevel NOTIFY zoomChanged)
    Q_PROPERTY(bool FitMode READ fitMode WRITE setFitMode)
    Q_PROPERTY(int PointerTool READ pointerTool WRITE setPointerTool)
    Q_PROPERTY(int Polarity READ polarity WRITE setPolarity)
    Q_PROPERTY(bool ShowTags READ showTags WRITE setShowTags)
    Q_PROPERTY(int PixelColumns READ pixelColumns)
    Q_PROPERTY(int PixelRows READ pixelRows)
    Q_PROPERTY(double ColumnSpacing READ columnSpacing)
    Q_PROPERTY(double RowSpacing READ rowSpacing)
    Q_PROPERTY(int OffsetX READ offsetX)
    Q_PROPERTY(int OffsetY READ offsetY)

public:
    explicit DicomView(QWidget* parent = nullptr);
    ~DicomView() override;

    // Loads and shows the file at once; "" empties the control. A file that
    // cannot be shown leaves the control empty with a readable message.
    void setDisplayFile(const QString& path);
    // The same with the file already decoded (by a worker thread).
    void setDecodedFile(const QString& path, DicomLoadResult loaded);
    QString displayFile() const { return path_; }
    bool hasImage() const { return image_ != nullptr; }
    // The frames of the file shown (1 for most images) and the one shown, from 0.
    int frameCount() const { return frames_; }
    int currentFrame() const { return frameShown_; }
    // Reads and shows another frame of the file, keeping the window,
    // polarity, zoom and pan the user set. False, nothing changed, when the
    // file has no such frame. A frame that cannot be decoded shows why.
    bool showFrame(int frame);
    // The same with the frame already decoded (by a worker thread).
    bool showDecodedFrame(int frame, DicomLoadResult loaded);
    QString loadError() const { return error_; }
    std::shared_ptr<const DicomImageData> imageData() const { return image_; }

    int zoomLevel() const { return geometry_.zoomLevel; }
    // Leaves fit mode; keeps the image point at the view's centre in place.
    void setZoomLevel(int zoomLevel);
    bool fitMode() const { return fitMode_; }
    // True scales the image into the control (again after a resize).
    void setFitMode(bool fit);
    int pointerTool() const { return static_cast<int>(tools_.tool()); }
    void setPointerTool(int tool);
    int polarity() const { return polarity_; }
    void setPolarity(int value);
    // True restores the display the image had when loaded (window and zoom).
    void setRestoreDisplay(bool restore);
    bool showTags() const { return showTags_; }
    void setShowTags(bool show);
    // Puts what is shown (with its contrast and zoom) on the clipboard.
    bool copyDisplay();
    QImage displayImage();

    int pixelColumns() const { return image_ ? image_->columns : 0; }
    QSize imageSize() const { return {pixelColumns(), pixelRows()}; }
    int pixelRows() const { return image_ ? image_->rows : 0; }
    double columnSpacing() const { return image_ ? image_->spacing.column : 0.0; }
    double rowSpacing() const { return image_ ? image_->spacing.row : 0.0; }
    int offsetX() const { return geometry_.offsetX; }
    int offsetY() const { return geometry_.offsetY; }
    void setOffsets(int offsetX, int offsetY);

    VoiWindow window() const { return voi_; }
    // Any window of the image: centre and width, its function, or one of its
    // VOI lookup tables.
    void setWindow(const VoiWindow& window);
    ViewGeometry viewGeometry() const { return geometry_; }
    QPointF imageToScreen(QPointF imagePoint) const;
    QPointF screenToImage(QPointF screenPoint) const;
    // The image pixel under a widget position (may lie outside the image).
    QPoint pixelAt(QPointF screenPoint) const;
    // The part of the image the control shows, in image pixels, and where it
    // lies on the control, in widget pixels.
    QRectF visibleImageRect() const;
    QRect visibleScreenRect() const;
    // The visible part at a size in device pixels, with the current contrast
    // and polarity, drawn again from the source pixels (printing).
    QImage renderVisible(QSize size) const;
    // The same as a renderer holding its own copy of what it needs, for a
    // worker thread: it stays right whatever the view does meanwhile.
    std::function<QImage(QSize)> visibleRenderer() const;
    const DicomViewTools& toolState() const { return tools_; }
    // The instant measure's text in the widget's locale; "" without a segment.
    QString measureText() const;

signals:
    void clicked(int x, int y, int button, int shift);
    void pressed(int x, int y, int button, int shift);
    // Image column and row under the pointer, screen position, pixel value, buttons.
    void pointerMoved(int column, int row, int x, int y, double value, int button);
    void zoomChanged();
    void beep(int reason);
    void displayChanged();
    // Whole wheel notches turned without Ctrl: positive away from the user.
    void wheelTurned(int notches);
    // After the click of the same gesture, when the button is released.
    // The second half of a double click gives pressed and released, no click.
    void released(int x, int y, int button, int shift);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void clear();
    void applyGeometry(const ViewGeometry& next);
    void initialDisplay();
    void rebuildLut();
    void invalidate();
    const QImage& frame();
    void paintMessage(QPainter& painter, const QString& text);
    void dragContrast(QPoint delta);
    QImage magnified(QPoint centre);

    QString path_;
    QString error_;
    int frames_ = 1;
    int frameShown_ = 0;
    std::shared_ptr<const DicomImageData> image_;
    ViewGeometry geometry_;
    VoiWindow voi_;
    DisplayLut lut_;
    bool fitMode_ = true;
    bool fitAtLoad_ = true;
    int zoomAtLoad_ = 100;
    int polarity_ = 1;
    bool showTags_ = false;
    QImage cachedFrame_;
    bool frameValid_ = false;
    DicomViewTools tools_;
    VoiWindow dragStartWindow_;
    ViewGeometry dragStartGeometry_;
    QPlainTextEdit* tagsView_ = nullptr;
    int wheelRest_ = 0; // eighths of a degree not yet a whole notch
    bool endingDoubleClick_ = false; // the button went down for a double click's second time
};

} // namespace vexa
