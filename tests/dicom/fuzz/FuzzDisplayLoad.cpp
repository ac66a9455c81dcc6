// The viewer's path: a file's frame decoded into modality values, drawn
// through each of its windows and VOI LUTs at an odd zoom and offset, its
// last frame read on demand. Any input must fail cleanly or draw: never
// crash, hang, read out of bounds or allocate beyond the image limit.
#include "FuzzInput.h"
#include "dicom/DicomLoader.h"
#include "dicom/DisplayLut.h"
#include "dicom/ViewRenderer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = vexa::fuzz::writeInput(data, size);
    if (path.isEmpty())
        return 0;
    vexa::DicomLoadOptions options;
    options.maxImageBytes = vexa::fuzz::fuzzMaxImageBytes;
    const vexa::DicomLoadResult loaded = vexa::loadDicomImage(path, options);
    if (!loaded.ok())
        return 0;
    const vexa::DicomImageData& image = *loaded.image;
    std::vector<vexa::VoiWindow> windows = image.fileWindows;
    windows.push_back(image.defaultWindow);
    for (const vexa::VoiWindow& window : windows) {
        const vexa::DisplayLut lut = vexa::makeDisplayLut(image, window, true);
        vexa::renderView(image, lut, {37, -5, 3}, QSize(64, 48));
    }
    image.valueAt(image.columns - 1, image.rows - 1);
    if (image.frameCount > 1) {
        options.frame = image.frameCount - 1;
        vexa::loadDicomImage(path, options);
    }
    return 0;
}
