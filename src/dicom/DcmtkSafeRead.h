#pragma once
// DCMTK's readers throw C++ exceptions on some damaged files: a directory
// record whose type text is mangled makes std::string::erase throw from
// DcmByteString::verify. Escaping the reader, that exception would end the
// program. Every read of a file by DCMTK goes through here and turns it into a
// failed condition. For code that uses DCMTK itself.
#include <dcmtk/ofstd/ofcond.h>

#include <exception>
#include <string>

namespace vexa {

template <typename Read> OFCondition readCatchingExceptions(Read read)
{
    // Module and code of our own: DCMTK numbers its modules below 1024. The
    // text is Latin-1, as condition texts are read.
    constexpr unsigned short module = 1024;
    constexpr unsigned short code = 1;
    const std::string invalid = "donn\xE9"
                                "es invalides";
    try {
        return read();
    } catch (const std::exception& error) {
        const std::string text = invalid + " (" + error.what() + ")";
        return OFCondition(module, code, OF_error, text.c_str());
    } catch (...) {
        return OFCondition(module, code, OF_error, invalid.c_str());
    }
}

} // namespace vexa
