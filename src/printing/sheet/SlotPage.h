#pragma once
// The page of image slots on screen, shared by the print sheet and the
// interpretation window: one image display per slot, created and destroyed
// with the layout, placed by the slot table's arithmetic, and the frame
// around the selected slot.
#include "printing/sheet/SlotSheet.h"

#include <QFrame>
#include <QPixmap>
#include <array>

namespace vexa {

class DicomView;

class SlotPage : public QFrame {
    Q_OBJECT
public:
    explicit SlotPage(QWidget* parent = nullptr);

    SlotSheet sheet;

    // The display of a slot (1 to 8); null when the slot has none.
    DicomView* slotView(int slot) const;
    // Empties every slot and destroys its display; the selection frame is
    // hidden too unless `keepFrame`.
    void resetSlots(bool keepFrame = false);
    // Slots 1 to count become empty and pending, each with a hidden display
    // fitting its image.
    void createSlots(int count);
    // Places every pending slot in its cell and shows it.
    void drawPreview();
    // Makes a slot the selected one and puts the frame around it.
    void selectSlot(int slot);
    // The slot following the selected one, back to 1 after the last.
    void selectNextSlot() { selectSlot(sheet.nextSlot()); }
    QFrame* selectionFrame() const { return frame_; }

    // The inner area in twips, from the page's own top left corner.
    QRect innerTwips() const;
    // Twips of the page to its pixels and back.
    static QRect toPixels(const QRect& twips);
    static QRect toTwips(const QRect& pixels);

signals:
    // A mouse button went down or up on a slot's display (codes 1, 2, 4).
    void slotPressed(int slot, int button);
    void slotReleased(int slot, int button);

private:
    std::array<DicomView*, MaxSlots + 1> views_{};
    QFrame* frame_;
};

// Small pictures of a layout's page and of a page orientation, for the
// layout and orientation choices.
QPixmap layoutIcon(PageShape shape, PageOrientation orientation);
QPixmap orientationIcon(PageOrientation orientation);

} // namespace vexa
