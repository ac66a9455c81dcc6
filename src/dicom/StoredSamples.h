#pragma once
// How an uncompressed grey image's stored samples become modality values:
// the low bitsStored bits, two's complement when signed, then the linear
// rescale rounded to the nearest whole value.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace vexa {

struct StoredSampleFormat {
    int bitsStored = 16;
    bool isSigned = false;
    double slope = 1.0;
    double intercept = 0.0;

    std::uint32_t mask() const { return (1u << bitsStored) - 1u; }
    std::uint32_t signBit() const { return 1u << (bitsStored - 1); }
    bool wholeIntercept() const { return slope == 1.0 && intercept == std::floor(intercept); }
    // Smallest and largest stored value, before the rescale.
    // (bitsStored up to 32)
    std::int64_t lowestStored() const { return isSigned ? -(std::int64_t{1} << (bitsStored - 1)) : 0; }
    std::int64_t highestStored() const
    {
        return isSigned ? (std::int64_t{1} << (bitsStored - 1)) - 1 : (std::int64_t{1} << bitsStored) - 1;
    }
    // Whether slope and intercept are finite and every stored value's
    // modality value fits an int32: a file whose rescale fails this has its
    // rescale ignored.
    bool rescaleFits() const
    {
        if (!std::isfinite(slope) || !std::isfinite(intercept))
            return false;
        const double a = lowestStored() * slope + intercept, b = highestStored() * slope + intercept;
        constexpr double low = std::numeric_limits<std::int32_t>::min(),
                         high = std::numeric_limits<std::int32_t>::max();
        return std::min(a, b) >= low && std::max(a, b) <= high;
    }
};

// A computed value as an int32, saturating at the ends (NaN gives 0).
inline std::int32_t saturatedInt32(double value)
{
    if (!(value == value))
        return 0;
    constexpr double low = std::numeric_limits<std::int32_t>::min(),
                     high = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(value, low, high));
}

// The modality value of a raw sample (bits above bitsStored are ignored),
// computed in double so no rescale can overflow.
inline std::int32_t modalityValue(std::uint32_t raw, const StoredSampleFormat& format)
{
    std::int64_t v = raw & format.mask();
    if (format.isSigned && (raw & format.signBit()))
        v -= static_cast<std::int64_t>(format.mask()) + 1;
    return format.wholeIntercept()
        ? saturatedInt32(static_cast<double>(v) + format.intercept)
        : saturatedInt32(std::floor(static_cast<double>(v) * format.slope + format.intercept + 0.5));
}

} // namespace vexa
