// Feeds arbitrary bytes to the RTF reader, then writes what it read and reads
// that again: nothing may crash, hang, read out of bounds or allocate without
// bound, and what the writer makes must read back.
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <QByteArrayView>
#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Pictures and documents want a GUI application; no window is shown.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    vexa::RtfDocument document;
    if (!vexa::RtfReader::read(QByteArrayView(data, qsizetype(size)), document))
        return 0;
    const QByteArray written = vexa::RtfWriter::write(document);
    vexa::RtfDocument again;
    if (!vexa::RtfReader::read(written, again))
        abort(); // the writer must always write RTF
    return 0;
}
