#pragma once
// 8-bit pixels ready for JPEG encoding, the output of a window.
#include <cstdint>
#include <vector>

namespace vexa {

// One byte per pixel (grey) or RGB triplets, row by row.
struct Pixels8 {
    int width = 0;
    int height = 0;
    int channels = 1;
    std::vector<std::uint8_t> bytes;
};

} // namespace vexa
