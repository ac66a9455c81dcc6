#pragma once
// State of the display's pointer tools during and after a drag, and the
// texts they show. Kept apart from the widget so the drawing stays small.
#include "dicom/DicomImageData.h"
#include "dicom/PixelStatistics.h"
#include "viewer/measure/Mesures.h"

#include <QLocale>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QString>
#include <optional>

class QPainter;

namespace vexa {

enum class PointerToolKind { Contrast = 1, Region = 2, Magnifier = 3, Pan = 4, Measure = 5 };

// The spacing the measurements use: none unless the file gives one.
PixelSpacing measureSpacing(const ImageSpacing& spacing);

class DicomViewTools {
public:
    PointerToolKind tool() const { return current; }
    void setTool(PointerToolKind tool);

    // A drag in screen pixels; image points are where it starts and is now.
    void begin(QPoint screen, QPointF imagePoint);
    void move(QPoint screen, QPointF imagePoint);
    void end();
    void forget();

    bool dragging() const { return active; }
    QPoint startScreen() const { return pressScreen; }
    QPoint currentScreen() const { return nowScreen; }

    // The region (image pixels) and its statistics, after or during a study.
    std::optional<QRect> region() const;
    std::optional<RegionStatistics> statistics(const DicomImageData& image) const;
    // The measured segment in image coordinates.
    std::optional<std::pair<QPointF, QPointF>> segment() const;

    static QString statisticsText(const RegionStatistics& stats);
    // The measured segment's length with the measuring tools' rules: real
    // millimetres, "(détecteur)" for an imager spacing, pixels without one.
    std::optional<QString> segmentText(const DicomImageData& image, const QLocale& locale) const;

private:
    PointerToolKind current = PointerToolKind::Contrast;
    bool active = false;
    bool hasShape = false;
    QPoint pressScreen, nowScreen;
    QPointF pressImage, nowImage;
};

} // namespace vexa
