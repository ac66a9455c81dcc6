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
    PointerToolKind tool() const { return current_; }
    void setTool(PointerToolKind tool);

    // A drag in screen pixels; image points are where it starts and is now.
    void begin(QPoint screen, QPointF imagePoint);
    void move(QPoint screen, QPointF imagePoint);
    void end();
    void forget();

    bool dragging() const { return active_; }
    QPoint startScreen() const { return pressScreen_; }
    QPoint currentScreen() const { return nowScreen_; }

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
    PointerToolKind current_ = PointerToolKind::Contrast;
    bool active_ = false;
    bool hasShape_ = false;
    QPoint pressScreen_, nowScreen_;
    QPointF pressImage_, nowImage_;
};

} // namespace vexa
