#include "dicom/DicomLoader.h"

#include "dicom/CompressedFrames.h"
#include "dicom/DicomCodecs.h"
#include "dicom/DicomFileOpening.h"
#include "dicom/DisplayLut.h"
#include "dicom/StoredSamples.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfcache.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcmetinf.h>
#include <dcmtk/dcmdata/dcpixel.h>
#include <dcmtk/dcmdata/dcpixseq.h>
#include <dcmtk/dcmdata/dcpxitem.h>
#include <dcmtk/dcmdata/dcsequen.h>
#include <dcmtk/dcmdata/dcstack.h>
#include <dcmtk/dcmdata/dcuid.h>
#include <dcmtk/dcmdata/dcxfer.h>
#include <dcmtk/dcmimage/diregist.h> // colour images
#include <dcmtk/dcmimgle/dcmimage.h>
#include <dcmtk/dcmimgle/dipixel.h>

#include <QFileInfo>
#include <QTemporaryFile>
#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <new>
#include <optional>
#include <zlib.h>

namespace vexa {

namespace {

DicomLoadResult failure(const QString& reason)
{
    return {nullptr, reason};
}

// ---------------------------------------------------------------- the header

// What the data set says about its pixels.
struct PixelLayout {
    Uint16 rows = 0;
    Uint16 columns = 0;
    Uint16 samples = 1;
    Uint16 bitsAllocated = 0;
    Uint16 bitsStored = 0;
    Uint16 representation = 0;
    int frames = 1;
    bool encapsulated = false;
    E_TransferSyntax transfer = EXS_Unknown;

