#include "ButtonLayout.h"

#include <brixel/Twips.h>

#include <algorithm>

namespace brixel {

namespace {

int halfOf(double value)
{
    return roundHalfEven(value / 2.0);
}

int centredFrom(double value)
{
    return std::max(0, halfOf(value));
}

// Picture and caption side by side along one axis, sharing the free room.
void spreadAlong(
    const LayoutInput& in, int room, int pictureSpan, int captionSpan, int& pictureAt, int& captionAt)
{
    const int start = centredFrom(room - pictureSpan - in.spacing - captionSpan);
    if (in.hasPicture) {
        pictureAt = start;
        captionAt = start + pictureSpan + in.spacing;
    } else {
        captionAt = start;
    }
}

// Picture and caption centred on each other across one axis, the larger one centred in the room.
void centreAcross(
    const LayoutInput& in, int room, int pictureSpan, int captionSpan, int& pictureAt, int& captionAt)
{
    if (captionSpan < pictureSpan) {
        pictureAt = centredFrom(room - pictureSpan);
        captionAt = roundHalfEven((pictureSpan - captionSpan) / 2.0 + pictureAt);
    } else {
        const int start = centredFrom(room - captionSpan);
        captionAt = start;
        if (in.hasPicture)
            pictureAt = roundHalfEven((captionSpan - pictureSpan) / 2.0 + start);
    }
}

} // namespace

LayoutResult computeLayout(const LayoutInput& in)
{
    const int pw = in.hasPicture ? in.pictureWidth : 0;
    const int ph = in.hasPicture ? in.pictureHeight : 0;
    LayoutResult out;
    int picX = 0, picY = 0, capX = 0, capY = 0;
    if (in.arrange == pdaTop) {
        centreAcross(in, in.innerWidth, pw, in.captionWidth, picX, capX);
        spreadAlong(in, in.innerHeight, ph, in.captionHeight, picY, capY);
    } else {
        spreadAlong(in, in.innerWidth, pw, in.captionWidth, picX, capX);
        centreAcross(in, in.innerHeight, ph, in.captionHeight, picY, capY);
    }
    out.picture = QPoint(picX, picY);
    out.caption = QPoint(capX, capY);
    return out;
}

} // namespace brixel
