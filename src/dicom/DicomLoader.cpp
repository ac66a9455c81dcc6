#include "DicomLoader.h"

#include "DicomCodecs.h"
#include "DisplayLut.h"
#include "StoredSamples.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfcache.h>
#include <dcmtk/dcmdata/dcfilefo.h>
#include <dcmtk/dcmdata/dcistrmb.h>
#include <dcmtk/dcmdata/dcxfer.h>
#include <dcmtk/dcmimage/diregist.h> // colour images
#include <dcmtk/dcmimgle/dcmimage.h>
#include <dcmtk/dcmimgle/dipixel.h>

#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <new>
#include <optional>

namespace vexa {

namespace {

// Refuse dimensions no radiology image reaches, before anything is allocated.
constexpr long long maxPixelCount = 16384LL * 16384LL;

DicomLoadResult failure(const QString& reason)
{
    return {nullptr, reason};
}

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

std::optional<VoiWindow> fileWindow(DcmDataset& dataset)
{
    Float64 center = 0, width = 0;
    if (dataset.findAndGetFloat64(DCM_WindowCenter, center).good()
        && dataset.findAndGetFloat64(DCM_WindowWidth, width).good() && width >= 1.0)
        return VoiWindow{center, width};
    return std::nullopt;
}

VoiWindow rangeWindow(std::int32_t minValue, std::int32_t maxValue)
{
    const double low = minValue, high = maxValue;
    return {(low + high + 1.0) / 2.0, high - low + 1.0};
}

VoiWindow fileOrRangeWindow(DcmDataset& dataset, const DicomImageData& image)
{
    if (const auto window = fileWindow(dataset))
        return *window;
    if (!image.monochrome)
        return {127.5, 256.0};
    return rangeWindow(image.minValue, image.maxValue);
}

bool readSpacingPair(DcmDataset& dataset, const DcmTagKey& key, ImageSpacing& spacing)
{
    Float64 rowSpacing = 0, columnSpacing = 0;
    if (dataset.findAndGetFloat64(key, rowSpacing, 0).bad()
        || dataset.findAndGetFloat64(key, columnSpacing, 1).bad())
        return false;
    if (!(rowSpacing > 0.0) || !(columnSpacing > 0.0))
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

QString checkDimensions(DcmDataset& dataset)
{
    Uint16 rows = 0, columns = 0;
    if (dataset.findAndGetUint16(DCM_Rows, rows).bad()
        || dataset.findAndGetUint16(DCM_Columns, columns).bad())
        return QStringLiteral("Ce fichier DICOM ne contient pas d'image.");
    if (rows == 0 || columns == 0)
        return QStringLiteral("L'image est de taille nulle.");
    if (!dataset.tagExistsWithValue(DCM_PixelData))
        return QStringLiteral("Ce fichier DICOM ne contient pas de pixels.");
    if (static_cast<long long>(rows) * columns > maxPixelCount)
        return QStringLiteral("L'image est trop grande.");
    return {};
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

// Stored values to modality values; the plain case (unsigned, slope 1, whole
// intercept) gets a loop of its own because it is nearly every radiograph.
template <typename Sample>
void convertRaw(const Sample* raw, std::size_t count, const StoredSampleFormat& format, std::int32_t* out)
{
    if (!format.isSigned && format.wholeIntercept()) {
        const std::uint32_t mask = format.mask();
        const auto offset = static_cast<std::int32_t>(format.intercept);
        for (std::size_t i = 0; i < count; ++i)
            out[i] = static_cast<std::int32_t>(raw[i] & mask) + offset;
        return;
    }
    for (std::size_t i = 0; i < count; ++i)
        out[i] = modalityValue(raw[i], format);
}

// An uncompressed grey image whose samples map linearly to modality values.
struct RawGreyLayout {
    Uint16 rows = 0;
    Uint16 columns = 0;
    Uint16 bitsAllocated = 0;
    bool monochrome1 = false;
    StoredSampleFormat format;

    std::size_t pixelCount() const { return static_cast<std::size_t>(rows) * columns; }
};

// The layout when the pixels can be read straight from the pixel element:
// not encapsulated, one sample of 8 or 16 bits, low-aligned, no modality LUT.
std::optional<RawGreyLayout> rawGreyLayout(DcmDataset& dataset)
{
    RawGreyLayout layout;
    Uint16 samples = 0, stored = 0, highBit = 0, representation = 0;
    OFString photometric;
    if (!DcmXfer(dataset.getOriginalXfer()).isNotEncapsulated() || dataset.tagExists(DCM_ModalityLUTSequence)
        || dataset.findAndGetUint16(DCM_Rows, layout.rows).bad()
        || dataset.findAndGetUint16(DCM_Columns, layout.columns).bad()
        || dataset.findAndGetUint16(DCM_SamplesPerPixel, samples).bad() || samples != 1
        || dataset.findAndGetUint16(DCM_BitsAllocated, layout.bitsAllocated).bad()
        || (layout.bitsAllocated != 8 && layout.bitsAllocated != 16)
        || dataset.findAndGetUint16(DCM_BitsStored, stored).bad() || stored == 0
        || stored > layout.bitsAllocated || dataset.findAndGetUint16(DCM_HighBit, highBit).bad()
        || highBit != stored - 1 || dataset.findAndGetUint16(DCM_PixelRepresentation, representation).bad()
        || dataset.findAndGetOFString(DCM_PhotometricInterpretation, photometric).bad()
        || (photometric != "MONOCHROME2" && photometric != "MONOCHROME1"))
        return std::nullopt;
    Float64 slope = 1.0, intercept = 0.0;
    dataset.findAndGetFloat64(DCM_RescaleSlope, slope);
    dataset.findAndGetFloat64(DCM_RescaleIntercept, intercept);
    layout.format = {stored, representation == 1, slope == 0.0 ? 1.0 : slope, intercept};
    layout.monochrome1 = photometric == "MONOCHROME1";
    return layout;
}

// The common case (uncompressed grey pixels, linear rescale) read straight
// from the pixel element: several times faster on large radiographs than
// going through DCMTK's rendering pipeline, with the same values. Anything
// else returns null and takes the general path.
std::shared_ptr<DicomImageData> readRawMonochrome(DcmDataset& dataset)
{
    const std::optional<RawGreyLayout> layout = rawGreyLayout(dataset);
    if (!layout)
        return nullptr;
    const std::size_t count = layout->pixelCount();
    const Uint8* bytes = nullptr;
    const Uint16* words = nullptr;
    unsigned long length = 0;
    const bool read = layout->bitsAllocated == 8
        ? dataset.findAndGetUint8Array(DCM_PixelData, bytes, &length).good()
        : dataset.findAndGetUint16Array(DCM_PixelData, words, &length).good();
    if (!read || (!bytes && !words) || length < count)
        return nullptr;

    auto image = std::make_shared<DicomImageData>();
    image->columns = layout->columns;
    image->rows = layout->rows;
    Sint32 frames = 1;
    if (dataset.findAndGetSint32(DCM_NumberOfFrames, frames).good() && frames > 1)
        image->frameCount = frames;
    image->invertedGrey = layout->monochrome1;
    image->values.resize(count);
    if (bytes)
        convertRaw(bytes, count, layout->format, image->values.data());
    else
        convertRaw(words, count, layout->format, image->values.data());
    const auto [low, high] = std::minmax_element(image->values.begin(), image->values.end());
    image->minValue = *low;
    image->maxValue = *high;
    return image;
}

// Reads the first frame's samples strip by strip from the pixel element
// (from the file when the element was left there) and hands each strip to
// `use`. A strip stays in the processor's cache; the whole frame is never
// copied. Samples arrive in this machine's byte order.
template <typename Sample, typename Use> bool forEachStrip(DcmElement& pixelData, std::size_t count, Use use)
{
    constexpr std::size_t stripSamples = 32768;
    if (pixelData.getLength() < count * sizeof(Sample))
        return false;
    std::vector<Sample> strip(std::min(count, stripSamples));
    DcmFileCache cache; // keeps the file open from one strip to the next
    for (std::size_t done = 0; done < count;) {
        const std::size_t n = std::min(stripSamples, count - done);
        if (pixelData
                .getPartialValue(strip.data(), static_cast<Uint32>(done * sizeof(Sample)),
                    static_cast<Uint32>(n * sizeof(Sample)), &cache)
                .bad())
            return false;
        use(strip.data(), n);
        done += n;
    }
    return true;
}

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
        = forEachStrip<Sample>(pixelData, layout.pixelCount(), [&](const Sample* raw, std::size_t n) {
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

// The frame through its default window, each sample looked up in a table of
// the greys of every stored value. The actual value range is only read when
// it matters: when the file has no window (the range is the window), or when
// the possible values span more than the display table resolves one by one.
template <typename Sample>
std::optional<Pixels8> windowRawGrey(DcmDataset& dataset, DcmElement& pixelData, const RawGreyLayout& layout)
{
    const std::optional<VoiWindow> window = fileWindow(dataset);
    std::optional<ValueRange> range = possibleRange(layout.format);
    if (!window || static_cast<std::int64_t>(range->high) - range->low >= 65536)
        range = actualRange<Sample>(pixelData, layout);
    if (!range)
        return std::nullopt;
    const std::vector<std::uint8_t> greys = storedValueGreys(layout.format, range->low, range->high,
        window.value_or(rangeWindow(range->low, range->high)), layout.monochrome1);
    Pixels8 out{layout.columns, layout.rows, 1, std::vector<std::uint8_t>(layout.pixelCount())};
    std::uint8_t* target = out.bytes.data();
    const bool read = forEachStrip<Sample>(pixelData, layout.pixelCount(),
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
// null sends the others (and any surprise) to the general path.
std::optional<Pixels8> windowedFromSamples(DcmDataset& dataset)
{
    const DcmXfer transfer(dataset.getOriginalXfer());
    if (!transfer.isLittleEndian() || transfer.getStreamCompression() != ESC_none)
        return std::nullopt;
    const std::optional<RawGreyLayout> layout = rawGreyLayout(dataset);
    DcmElement* pixelData = nullptr;
    if (!layout || dataset.findAndGetElement(DCM_PixelData, pixelData).bad() || !pixelData)
        return std::nullopt;
    return layout->bitsAllocated == 8 ? windowRawGrey<Uint8>(dataset, *pixelData, *layout)
                                      : windowRawGrey<Uint16>(dataset, *pixelData, *layout);
}

DicomLoadResult decode(DcmFileFormat& file)
{
    DcmDataset& dataset = *file.getDataset();
    if (const QString problem = checkDimensions(dataset); !problem.isEmpty())
        return failure(problem);
    if (auto image = readRawMonochrome(dataset)) {
        image->defaultWindow = fileOrRangeWindow(dataset, *image);
        image->spacing = readSpacing(dataset);
        image->modality = readModality(dataset);
        return {std::move(image), {}};
    }
    DicomImage decoded(&dataset, dataset.getOriginalXfer(), CIF_UsePartialAccessToPixelData, 0, 1);
    if (decoded.getStatus() != EIS_Normal)
        return failure(
            QStringLiteral("Image non décodable : %1").arg(DicomImage::getString(decoded.getStatus())));
    auto image = std::make_shared<DicomImageData>();
    image->columns = static_cast<int>(decoded.getWidth());
    image->rows = static_cast<int>(decoded.getHeight());
    image->frameCount = static_cast<int>(std::max(1UL, decoded.getNumberOfFrames()));
    image->monochrome = decoded.isMonochrome() != 0;
    const bool taken = image->monochrome ? takeMonochrome(decoded, *image) : takeColour(decoded, *image);
    if (!taken)
        return failure(QStringLiteral("Image non décodable : pixels incomplets."));
    image->defaultWindow = fileOrRangeWindow(dataset, *image);
    image->spacing = readSpacing(dataset);
    image->modality = readModality(dataset);
    return {std::move(image), {}};
}

QString readFailure(const OFCondition& condition)
{
    return QStringLiteral("Fichier DICOM illisible : %1").arg(QString::fromLatin1(condition.text()));
}

template <typename Read> DicomLoadResult readAndDecode(Read read)
{
    registerDicomCodecs();
    try {
        DcmFileFormat file;
        const OFCondition condition = read(file);
        if (condition.bad())
            return failure(readFailure(condition));
        return decode(file);
    } catch (const std::bad_alloc&) {
        return failure(QStringLiteral("Mémoire insuffisante pour cette image."));
    }
}

// Elements longer than this stay in the file when reading for pictures, so
// the pixel element is not copied whole into memory before being windowed.
constexpr Uint32 pictureReadLength = 4096;

DefaultWindowPixels windowedFromFile(DcmFileFormat& file)
{
    DcmDataset& dataset = *file.getDataset();
    if (const QString problem = checkDimensions(dataset); !problem.isEmpty())
        return {{}, problem};
    if (std::optional<Pixels8> pixels = windowedFromSamples(dataset))
        return {std::move(*pixels), {}};
    file.loadAllDataIntoMemory();
    const DicomLoadResult loaded = decode(file);
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

DicomLoadResult loadDicomImage(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile())
        return failure(QStringLiteral("Fichier introuvable : %1").arg(path));
    const QByteArray nativePath = QFile::encodeName(path);
    return readAndDecode([&](DcmFileFormat& file) {
        return file.loadFile(
            OFFilename(nativePath.constData()), EXS_Unknown, EGL_noChange, DCM_MaxReadLength, ERM_autoDetect);
    });
}

DefaultWindowPixels loadDefaultWindowPixels(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return {{}, QStringLiteral("Fichier introuvable : %1").arg(path)};
    registerDicomCodecs();
    try {
        DcmFileFormat file;
        const OFCondition condition = file.loadFile(OFFilename(QFile::encodeName(path).constData()),
            EXS_Unknown, EGL_noChange, pictureReadLength, ERM_autoDetect);
        if (condition.bad())
            return {{}, readFailure(condition)};
        return windowedFromFile(file);
    } catch (const std::bad_alloc&) {
        return {{}, QStringLiteral("Mémoire insuffisante pour cette image.")};
    }
}

DicomLoadResult loadDicomImageFromMemory(const void* data, std::size_t size)
{
    return readAndDecode([&](DcmFileFormat& file) {
        DcmInputBufferStream stream;
        stream.setBuffer(data, static_cast<offile_off_t>(size));
        stream.setEos();
        file.transferInit();
        const OFCondition condition = file.read(stream);
        file.transferEnd();
        return condition;
    });
}

} // namespace vexa
