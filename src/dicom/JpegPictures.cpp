#include "dicom/JpegPictures.h"

#include "dicom/DisplayLut.h"

#include <QFile>
#include <QTemporaryFile>
#include <algorithm>
#include <climits>
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

// Source pixel ranges [first, last) covered by each target pixel along one
// axis, at least one pixel each.
std::vector<std::pair<int, int>> sourceSpans(int sourceLength, int targetLength)
{
    const double scale = static_cast<double>(sourceLength) / targetLength;
    std::vector<std::pair<int, int>> spans(static_cast<std::size_t>(targetLength));
    for (int t = 0; t < targetLength; ++t) {
        const int first = std::min(sourceLength - 1, static_cast<int>(std::floor(t * scale)));
        const int last = std::clamp(static_cast<int>(std::ceil((t + 1) * scale)), first + 1, sourceLength);
        spans[static_cast<std::size_t>(t)] = {first, last};
    }
    return spans;
}

// sums[i] += row[i] over a row. The fixed-length inner loop is written out
// so the compiler turns it into vector adds at the project's -O2.
void addRow(const std::uint8_t* __restrict row, std::uint32_t* __restrict sums, std::size_t length)
{
    constexpr std::size_t chunk = 16;
    std::size_t i = 0;
    for (; i + chunk <= length; i += chunk)
        for (std::size_t k = 0; k < chunk; ++k)
            sums[i + k] += row[i + k];
    for (; i < length; ++i)
        sums[i] += row[i];
}

// Adds the source rows [first, last) column by column into `sums`.
void sumRows(const Pixels8& in, std::pair<int, int> rows, std::vector<std::uint32_t>& sums)
{
    std::fill(sums.begin(), sums.end(), 0u);
    const std::size_t rowLength = sums.size();
    for (int y = rows.first; y < rows.second; ++y)
        addRow(in.bytes.data() + static_cast<std::size_t>(y) * rowLength, sums.data(), rowLength);
}

// One target row from the column sums of its source rows: each target
// pixel is the rounded mean of its box.
void averageRow(const std::vector<std::uint32_t>& sums, const std::vector<std::pair<int, int>>& xSpans,
    int rowCount, int channels, std::uint8_t* out)
{
    for (const auto& [first, last] : xSpans) {
        const std::uint32_t count = static_cast<std::uint32_t>((last - first) * rowCount);
        for (int c = 0; c < channels; ++c) {
            std::uint32_t sum = 0;
            for (int x = first; x < last; ++x)
                sum += sums[static_cast<std::size_t>(x) * channels + c];
            *out++ = static_cast<std::uint8_t>((sum + count / 2) / count);
        }
    }
}

// The JPEG of some pixels in this thread's output buffer, sized once for the
// worst case so the encoder never reallocates; valid until the next call.
struct EncodedJpeg {
    const unsigned char* data = nullptr;
    unsigned long size = 0;
};

struct TurboBufferDeleter {
    void operator()(unsigned char* buffer) const { tjFree(buffer); }
};

// A pool thread keeps its output buffer from one picture to the next, up to
// this size: the buffer of one large radiograph is released once it is
// written, instead of staying with the thread for the rest of the program.
constexpr unsigned long keptBufferBytes = 8UL << 20;

struct ThreadBuffer {
    std::unique_ptr<unsigned char, TurboBufferDeleter> bytes;
    unsigned long capacity = 0;
};

ThreadBuffer& threadBuffer()
{
    thread_local ThreadBuffer buffer;
    return buffer;
}

// Releases this thread's buffer when it grew past what is kept; called once
// the JPEG in it has been used.
void trimThreadBuffer()
{
    ThreadBuffer& buffer = threadBuffer();
    if (buffer.capacity > keptBufferBytes) {
        buffer.bytes.reset();
        buffer.capacity = 0;
    }
}

