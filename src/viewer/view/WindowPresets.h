#pragma once
// The windows offered on the keys 1 to 5: the usual CT windows, or for other
// images the file's own windows; the file's windows the user cycles through;
// and the line the viewer shows about what is on screen.
#include "dicom/DicomImageData.h"

#include <QString>
#include <vector>

namespace vexa {

struct NamedWindow {
    QString name;
    VoiWindow window;
};

// Every window and VOI lookup table the file offers, in its order, named by
// the file's explanation when it gives one; empty when it offers none.
std::vector<NamedWindow> fileWindowsOf(const DicomImageData& image);

// CT: poumon, médiastin, os, cerveau, abdomen (Hounsfield units). Other
// images: the file's first five windows (its pixel range when it gives none).
std::vector<NamedWindow> windowPresetsFor(const DicomImageData& image);

// Where the viewer is: the image in the series (no position when count is
// 0) and, in a file of several frames, the frame (from 1).
struct ViewerPosition {
    int image = 0;
    int imageCount = 0;
    int frame = 1;
    int frameCount = 1;
};

// "image 4 / 6", "  trame 2 / 40" in a file of several frames, then the
// window shown: "C 40  L 80" followed by the window's name when it has one.
QString viewerIndicatorText(
    const ViewerPosition& position, const VoiWindow& window, const QString& windowName);

} // namespace vexa
