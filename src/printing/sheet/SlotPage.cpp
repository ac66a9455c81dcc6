#include "printing/sheet/SlotPage.h"

#include "base/core/Numeric.h"
#include "viewer/view/DicomView.h"

#include <QPainter>

namespace vexa {

SlotPage::SlotPage(QWidget* parent)
    : QFrame(parent)
    , frame_(new QFrame(this))
{
    setObjectName(QStringLiteral("Picture1"));
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
    setFocusPolicy(Qt::StrongFocus);
    frame_->setObjectName(QStringLiteral("Shape3"));
    frame_->setStyleSheet(QStringLiteral("QFrame#Shape3 { background: rgb(255, 0, 0); }"));
    frame_->hide();
}

QRect SlotPage::toPixels(const QRect& twips)
{
    const int left = twipsToPixels(twips.left());
    const int top = twipsToPixels(twips.top());
    return {left, top, twipsToPixels(twips.left() + twips.width()) - left,
        twipsToPixels(twips.top() + twips.height()) - top};
}

QRect SlotPage::toTwips(const QRect& pixels)
{
    return {pixelsToTwips(pixels.x()), pixelsToTwips(pixels.y()), pixelsToTwips(pixels.width()),
        pixelsToTwips(pixels.height())};
}

QRect SlotPage::innerTwips() const
{
    return toTwips(contentsRect());
}

DicomView* SlotPage::slotView(int slot) const
{
    return slot >= 1 && slot <= MaxSlots ? views_[static_cast<std::size_t>(slot)] : nullptr;
}

void SlotPage::resetSlots(bool keepFrame)
{
    sheet.reset();
    for (DicomView*& view : views_) {
        delete view;
        view = nullptr;
    }
    if (!keepFrame)
        frame_->hide();
}

void SlotPage::createSlots(int count)
{
    sheet.create(count);
    for (int i = 1; i <= std::min(count, MaxSlots); ++i) {
        DicomView*& view = views_[static_cast<std::size_t>(i)];
        delete view;
        view = new DicomView(this);
        view->setObjectName(QStringLiteral("ezDICOMX1_%1").arg(i));
        view->hide();
        view->setFitMode(true);
        view->setFocusPolicy(Qt::NoFocus);
        connect(view, &DicomView::pressed, this,
            [this, i](int, int, int button, int) { emit slotPressed(i, button); });
        connect(view, &DicomView::released, this,
            [this, i](int, int, int button, int) { emit slotReleased(i, button); });
    }
}

void SlotPage::drawPreview()
{
    for (const auto& [slot, rect] : sheet.placePending(innerTwips())) {
        DicomView* view = slotView(slot);
        if (!view)
            continue;
        view->hide();
        view->setGeometry(toPixels(rect));
        view->setFitMode(true);
        view->show();
    }
}

void SlotPage::selectSlot(int slot)
{
    sheet.select(slot);
    frame_->hide();
    const QWidget* view = slotView(slot);
    if (!view)
        return;
    frame_->setGeometry(toPixels(vexa::selectionFrame(toTwips(view->geometry()))));
    frame_->lower(); // behind the slots: only its margin shows
    frame_->show();
}

QPixmap layoutIcon(PageShape shape, PageOrientation orientation)
{
    const QSize page = orientation == PageOrientation::Portrait ? QSize(22, 30) : QSize(30, 22);
    QPixmap icon(page + QSize(1, 1));
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(Qt::white);
    painter.drawRect(QRect(QPoint(0, 0), page));
    const double cw = (page.width() - 2.0) / shape.columns;
    const double ch = (page.height() - 2.0) / shape.rows;
    painter.setBrush(QColor(90, 90, 90));
    for (int r = 0; r < shape.rows; ++r) {
        for (int c = 0; c < shape.columns; ++c)
            painter.drawRect(QRectF(2 + c * cw, 2 + r * ch, cw - 2, ch - 2));
    }
    return icon;
}

QPixmap orientationIcon(PageOrientation orientation)
{
    return layoutIcon({1, 1}, orientation);
}

} // namespace vexa
