#include "dicom/DisplayLut.h"

#include <algorithm>
#include <cmath>

namespace vexa {

namespace {

constexpr std::int64_t maxLutEntries = 65536;

int shiftFor(std::int64_t range)
{
    int shift = 0;
    while ((range >> shift) >= maxLutEntries)
        ++shift;
    return shift;
}

std::uint8_t applyPolarity(std::uint8_t grey, bool inverted)
{
    return inverted ? static_cast<std::uint8_t>(255 - grey) : grey;
}

} // namespace

std::uint8_t windowedGrey(double value, const VoiWindow& window)
{
    if (window.function == VoiFunction::Sigmoid) {
        const double width = std::max(window.width, 1.0);
        const double level = 255.0 / (1.0 + std::exp(-4.0 * (value - window.center) / width));
        return static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
    }
    if (window.function == VoiFunction::LinearExact) {
        const double width = std::max(window.width, 1e-6);
        if (value <= window.center - width / 2.0)
            return 0;
        if (value > window.center + width / 2.0)
            return 255;
        const double level = ((value - window.center) / width + 0.5) * 255.0;
        return static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
    }
    const double centre = window.center - 0.5;
    const double halfSpan = (std::max(window.width, 1.0) - 1.0) / 2.0;
    if (value <= centre - halfSpan)
        return 0;
    if (value > centre + halfSpan)
        return 255;
    const double level = ((value - centre) / (2.0 * halfSpan) + 0.5) * 255.0;
    return static_cast<std::uint8_t>(std::clamp(std::lround(level), 0L, 255L));
}

std::uint8_t lutGrey(std::int32_t value, const VoiLut& lut)
{
    if (lut.entries.empty())
        return 0;
    const std::int64_t last = static_cast<std::int64_t>(lut.entries.size()) - 1;
    const std::int64_t index
        = std::clamp(static_cast<std::int64_t>(value) - lut.firstValue, std::int64_t{0}, last);
    const double top = static_cast<double>((std::uint32_t{1} << std::clamp(lut.bits, 1, 16)) - 1);
    const double level = std::min<double>(lut.entries[static_cast<std::size_t>(index)], top) * 255.0 / top;
    return static_cast<std::uint8_t>(std::lround(level));
}

DisplayLut makeDisplayLut(const DicomImageData& image, const VoiWindow& window, bool inverted)
{
    DisplayLut lut;
    const VoiLut* table
        = window.lutIndex >= 0 && static_cast<std::size_t>(window.lutIndex) < image.voiLuts.size()
        ? &image.voiLuts[static_cast<std::size_t>(window.lutIndex)]
        : nullptr;
    if (image.monochrome) {
        lut.base = image.minValue;
        const std::int64_t range = static_cast<std::int64_t>(image.maxValue) - image.minValue;
        lut.shift = shiftFor(range);
        const std::size_t entries = static_cast<std::size_t>(range >> lut.shift) + 1;
        lut.grey.resize(entries);
        for (std::size_t i = 0; i < entries; ++i) {
            const std::int64_t value
                = static_cast<std::int64_t>(lut.base) + static_cast<std::int64_t>(i << lut.shift);
            const std::uint8_t grey = applyPolarity(table ? lutGrey(static_cast<std::int32_t>(value), *table)
                                                          : windowedGrey(static_cast<double>(value), window),
                inverted);
            lut.grey[i] = qRgb(grey, grey, grey);
        }
    } else {
        for (int i = 0; i < 256; ++i)
            lut.channel[i] = applyPolarity(windowedGrey(i, window), inverted);
    }
    return lut;
}

std::vector<std::uint8_t> renderPixels8(const DicomImageData& image, const VoiWindow& window)
{
    const DisplayLut lut = makeDisplayLut(image, window, image.invertedGrey);
    std::vector<std::uint8_t> out;
    if (image.monochrome) {
        out.resize(image.values.size());
        std::transform(image.values.begin(), image.values.end(), out.begin(),
            [&](std::int32_t v) { return static_cast<std::uint8_t>(qRed(lut.colourOf(v))); });
    } else {
        out.resize(image.rgb.size());
        std::transform(
            image.rgb.begin(), image.rgb.end(), out.begin(), [&](std::uint8_t v) { return lut.channel[v]; });
    }
    return out;
}

std::vector<std::uint8_t> storedValueGreys(const StoredSampleFormat& format, std::int32_t minValue,
    std::int32_t maxValue, const VoiWindow& window, bool inverted)
{
    DicomImageData range;
    range.minValue = minValue;
    range.maxValue = maxValue;
    const DisplayLut lut = makeDisplayLut(range, window, inverted);
    std::vector<std::uint8_t> greys(static_cast<std::size_t>(format.mask()) + 1);
    for (std::uint32_t raw = 0; raw < greys.size(); ++raw) {
        // Values no pixel has still get a grey: the nearest end of the range.
        const std::int32_t value = std::clamp(modalityValue(raw, format), minValue, maxValue);
        greys[raw] = static_cast<std::uint8_t>(qRed(lut.colourOf(value)));
    }
    return greys;
}

} // namespace vexa
