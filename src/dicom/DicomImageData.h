#pragma once
// One decoded frame of a DICOM image, as the rest of the program sees it:
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

// How a window maps modality values to greys: LINEAR and LINEAR_EXACT
// ramp between the window's ends, SIGMOID follows a logistic curve around
// the centre.
enum class VoiFunction { Linear, LinearExact, Sigmoid };

// A VOI window in modality values (or in 0..255 for colour images). With a
// lutIndex of 0 or more, the image's VOI lookup table of that index maps the
// values instead, and centre and width only describe the range it covers.
struct VoiWindow {
    double center = 0.0;
    double width = 1.0;
    VoiFunction function = VoiFunction::Linear;
    int lutIndex = -1;
    QString explanation; // the file's name for this window, if any
};

// A VOI lookup table from the file: modality value firstValue maps to
// entries[0], values below and above take the first and last entries.
// Entries run from 0 to 2^bits - 1.
struct VoiLut {
    std::int32_t firstValue = 0;
    int bits = 16;
    std::vector<std::uint16_t> entries;
};

struct DicomImageData {
    int columns = 0;
    int rows = 0;
    // The frame these pixels are (from 0) among the file's frameCount frames.
    int frameIndex = 0;
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
    // The file's first window when it has one, else its first VOI LUT, else
    // the pixel range.
    VoiWindow defaultWindow;
    // Every VOI the file offers, in its order: its windows, then one entry
    // per VOI LUT. A viewer cycles through them; empty when the file has none.
    std::vector<VoiWindow> fileWindows;
    std::vector<VoiLut> voiLuts;
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
