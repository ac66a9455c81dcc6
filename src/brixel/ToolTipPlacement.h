#pragma once
// Where the button's tooltip window opens, in screen pixels: pure arithmetic.
#include <QRect>
#include <QString>
#include <functional>

namespace brixel {

// The text cut from its end, one character at a time, until its width is at
// most 80 % of the screen width.
QString fitToolTipText(
    const QString& text, int screenWidth, const std::function<int(const QString&)>& widthOf);

// A third of the way into the control and 8 pixels below it; the window is the
// text plus 10 x 8 pixels. Kept inside the screen horizontally; when it would
// pass the bottom edge it opens above the control, 2 pixels off its top edge.
QRect placeToolTip(const QRect& control, const QSize& textSize, const QRect& screen);

} // namespace brixel
