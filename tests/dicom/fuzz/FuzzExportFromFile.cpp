// The export's path: a file read in strips (or decoded) through its default
// window, then the preview resampled and both pictures JPEG-encoded.
#include "FuzzInput.h"
#include "dicom/DicomLoader.h"
#include "dicom/JpegPictures.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = vexa::fuzz::writeInput(data, size);
    if (path.isEmpty())
        return 0;
    const vexa::DefaultWindowPixels windowed
        = vexa::loadDefaultWindowPixels(path, vexa::fuzz::fuzzMaxImageBytes);
    if (!windowed.ok())
        return 0;
    const vexa::Pixels8 preview = vexa::resizedToLongestSide(windowed.pixels, vexa::PreviewLongestSide);
    vexa::encodeJpeg(preview, 85);
    vexa::encodeJpeg(windowed.pixels, 90);
    return 0;
}
