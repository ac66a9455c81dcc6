#pragma once
// Opening a DICOM file without trusting the lengths it states: values longer
// than a few kilobytes stay in the file until used, and a deflated data set is
// inflated, up to a limit, into a temporary file read like any other (DCMTK
// would otherwise allocate every value of the stream as long as its header
// claims). For the DCMTK code of this folder only.
#include <dcmtk/dcmdata/dcfilefo.h>

#include <QString>
#include <QTemporaryFile>
#include <cstdint>
#include <memory>

namespace vexa {

// Elements longer than this stay in the file when it is read: the pixels of
// the frames not shown are never loaded, and the frame shown is read from the
// file in strips or through the decoder.
constexpr Uint32 leaveInFileLength = 4096;

// A deflated data set inflates to no more than this (nor than the image
// limit): deflated files are small objects and modest images, and a bomb
// of a few kilobytes would otherwise fill the disk with its temporary file.
constexpr std::uint64_t maxInflatedBytes = std::uint64_t{64} << 20;

struct OpenedFile {
    DcmFileFormat file;
    std::unique_ptr<QTemporaryFile> inflated;
    std::uint64_t available = 0; // bytes the stated lengths must fit in
};

// Opens the file (with or without a meta header) once its elements have been
// walked within their bounds; a readable French reason when it is not a
// regular file, when it cannot be read, or when its deflated data set
// inflates to more than maxBytes (or maxInflatedBytes).
QString openForDecoding(const QString& path, std::uint64_t maxBytes, OpenedFile& opened);

// Every element's stated length must fit in what was read: a length of
// nearly 4 GB in a small file would otherwise be allocated when the element
// is first used. A readable reason when one does not.
QString checkElementLengths(DcmDataset& dataset, std::uint64_t available);

QString readFailure(const OFCondition& condition);
// The French refusal of an image that would take more than maxImageBytes.
QString checkBudget(std::uint64_t needed, std::uint64_t maxImageBytes);

} // namespace vexa
