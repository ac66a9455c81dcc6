#pragma once
// The four border looks of the button, drawn from the palette's 3D colours:
// light (highlight), midlight, dark (shadow) and shadow (dark shadow).
#include <QPalette>
#include <QRect>

class QPainter;

namespace brixel {

// style: 0 flat (no edge), 1 half-raised, 2 raised, 3 sunken.
void drawButtonEdge(QPainter& painter, const QRect& rect, int style, const QPalette& palette);

} // namespace brixel
