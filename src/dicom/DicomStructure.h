#pragma once
// A first walk over a file's elements, before DCMTK builds them: DCMTK reads
// nested sequences recursively (a few thousand levels overflow the stack) and
// spends seconds and hundreds of megabytes on a million elements. The walk
// reads only element headers, skips values, and refuses what no real image
// has: nesting, elements or fragments beyond the bounds below. For the DCMTK
// code of this folder only.
#include <QString>
#include <cstdint>

namespace vexa {

struct StructureBounds {
    int depth = 128; // sequences inside sequences
    std::uint64_t elements = 200000; // every element and item of the file
    std::uint64_t fragments = 20000; // items of the encapsulated pixel data
};

// The meta header and data set of a file with or without a meta header; a
// deflated data set is left to checkDataSetStructure once inflated. A
// readable French reason when a bound is passed or the elements cannot be
// followed.
QString checkFileStructure(const QString& path, const StructureBounds& bounds = {});

// A data set alone in explicit VR little endian from the file's first byte
// (an inflated data set).
QString checkDataSetStructure(const QString& path, const StructureBounds& bounds = {});

} // namespace vexa
