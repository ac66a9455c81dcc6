#pragma once
// How an uncompressed grey image's stored samples become modality values:
// the low bitsStored bits, two's complement when signed, then the linear
// rescale rounded to the nearest whole value.
#include <cmath>
#include <cstdint>

namespace vexa {

struct StoredSampleFormat {
    int bitsStored = 16;
    bool isSigned = false;
    double slope = 1.0;
    double intercept = 0.0;

    std::uint32_t mask() const { return (1u << bitsStored) - 1u; }
    std::uint32_t signBit() const { return 1u << (bitsStored - 1); }
    bool wholeIntercept() const { return slope == 1.0 && intercept == std::floor(intercept); }
};

// The modality value of a raw sample (bits above bitsStored are ignored).
inline std::int32_t modalityValue(std::uint32_t raw, const StoredSampleFormat& format)
{
    std::int32_t v = static_cast<std::int32_t>(raw & format.mask());
    if (format.isSigned && (raw & format.signBit()))
        v -= static_cast<std::int32_t>(format.mask()) + 1;
    return format.wholeIntercept()
        ? v + static_cast<std::int32_t>(format.intercept)
        : static_cast<std::int32_t>(std::floor(v * format.slope + format.intercept + 0.5));
}

} // namespace vexa
