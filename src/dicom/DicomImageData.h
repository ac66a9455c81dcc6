#pragma once
// The decoded first frame of a DICOM image, as the rest of the program sees it:
// no DCMTK type crosses this header.
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

namespace vexa {

// Millimetres per pixel. When the file states none, one millimetre per pixel
// is assumed (fromFile false) so lengths stay proportional. atDetector: the
// file only gives Imager Pixel Spacing, measured at the detector rather than
// at the patient (a projection radiograph magnifies the patient).
struct ImageSpacing {
    double column = 1.0; // along a row: between neighbouring columns
    double row = 1.0; // between neighbouring rows
    bool fromFile = false;
    bool atDetector = false;
};

// A linear VOI window in modality values (or in 0..255 for colour images).
struct VoiWindow {
    double center = 0.0;
    double width = 1.0;
};

struct DicomImageData {
    int columns = 0;
    int rows = 0;
    int frameCount = 1;
    bool monochrome = true;
    // MONOCHROME1: low values are white, so the display starts inverted.
    bool invertedGrey = false;
    // Monochrome: modality values, row by row. Colour: empty.
    std::vector<std::int32_t> values;
    std::int32_t minValue = 0;
    std::int32_t maxValue = 0;
    // Colour: 8-bit RGB triplets, row by row. Monochrome: empty.
    std::vector<std::uint8_t> rgb;
    // The file's own window when it has one, else the pixel range.
    VoiWindow defaultWindow;
    ImageSpacing spacing;
    QString modality; // "CT", "CR", "MR"... as the file gives it

    // Modality value (monochrome) or mean of R, G, B (colour) at a pixel.
    double valueAt(int column, int row) const;
};

struct DicomLoadResult {
    std::shared_ptr<const DicomImageData> image;
    QString error; // readable reason when image is null

    bool ok() const { return image != nullptr; }
};

} // namespace vexa
