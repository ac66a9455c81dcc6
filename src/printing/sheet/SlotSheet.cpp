#include "printing/sheet/SlotSheet.h"

#include "base/core/Numeric.h"

#include <algorithm>

namespace vexa {

namespace {

constexpr std::array<PageShape, LayoutCount> PortraitShapes{{{1, 1}, {1, 2}, {2, 2}, {2, 3}, {2, 4}}};
constexpr std::array<PageShape, LayoutCount> LandscapeShapes{{{1, 1}, {2, 1}, {2, 2}, {3, 2}, {4, 2}}};

int roundHalfEvenToInt(double value)
{
    return static_cast<int>(roundHalfEven(value));
}

QSize cellSize(QSize area, PageShape shape, int gap, int gapsTaken)
{
    return {roundHalfEvenToInt(double(area.width() + gap) / shape.columns - gapsTaken * gap),
        roundHalfEvenToInt(double(area.height() + gap) / shape.rows - gapsTaken * gap)};
}

// The cell origin from the cell size and the step between cells.
QPoint cellOrigin(const QRect& area, PageShape shape, int slot, QSize cell, int gap)
{
    const QPoint at = slotCell(slot, shape.columns);
    return {
        area.left() + (at.x() - 1) * (cell.width() + gap), area.top() + (at.y() - 1) * (cell.height() + gap)};
}

} // namespace

PageShape layoutShape(PageOrientation orientation, int layoutIndex)
{
    const int index = layoutIndex >= 0 && layoutIndex < LayoutCount ? layoutIndex : 0;
    return orientation == PageOrientation::Portrait ? PortraitShapes[static_cast<std::size_t>(index)]
                                                    : LandscapeShapes[static_cast<std::size_t>(index)];
}

int layoutForImageCount(int imageCount)
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

int pageCount(int count, int perPage)
{
    return perPage > 0 && count > 0 ? (count + perPage - 1) / perPage : 0;
}

int thumbnailsPerPage(int windowWidthTwips)
{
    return windowWidthTwips >= WideWindowTwips ? 7 : 4;
}

QPoint slotCell(int slot, int columns)
{
    return {(slot - 1) % columns + 1, (slot + columns - 1) / columns};
}

QSize previewCellSize(QSize inner, PageShape shape)
{
    return cellSize(inner, shape, PreviewGap, 2);
}

QSize printedCellSize(QSize printable, PageShape shape)
{
    return cellSize(printable, shape, PrintedGap, 1);
}

QRect fitInCell(QPoint origin, QSize cell, QSizeF picture)
{
    if (picture.isEmpty())
        return {};
    int x = origin.x();
    int y = origin.y();
    double scale = cell.width() / picture.width();
    if (cell.height() / picture.height() > scale) {
        y = roundHalfEvenToInt(y + (cell.height() - picture.height() * scale) / 2);
    } else {
        scale = cell.height() / picture.height();
        x = roundHalfEvenToInt(x + (cell.width() - picture.width() * scale) / 2);
    }
    return {x, y, roundHalfEvenToInt(picture.width() * scale), roundHalfEvenToInt(picture.height() * scale)};
}

QRect previewSlotRect(const QRect& inner, PageShape shape, int slot, QSizeF picture)
{
    const QSize cell = previewCellSize(inner.size(), shape);
    return fitInCell(cellOrigin(inner, shape, slot, cell, PreviewGap), cell, picture);
}

QRect printedSlotRect(const QRect& printable, PageShape shape, int slot, QSizeF picture)
{
    const QSize cell = printedCellSize(printable.size(), shape);
    return fitInCell(cellOrigin(printable, shape, slot, cell, PrintedGap), cell, picture);
}

QRect selectionFrame(const QRect& around)
{
    return around.adjusted(-SelectionMargin, -SelectionMargin, SelectionMargin, SelectionMargin);
}

QRect enlargedSlotRect(QSize inner)
{
    return {SelectionMargin, SelectionMargin, inner.width() - 2 * SelectionMargin,
        inner.height() - 2 * SelectionMargin};
}

QSize previewPageSize(double pageRatio, int availableHeight, int availableWidth)
{
    if (pageRatio <= 0)
        return {availableWidth, availableHeight};
    if (pageRatio * availableHeight < availableWidth)
        return {roundHalfEvenToInt(pageRatio * availableHeight), availableHeight};
    return {availableWidth, roundHalfEvenToInt(availableWidth / pageRatio)};
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
        slots_[static_cast<std::size_t>(i)].pending = true;
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
    entry.pictureHeight = picture.height();
    entry.pictureWidth = picture.width();
    entry.filePath = path;
    entry.sourceIndex = sourceIndex;
    entry.pending = true;
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
        if (!entry.pending)
            continue;
        placed.emplace_back(
            i, previewSlotRect(inner, shape_, i, QSizeF(entry.pictureWidth, entry.pictureHeight)));
        entry.pending = false;
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
