#include "dicom/CompressedFrames.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcfcache.h>
#include <dcmtk/dcmdata/dcpixel.h>
#include <dcmtk/dcmdata/dcpixseq.h>
#include <dcmtk/dcmdata/dcpxitem.h>

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

namespace vexa {

namespace {

// The fragments of an encapsulated pixel element, offset table left out,
// taken one after the other: asking for each by its index would walk the
// list from its start every time.
std::vector<DcmPixelItem*> fragments(DcmDataset& dataset, E_TransferSyntax transfer)
{
    std::vector<DcmPixelItem*> out;
    DcmElement* element = nullptr;
    if (dataset.findAndGetElement(DCM_PixelData, element).bad() || !element)
        return out;
    DcmPixelSequence* sequence = nullptr;
    auto* pixelData = static_cast<DcmPixelData*>(element);
    if (pixelData->getEncapsulatedRepresentation(transfer, nullptr, sequence).bad() || !sequence)
        return out;
    DcmObject* item = sequence->nextInContainer(nullptr); // the offset table
    while (item && (item = sequence->nextInContainer(item)) != nullptr)
        out.push_back(static_cast<DcmPixelItem*>(item));
    return out;
}

// The bytes of consecutive fragments as one stream, read in chunks from
// wherever they are (the file, most often).
class FragmentStream {
public:
    FragmentStream(const std::vector<DcmPixelItem*>& pieces, std::size_t first, std::size_t end)
        : pieces_(pieces)
        , piece_(first)
        , end_(end)
    {
    }

    std::optional<Uint8> next()
    {
        while (at_ >= chunk_.size()) {
            if (!refill())
                return std::nullopt;
        }
        return chunk_[at_++];
    }

    // Skips `count` bytes without reading them.
    void skip(std::uint64_t count)
    {
        const std::uint64_t inChunk = std::min<std::uint64_t>(count, chunk_.size() - at_);
        at_ += static_cast<std::size_t>(inChunk);
        count -= inChunk;
        while (count > 0 && piece_ < end_) {
            const Uint32 left = pieces_[piece_]->getLengthField() - offset_;
            if (count < left) {
                offset_ += static_cast<Uint32>(count);
                return;
            }
            count -= left;
            ++piece_;
            offset_ = 0;
        }
    }

private:
    const std::vector<DcmPixelItem*>& pieces_;
    std::size_t piece_, end_;
    Uint32 offset_ = 0; // in the current fragment, of the next chunk
    std::vector<Uint8> chunk_;
    std::size_t at_ = 0;
    DcmFileCache cache_; // keeps the file open from one chunk to the next

