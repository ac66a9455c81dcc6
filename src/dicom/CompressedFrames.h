#pragma once
// Checks of an encapsulated frame against the image's header, made before a
// decoder allocates anything for it: a decoder fills the frame buffer the
// header sizes with what the compressed data holds, so data for a smaller
// frame would leave part of the buffer as it was in memory. For the DCMTK
// code of this folder only.
#include <dcmtk/dcmdata/dcdatset.h>
#include <dcmtk/dcmdata/dcxfer.h>

#include <QString>
#include <cstdint>

namespace vexa {

struct EncapsulatedLayout {
    Uint16 rows = 0;
    Uint16 columns = 0;
    Uint16 samples = 1;
    int frames = 1;
    E_TransferSyntax transfer = EXS_Unknown;
};

struct CompressedFrameCheck {
    QString problem; // empty when the frame may be decoded
    // Whether the decoder may read the frame alone from its fragment; it
    // otherwise decompresses the whole pixel element.
    bool partialAccess = true;
    // What the decoder holds beyond the frame itself (a progressive JPEG
    // keeps every coefficient of the image until its last scan).
    std::uint64_t decoderBytes = 0;
};

CompressedFrameCheck checkCompressedFrame(DcmDataset& dataset, const EncapsulatedLayout& layout, int frame);

// The refusal of an image whose compressed data is not of its header's size.
QString lyingHeader(int columns, int rows, int width, int height);

} // namespace vexa
