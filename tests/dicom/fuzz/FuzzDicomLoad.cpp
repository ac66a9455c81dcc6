// Feeds arbitrary bytes to the loader and renders what decodes: it must fail
// cleanly, never crash, hang or read out of bounds.
#include "DicomLoader.h"
#include "DisplayLut.h"
#include "ViewRenderer.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const vexa::DicomLoadResult loaded = vexa::loadDicomImageFromMemory(data, size);
    if (loaded.ok()) {
        const vexa::DicomImageData& image = *loaded.image;
        const vexa::DisplayLut lut = vexa::makeDisplayLut(image, image.defaultWindow, true);
        vexa::renderView(image, lut, {37, -5, 3}, QSize(64, 48));
        image.valueAt(image.columns - 1, image.rows - 1);
    }
    return 0;
}
