// The button's looks and reactions: layout, press and release looks, toggle,
// hover, mouse handling, painting and the size limits.
#include <brixel/Button.h>

#include "ButtonLayout.h"
#include "ButtonPainter.h"
#include <brixel/MouseCodes.h>
#include <brixel/Twips.h>

#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

namespace brixel {

namespace {

float toTwips(qreal pixels)
{
    return static_cast<float>(pixels * TwipsPerPixel);
}

QPoint toPixels(const QPoint& twips)
{
    return QPoint(twipsToPixels(twips.x()), twipsToPixels(twips.y()));
}

} // namespace

void Button::layoutPass()
{
    const QPoint oldPicture = m_picPos;
    const QPoint oldCaption = m_capPos;
    m_normalPictureFlag = m_pressedPictureFlag = !m_pictureUp.isNull();

    LayoutInput in;
    in.hasPicture = !m_pictureUp.isNull();
    m_pictureVisible = in.hasPicture;
    if (in.hasPicture) {
        const QSize picture = pictureSizeTwips();
        in.pictureWidth = picture.width();
        in.pictureHeight = picture.height();
        in.spacing = m_shownCaption.isEmpty() ? 0 : m_picCapSpacing;
    }
    const QSize caption = captionSizeTwips();
    in.captionWidth = caption.width();
    in.captionHeight = caption.height();
    in.innerWidth = widthTwips();
    in.innerHeight = heightTwips();
    in.arrange = m_arrange;

    const LayoutResult result = computeLayout(in);
    if (in.hasPicture)
        m_picPos = result.picture;
    m_capPos = result.caption;
    update();
    if (m_picPos.x() != oldPicture.x())
        notify("PicPosLeft");
    if (m_picPos.y() != oldPicture.y())
        notify("PicPosTop");
    if (m_capPos.x() != oldCaption.x())
        notify("CapPosLeft");
    if (m_capPos.y() != oldCaption.y())
        notify("CapPosTop");
}

void Button::showPicture(const Picture& picture)
{
    m_shownPicture = picture;
    // The picture area keeps its size when emptied (a pressed look without a
    // pressed picture shows an empty area where the picture was).
    if (!picture.isNull())
        m_shownPictureSize = picture.image.size();
    update();
}

void Button::setCurrentBack(const QColor& color)
{
    m_currentBack = color;
    update();
}

void Button::restoreNormalBack()
{
    if (m_currentBack != m_backColor)
        setCurrentBack(m_backColor);
}

void Button::fitAroundPicture()
{
    m_picPos = QPoint(pixelsToTwips(2), pixelsToTwips(2));
    resizeWithinLimits(m_pictureUp.image.size() + QSize(4, 4));
}

void Button::resizeWithinLimits(QSize pixels)
{
    // Whole pixels not exceeding the limits in twips.
    const int maxWidth = MaxWidthTwips / TwipsPerPixel;
    const int maxHeight = MaxHeightTwips / TwipsPerPixel;
    resize(std::clamp(pixels.width(), 0, maxWidth), std::clamp(pixels.height(), 0, maxHeight));
}

void Button::pressLook()
{
    m_drawnStyle = SunkenStyle;
    update();
    m_value = true;
    if (m_contentEffects == bceNo)
        return;
    if (m_pressedPictureFlag)
        showPicture(m_pictureDown);
    m_shownCapColor = m_capColorDown;
    // Saved once: pressing an already pressed button must not lose the normal caption.
    if (!m_captionDown.isEmpty() && !m_captionSaved) {
        m_savedCaption = m_shownCaption;
        m_captionSaved = true;
        m_shownCaption = m_captionDown;
    }
    if (m_currentBack != m_backColorDown)
        setCurrentBack(m_backColorDown);
    layoutPass();
}

void Button::releaseLook()
{
    m_drawnStyle = m_restingStyle;
    update();
    m_value = false;
    if (m_contentEffects == bceNo)
        return;
    if (m_pressedPictureFlag)
        showPicture(m_pictureUp);
    m_shownCapColor = m_capColor;
    // Only a caption that was saved comes back (releasing a raised button keeps its caption).
    if (m_captionSaved) {
        m_shownCaption = m_savedCaption;
        m_captionSaved = false;
    }
    restoreNormalBack();
    layoutPass();
}

void Button::toggle()
{
    m_value = !m_value;
    notify("Value");
    layoutPass();
    if (m_value)
        pressLook();
    else
        releaseLook();
}

void Button::hover(bool inside)
{
    if (m_contentEffects != bceYes)
        return;
    if (inside) {
        if (m_drawnStyle != m_restingStyle)
            return; // pressed, sunken, or a flat button already hovered
        if (m_restingStyle == Flat && !m_value)
            m_drawnStyle = HalfRaised;
        if (!m_pictureOver.isNull())
            showPicture(m_pictureOver);
        m_shownCapColor = m_capColorOver;
        if (m_currentBack != m_backColorOver)
            setCurrentBack(m_backColorOver);
    } else if (m_drawnStyle != m_restingStyle) {
        if (m_restingStyle != Flat || m_value) {
            if (m_pressedPictureFlag)
                showPicture(m_pictureDown);
            m_shownCapColor = m_capColorDown;
        } else {
            m_drawnStyle = Flat;
            if (m_normalPictureFlag)
                showPicture(m_pictureUp);
            m_shownCapColor = m_capColor;
            restoreNormalBack();
        }
    } else {
        if (m_normalPictureFlag)
            showPicture(m_pictureUp);
        m_shownCapColor = m_capColor;
        if (!m_value)
            restoreNormalBack();
    }
    update();
}

void Button::setValue(bool value)
{
    hideToolTip();
    if (m_sunkenEffects == bseNo) {
        pressLook();
        releaseLook();
    } else {
        layoutPass();
        if (value)
            pressLook();
        else
            releaseLook();
    }
    update();
    layoutPass();
    QPointer<Button> alive(this);
    if (m_sunkenEffects == bseNo || value)
        emit Click();
    else
        emit ClickSunken();
    if (alive)
        notify("Value");
}

bool Button::isInside(QPointF position) const
{
    // The edges count as inside.
    return position.x() >= 0 && position.y() >= 0 && position.x() <= width() && position.y() <= height();
}

void Button::mousePressEvent(QMouseEvent* event)
{
    hideToolTip();
    if (event->button() == Qt::LeftButton) {
        if (m_sunkenEffects == bseNo)
            pressLook();
        else
            toggle();
    }
    const QPointF at = event->position();
    emit MouseDown(
        buttonCode(event->button()), shiftCode(event->modifiers()), toTwips(at.x()), toTwips(at.y()));
}

void Button::pointerMoved(
    QPointF position, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, bool inside)
{
    m_tracking = inside;
    if (!inside)
        hideToolTip();
    if (m_toolTipText.isEmpty() || m_value)
        hideToolTip();
    else
        requestToolTip(m_toolTipText);
    hover(inside);
    emit MouseMove(buttonCode(buttons), shiftCode(modifiers), toTwips(position.x()), toTwips(position.y()));
}

void Button::mouseMoveEvent(QMouseEvent* event)
{
    pointerMoved(event->position(), event->buttons(), event->modifiers(), isInside(event->position()));
}

void Button::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    // The pointer left while no button was held: what a move outside would have done.
    if (m_tracking)
        pointerMoved(mapFromGlobal(QCursor::pos()), Qt::NoButton, Qt::NoModifier, false);
}

