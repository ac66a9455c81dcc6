#pragma once
// The measuring tools of the viewer, without widgets: the panel choices, the
// clicks that place the points of each tool, the rubber bands that follow the
// pointer, the right-click cancel and the dragging of handles. The viewer
// forwards its panel clicks and the display's mouse events, in image pixels,
// and shows the overlay scene of graphics().
#include "viewer/measure/MeasurementGraphics.h"
#include "viewer/measure/Mesures.h"
#include <QLocale>
#include <QObject>
#include <QSize>
#include <optional>

namespace vexa {

class MeasurementController : public QObject {
    Q_OBJECT
public:
    // The tool buttons of the measurement panel, in their order.
    enum class PanelCommand {
        Text = 0,
        Distance = 1,
        LinesAngle = 2,
        HeightDifference = 3,
        DeleteLast = 4,
        DeleteAll = 5,
        VertexAngle = 6,
    };

    explicit MeasurementController(QObject* parent = nullptr);

    MeasurementGraphics& graphics() { return model_; }
    const MeasurementTable& table() const { return model_.table(); }
    OverlayScene& scene() { return model_.scene(); }
    const ToolState& state() const { return model_.state(); }
    Qt::CursorShape cursor() const { return pointer_; }

    // Where the display shows the image; handles are caught in screen pixels.
    void setMapping(ImageToScreen imageToScreen);
    // Results use the locale's decimal separator (the system's by default).
    void setLocale(const QLocale& locale) { numbers_ = locale; }
    void setImage(QSize imageSize, const PixelSpacing& spacing);

    // Empties the table, reads the image's ".dgr" file and shows its graphics.
    void loadMeasurements(const QString& imagePath);
    // Drops a half-made graphic, then writes all 50 records. False when the
    // file could not be written.
    bool saveMeasurements(const QString& imagePath);
    // Leaving the image: tool state reset, handles hidden.
    void leaveImage();

    // The text box and size box of the panel.
    void setTextToPlace(const QString& text) { textToPlace_ = text; }
    void setTextSize(const QString& size) { textSize_ = size; }
    QString text() const { return textToPlace_; }
    QString size() const { return textSize_; }

    // A tool button. False when the image holds 50 graphics already (the
    // user is told); the panel then stays out.
    bool choose(PanelCommand command);
    // A preset text button: fills the text and size boxes and arms the text tool.
    void choosePreset(int presetIndex);

    // Display mouse events in image pixels. press and release answer true
    // when they belong to a handle drag, which the display must then ignore.
    bool press(QPointF image, Qt::MouseButton button);
    void move(QPointF image, Qt::MouseButtons buttons);
    bool release(QPointF image, Qt::MouseButton button);
    // A click on the image: places a point, or cancels on the right button.
    void click(QPointF image, Qt::MouseButton button);

    // The label a record shows for its points.
    QString labelFor(const MeasurementRecord& record) const;

signals:
    void cursorChanged(Qt::CursorShape shape);

private:
    struct Drag {
        HandleRef handle;
        QPointF grab; // pointer minus point, image pixels
    };

    void setCursor(Qt::CursorShape shape);
    void cancelPlacement();
    bool armTool(MeasureTool tool);
    void finishGraphic(bool keepTool);
    void cancelByRightClick();
    void placePoint(QPoint c);
    void placeDistance(QPoint c, MeasurementRecord& r);
    void placeVertexAngle(QPoint c, MeasurementRecord& r);
    void placeLinesAngle(QPoint c, MeasurementRecord& r);
    void placeHeightDifference(QPoint c, MeasurementRecord& r);
    void placeText(QPoint c, MeasurementRecord& r);
    void startRecord(QPoint c, MeasurementRecord& r, MeasurementKind kind);
    void drawLabelAt(QPointF at, const QString& label);
    void drawRubberBand(QPointF pointer);
    ScenePoint rubberEnd(QPointF start, QPointF pointer) const;
    MeasurementRecord moved(const MeasurementRecord& record, HandleArray array, QPoint point) const;
    void dragTo(QPointF image, bool commit);

    MeasurementGraphics model_;
    ImageToScreen toScreen_;
    QLocale numbers_ = QLocale::system();
    PixelSpacing spacing_;
    QString textToPlace_;
    QString textSize_ = QStringLiteral("10");
    Qt::CursorShape pointer_ = Qt::ArrowCursor;
    std::optional<Drag> drag_;
};

} // namespace vexa
