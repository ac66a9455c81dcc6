#pragma once
// The 50 graphics of the current image, numbered 1 to 50. A graphic's number
// is its record number in the ".dgr" file and its index in the overlay.
#include "viewer/measure/MeasurementRecord.h"
#include <array>

namespace vexa {

class MeasurementTable {
public:
    static constexpr int Size = 50;
    static constexpr int NoFreeSlot = -1;

    // index is 1-based; valid indexes are 1..Size.
    static bool isValidIndex(int index) { return index >= 1 && index <= Size; }
    MeasurementRecord& operator[](int index);
    const MeasurementRecord& operator[](int index) const;

    // The smallest free index, or NoFreeSlot when all 50 are used.
    int nextFreeSlot() const;
    // The highest used index, or 0 when the table is empty.
    int lastUsedSlot() const;
    void clear();

    bool operator==(const MeasurementTable&) const = default;

private:
    std::array<MeasurementRecord, Size> records_{};
};

} // namespace vexa
