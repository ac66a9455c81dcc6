#pragma once
// Small numeric conventions shared by the whole program: rounding halves to
// the even neighbour, numeric prefixes of stored texts, and twips.
#include <QString>
#include <cmath>
#include <cstdint>

namespace vexa {

// Nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
inline int64_t roundHalfEven(double value)
{
    return static_cast<int64_t>(std::nearbyint(value)); // default FP mode rounds to nearest even
}

// The leading number of a text, as a settings value is read: leading blanks
// skipped, optional sign, digits with an optional "." fraction and exponent.
// "" and text without a leading number give 0.
double numericPrefix(const QString& text);

constexpr int TwipsPerPixel = 15;
constexpr int TwipsPerInch = 1440;

inline int pixelsToTwips(double pixels)
{
    return static_cast<int>(roundHalfEven(pixels * TwipsPerPixel));
}
inline int twipsToPixels(double twips)
{
    return static_cast<int>(roundHalfEven(twips / TwipsPerPixel));
}

} // namespace vexa
