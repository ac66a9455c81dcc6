#include "JpegPictures.h"

#include "DisplayLut.h"

#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <turbojpeg.h>

namespace vexa {

namespace {

// Encoder choices. Full size: quality 90 keeps the fine texture of bone and
// lung readable for the patient's CD; the preview is a thumbnail, 85 is
// plenty. Grey images are encoded as one grey component (a third of the work
// of YCbCr, and no colour fringes); colour images use 4:2:0 subsampling, the
// usual choice for photographs such as ultrasound. The fast integer DCT saves
// about a fifth of the encoding time at no visible cost at these qualities.
// Baseline (not progressive) encoding: faster and read by every browser.
constexpr int fullSizeQuality = 90;
constexpr int previewQuality = 85;
constexpr int encoderFlags = TJFLAG_FASTDCT;

struct TurboHandleDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};

// One compressor per thread: conversions run on a worker pool.
tjhandle threadCompressor()
{
    thread_local std::unique_ptr<void, TurboHandleDeleter> handle(tjInitCompress());
    return handle.get();
}

// Source pixel range [first, last) covered by target pixel t, at least one pixel.
std::pair<int, int> sourceSpan(int t, int sourceLength, int targetLength)
{
    const double scale = static_cast<double>(sourceLength) / targetLength;
    const int first = std::min(sourceLength - 1, static_cast<int>(std::floor(t * scale)));
    const int last = std::clamp(static_cast<int>(std::ceil((t + 1) * scale)), first + 1, sourceLength);
    return {first, last};
}

void averageBox(const Pixels8& in, std::pair<int, int> xs, std::pair<int, int> ys, std::uint8_t* out)
{
    std::uint32_t sums[3] = {0, 0, 0};
    for (int y = ys.first; y < ys.second; ++y) {
        const std::uint8_t* row
            = in.bytes.data() + (static_cast<std::size_t>(y) * in.width + xs.first) * in.channels;
        for (int x = xs.first; x < xs.second; ++x)
            for (int c = 0; c < in.channels; ++c)
                sums[c] += *row++;
    }
    const std::uint32_t count = static_cast<std::uint32_t>((xs.second - xs.first) * (ys.second - ys.first));
    for (int c = 0; c < in.channels; ++c)
        out[c] = static_cast<std::uint8_t>((sums[c] + count / 2) / count);
}

// The pictures are written to a temporary file renamed over the target, so a
// reader never sees half a picture. Unlike the measurement and report files
// they are not flushed to disk one by one (QSaveFile would): they can always
// be made again from the image, and two flushes per image made the export of
// a series wait on the disk rather than on the conversions.
DicomResult writeAtomically(const QByteArray& bytes, const QString& targetPath)
{
    if (bytes.isEmpty())
        return DicomResult::failure(QStringLiteral("Compression JPEG impossible."));
    QTemporaryFile file(targetPath + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(true);
    if (!file.open() || file.write(bytes) != bytes.size() || !file.flush())
        return DicomResult::failure(QStringLiteral("Écriture impossible : %1").arg(targetPath));
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(file.fileName()).constData(),
        QFile::encodeName(targetPath).constData(), error); // replaces an older picture
    if (error)
        return DicomResult::failure(QStringLiteral("Écriture impossible : %1").arg(targetPath));
    file.setAutoRemove(false);
    // Temporary files are private; the pictures are read by other
    // workstations and by the patient CD, like the images beside them.
    QFile::setPermissions(targetPath,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    return DicomResult::success();
}

} // namespace

Pixels8 defaultWindowPixels(const DicomImageData& image)
{
    return {image.columns, image.rows, image.monochrome ? 1 : 3, renderPixels8(image, image.defaultWindow)};
}

Pixels8 resizedToLongestSide(const Pixels8& pixels, int longestSide)
{
    const double scale = static_cast<double>(longestSide) / std::max(pixels.width, pixels.height);
    Pixels8 out;
    out.width = std::max(1, static_cast<int>(std::lround(pixels.width * scale)));
    out.height = std::max(1, static_cast<int>(std::lround(pixels.height * scale)));
    out.channels = pixels.channels;
    out.bytes.resize(static_cast<std::size_t>(out.width) * out.height * out.channels);
    std::uint8_t* target = out.bytes.data();
    for (int y = 0; y < out.height; ++y) {
        const auto ys = sourceSpan(y, pixels.height, out.height);
        for (int x = 0; x < out.width; ++x, target += out.channels)
            averageBox(pixels, sourceSpan(x, pixels.width, out.width), ys, target);
    }
    return out;
}

QByteArray encodeJpeg(const Pixels8& pixels, int quality)
{
    tjhandle compressor = threadCompressor();
    if (!compressor || pixels.bytes.empty())
        return {};
    const bool grey = pixels.channels == 1;
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int status = tjCompress2(compressor, pixels.bytes.data(), pixels.width, 0, pixels.height,
        grey ? TJPF_GRAY : TJPF_RGB, &jpeg, &size, grey ? TJSAMP_GRAY : TJSAMP_420, quality, encoderFlags);
    QByteArray bytes;
    if (status == 0)
        bytes = QByteArray(reinterpret_cast<const char*>(jpeg), static_cast<qsizetype>(size));
    tjFree(jpeg);
    return bytes;
}

DicomResult writePreviewPicture(const DicomImageData& image, const QString& targetPath)
{
    const Pixels8 preview = resizedToLongestSide(defaultWindowPixels(image), PreviewLongestSide);
    return writeAtomically(encodeJpeg(preview, previewQuality), targetPath);
}

DicomResult writeFullSizePicture(const DicomImageData& image, const QString& targetPath)
{
    return writeAtomically(encodeJpeg(defaultWindowPixels(image), fullSizeQuality), targetPath);
}

} // namespace vexa
