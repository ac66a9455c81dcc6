#pragma once
// Decodes several DICOM images at once on the worker threads while the
// calling (user-interface) thread keeps running its events, so a waiting
// panel paints; the user's input waits until the images are there.
#include "DicomImageData.h"

#include <QStringList>
#include <vector>

namespace vexa {

// One result per path, in the paths' order; "" gives an empty result.
std::vector<DicomLoadResult> LoadImagesInParallel(const QStringList& paths);

} // namespace vexa