    std::uint64_t pixelCount() const { return static_cast<std::uint64_t>(rows) * columns; }
    std::uint64_t frameBytes() const { return (pixelCount() * samples * bitsAllocated + 7) / 8; }
};

int declaredFrames(DcmDataset& dataset)
{
    Sint32 frames = 1;
    if (dataset.findAndGetSint32(DCM_NumberOfFrames, frames).bad() || frames < 1)
        return 1;
    return frames;
}

QString readLayout(DcmDataset& dataset, PixelLayout& layout)
{
    if (dataset.findAndGetUint16(DCM_Rows, layout.rows).bad()
        || dataset.findAndGetUint16(DCM_Columns, layout.columns).bad())
        return QStringLiteral("Ce fichier DICOM ne contient pas d'image.");
    if (layout.rows == 0 || layout.columns == 0)
        return QStringLiteral("L'image est de taille nulle.");
    if (!dataset.tagExistsWithValue(DCM_PixelData))
        return QStringLiteral("Ce fichier DICOM ne contient pas de pixels.");
    dataset.findAndGetUint16(DCM_SamplesPerPixel, layout.samples);
    dataset.findAndGetUint16(DCM_BitsAllocated, layout.bitsAllocated);
    dataset.findAndGetUint16(DCM_BitsStored, layout.bitsStored);
    dataset.findAndGetUint16(DCM_PixelRepresentation, layout.representation);
    layout.samples = std::max<Uint16>(layout.samples, 1);
    layout.frames = declaredFrames(dataset);
    layout.transfer = dataset.getOriginalXfer();
    layout.encapsulated = DcmXfer(layout.transfer).isEncapsulated();
    return {};
}

// What decoding one frame takes at most: the decoder's frame buffer, its
// internal values (up to 32 bits a sample) and ours (32 bits a grey pixel, or
// 8-bit RGB), plus every other frame when the decoder must decompress them all.
std::uint64_t decodingBytes(const PixelLayout& layout, bool wholePixelData)
{
    const std::uint64_t pixels = layout.pixelCount();
    const std::uint64_t frameBytes = std::max<std::uint64_t>(layout.frameBytes(), pixels * layout.samples);
    std::uint64_t total = frameBytes + pixels * layout.samples * 4 + pixels * 4;
    if (wholePixelData)
        total += frameBytes * static_cast<std::uint64_t>(layout.frames);
    return total;
}

QString checkFrameIndex(int frame, int frameCount)
{
    if (frame >= 0 && frame < frameCount)
        return {};
    return QStringLiteral("L'image %1 n'existe pas : ce fichier en contient %2.")
        .arg(frame + 1)
        .arg(frameCount);
}

// ---------------------------------------------------------- modality values

template <typename T> void copyValues(const void* data, std::size_t count, std::vector<std::int32_t>& out)
{
    const T* typed = static_cast<const T*>(data);
    out.assign(typed, typed + count);
}

bool copyInterData(const DiPixel& pixels, std::size_t count, std::vector<std::int32_t>& out)
{
    const void* data = pixels.getData();
    if (!data || pixels.getCount() < count)
        return false;
    switch (pixels.getRepresentation()) {
    case EPR_Uint8:
        copyValues<Uint8>(data, count, out);
        return true;
    case EPR_Sint8:
        copyValues<Sint8>(data, count, out);
        return true;
    case EPR_Uint16:
        copyValues<Uint16>(data, count, out);
        return true;
    case EPR_Sint16:
        copyValues<Sint16>(data, count, out);
        return true;
    case EPR_Sint32:
        copyValues<Sint32>(data, count, out);
        return true;
    case EPR_Uint32: {
        // Values above the int32 range are clamped: no real image uses them.
        const Uint32* typed = static_cast<const Uint32*>(data);
        out.resize(count);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<std::int32_t>(std::min<Uint32>(typed[i], 0x7FFFFFFF));
        return true;
    }
    }
    return false;
}

// The file's rescale, when it is usable: finite, and mapping every stored
// value into the int32 range. Otherwise the stored values are shown as
// they are, and the file's windows (in rescaled units) are set aside.
struct Rescale {
    double slope = 1.0;
    double intercept = 0.0;
    bool usable = true;
};

Rescale readRescale(DcmDataset& dataset, int bitsStored, bool isSigned)
{
    Rescale rescale;
    dataset.findAndGetFloat64(DCM_RescaleSlope, rescale.slope);
    dataset.findAndGetFloat64(DCM_RescaleIntercept, rescale.intercept);
    if (rescale.slope == 0.0)
        rescale.slope = 1.0;
    const StoredSampleFormat format{
        std::clamp(bitsStored, 1, 32), isSigned, rescale.slope, rescale.intercept};
    if (!format.rescaleFits())
        rescale = {1.0, 0.0, false};
    return rescale;
}

bool readSpacingPair(DcmDataset& dataset, const DcmTagKey& key, ImageSpacing& spacing)
{
    Float64 rowSpacing = 0, columnSpacing = 0;
    if (dataset.findAndGetFloat64(key, rowSpacing, 0).bad()
        || dataset.findAndGetFloat64(key, columnSpacing, 1).bad())
        return false;
    if (!(rowSpacing > 0.0) || !(columnSpacing > 0.0) || !std::isfinite(rowSpacing)
        || !std::isfinite(columnSpacing))
        return false;
    spacing = {columnSpacing, rowSpacing, true, key == DCM_ImagerPixelSpacing};
    return true;
}

QString readModality(DcmDataset& dataset)
{
    OFString modality;
    dataset.findAndGetOFString(DCM_Modality, modality);
    return QString::fromLatin1(modality.c_str()).trimmed();
}

ImageSpacing readSpacing(DcmDataset& dataset)
{
    ImageSpacing spacing;
    if (!readSpacingPair(dataset, DCM_PixelSpacing, spacing))
        readSpacingPair(dataset, DCM_ImagerPixelSpacing, spacing);
    return spacing;
}

// ----------------------------------------------------------------- the VOI

VoiFunction voiFunction(DcmDataset& dataset)
{
    OFString name;
    dataset.findAndGetOFString(DCM_VOILUTFunction, name);
    if (name == "SIGMOID")
        return VoiFunction::Sigmoid;
    if (name == "LINEAR_EXACT")
        return VoiFunction::LinearExact;
    return VoiFunction::Linear;
}

// Each centre and width pair of the file; a pair that is not finite, or a
// width below what its function allows, is skipped.
std::vector<VoiWindow> fileWindows(DcmDataset& dataset)
{
    std::vector<VoiWindow> windows;
    const VoiFunction function = voiFunction(dataset);
    for (unsigned long i = 0;; ++i) {
        Float64 center = 0, width = 0;
        if (dataset.findAndGetFloat64(DCM_WindowCenter, center, i).bad()
            || dataset.findAndGetFloat64(DCM_WindowWidth, width, i).bad())
            break;
        const double smallest = function == VoiFunction::Linear ? 1.0 : 0.0;
        if (!std::isfinite(center) || !std::isfinite(width) || !(width >= smallest) || width == 0.0)
            continue;
        OFString explanation;
        dataset.findAndGetOFString(DCM_WindowCenterWidthExplanation, explanation, i);
        windows.push_back({center, width, function, -1, QString::fromLatin1(explanation.c_str()).trimmed()});
    }
    return windows;
}

// The VOI lookup tables of the file, as its descriptors give them: entry
// count (0 for 65536), first value mapped, bits per entry. Eight-bit entries
// packed two to a word are unpacked.
std::vector<VoiLut> fileVoiLuts(DcmDataset& dataset, bool signedPixels, std::vector<QString>& explanations)
{
    std::vector<VoiLut> luts;
    DcmSequenceOfItems* sequence = nullptr;
    if (dataset.findAndGetSequence(DCM_VOILUTSequence, sequence).bad() || !sequence)
        return luts;
    for (unsigned long i = 0; i < sequence->card(); ++i) {
        DcmItem* item = sequence->getItem(i);
        Uint16 count = 0, first = 0, bits = 0;
        const Uint16* data = nullptr;
        unsigned long words = 0;
        if (!item || item->findAndGetUint16(DCM_LUTDescriptor, count, 0).bad()
            || item->findAndGetUint16(DCM_LUTDescriptor, first, 1).bad()
            || item->findAndGetUint16(DCM_LUTDescriptor, bits, 2).bad()
            || item->findAndGetUint16Array(DCM_LUTData, data, &words).bad() || !data || words == 0)
            continue;
        DcmElement* descriptor = nullptr;
        const bool signedFirst = signedPixels
            || (item->findAndGetElement(DCM_LUTDescriptor, descriptor).good()
                && descriptor->ident() == EVR_SS);
        VoiLut lut;
        lut.firstValue = signedFirst ? static_cast<Sint16>(first) : first;
        lut.bits = std::clamp<int>(bits, 1, 16);
        const std::size_t entries = count == 0 ? 65536 : count;
        if (lut.bits <= 8 && words * 2 >= entries && words < entries) {
            for (std::size_t e = 0; e < entries; ++e)
                lut.entries.push_back(static_cast<std::uint16_t>((data[e / 2] >> (e % 2 ? 8 : 0)) & 0xFF));
        } else {
            lut.entries.assign(data, data + std::min<std::size_t>(entries, words));
        }
        OFString explanation;
        item->findAndGetOFString(DCM_LUTExplanation, explanation);
        explanations.push_back(QString::fromLatin1(explanation.c_str()).trimmed());
        luts.push_back(std::move(lut));
    }
    return luts;
}

VoiWindow rangeWindow(std::int32_t minValue, std::int32_t maxValue)
{
    const double low = minValue, high = maxValue;
    return {(low + high + 1.0) / 2.0, high - low + 1.0};
}

// The file's windows and VOI LUTs (when its rescale is usable), and the one
// shown first.
void takeVoi(DcmDataset& dataset, const Rescale& rescale, bool signedPixels, DicomImageData& image)
{
    if (!image.monochrome) {
        image.defaultWindow = {127.5, 256.0};
        return;
    }
    if (rescale.usable) {
        image.fileWindows = fileWindows(dataset);
        std::vector<QString> explanations;
        image.voiLuts = fileVoiLuts(dataset, signedPixels, explanations);
        for (std::size_t i = 0; i < image.voiLuts.size(); ++i) {
            const VoiLut& lut = image.voiLuts[i];
            const double count = static_cast<double>(lut.entries.size());
            image.fileWindows.push_back({lut.firstValue + count / 2.0, count, VoiFunction::Linear,
                static_cast<int>(i), explanations[i]});
        }
    }
    image.defaultWindow
        = image.fileWindows.empty() ? rangeWindow(image.minValue, image.maxValue) : image.fileWindows.front();
}

// ---------------------------------------------------- uncompressed samples

// An uncompressed little-endian grey image whose samples map linearly to
// modality values.
struct RawGreyLayout {
    Uint16 rows = 0;
    Uint16 columns = 0;
    Uint16 bitsAllocated = 0;
    bool monochrome1 = false;
    StoredSampleFormat format;
    Rescale rescale;

