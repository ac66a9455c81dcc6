#pragma once
// The check after a burn: the ISO 9660 image is read back (from the disc or
// the image file) and every file of the burned tree must be there with the
// same size and the same content (SHA-1) as its source.
#include "burning/engine/BurnEngine.h"

#include <QString>
#include <atomic>
#include <cstdint>
#include <functional>

namespace vexa {

struct ReadBackResult {
    bool ok = false;
    QString problem; // French: the first file that differs, or why nothing could be read
};

// Reads the 2048-byte block `block` of the image into `buffer`; false on a read error.
using IsoBlockReader = std::function<bool(std::uint32_t block, std::uint8_t* buffer)>;

// Compares the image read through `read` with the tree, in the tree's file
// order; stops at the first difference, or when `cancel` becomes true.
ReadBackResult compareIsoWithTree(
    const IsoBlockReader& read, const BurnTree& tree, const std::atomic_bool* cancel = nullptr);
// The same for an ISO image file.
ReadBackResult compareIsoFileWithTree(const QString& isoFile, const BurnTree& tree);

// Makes sure libisofs is set up (once per process); false when it cannot be.
bool initIsoLibrary();

} // namespace vexa
