// The page arithmetic shared by the print sheet and the interpretation
// window, in twips, without any window.
#include "printing/sheet/SlotSheet.h"

#include <gtest/gtest.h>

using namespace vexa;

QT_BEGIN_NAMESPACE
inline void PrintTo(const QRect& r, std::ostream* out)
{
    *out << '(' << r.x() << ", " << r.y() << ' ' << r.width() << 'x' << r.height() << ')';
}
inline void PrintTo(const QSize& s, std::ostream* out)
{
    *out << s.width() << 'x' << s.height();
}
QT_END_NAMESPACE

namespace {

TEST(SlotSheetTest, LayoutsNumberSlotsRowByRow)
{
    const struct {
        int index;
        PageShape portrait, landscape;
    } layouts[] = {{0, {1, 1}, {1, 1}}, {1, {1, 2}, {2, 1}}, {2, {2, 2}, {2, 2}}, {3, {2, 3}, {3, 2}},
        {4, {2, 4}, {4, 2}}, {7, {1, 1}, {1, 1}}};
    for (const auto& layout : layouts) {
        EXPECT_EQ(layoutShape(PageOrientation::Portrait, layout.index), layout.portrait) << layout.index;
        EXPECT_EQ(layoutShape(PageOrientation::Landscape, layout.index), layout.landscape) << layout.index;
    }
    EXPECT_EQ(slotCell(5, 2), QPoint(1, 3)); // 2 x 3: slot 5 is the left cell of row 3
    EXPECT_EQ(slotCell(6, 2), QPoint(2, 3));
    EXPECT_EQ(slotCell(4, 3), QPoint(1, 2)); // 3 x 2
    EXPECT_EQ(slotCell(8, 4), QPoint(4, 2));

    const std::pair<int, int> counts[]
        = {{0, 0}, {1, 0}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {6, 3}, {7, 4}, {8, 4}, {13, 4}};
    for (const auto& [images, layout] : counts)
        EXPECT_EQ(layoutForImageCount(images), layout) << images << " images";
    EXPECT_EQ(pageCount(13, 8), 2);
    EXPECT_EQ(pageCount(8, 8), 1);
    EXPECT_EQ(pageCount(0, 8), 0);
    EXPECT_EQ(thumbnailsPerPage(19199), 4);
    EXPECT_EQ(thumbnailsPerPage(19200), 7);
}

TEST(SlotSheetTest, PrintedCellsFillThePrintableAreaExactly)
{
    // Areas whose width and height plus one gap divide by every column and
    // row count: the last cell ends on the area's edge, twip for twip.
    const QRect printable(100, 200, 11850, 16650); // 12000 and 16800 with a gap
    for (int layout = 0; layout < LayoutCount; ++layout) {
        for (const PageOrientation orientation : {PageOrientation::Portrait, PageOrientation::Landscape}) {
            const PageShape shape = layoutShape(orientation, layout);
            const QSize cell = printedCellSize(printable.size(), shape);
            // A picture of the cell's own shape fills its cell.
            const QRect first = printedSlotRect(printable, shape, 1, cell);
            const QRect last = printedSlotRect(printable, shape, shape.count(), cell);
            EXPECT_EQ(first.topLeft(), printable.topLeft());
            EXPECT_EQ(last.left() + last.width(), printable.left() + printable.width())
                << shape.columns << "x" << shape.rows;
            EXPECT_EQ(last.top() + last.height(), printable.top() + printable.height())
                << shape.columns << "x" << shape.rows;
            if (shape.count() > 1) {
                const QRect second = printedSlotRect(printable, shape, 2, cell);
                EXPECT_EQ(shape.columns > 1 ? second.left() - (first.left() + first.width())
                                            : second.top() - (first.top() + first.height()),
                    PrintedGap);
            }
        }
    }
}

TEST(SlotSheetTest, PicturesAreCentredAcrossOrDownTheirCells)
{
    const QRect printable(0, 0, 10150, 15000); // 2 x 3: cells 5000 x 4900
    const PageShape shape = layoutShape(PageOrientation::Portrait, 3);
    ASSERT_EQ(printedCellSize(printable.size(), shape), QSize(5000, 4900));
    // Slot 5, a tall image (1000 x 2450): height-bound, centred across the
    // left cell of row 3.
    EXPECT_EQ(printedSlotRect(printable, shape, 5, QSizeF(1000, 2450)), QRect(1500, 10100, 2000, 4900));
    // A wide image in slot 2 (right cell of row 1): width-bound, centred down it.
    EXPECT_EQ(printedSlotRect(printable, shape, 2, QSizeF(2000, 1000)), QRect(5150, 1200, 5000, 2500));
    // Preview page: gap 60 between slots and twice taken from each cell.
    const QRect inner(30, 45, 6000, 9000);
    ASSERT_EQ(previewCellSize(inner.size(), shape), QSize(2910, 2900));
    EXPECT_EQ(
        previewSlotRect(inner, shape, 5, QSizeF(EmptySlotSide, EmptySlotSide)), QRect(35, 5965, 2900, 2900));
    EXPECT_EQ(
        previewSlotRect(inner, shape, 6, QSizeF(2000, 1000)), QRect(3000, 6688, 2910, 1455)); // 6687.5 down
}

TEST(SlotSheetTest, HalvesRoundToTheEvenNeighbour)
{
    const PageShape twoColumns{2, 1};
    EXPECT_EQ(previewCellSize(QSize(1001, 1000), twoColumns).width(), 410); // 410.5
    EXPECT_EQ(previewCellSize(QSize(1003, 1000), twoColumns).width(), 412); // 411.5
    EXPECT_EQ(printedCellSize(QSize(1000, 1000), PageShape{1, 4}).height(), 138); // 137.5
    EXPECT_EQ(printedCellSize(QSize(1004, 1000), PageShape{1, 4}).height(), 138); // 138.5
    // Centring offsets: half a twip goes to the even neighbour.
    EXPECT_EQ(fitInCell(QPoint(0, 0), QSize(1001, 1000), QSizeF(1000, 1000)).left(), 0); // 0.5
    EXPECT_EQ(fitInCell(QPoint(1, 0), QSize(1001, 1000), QSizeF(1000, 1000)).left(), 2); // 1.5
    EXPECT_EQ(fitInCell(QPoint(0, 2), QSize(1000, 1003), QSizeF(1000, 1000)).top(), 4); // 3.5
}

TEST(SlotSheetTest, SlotTableFillsSelectsAndPlacesPendingSlots)
{
    SlotSheet sheet;
    sheet.setShape(layoutShape(PageOrientation::Landscape, 3));
    sheet.reset();
    sheet.create(sheet.slotCount());
    EXPECT_TRUE(sheet.slot(6).pending);
    EXPECT_FALSE(sheet.slot(7).pending);
    const QRect inner(0, 0, 9000, 6000);
    EXPECT_EQ(sheet.placePending(inner).size(), 6u);
    EXPECT_TRUE(sheet.placePending(inner).empty()) << "placed slots are no longer pending";

    sheet.fill(5, QSize(2048, 2500), QStringLiteral("/img/a.dcm"), 3);
    EXPECT_EQ(sheet.slot(5).sourceIndex, 3);
    const auto placed = sheet.placePending(inner);
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].first, 5);
    EXPECT_EQ(placed[0].second.height(), previewCellSize(inner.size(), sheet.shape()).height());
    EXPECT_EQ(sheet.filledSlots(), std::vector<int>{5});

    std::vector<int> visited;
    for (int i = 0; i < 7; ++i) {
        visited.push_back(sheet.selected());
        sheet.select(sheet.nextSlot());
    }
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 5, 6, 1}));

    sheet.reset();
    EXPECT_TRUE(sheet.slot(5).isEmpty());
    EXPECT_EQ(sheet.slot(5).pictureWidth, EmptySlotSide);
    EXPECT_FALSE(sheet.slot(5).pending);
}

TEST(SlotSheetTest, FramesEnlargementAndPageShape)
{
    EXPECT_EQ(selectionFrame(QRect(100, 200, 300, 400)), QRect(70, 170, 360, 460));
    EXPECT_EQ(enlargedSlotRect(QSize(9000, 6000)), QRect(30, 30, 8940, 5940));
    EXPECT_EQ(previewPageSize(0.5, 8000, 9000), QSize(4000, 8000)); // height-bound
    EXPECT_EQ(previewPageSize(1.5, 8000, 9000), QSize(9000, 6000)); // width-bound
}

} // namespace
