#pragma once
// The lookup from pixel values to displayed colours for one window and one
// polarity. Rebuilding it is cheap (at most 65536 entries), so a contrast drag
// rebuilds the table and re-renders instead of recomputing every pixel.
#include "dicom/DicomImageData.h"
#include "dicom/StoredSamples.h"

#include <QRgb>
#include <array>
#include <cstdint>
#include <vector>

namespace vexa {

struct DisplayLut {
    // Monochrome: grey[(value - base) >> shift].
    std::int32_t base = 0;
    int shift = 0;
    std::vector<QRgb> grey;
    // Colour: each 8-bit channel goes through the same table.
    std::array<std::uint8_t, 256> channel{};

    QRgb colourOf(std::int32_t value) const
    {
        return grey[static_cast<std::size_t>(static_cast<std::int64_t>(value) - base) >> shift];
    }
};

// A value's grey level 0..255 through a window's function (a window with a
// lutIndex is taken as linear here: the table belongs to the image).
std::uint8_t windowedGrey(double value, const VoiWindow& window);
// A value's grey level 0..255 through a VOI lookup table.
std::uint8_t lutGrey(std::int32_t value, const VoiLut& lut);

DisplayLut makeDisplayLut(const DicomImageData& image, const VoiWindow& window, bool inverted);

// The whole image at full size through a window: one byte per pixel for
// monochrome images, RGB triplets for colour ones (for JPEG pictures).
std::vector<std::uint8_t> renderPixels8(const DicomImageData& image, const VoiWindow& window);

// The grey of every raw sample value (index: the sample's low bitsStored
// bits) through `window`: the byte renderPixels8 gives that sample's modality
// value on an image whose values span [minValue, maxValue]. Windows an
// uncompressed image straight from its samples with one small table.
std::vector<std::uint8_t> storedValueGreys(const StoredSampleFormat& format, std::int32_t minValue,
    std::int32_t maxValue, const VoiWindow& window, bool inverted);

} // namespace vexa
