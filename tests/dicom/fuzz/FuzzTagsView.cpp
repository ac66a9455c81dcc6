// The DICOM data view's path: a file's meta header and data set as text,
// converted to UTF-8 from its character sets. Any input must give a text
// (or the reason there is none) without crashing, hanging or running away.
#include "FuzzInput.h"
#include "dicom/DicomTags.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString path = vexa::fuzz::writeInput(data, size);
    if (!path.isEmpty())
        vexa::dicomTagsText(path);
    return 0;
}
