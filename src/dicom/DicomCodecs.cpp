#include "dicom/DicomCodecs.h"

#include <dcmtk/dcmdata/dcrledrg.h>
#include <dcmtk/dcmjpeg/djdecode.h>
#include <dcmtk/dcmjpls/djdecode.h>
#include <dcmtk/oflog/oflog.h>

#include <mutex>

namespace vexa {

void registerDicomCodecs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // DCMTK logs parse warnings to stderr by default; failures reach our
        // callers as conditions, so only fatal messages are worth printing.
        OFLog::configure(OFLogger::FATAL_LOG_LEVEL);
        DJDecoderRegistration::registerCodecs();
        DJLSDecoderRegistration::registerCodecs();
        DcmRLEDecoderRegistration::registerCodecs();
    });
}

} // namespace vexa