    bool refill()
    {
        while (piece_ < end_ && offset_ >= pieces_[piece_]->getLengthField()) {
            ++piece_;
            offset_ = 0;
        }
        if (piece_ >= end_)
            return false;
        const Uint32 length = std::min<Uint32>(pieces_[piece_]->getLengthField() - offset_, 1 << 16);
        chunk_.resize(length);
        at_ = 0;
        if (pieces_[piece_]
                ->getPartialValue(chunk_.data(), offset_, length, &cache_, EBO_LittleEndian)
                .bad()) {
            chunk_.clear();
            piece_ = end_;
            return false;
        }
        offset_ += length;
        return true;
    }
};

struct JpegFrameHeader {
    int width = 0;
    int height = 0; // 0: given later in the stream
    int components = 0;
    int precision = 0;
    bool progressive = false;
};

bool isFrameHeader(Uint8 marker)
{
    // SOF0 to SOF15 but DHT, JPG and DAC; SOF55 for JPEG-LS.
    return (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC)
        || marker == 0xF7;
}

// The frame header of a JPEG or JPEG-LS stream, wherever it lies before the
// first scan: segments of any length and fill bytes may come first.
std::optional<JpegFrameHeader> jpegFrameHeader(FragmentStream& stream)
{
    if (stream.next() != Uint8{0xFF} || stream.next() != Uint8{0xD8})
        return std::nullopt;
    while (true) {
        if (stream.next() != Uint8{0xFF})
            return std::nullopt;
        std::optional<Uint8> marker = stream.next();
        while (marker == Uint8{0xFF})
            marker = stream.next(); // fill bytes
        if (!marker || *marker == 0xDA || *marker == 0xD9)
            return std::nullopt; // no frame header before the scan or the end
        if ((*marker >= 0xD0 && *marker <= 0xD7) || *marker == 0x01)
            continue; // markers without a segment
        std::array<int, 8> bytes{};
        const int wanted = isFrameHeader(*marker) ? 8 : 2;
        for (int i = 0; i < wanted; ++i) {
            const std::optional<Uint8> byte = stream.next();
            if (!byte)
                return std::nullopt;
            bytes[static_cast<std::size_t>(i)] = *byte;
        }
        const int length = (bytes[0] << 8) | bytes[1];
        if (length < wanted)
            return std::nullopt;
        if (isFrameHeader(*marker)) {
            const bool progressive = *marker == 0xC2 || *marker == 0xC6 || *marker == 0xCA || *marker == 0xCE;
            return JpegFrameHeader{
                (bytes[5] << 8) | bytes[6], (bytes[3] << 8) | bytes[4], bytes[7], bytes[2], progressive};
        }
        stream.skip(static_cast<std::uint64_t>(length - 2));
    }
}

bool isJpegFamily(E_TransferSyntax transfer)
{
    return (transfer >= EXS_JPEGProcess1 && transfer <= EXS_JPEGProcess14SV1)
        || transfer == EXS_JPEGLSLossless || transfer == EXS_JPEGLSLossy;
}

QString damagedFrame()
{
    return QStringLiteral(
        "L'image compressée est endommagée : ses données ne correspondent pas à son en-tête.");
}

// The first bytes of a fragment (it may still be in the file).
std::vector<Uint8> fragmentStart(DcmPixelItem& fragment, Uint32 most)
{
    const Uint32 length = std::min(fragment.getLengthField(), most);
    std::vector<Uint8> bytes(length);
    if (length == 0 || fragment.getPartialValue(bytes.data(), 0, length, nullptr, EBO_LittleEndian).bad())
        bytes.clear();
    return bytes;
}

// An RLE frame starts with a header of 16 little-endian words: the number
// of segments (one per byte of a sample), then where each segment starts.
// Each must start inside the frame's data, after the header, in order. A
// segment expands at most 64 times (two bytes give a run of 128), which
// bounds the image its data can really hold.
QString checkRleFrame(const EncapsulatedLayout& layout, DcmPixelItem& fragment)
{
    const Uint32 length = fragment.getLengthField();
    const std::vector<Uint8> header = fragmentStart(fragment, 64);
    if (header.size() < 64)
        return damagedFrame();
    const auto word = [&](int i) {
        const Uint8* p = &header[static_cast<std::size_t>(i) * 4];
        return static_cast<Uint32>(p[0]) | (static_cast<Uint32>(p[1]) << 8)
            | (static_cast<Uint32>(p[2]) << 16) | (static_cast<Uint32>(p[3]) << 24);
    };
    const Uint32 segments = word(0);
    if (segments < 1 || segments > 15 || word(1) != 64)
        return damagedFrame();
    for (Uint32 i = 1; i <= segments; ++i) {
        if (word(static_cast<int>(i)) >= length
            || (i > 1 && word(static_cast<int>(i)) <= word(static_cast<int>(i) - 1)))
            return damagedFrame();
    }
    const std::uint64_t pixels = static_cast<std::uint64_t>(layout.rows) * layout.columns;
    if (pixels * segments > static_cast<std::uint64_t>(length) * 64)
        return damagedFrame();
    return {};
}

// The stream's frame header must give the header's size and samples: what
// the decoder writes is then the whole frame.
QString checkJpegStream(const EncapsulatedLayout& layout, FragmentStream& stream, std::uint64_t& decoderBytes)
{
    const std::optional<JpegFrameHeader> header = jpegFrameHeader(stream);
    if (!header)
        return damagedFrame();
    if (header->width != layout.columns || (header->height != 0 && header->height != layout.rows))
        return lyingHeader(layout.columns, layout.rows, header->width, header->height);
    if (header->components != layout.samples)
        return damagedFrame();
    if (header->progressive) {
        // Every coefficient, in blocks of 8 x 8, of 16 bits (32 above 12-bit samples).
        const std::uint64_t blocks = ((layout.columns + 7u) / 8) * std::uint64_t((layout.rows + 7u) / 8);
        decoderBytes
            = std::max(decoderBytes, blocks * 64 * layout.samples * (header->precision > 12 ? 4 : 2));
    }
    return {};
}

// Where each compressed frame starts: the fragment that opens a JPEG stream.
std::vector<std::size_t> jpegStreamStarts(const std::vector<DcmPixelItem*>& pieces)
{
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const std::vector<Uint8> start = fragmentStart(*pieces[i], 2);
        if (i == 0 || (start.size() == 2 && start[0] == 0xFF && start[1] == 0xD8))
            starts.push_back(i);
    }
    return starts;
}

CompressedFrameCheck checkJpegFrames(const EncapsulatedLayout& layout,
    const std::vector<DcmPixelItem*>& pieces, int frame, bool fragmentPerFrame)
{
    CompressedFrameCheck check;
    check.partialAccess = fragmentPerFrame;
    if (fragmentPerFrame) {
        const auto at = static_cast<std::size_t>(frame);
        FragmentStream stream(pieces, at, at + 1);
        check.problem = checkJpegStream(layout, stream, check.decoderBytes);
        return check;
    }
    // The decoder decompresses every frame: each is checked, and none may be missing.
    const std::vector<std::size_t> starts = jpegStreamStarts(pieces);
    if (starts.size() < static_cast<std::size_t>(layout.frames)) {
        check.problem = damagedFrame();
        return check;
    }
    for (std::size_t i = 0; i < starts.size() && check.problem.isEmpty(); ++i) {
        const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : pieces.size();
        FragmentStream stream(pieces, starts[i], end);
        check.problem = checkJpegStream(layout, stream, check.decoderBytes);
    }
    return check;
}

} // namespace

