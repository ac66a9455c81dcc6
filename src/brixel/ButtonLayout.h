#pragma once
// Where the button puts its picture and caption: pure arithmetic on twips.
#include <brixel/Enums.h>

#include <QPoint>

namespace brixel {

struct LayoutInput {
    bool hasPicture = false;
    int pictureWidth = 0;
    int pictureHeight = 0;
    int spacing = 0; // gap between picture and caption (0 without caption)
    int captionWidth = 0;
    int captionHeight = 0;
    int innerWidth = 0;
    int innerHeight = 0;
    picDefaultArrange arrange = pdaLeft;
};

struct LayoutResult {
    QPoint picture; // meaningful only with a picture
    QPoint caption;
};

// Centres picture and caption together, the picture left of (pdaLeft) or above
// (pdaTop) the caption. Every quotient, and every sum holding one, is rounded
// halves to even before use, as the stored designs were laid out.
LayoutResult computeLayout(const LayoutInput& in);

} // namespace brixel
