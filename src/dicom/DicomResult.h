#pragma once
#include <QString>

namespace vexa {

// Outcome of a file service: ok, or a readable reason.
struct DicomResult {
    bool ok = false;
    QString error;

    static DicomResult success() { return {true, {}}; }
    static DicomResult failure(QString reason) { return {false, std::move(reason)}; }
};

} // namespace vexa