QString lyingHeader(int columns, int rows, int width, int height)
{
    return QStringLiteral("L'image est incohérente : son en-tête annonce %1 × %2 pixels, ses données "
                          "compressées en contiennent %3 × %4.")
        .arg(columns)
        .arg(rows)
        .arg(width)
        .arg(height);
}

CompressedFrameCheck checkCompressedFrame(DcmDataset& dataset, const EncapsulatedLayout& layout, int frame)
{
    CompressedFrameCheck check;
    const std::vector<DcmPixelItem*> pieces = fragments(dataset, layout.transfer);
    if (pieces.empty()) {
        check.problem = QStringLiteral("Image non décodable : pas de données compressées.");
        return check;
    }
    const bool fragmentPerFrame = pieces.size() == static_cast<std::size_t>(layout.frames);
    if (isJpegFamily(layout.transfer))
        return checkJpegFrames(layout, pieces, frame, fragmentPerFrame);
    check.partialAccess = fragmentPerFrame;
    if (layout.transfer == EXS_RLELossless) {
        // The decoder trusts the segment offsets, so every frame it may read is checked first.
        if (fragmentPerFrame) {
            check.problem = checkRleFrame(layout, *pieces[static_cast<std::size_t>(frame)]);
        } else {
            for (std::size_t i = 0; i < pieces.size() && check.problem.isEmpty(); ++i)
                check.problem = checkRleFrame(layout, *pieces[i]);
        }
    }
    return check;
}

} // namespace vexa
