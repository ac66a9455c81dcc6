#include "printing/sheet/SlotSheet.h"

#include "base/core/Numeric.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr std::array<PageShape, LayoutCount> PortraitShapes{{{1, 1}, {1, 2}, {2, 2}, {2, 3}, {2, 4}}};
constexpr std::array<PageShape, LayoutCount> LandscapeShapes{{{1, 1}, {2, 1}, {2, 2}, {3, 2}, {4, 2}}};

int Round(double value)
{
    return static_cast<int>(RoundHalfEven(value));
}

QSize CellSize(QSize area, PageShape shape, int gap, int gapsTaken)
{
    return {Round(double(area.width() + gap) / shape.columns - gapsTaken * gap),
        Round(double(area.height() + gap) / shape.rows - gapsTaken * gap)};
}

// The cell origin from the cell size and the step between cells.
QPoint CellOrigin(const QRect& area, PageShape shape, int slot, QSize cell, int gap)
{
    const QPoint at = SlotCell(slot, shape.columns);
    return {
        area.left() + (at.x() - 1) * (cell.width() + gap), area.top() + (at.y() - 1) * (cell.height() + gap)};
}

} // namespace

PageShape LayoutShape(PageOrientation orientation, int layoutIndex)
{
    const int index = layoutIndex >= 0 && layoutIndex < LayoutCount ? layoutIndex : 0;
    return orientation == PageOrientation::Portrait ? PortraitShapes[static_cast<std::size_t>(index)]
                                                    : LandscapeShapes[static_cast<std::size_t>(index)];
}

int LayoutForImageCount(int imageCount)
{
    if (imageCount <= 1)
        return 0;
    if (imageCount == 2)
        return 1;
    if (imageCount <= 4)
        return 2;
    if (imageCount <= 6)
        return 3;
    return 4;
}

int PageCount(int count, int perPage)
{
    return perPage > 0 && count > 0 ? (count + perPage - 1) / perPage : 0;
}

int ThumbnailsPerPage(int windowWidthTwips)
{
    return windowWidthTwips >= WideWindowTwips ? 7 : 4;
}

QPoint SlotCell(int slot, int columns)
{
    return {(slot - 1) % columns + 1, (slot + columns - 1) / columns};
}

QSize PreviewCellSize(QSize inner, PageShape shape)
{
    return CellSize(inner, shape, PreviewGap, 2);
}

QSize PrintedCellSize(QSize printable, PageShape shape)
{
    return CellSize(printable, shape, PrintedGap, 1);
}

QRect FitInCell(QPoint origin, QSize cell, QSizeF picture)
{
    if (picture.isEmpty())
        return {};
    int x = origin.x();
    int y = origin.y();
    double scale = cell.width() / picture.width();
    if (cell.height() / picture.height() > scale) {
        y = Round(y + (cell.height() - picture.height() * scale) / 2);
    } else {
        scale = cell.height() / picture.height();
        x = Round(x + (cell.width() - picture.width() * scale) / 2);
    }
    return {x, y, Round(picture.width() * scale), Round(picture.height() * scale)};
}

QRect PreviewSlotRect(const QRect& inner, PageShape shape, int slot, QSizeF picture)
{
    const QSize cell = PreviewCellSize(inner.size(), shape);
    return FitInCell(CellOrigin(inner, shape, slot, cell, PreviewGap), cell, picture);
}

QRect PrintedSlotRect(const QRect& printable, PageShape shape, int slot, QSizeF picture)
{
    const QSize cell = PrintedCellSize(printable.size(), shape);
    return FitInCell(CellOrigin(printable, shape, slot, cell, PrintedGap), cell, picture);
}

QRect SelectionFrame(const QRect& around)
{
    return around.adjusted(-SelectionMargin, -SelectionMargin, SelectionMargin, SelectionMargin);
}

QRect EnlargedSlotRect(QSize inner)
{
    return {SelectionMargin, SelectionMargin, inner.width() - 2 * SelectionMargin,
        inner.height() - 2 * SelectionMargin};
}

QSize PreviewPageSize(double pageRatio, int availableHeight, int availableWidth)
{
    if (pageRatio <= 0)
        return {availableWidth, availableHeight};
    if (pageRatio * availableHeight < availableWidth)
        return {Round(pageRatio * availableHeight), availableHeight};
    return {availableWidth, Round(availableWidth / pageRatio)};
}

void SlotSheet::reset()
{
    for (PreviewSlot& entry : slots_)
        entry = PreviewSlot();
}

void SlotSheet::create(int count)
{
    for (int i = 1; i <= std::min(count, MaxSlots); ++i) {
        slots_[static_cast<std::size_t>(i)] = PreviewSlot();
        slots_[static_cast<std::size_t>(i)].Pending = true;
    }
}

const PreviewSlot& SlotSheet::slot(int index) const
{
    return slots_[static_cast<std::size_t>(std::clamp(index, 0, MaxSlots))];
}

void SlotSheet::fill(int index, QSize picture, const QString& path, int sourceIndex)
{
    if (index < 1 || index > MaxSlots)
        return;
    PreviewSlot& entry = slots_[static_cast<std::size_t>(index)];
    entry.PictureHeight = picture.height();
    entry.PictureWidth = picture.width();
    entry.FilePath = path;
    entry.SourceIndex = sourceIndex;
    entry.Pending = true;
}

int SlotSheet::nextSlot() const
{
    return selected_ + 1 > slotCount() ? 1 : selected_ + 1;
}

std::vector<std::pair<int, QRect>> SlotSheet::placePending(const QRect& inner)
{
    std::vector<std::pair<int, QRect>> placed;
    for (int i = 1; i <= std::min(slotCount(), MaxSlots); ++i) {
        PreviewSlot& entry = slots_[static_cast<std::size_t>(i)];
        if (!entry.Pending)
            continue;
        placed.emplace_back(
            i, PreviewSlotRect(inner, shape_, i, QSizeF(entry.PictureWidth, entry.PictureHeight)));
        entry.Pending = false;
    }
    return placed;
}

std::vector<int> SlotSheet::filledSlots() const
{
    std::vector<int> filled;
    for (int i = 1; i <= std::min(slotCount(), MaxSlots); ++i) {
        if (!slots_[static_cast<std::size_t>(i)].isEmpty())
            filled.push_back(i);
    }
    return filled;
}

} // namespace vexa
