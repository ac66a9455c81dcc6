#pragma once
// The windows offered on the keys 1 to 5: the usual CT windows, or for other
// images the file's own window, and the line the viewer shows about them.
#include "DicomImageData.h"

#include <QString>
#include <vector>

namespace vexa {

struct NamedWindow {
    QString name;
    VoiWindow window;
};

// CT: poumon, médiastin, os, cerveau, abdomen (Hounsfield units). Other
// images: the window the file gives (its pixel range when it gives none).
std::vector<NamedWindow> WindowPresetsFor(const DicomImageData& image);

// "image 4 / 6" (no position when count is 0) and the window shown:
// "C 40  L 80" followed by the preset's name when one is applied.
QString ViewerIndicatorText(int position, int count, const VoiWindow& window, const QString& presetName);

} // namespace vexa
