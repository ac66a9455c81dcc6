#include "dicom/DicomFileOpening.h"

#include "dicom/DcmtkSafeRead.h"
#include "dicom/DicomStructure.h"

#include <dcmtk/dcmdata/dcdeftag.h>
#include <dcmtk/dcmdata/dcmetinf.h>
#include <dcmtk/dcmdata/dcstack.h>
#include <dcmtk/dcmdata/dcuid.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>
#include <zlib.h>

namespace vexa {

namespace {

QString megabytes(std::uint64_t bytes)
{
    return QString::number((bytes + (1u << 20) - 1) >> 20);
}

bool isDeflated(const OFFilename& name)
{
    DcmMetaInfo meta;
    OFString transfer;
    return readCatchingExceptions([&] { return meta.loadFile(name); }).good()
        && meta.findAndGetOFString(DCM_TransferSyntaxUID, transfer).good()
        && transfer == UID_DeflatedExplicitVRLittleEndianTransferSyntax;
}

// A deflated data set cannot be read in place (DCMTK would allocate every
// value as long as its header states before finding the data short): it is
// inflated first, to at most maxBytes, into a temporary file read like any
// other. The meta header is kept beside it.
QString inflateDataSet(
    const QString& path, const OFFilename& name, std::uint64_t maxBytes, OpenedFile& opened)
{
    const QString unreadable = QStringLiteral("Fichier DICOM illisible : données compressées invalides.");
    DcmMetaInfo meta;
    QFile source(path);
    if (readCatchingExceptions([&] { return meta.loadFile(name); }).bad()
        || !source.open(QIODevice::ReadOnly))
        return unreadable;
    // Preamble, "DICM", then the meta header in explicit VR little endian.
    const qint64 start
        = 132 + static_cast<qint64>(meta.getLength(EXS_LittleEndianExplicit, EET_ExplicitLength));
    if (source.read(132).mid(128) != "DICM" || !source.seek(start))
        return unreadable;
    const QByteArray compressed = source.readAll();
    opened.inflated = std::make_unique<QTemporaryFile>();
    if (!opened.inflated->open())
        return QStringLiteral("Fichier temporaire impossible à créer.");
    z_stream stream{};
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return unreadable;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.constData()));
    stream.avail_in = static_cast<uInt>(compressed.size());
    std::vector<char> chunk(1 << 16);
    std::uint64_t total = 0;
    int status = Z_OK;
    while (status == Z_OK) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk.data());
        stream.avail_out = static_cast<uInt>(chunk.size());
        status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t produced = chunk.size() - stream.avail_out;
        total += produced;
        if (total > maxBytes) {
            inflateEnd(&stream);
            return checkBudget(total, maxBytes);
        }
        if (opened.inflated->write(chunk.data(), static_cast<qint64>(produced))
            != static_cast<qint64>(produced)) {
            inflateEnd(&stream);
            return QStringLiteral("Fichier temporaire impossible à écrire.");
        }
        if (status == Z_BUF_ERROR && stream.avail_in == 0)
            break; // the data ends without its final block: read what came
    }
    inflateEnd(&stream);
    if (status != Z_STREAM_END && status != Z_BUF_ERROR)
        return unreadable;
    opened.inflated->flush();
    opened.available = total;
    if (const QString problem = checkDataSetStructure(opened.inflated->fileName()); !problem.isEmpty())
        return problem;
    const OFCondition condition = readCatchingExceptions([&] {
        return opened.file.loadFile(OFFilename(QFile::encodeName(opened.inflated->fileName()).constData()),
            EXS_LittleEndianExplicit, EGL_noChange, leaveInFileLength, ERM_dataset);
    });
    if (condition.bad())
        return readFailure(condition);
    *opened.file.getMetaInfo() = meta;
    return {};
}

} // namespace

QString checkElementLengths(DcmDataset& dataset, std::uint64_t available)
{
    DcmStack stack;
    while (dataset.nextObject(stack, OFTrue).good()) {
        const Uint32 length = stack.top()->getLengthField();
        if (length != DCM_UndefinedLength && length > available)
            return QStringLiteral(
                "Fichier DICOM illisible : un élément annonce %1 octets, le fichier n'en a que %2.")
                .arg(length)
                .arg(available);
    }
    return {};
}

QString checkBudget(std::uint64_t needed, std::uint64_t maxImageBytes)
{
    if (needed <= maxImageBytes)
        return {};
    return QStringLiteral(
        "L'image est trop grande : il faudrait %1 Mo de mémoire pour l'afficher, la limite est de %2 Mo.")
        .arg(megabytes(needed), megabytes(maxImageBytes));
}

QString readFailure(const OFCondition& condition)
{
    return QStringLiteral("Fichier DICOM illisible : %1").arg(QString::fromLatin1(condition.text()));
}

QString openForDecoding(const QString& path, std::uint64_t maxBytes, OpenedFile& opened)
{
    // A FIFO, device or socket would block the read or never end.
    if (!QFileInfo(path).isFile())
        return QStringLiteral("Fichier introuvable : %1").arg(path);
    if (const QString problem = checkFileStructure(path); !problem.isEmpty())
        return problem;
    const OFFilename name(QFile::encodeName(path).constData());
    if (isDeflated(name))
        return inflateDataSet(path, name, std::min(maxBytes, maxInflatedBytes), opened);
    opened.available = static_cast<std::uint64_t>(QFileInfo(path).size());
    const OFCondition condition = readCatchingExceptions([&] {
        return opened.file.loadFile(name, EXS_Unknown, EGL_noChange, leaveInFileLength, ERM_autoDetect);
    });
    return condition.bad() ? readFailure(condition) : QString();
}

} // namespace vexa
