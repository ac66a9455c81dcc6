#include "viewer/measure/MeasurementTable.h"
#include <stdexcept>

namespace vexa {

MeasurementRecord& MeasurementTable::operator[](int index)
{
    if (!isValidIndex(index))
        throw std::out_of_range("measurement index outside 1..50");
    return records_[static_cast<size_t>(index - 1)];
}

const MeasurementRecord& MeasurementTable::operator[](int index) const
{
    return const_cast<MeasurementTable&>(*this)[index];
}

int MeasurementTable::nextFreeSlot() const
{
    for (int i = 1; i <= Size; ++i) {
        if (!(*this)[i].isUsed())
            return i;
    }
    return NoFreeSlot;
}

int MeasurementTable::lastUsedSlot() const
{
    for (int i = Size; i >= 1; --i) {
        if ((*this)[i].isUsed())
            return i;
    }
    return 0;
}

void MeasurementTable::clear()
{
    records_.fill(MeasurementRecord{});
}

} // namespace vexa
