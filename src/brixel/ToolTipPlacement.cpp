#include "ToolTipPlacement.h"

#include <brixel/Twips.h>

namespace brixel {

QString fitToolTipText(
    const QString& text, int screenWidth, const std::function<int(const QString&)>& widthOf)
{
    const double limit = screenWidth * 0.8;
    QString fitted = text;
    while (!fitted.isEmpty() && widthOf(fitted) > limit)
        fitted.chop(1);
    return fitted;
}

QRect placeToolTip(const QRect& control, const QSize& textSize, const QRect& screen)
{
    const int width = textSize.width() + 10;
    const int height = textSize.height() + 8;
    // Window edges as the original rectangles had them: right and bottom are exclusive.
    const int screenRight = screen.x() + screen.width();
    const int screenBottom = screen.y() + screen.height();
    int left = control.x() + roundHalfEven(control.width() / 3.0);
    int top = control.y() + control.height() + 8;
    if (left < screen.x())
        left = screen.x();
    if (left + width > screenRight)
        left = screenRight - width;
    if (top + height > screenBottom)
        top = control.y() - 2 - height;
    if (top < screen.y()) // a control taller than the room above: stay on screen
        top = screen.y();
    return QRect(left, top, width, height);
}

} // namespace brixel