    std::size_t pixelCount() const { return static_cast<std::size_t>(rows) * columns; }
    std::size_t frameBytes() const { return pixelCount() * (bitsAllocated / 8); }
};

// The pixel element holds the samples as they are: little endian, neither
// encapsulated nor deflated, and no modality lookup table to go through.
bool pixelsStoredPlain(DcmDataset& dataset)
{
    const DcmXfer transfer(dataset.getOriginalXfer());
    return transfer.isNotEncapsulated() && transfer.isLittleEndian()
        && transfer.getStreamCompression() == ESC_none && !dataset.tagExists(DCM_ModalityLUTSequence);
}

// One sample of 8 or 16 bits per pixel, its stored bits low-aligned.
bool oneLowAlignedSample(DcmDataset& dataset, RawGreyLayout& layout, Uint16& stored)
{
    Uint16 samples = 0, highBit = 0;
    return dataset.findAndGetUint16(DCM_SamplesPerPixel, samples).good() && samples == 1
        && dataset.findAndGetUint16(DCM_BitsAllocated, layout.bitsAllocated).good()
        && (layout.bitsAllocated == 8 || layout.bitsAllocated == 16)
        && dataset.findAndGetUint16(DCM_BitsStored, stored).good() && stored != 0
        && stored <= layout.bitsAllocated && dataset.findAndGetUint16(DCM_HighBit, highBit).good()
        && highBit == stored - 1;
}

// MONOCHROME1 or MONOCHROME2.
bool greyPhotometric(DcmDataset& dataset, OFString& photometric)
{
    return dataset.findAndGetOFString(DCM_PhotometricInterpretation, photometric).good()
        && (photometric == "MONOCHROME2" || photometric == "MONOCHROME1");
}

// The layout when the pixels can be read straight from the pixel element.
std::optional<RawGreyLayout> rawGreyLayout(DcmDataset& dataset)
{
    RawGreyLayout layout;
    Uint16 stored = 0, representation = 0;
    OFString photometric;
    const bool hasSize = dataset.findAndGetUint16(DCM_Rows, layout.rows).good()
        && dataset.findAndGetUint16(DCM_Columns, layout.columns).good();
    if (!pixelsStoredPlain(dataset) || !hasSize || !oneLowAlignedSample(dataset, layout, stored)
        || dataset.findAndGetUint16(DCM_PixelRepresentation, representation).bad()
        || !greyPhotometric(dataset, photometric))
        return std::nullopt;
    layout.rescale = readRescale(dataset, stored, representation == 1);
    layout.format = {stored, representation == 1, layout.rescale.slope, layout.rescale.intercept};
    layout.monochrome1 = photometric == "MONOCHROME1";
    return layout;
}

// Reads `count` samples from sample `first` on, strip by strip, from the
// pixel element (from the file when the element was left there) and hands
// each strip to `use`. A strip stays in the processor's cache; the frame is
// never copied whole. Samples arrive in this machine's byte order.
template <typename Sample, typename Use>
bool forEachStrip(DcmElement& pixelData, std::size_t first, std::size_t count, Use use)
{
    constexpr std::size_t stripSamples = 32768;
    if (pixelData.getLength() < (first + count) * sizeof(Sample))
        return false;
    std::vector<Sample> strip(std::min(count, stripSamples));
    DcmFileCache cache; // keeps the file open from one strip to the next
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(stripSamples, count - done);
        if (pixelData
                .getPartialValue(strip.data(), static_cast<Uint32>((first + done) * sizeof(Sample)),
                    static_cast<Uint32>(n * sizeof(Sample)), &cache)
                .bad())
            return false;
        use(strip.data(), n);
        done += n;
    }
    return true;
}

// Stored values to modality values; the plain case (unsigned, slope 1, whole
// intercept) gets a loop of its own because it is nearly every radiograph.
template <typename Sample>
void convertRaw(const Sample* raw, std::size_t count, const StoredSampleFormat& format, std::int32_t* out)
{
    if (!format.isSigned && format.wholeIntercept()) {
        // The rescale was checked to keep every value in range.
        const std::uint32_t mask = format.mask();
        const auto offset = static_cast<std::int32_t>(format.intercept);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<std::int32_t>(raw[i] & mask) + offset;
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        out[i] = modalityValue(raw[i], format);
}

// The common case (uncompressed grey pixels, linear rescale) read straight
// from the pixel element: several times faster on large radiographs than
// going through DCMTK's rendering pipeline, with the same values. Anything
// else returns null and takes the general path.
std::shared_ptr<DicomImageData> readRawMonochrome(
    DcmDataset& dataset, const RawGreyLayout& layout, int frame, int frameCount)
{
    DcmElement* pixelData = nullptr;
    if (dataset.findAndGetElement(DCM_PixelData, pixelData).bad() || !pixelData)
        return nullptr;
    const std::size_t count = layout.pixelCount();
    auto image = std::make_shared<DicomImageData>();
    image->columns = layout.columns;
    image->rows = layout.rows;
    image->frameIndex = frame;
    image->frameCount = frameCount;
    image->invertedGrey = layout.monochrome1;
    image->values.resize(count);
    std::int32_t* out = image->values.data();
    const auto convert = [&](const auto* raw, std::size_t n) {
        convertRaw(raw, n, layout.format, out);
        out += n;
    };
    const std::size_t first = count * static_cast<std::size_t>(frame);
    const bool read = layout.bitsAllocated == 8 ? forEachStrip<Uint8>(*pixelData, first, count, convert)
                                                : forEachStrip<Uint16>(*pixelData, first, count, convert);
    if (!read)
        return nullptr;
    const auto [low, high] = std::minmax_element(image->values.begin(), image->values.end());
    image->minValue = *low;
    image->maxValue = *high;
    return image;
}

bool takeMonochrome(const DicomImage& decoded, DicomImageData& image)
{
    const DiPixel* pixels = decoded.getInterData();
    const std::size_t count = static_cast<std::size_t>(image.columns) * image.rows;
    if (!pixels || !copyInterData(*pixels, count, image.values))
        return false;
    const auto [low, high] = std::minmax_element(image.values.begin(), image.values.end());
    image.minValue = *low;
    image.maxValue = *high;
    image.invertedGrey = decoded.getPhotometricInterpretation() == EPI_Monochrome1;
    return true;
}

bool takeColour(DicomImage& decoded, DicomImageData& image)
{
    const std::size_t size = static_cast<std::size_t>(image.columns) * image.rows * 3;
    const void* rgb = decoded.getOutputData(8, 0, 0);
    if (!rgb || decoded.getOutputDataSize(8) < size)
        return false;
    const auto* bytes = static_cast<const std::uint8_t*>(rgb);
    image.rgb.assign(bytes, bytes + size);
    return true;
}

// ------------------------------------------------------------------ decoding

// Frames the file really holds: for uncompressed pixels no more than the
// pixel element has room for.
int availableFrames(DcmDataset& dataset, const PixelLayout& layout)
{
    if (layout.encapsulated || layout.frameBytes() == 0)
        return layout.frames;
    DcmElement* pixelData = nullptr;
    if (dataset.findAndGetElement(DCM_PixelData, pixelData).bad() || !pixelData)
        return layout.frames;
    const std::uint64_t whole = pixelData->getLengthField() / layout.frameBytes();
    return static_cast<int>(std::clamp<std::uint64_t>(whole, 1, static_cast<std::uint64_t>(layout.frames)));
}

DicomLoadResult decode(DcmDataset& dataset, std::uint64_t available, const DicomLoadOptions& options)
{
    if (const QString problem = checkElementLengths(dataset, available); !problem.isEmpty())
        return failure(problem);
    PixelLayout layout;
    if (const QString problem = readLayout(dataset, layout); !problem.isEmpty())
        return failure(problem);
    const int frameCount = availableFrames(dataset, layout);
    if (const QString problem = checkFrameIndex(options.frame, frameCount); !problem.isEmpty())
        return failure(problem);

    if (const std::optional<RawGreyLayout> raw = rawGreyLayout(dataset)) {
        const std::uint64_t needed = static_cast<std::uint64_t>(raw->pixelCount()) * 4;
        if (const QString problem = checkBudget(needed, options.maxImageBytes); !problem.isEmpty())
            return failure(problem);
        if (auto image = readRawMonochrome(dataset, *raw, options.frame, frameCount)) {
            takeVoi(dataset, raw->rescale, raw->format.isSigned, *image);
            image->spacing = readSpacing(dataset);
            image->modality = readModality(dataset);
            return {std::move(image), {}};
        }
    }

    CompressedFrameCheck compressed;
    if (layout.encapsulated) {
        compressed = checkCompressedFrame(dataset,
            {layout.rows, layout.columns, layout.samples, layout.frames, layout.transfer}, options.frame);
        if (!compressed.problem.isEmpty())
            return failure(compressed.problem);
    }
    const bool partialAccess = compressed.partialAccess;
    const QString overBudget
        = checkBudget(decodingBytes(layout, !partialAccess) + compressed.decoderBytes, options.maxImageBytes);
    if (!overBudget.isEmpty())
        return failure(overBudget);
    const Rescale rescale = readRescale(dataset, layout.bitsStored, layout.representation == 1);
    unsigned long flags = partialAccess ? CIF_UsePartialAccessToPixelData : 0;
    if (!rescale.usable)
        flags |= CIF_IgnoreModalityTransformation;
    DicomImage decoded(&dataset, layout.transfer, flags, static_cast<unsigned long>(options.frame), 1);
    if (decoded.getStatus() != EIS_Normal)
        return failure(
            QStringLiteral("Image non décodable : %1").arg(DicomImage::getString(decoded.getStatus())));
    auto image = std::make_shared<DicomImageData>();
    image->columns = static_cast<int>(decoded.getWidth());
    image->rows = static_cast<int>(decoded.getHeight());
    image->frameIndex = options.frame;
    image->frameCount = frameCount;
    image->monochrome = decoded.isMonochrome() != 0;
    if (image->columns != layout.columns || image->rows != layout.rows)
        return failure(lyingHeader(layout.columns, layout.rows, image->columns, image->rows));
    const bool taken = image->monochrome ? takeMonochrome(decoded, *image) : takeColour(decoded, *image);
    if (!taken)
        return failure(QStringLiteral("Image non décodable : pixels incomplets."));
    takeVoi(dataset, rescale, layout.representation == 1, *image);
    image->spacing = readSpacing(dataset);
    image->modality = readModality(dataset);
    return {std::move(image), {}};
}

QString outOfMemory()
{
    return QStringLiteral("Mémoire insuffisante pour cette image.");
}

// ------------------------------------------------------ windowed for pictures

// The frame through its default window, each sample looked up in a table of
// the greys of every stored value. The actual value range is only read when
// it matters: when the file has no window (the range is the window), or when
// the possible values span more than the display table resolves one by one.
struct ValueRange {
    std::int32_t low = 0;
    std::int32_t high = 0;
};

ValueRange modalityRange(std::uint32_t lowRaw, std::uint32_t highRaw, const StoredSampleFormat& format)
{
    const std::int32_t a = modalityValue(lowRaw, format), b = modalityValue(highRaw, format);
    return {std::min(a, b), std::max(a, b)};
}

// The modality values every sample of this format could take.
ValueRange possibleRange(const StoredSampleFormat& format)
{
    return format.isSigned ? modalityRange(format.signBit(), format.signBit() - 1, format)
                           : modalityRange(0, format.mask(), format);
}

// The modality values the frame's samples take. Flipping the sign bit puts
// two's complement samples in unsigned order, so one min/max pass serves both.
template <typename Sample>
std::optional<ValueRange> actualRange(DcmElement& pixelData, const RawGreyLayout& layout)
{
    const StoredSampleFormat& format = layout.format;
    const std::uint32_t mask = format.mask(), flip = format.isSigned ? format.signBit() : 0u;
    std::uint32_t low = mask, high = 0;
    const bool read
        = forEachStrip<Sample>(pixelData, 0, layout.pixelCount(), [&](const Sample* raw, std::size_t n) {
              for (std::size_t i = 0; i < n; ++i) {
                  const std::uint32_t ordered = (raw[i] & mask) ^ flip;
                  low = std::min(low, ordered);
                  high = std::max(high, ordered);
              }
          });
    if (!read)
        return std::nullopt;
    return modalityRange(low ^ flip, high ^ flip, format);
}

template <typename Sample>
std::optional<Pixels8> windowRawGrey(
    const std::optional<VoiWindow>& window, DcmElement& pixelData, const RawGreyLayout& layout)
{
    std::optional<ValueRange> range = possibleRange(layout.format);
    if (!window || static_cast<std::int64_t>(range->high) - range->low >= 65536)
        range = actualRange<Sample>(pixelData, layout);
    if (!range)
        return std::nullopt;
    const std::vector<std::uint8_t> greys = storedValueGreys(layout.format, range->low, range->high,
        window.value_or(rangeWindow(range->low, range->high)), layout.monochrome1);
    Pixels8 out{layout.columns, layout.rows, 1, std::vector<std::uint8_t>(layout.pixelCount())};
    std::uint8_t* target = out.bytes.data();
    const bool read = forEachStrip<Sample>(pixelData, 0, layout.pixelCount(),
        [&target, table = greys.data(), mask = layout.format.mask()](const Sample* raw, std::size_t n) {
            // Locals, not captured references: byte stores may alias anything,
            // which would make the compiler reload them for every pixel.
            std::uint8_t* out = target;
            for (std::size_t i = 0; i < n; ++i)
                out[i] = table[raw[i] & mask];
            target = out + n;
        });
    return read ? std::optional<Pixels8>(std::move(out)) : std::nullopt;
}

// Uncompressed little-endian grey images are windowed from their samples;
// null sends the others (a VOI LUT, any surprise) to the general path.
std::optional<Pixels8> windowedFromSamples(DcmDataset& dataset)
{
    const std::optional<RawGreyLayout> layout = rawGreyLayout(dataset);
    DcmElement* pixelData = nullptr;
    if (!layout || dataset.findAndGetElement(DCM_PixelData, pixelData).bad() || !pixelData)
        return std::nullopt;
    std::optional<VoiWindow> window;
    if (layout->rescale.usable) {
        const std::vector<VoiWindow> windows = fileWindows(dataset);
        if (!windows.empty())
            window = windows.front();
        else if (dataset.tagExists(DCM_VOILUTSequence))
            return std::nullopt;
    }
    return layout->bitsAllocated == 8 ? windowRawGrey<Uint8>(window, *pixelData, *layout)
                                      : windowRawGrey<Uint16>(window, *pixelData, *layout);
}

DefaultWindowPixels windowedFromFile(
    DcmFileFormat& file, std::uint64_t available, std::uint64_t maxImageBytes)
{
    DcmDataset& dataset = *file.getDataset();
    if (const QString problem = checkElementLengths(dataset, available); !problem.isEmpty())
        return {{}, problem};
    PixelLayout layout;
    if (const QString problem = readLayout(dataset, layout); !problem.isEmpty())
        return {{}, problem};
    if (!layout.encapsulated && layout.samples == 1) {
        if (const QString problem = checkBudget(layout.pixelCount() + (1u << 17), maxImageBytes);
            !problem.isEmpty())
            return {{}, problem};
        if (std::optional<Pixels8> pixels = windowedFromSamples(dataset))
            return {std::move(*pixels), {}};
    }
    // The decoded frame is windowed into one more byte (or RGB triplet) a pixel.
    DicomLoadOptions options;
    options.maxImageBytes = maxImageBytes;
    const std::uint64_t windowedBytes = layout.pixelCount() * std::min<Uint16>(layout.samples, 3);
    options.maxImageBytes = maxImageBytes > windowedBytes ? maxImageBytes - windowedBytes : 0;
    const DicomLoadResult loaded = decode(dataset, available, options);
    if (!loaded.ok())
        return {{}, loaded.error};
    const DicomImageData& image = *loaded.image;
    return {
        {image.columns, image.rows, image.monochrome ? 1 : 3, renderPixels8(image, image.defaultWindow)}, {}};
}

} // namespace

double DicomImageData::valueAt(int column, int row) const
{
    if (column < 0 || row < 0 || column >= columns || row >= rows)
        return 0.0;
    const std::size_t index = static_cast<std::size_t>(row) * columns + column;
    if (monochrome)
        return values[index];
    const std::uint8_t* p = &rgb[index * 3];
    return (p[0] + p[1] + p[2]) / 3.0;
}

namespace {

std::atomic<std::uint64_t> memoryLimit{DefaultMaxImageBytes};

} // namespace

std::uint64_t imageMemoryLimit()
{
    return memoryLimit.load(std::memory_order_relaxed);
}

void setImageMemoryLimit(std::uint64_t bytes)
{
    memoryLimit.store(bytes, std::memory_order_relaxed);
}

DicomLoadResult loadDicomImage(const QString& path, const DicomLoadOptions& options)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return failure(QStringLiteral("Fichier introuvable : %1").arg(path));
    registerDicomCodecs();
    try {
        OpenedFile opened;
        if (const QString problem = openForDecoding(path, options.maxImageBytes, opened); !problem.isEmpty())
            return failure(problem);
        return decode(*opened.file.getDataset(), opened.available, options);
    } catch (const std::bad_alloc&) {
        return failure(outOfMemory());
    }
}

DefaultWindowPixels loadDefaultWindowPixels(const QString& path, std::uint64_t maxImageBytes)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return {{}, QStringLiteral("Fichier introuvable : %1").arg(path)};
    registerDicomCodecs();
    try {
        OpenedFile opened;
        if (const QString problem = openForDecoding(path, maxImageBytes, opened); !problem.isEmpty())
            return {{}, problem};
        return windowedFromFile(opened.file, opened.available, maxImageBytes);
    } catch (const std::bad_alloc&) {
        return {{}, outOfMemory()};
    }
}

DicomLoadResult loadDicomImageFromMemory(const void* data, std::size_t size, const DicomLoadOptions& options)
{
    // Read from a file like any image: DCMTK can then leave long values
    // where they are and their stated lengths are checked before use, where
    // reading from memory would allocate each value as long as it claims.
    QTemporaryFile file;
    const auto length = static_cast<qint64>(size);
    if (!file.open() || file.write(static_cast<const char*>(data), length) != length || !file.flush())
        return failure(QStringLiteral("Fichier temporaire impossible à écrire."));
    return loadDicomImage(file.fileName(), options);
}

} // namespace vexa
