#include "SyntheticPixels.h"

#include <algorithm>
#include <cmath>

namespace vexa::demo {

namespace {

// Small fast generator: demo noise needs no quality, only repeatability.
class Noise {
public:
    explicit Noise(std::uint32_t seed)
        : state_(seed * 2654435761u + 1u)
    {
    }
    // Uniform in [-1, 1).
    double next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ & 0xFFFF) / 32768.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// 1 inside an ellipse, falling smoothly to 0 at its edge.
double ellipse(double u, double v, double cu, double cv, double ru, double rv)
{
    const double d = ((u - cu) * (u - cu)) / (ru * ru) + ((v - cv) * (v - cv)) / (rv * rv);
    return d >= 1.0 ? 0.0 : std::sqrt(1.0 - d);
}

void putSample16(QByteArray& out, std::size_t index, double value, int maxValue)
{
    const auto v = static_cast<std::uint16_t>(std::clamp(static_cast<int>(value), 0, maxValue));
    out[static_cast<qsizetype>(index * 2)] = static_cast<char>(v & 0xFF);
    out[static_cast<qsizetype>(index * 2 + 1)] = static_cast<char>(v >> 8);
}

} // namespace

QByteArray chestRadiograph(int width, int height, std::uint32_t seed)
{
    QByteArray out(static_cast<qsizetype>(width) * height * 2, '\0');
    Noise noise(seed);
    const double tilt = (seed % 7) / 100.0;
    for (int y = 0; y < height; ++y) {
        const double v = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width + tilt * (v - 0.5);
            const double body = ellipse(u, v, 0.5, 0.58, 0.44, 0.55);
            const double lungs = ellipse(u, v, 0.32, 0.45, 0.14, 0.3) + ellipse(u, v, 0.68, 0.45, 0.14, 0.3);
            const double heart = ellipse(u, v, 0.56, 0.62, 0.14, 0.14);
            const double spine = std::max(0.0, 1.0 - std::abs(u - 0.5) / 0.035);
            const double ribs = lungs > 0
                ? std::pow(std::max(0.0, std::sin(v * 42.0 + (u - 0.5) * (u - 0.5) * 25.0)), 6)
                : 0;
            double value = 250.0 + body * 1900.0 - lungs * 1100.0 + heart * 700.0 + spine * body * 900.0
                + ribs * 450.0;
            value += (1.0 - v) * 120.0 + noise.next() * 25.0;
            putSample16(out, static_cast<std::size_t>(y) * width + x, value, 4095);
        }
    }
    return out;
}

QByteArray ctSlice(int width, int height, int sliceIndex, std::uint32_t seed)
{
    QByteArray out(static_cast<qsizetype>(width) * height * 2, '\0');
    Noise noise(seed + static_cast<std::uint32_t>(sliceIndex));
    const double lungSize = 0.16 + 0.01 * (sliceIndex % 5);
    for (int y = 0; y < height; ++y) {
        const double v = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double u = static_cast<double>(x) / width;
            const double body = ellipse(u, v, 0.5, 0.5, 0.42, 0.34) > 0 ? 1.0 : 0.0;
            const double ring = ellipse(u, v, 0.5, 0.5, 0.42, 0.34) < 0.12 && body > 0 ? 1.0 : 0.0;
            const double lungs
                = (ellipse(u, v, 0.33, 0.47, lungSize, 0.22) + ellipse(u, v, 0.67, 0.47, lungSize, 0.22)) > 0;
            const double vertebra = ellipse(u, v, 0.5, 0.74, 0.05, 0.05) > 0 ? 1.0 : 0.0;
            double hu = body ? 40.0 : -1000.0;
            hu += ring * 60.0 - lungs * 870.0 + vertebra * 650.0 + noise.next() * 12.0 * body;
            putSample16(out, static_cast<std::size_t>(y) * width + x, hu + 1024.0, 4095);
        }
    }
    return out;
}

QByteArray ultrasoundRgb(int width, int height, std::uint32_t seed)
{
    QByteArray out(static_cast<qsizetype>(width) * height * 3, '\0');
    Noise noise(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double dx = (x - width / 2.0) / height, dy = static_cast<double>(y) / height;
            const double radius = std::hypot(dx, dy), angle = std::atan2(dx, dy);
            double grey = 0.0;
            if (radius < 0.95 && std::abs(angle) < 0.6) {
                const double cyst = ellipse(dx, dy, 0.05, 0.55, 0.12, 0.08);
                grey = 90.0 + 60.0 * std::sin(radius * 9.0) - cyst * 110.0 + std::abs(noise.next()) * 70.0;
            }
            const auto g = static_cast<std::uint8_t>(std::clamp(grey, 0.0, 255.0));
            const qsizetype i = (static_cast<qsizetype>(y) * width + x) * 3;
            out[i] = static_cast<char>(g);
            out[i + 1] = static_cast<char>(g);
            out[i + 2] = static_cast<char>(std::min(255, g + 12));
        }
    }
    return out;
}

QByteArray angiographyFrames(int width, int height, int frames, std::uint32_t seed)
{
    QByteArray out;
    out.reserve(static_cast<qsizetype>(width) * height * frames);
    Noise noise(seed);
    for (int f = 0; f < frames; ++f) {
        const double filled = static_cast<double>(f + 1) / frames;
        for (int y = 0; y < height; ++y) {
            const double v = static_cast<double>(y) / height;
            for (int x = 0; x < width; ++x) {
                const double u = static_cast<double>(x) / width;
                const double trunk = std::abs(u - 0.5 - 0.08 * std::sin(v * 6.0));
                const double branch = std::abs(v - 0.3 - 0.6 * (u - 0.5) * (u - 0.5) - 0.2 * u);
                const double vessel
                    = (trunk < 0.015 && v < filled) || (branch < 0.01 && u < filled) ? 1.0 : 0.0;
                const double grey
                    = 170.0 - 40.0 * (u - 0.5) * (u - 0.5) - vessel * 110.0 + noise.next() * 6.0;
                out.append(static_cast<char>(std::clamp(static_cast<int>(grey), 0, 255)));
            }
        }
    }
    return out;
}

} // namespace vexa::demo
