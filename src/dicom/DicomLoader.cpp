#include "DicomLoader.h"

#include "DicomCodecs.h"
#include "StoredSamples.h"

#include <dcmtk/dcmdata/dcdeftag.h>
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

VoiWindow fileOrRangeWindow(DcmDataset& dataset, const DicomImageData& image)
{
    Float64 center = 0, width = 0;
    if (dataset.findAndGetFloat64(DCM_WindowCenter, center).good()
        && dataset.findAndGetFloat64(DCM_WindowWidth, width).good() && width >= 1.0)
        return {center, width};
    if (!image.monochrome)
        return {127.5, 256.0};
    const double low = image.minValue, high = image.maxValue;
    return {(low + high + 1.0) / 2.0, high - low + 1.0};
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

// The common case (uncompressed grey pixels, linear rescale) read straight
// from the pixel element: several times faster on large radiographs than
// going through DCMTK's rendering pipeline, with the same values. Anything
// else returns null and takes the general path.
std::shared_ptr<DicomImageData> readRawMonochrome(DcmDataset& dataset)
{
    Uint16 rows = 0, columns = 0, samples = 0, allocated = 0, stored = 0, highBit = 0, representation = 0;
    OFString photometric;
    if (!DcmXfer(dataset.getOriginalXfer()).isNotEncapsulated() || dataset.tagExists(DCM_ModalityLUTSequence)
        || dataset.findAndGetUint16(DCM_Rows, rows).bad()
        || dataset.findAndGetUint16(DCM_Columns, columns).bad()
        || dataset.findAndGetUint16(DCM_SamplesPerPixel, samples).bad() || samples != 1
        || dataset.findAndGetUint16(DCM_BitsAllocated, allocated).bad() || (allocated != 8 && allocated != 16)
        || dataset.findAndGetUint16(DCM_BitsStored, stored).bad() || stored == 0 || stored > allocated
        || dataset.findAndGetUint16(DCM_HighBit, highBit).bad() || highBit != stored - 1
        || dataset.findAndGetUint16(DCM_PixelRepresentation, representation).bad()
        || dataset.findAndGetOFString(DCM_PhotometricInterpretation, photometric).bad()
        || (photometric != "MONOCHROME2" && photometric != "MONOCHROME1"))
        return nullptr;
    Float64 slope = 1.0, intercept = 0.0;
    dataset.findAndGetFloat64(DCM_RescaleSlope, slope);
    dataset.findAndGetFloat64(DCM_RescaleIntercept, intercept);
    if (slope == 0.0)
        slope = 1.0;
    const std::size_t count = static_cast<std::size_t>(rows) * columns;
    const Uint8* bytes = nullptr;
    const Uint16* words = nullptr;
    unsigned long length = 0;
    const bool read = allocated == 8 ? dataset.findAndGetUint8Array(DCM_PixelData, bytes, &length).good()
                                     : dataset.findAndGetUint16Array(DCM_PixelData, words, &length).good();
    if (!read || (!bytes && !words) || length < count)
        return nullptr;

    auto image = std::make_shared<DicomImageData>();
    image->columns = columns;
    image->rows = rows;
    Sint32 frames = 1;
    if (dataset.findAndGetSint32(DCM_NumberOfFrames, frames).good() && frames > 1)
        image->frameCount = frames;
    image->invertedGrey = photometric == "MONOCHROME1";
    image->values.resize(count);
    const StoredSampleFormat format{stored, representation == 1, slope, intercept};
    if (bytes)
        convertRaw(bytes, count, format, image->values.data());
    else
        convertRaw(words, count, format, image->values.data());
    const auto [low, high] = std::minmax_element(image->values.begin(), image->values.end());
    image->minValue = *low;
    image->maxValue = *high;
    return image;
}

DicomLoadResult decode(DcmFileFormat& file)
{
    DcmDataset& dataset = *file.getDataset();
    if (const QString problem = checkDimensions(dataset); !problem.isEmpty())
        return failure(problem);
    if (auto image = readRawMonochrome(dataset)) {
        image->defaultWindow = fileOrRangeWindow(dataset, *image);
        image->spacing = readSpacing(dataset);
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
