#pragma once
// Plausible, text-free pixel content for demo images: smooth anatomy-like
// gradients with shapes and a little noise. Little-endian sample bytes.
#include <QByteArray>
#include <cstdint>

namespace vexa::demo {

// 12-bit chest radiograph (air dark, bone bright), 16-bit samples.
QByteArray chestRadiograph(int width, int height, std::uint32_t seed);
// CT slice as 12-bit stored values; HU = stored - 1024.
QByteArray ctSlice(int width, int height, int sliceIndex, std::uint32_t seed);
// Ultrasound sector as 8-bit RGB triplets.
QByteArray ultrasoundRgb(int width, int height, std::uint32_t seed);
// 8-bit angiography frames, one after the other: contrast fills the vessels.
QByteArray angiographyFrames(int width, int height, int frames, std::uint32_t seed);

} // namespace vexa::demo
