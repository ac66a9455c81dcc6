#include "ButtonPainter.h"

#include <QPainter>

namespace brixel {

namespace {

// One ring of an edge: top and left lines first, then bottom and right,
// which own the two far corners (as the Windows edges did).
void drawRing(QPainter& painter, const QRect& r, const QColor& topLeft, const QColor& bottomRight)
{
    if (r.width() <= 0 || r.height() <= 0)
        return;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), 1), topLeft);
    painter.fillRect(QRect(r.left(), r.top(), 1, r.height()), topLeft);
    painter.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), bottomRight);
    painter.fillRect(QRect(r.right(), r.top(), 1, r.height()), bottomRight);
}

QColor distinctFrom(const QColor& colour, const QColor& neighbour, int darkerFactor)
{
    return colour.rgb() == neighbour.rgb() ? neighbour.darker(darkerFactor) : colour;
}

} // namespace

void drawButtonEdge(QPainter& painter, const QRect& rect, int style, const QPalette& palette)
{
    const QColor highlight = palette.color(QPalette::Light);
    const QColor shadow = palette.color(QPalette::Dark);
    // Some palettes merge these with their neighbours; the raised and sunken
    // edges would then look like the half-raised one.
    const QColor light = distinctFrom(palette.color(QPalette::Midlight), highlight, 112);
    const QColor darkShadow = distinctFrom(palette.color(QPalette::Shadow), shadow, 150);
    const QRect inner = rect.adjusted(1, 1, -1, -1);
    switch (style) {
    case 1:
        drawRing(painter, rect, highlight, shadow);
        break;
    case 2:
        drawRing(painter, rect, light, darkShadow);
        drawRing(painter, inner, highlight, shadow);
        break;
    case 3:
        drawRing(painter, rect, shadow, highlight);
        drawRing(painter, inner, darkShadow, light);
        break;
    default:
        break;
    }
}

} // namespace brixel
