#pragma once
// The page of image slots shared by the print sheet and the interpretation
// window, without widgets: the layouts, the slot table, the selected slot and
// the arithmetic that places slots on the preview page and on the printed page.
//
// Lengths are twips (1440 per inch). Every rounding goes to the nearest
// integer, a half to the even neighbour. Slots are numbered from 1, row by row
// from the top left.
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <array>
#include <utility>
#include <vector>

namespace vexa {

enum class PageOrientation { Portrait = 1, Landscape = 2 };

struct PageShape {
    int columns = 1;
    int rows = 1;

    int count() const { return columns * rows; }
    friend bool operator==(const PageShape&, const PageShape&) = default;
};

constexpr int LayoutCount = 5; // layouts 0 to 4: 1, 2, 4, 6 and 8 slots
constexpr int MaxSlots = 8;
constexpr int PreviewGap = 60; // between slots of the preview page
constexpr int PrintedGap = 150; // between cells of the printed page
constexpr int SelectionMargin = 30; // the selection frame lies this far outside a slot
constexpr int EmptySlotSide = 1000; // picture width and height of an empty slot
constexpr int WideWindowTwips = 19200; // from this window width on, 7 thumbnails a page

// Columns and rows of a layout; an index out of range gives layout 0.
PageShape layoutShape(PageOrientation orientation, int layoutIndex);
// The layout showing `imageCount` images at once on the interpretation page.
int layoutForImageCount(int imageCount);
// Pages of `perPage` items needed for `count` items.
int pageCount(int count, int perPage);
// Thumbnails of one page in the print sheet window: 7 when it is wide, else 4.
int thumbnailsPerPage(int windowWidthTwips);

// Column (x) and row (y) of a slot, both from 1.
QPoint slotCell(int slot, int columns);

// Cell size of the preview page: round((W + g) / columns - 2g) by round((H + g) / rows - 2g).
QSize previewCellSize(QSize inner, PageShape shape);
// Cell size of the printed page: the cells with their gaps fill the area exactly.
QSize printedCellSize(QSize printable, PageShape shape);
// A picture scaled into a cell at `origin`: a shape taller than the cell is
// centred across it, a wider one centred down it.
QRect fitInCell(QPoint origin, QSize cell, QSizeF picture);
// Where a slot's picture lies: on the preview page (area = the page's inner
// area) or on the printed page (area = the printable area).
QRect previewSlotRect(const QRect& inner, PageShape shape, int slot, QSizeF picture);
QRect printedSlotRect(const QRect& printable, PageShape shape, int slot, QSizeF picture);

// The selection frame around a slot or a thumbnail.
QRect selectionFrame(const QRect& around);
// An enlarged slot covers the page's inner area less the margin on every side.
QRect enlargedSlotRect(QSize inner);
// The preview page's size for a page ratio (printable width / height) within
// the available height and width.
QSize previewPageSize(double pageRatio, int availableHeight, int availableWidth);

struct PreviewSlot {
    int pictureHeight = EmptySlotSide;
    int pictureWidth = EmptySlotSide;
    bool pending = false; // to be placed by the next layout pass
    QString filePath;
    int sourceIndex = -1; // -1: the slot is empty

    bool isEmpty() const { return sourceIndex == -1; }
};

class SlotSheet {
public:
    // Empties the page: every slot back to its empty state, not pending.
    void reset();
    // Prepares slots 1 to count empty and pending (at most MaxSlots).
    void create(int count);

    void setShape(PageShape value) { shape_ = value; }
    PageShape shape() const { return shape_; }
    int slotCount() const { return shape_.count(); }

    const PreviewSlot& slot(int index) const; // 1 to MaxSlots
    // A picture placed in a slot; the slot becomes pending.
    void fill(int index, QSize picture, const QString& path, int sourceIndex);

    int selected() const { return selected_; }
    void select(int index) { selected_ = index; }
    // The slot after the selected one, back to 1 after the last.
    int nextSlot() const;

    // The rectangle of every pending slot on the preview page, in slot order;
    // the slots are no longer pending.
    std::vector<std::pair<int, QRect>> placePending(const QRect& inner);

    // Filled slots from 1 to the slot count.
    std::vector<int> filledSlots() const;

private:
    std::array<PreviewSlot, MaxSlots + 1> slots_{}; // index 0 unused
    PageShape shape_;
    int selected_ = 1;
};

} // namespace vexa
