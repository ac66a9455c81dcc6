#pragma once
// The height of the band the desktop reserves (taskbar, panel) at the top or
// bottom of a screen, from the screen's full and available rectangles.
#include <QRect>

namespace vexa {

// Positive for a band at the bottom, negative for one at the top, 0 when no
// band takes height (none, or one at the left or right edge).
int taskbarHeightFor(const QRect& screenGeometry, const QRect& availableGeometry);

} // namespace vexa
