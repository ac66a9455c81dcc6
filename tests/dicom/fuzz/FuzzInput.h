#pragma once
// The fuzzers hand each input to the loaders as a file, the way the program
// reads images: one file per process, rewritten for every input.
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <unistd.h>

namespace vexa::fuzz {

// Inputs may claim images up to this size: enough to reach every path, small
// enough to keep each run fast and under libFuzzer's memory limit.
constexpr std::uint64_t fuzzMaxImageBytes = std::uint64_t{256} << 20;

inline QString writeInput(const std::uint8_t* data, std::size_t size)
{
    static const QString path = QStringLiteral("/tmp/vexa-fuzz-%1.dcm").arg(::getpid());
    static const QByteArray native = path.toLocal8Bit();
    std::FILE* file = std::fopen(native.constData(), "wb");
    if (!file)
        return {};
    const bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written ? path : QString();
}

} // namespace vexa::fuzz