void Button::mouseReleaseEvent(QMouseEvent* event)
{
    const QPointF at = event->position();
    QPointer<Button> alive(this); // a Click handler may close the window holding the button
    emit MouseUp(
        buttonCode(event->button()), shiftCode(event->modifiers()), toTwips(at.x()), toTwips(at.y()));
    if (!alive || event->button() != Qt::LeftButton)
        return;
    const bool inside = isInside(at);
    if (m_sunkenEffects == bseNo) {
        // A momentary press dragged off the button and released there is cancelled.
        if (inside)
            emit Click();
    } else if (m_value) {
        emit Click();
    } else {
        emit ClickSunken();
    }
    if (!alive)
        return;
    if (m_sunkenEffects == bseNo)
        releaseLook();
    // The pointer is still over the button: show the hover look again at once,
    // without waiting for the next move.
    if (inside)
        hover(true);
    m_tracking = inside;
}

void Button::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (width() > MaxWidthTwips / TwipsPerPixel || height() > MaxHeightTwips / TwipsPerPixel) {
        resizeWithinLimits(size());
        return; // the second resize lays out
    }
    layoutPass();
}

void Button::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        notify("Enabled");
}

void Button::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_backStyle == Opaque)
        painter.fillRect(rect(), m_currentBack);
    drawButtonEdge(painter, rect(), m_drawnStyle, palette());
    if (m_pictureVisible) {
        const QRect area(toPixels(m_picPos), m_shownPictureSize);
        painter.fillRect(area, m_currentBack);
        if (!m_shownPicture.isNull())
            painter.drawImage(area.topLeft(), m_shownPicture.image);
    }
    painter.setFont(m_captionFont);
    painter.setPen(m_shownCapColor);
    const QSize caption = captionSizeTwips() / TwipsPerPixel;
    painter.drawText(QRect(toPixels(m_capPos), caption), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
        m_shownCaption);
}

} // namespace brixel
