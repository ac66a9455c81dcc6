#include "viewer/view/DicomViewTools.h"

#include <cmath>

namespace vexa {

PixelSpacing measureSpacing(const ImageSpacing& spacing)
{
    if (!spacing.fromFile)
        return PixelSpacing::uncalibrated();
    return {
        spacing.column, spacing.row, spacing.atDetector ? SpacingOrigin::Detector : SpacingOrigin::Patient};
}

void DicomViewTools::setTool(PointerToolKind tool)
{
    current_ = tool;
    forget();
}

void DicomViewTools::begin(QPoint screen, QPointF imagePoint)
{
    active_ = true;
    hasShape_ = current_ == PointerToolKind::Region || current_ == PointerToolKind::Measure;
    pressScreen_ = nowScreen_ = screen;
    pressImage_ = nowImage_ = imagePoint;
}

void DicomViewTools::move(QPoint screen, QPointF imagePoint)
{
    if (!active_)
        return;
    nowScreen_ = screen;
    nowImage_ = imagePoint;
}

void DicomViewTools::end()
{
    active_ = false;
}

void DicomViewTools::forget()
{
    active_ = false;
    hasShape_ = false;
}

std::optional<QRect> DicomViewTools::region() const
{
    if (!hasShape_ || current_ != PointerToolKind::Region)
        return std::nullopt;
    const QPoint a(
        static_cast<int>(std::floor(pressImage_.x())), static_cast<int>(std::floor(pressImage_.y())));
    const QPoint b(static_cast<int>(std::floor(nowImage_.x())), static_cast<int>(std::floor(nowImage_.y())));
    return QRect(a, b).normalized();
}

std::optional<RegionStatistics> DicomViewTools::statistics(const DicomImageData& image) const
{
    const auto rect = region();
    if (!rect)
        return std::nullopt;
    return regionStatistics(image, *rect);
}

std::optional<std::pair<QPointF, QPointF>> DicomViewTools::segment() const
{
    if (!hasShape_ || current_ != PointerToolKind::Measure)
        return std::nullopt;
    return std::pair{pressImage_, nowImage_};
}

QString DicomViewTools::statisticsText(const RegionStatistics& stats)
{
    return QStringLiteral("Moyenne %1  Écart-type %2\nMin %3  Max %4")
        .arg(stats.mean, 0, 'f', 1)
        .arg(stats.standardDeviation, 0, 'f', 1)
        .arg(stats.minimum, 0, 'g', 8)
        .arg(stats.maximum, 0, 'g', 8);
}

std::optional<QString> DicomViewTools::segmentText(const DicomImageData& image, const QLocale& locale) const
{
    const auto measured = segment();
    if (!measured)
        return std::nullopt;
    return measureDistanceText(measured->first, measured->second, measureSpacing(image.spacing), locale);
}

} // namespace vexa