EncodedJpeg encodeIntoThreadBuffer(const Pixels8& pixels, int quality)
{
    ThreadBuffer& buffer = threadBuffer();
    tjhandle compressor = threadCompressor();
    if (!compressor || pixels.bytes.empty())
        return {};
    const bool grey = pixels.channels == 1;
    const int subsampling = grey ? TJSAMP_GRAY : TJSAMP_420;
    const unsigned long needed = tjBufSize(pixels.width, pixels.height, subsampling);
    if (needed == static_cast<unsigned long>(-1) || needed > static_cast<unsigned long>(INT_MAX))
        return {};
    if (needed > buffer.capacity) {
        buffer.bytes.reset(tjAlloc(static_cast<int>(needed)));
        buffer.capacity = buffer.bytes ? needed : 0;
        if (!buffer.bytes)
            return {};
    }
    unsigned char* jpeg = buffer.bytes.get();
    unsigned long size = buffer.capacity;
    const int status = tjCompress2(compressor, pixels.bytes.data(), pixels.width, 0, pixels.height,
        grey ? TJPF_GRAY : TJPF_RGB, &jpeg, &size, subsampling, quality, encoderFlags | TJFLAG_NOREALLOC);
    if (status != 0)
        return {};
    return {jpeg, size};
}

// The pictures are written to a temporary file renamed over the target, so a
// reader never sees half a picture. Unlike the measurement and report files
// they are not flushed to disk one by one (QSaveFile would): they can always
// be made again from the image, and two flushes per image made the export of
// a series wait on the disk rather than on the conversions.
DicomResult writeAtomically(const EncodedJpeg& jpeg, const QString& targetPath)
{
    if (jpeg.size == 0)
        return DicomResult::failure(QStringLiteral("Compression JPEG impossible."));
    QTemporaryFile file(targetPath + QStringLiteral(".XXXXXX"));
    file.setAutoRemove(true);
    const auto size = static_cast<qint64>(jpeg.size);
    if (!file.open() || file.write(reinterpret_cast<const char*>(jpeg.data), size) != size || !file.flush())
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
    if (std::max(pixels.width, pixels.height) <= longestSide)
        return pixels; // never enlarged
    const double scale = static_cast<double>(longestSide) / std::max(pixels.width, pixels.height);
    Pixels8 out;
    out.width = std::max(1, static_cast<int>(std::lround(pixels.width * scale)));
    out.height = std::max(1, static_cast<int>(std::lround(pixels.height * scale)));
    out.channels = pixels.channels;
    out.bytes.resize(static_cast<std::size_t>(out.width) * out.height * out.channels);
    const auto xSpans = sourceSpans(pixels.width, out.width);
    const auto ySpans = sourceSpans(pixels.height, out.height);
    std::vector<std::uint32_t> sums(static_cast<std::size_t>(pixels.width) * pixels.channels);
    std::uint8_t* target = out.bytes.data();
    for (const auto& ys : ySpans) {
        sumRows(pixels, ys, sums);
        averageRow(sums, xSpans, ys.second - ys.first, pixels.channels, target);
        target += static_cast<std::size_t>(out.width) * out.channels;
    }
    return out;
}

QByteArray encodeJpeg(const Pixels8& pixels, int quality)
{
    const EncodedJpeg jpeg = encodeIntoThreadBuffer(pixels, quality);
    QByteArray bytes(reinterpret_cast<const char*>(jpeg.data), static_cast<qsizetype>(jpeg.size));
    trimThreadBuffer();
    return bytes;
}

DicomResult writePreviewPicture(const Pixels8& windowed, const QString& targetPath)
{
    const Pixels8 preview = resizedToLongestSide(windowed, PreviewLongestSide);
    DicomResult result = writeAtomically(encodeIntoThreadBuffer(preview, previewQuality), targetPath);
    trimThreadBuffer();
    return result;
}

DicomResult writeFullSizePicture(const Pixels8& windowed, const QString& targetPath)
{
    DicomResult result = writeAtomically(encodeIntoThreadBuffer(windowed, fullSizeQuality), targetPath);
    trimThreadBuffer();
    return result;
}

DicomResult writePreviewPicture(const DicomImageData& image, const QString& targetPath)
{
    return writePreviewPicture(defaultWindowPixels(image), targetPath);
}

DicomResult writeFullSizePicture(const DicomImageData& image, const QString& targetPath)
{
    return writeFullSizePicture(defaultWindowPixels(image), targetPath);
}

} // namespace vexa
