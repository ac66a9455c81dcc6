// Prints, for each file given, a digest of what the image readers make of
// it: the first and last frame as the viewer loads them, and the export's
// windowed pixels (or the reasons they fail). Run twice with memory filled
// with different patterns, the same digests show that every pixel came
// from the file.
#include "dicom/DicomLoader.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <cstdio>

namespace {

void addImage(QCryptographicHash& hash, const vexa::DicomLoadResult& loaded)
{
    if (!loaded.ok()) {
        hash.addData(loaded.error.toUtf8());
        return;
    }
    const vexa::DicomImageData& image = *loaded.image;
    hash.addData(QByteArray::number(image.columns) + 'x' + QByteArray::number(image.rows));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.values.data()),
        qsizetype(image.values.size() * sizeof(image.values[0]))));
    hash.addData(
        QByteArrayView(reinterpret_cast<const char*>(image.rgb.data()), qsizetype(image.rgb.size())));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QCryptographicHash hash(QCryptographicHash::Sha1);
        const vexa::DicomLoadResult first = vexa::loadDicomImage(path);
        addImage(hash, first);
        if (first.ok() && first.image->frameCount > 1) {
            vexa::DicomLoadOptions last;
            last.frame = first.image->frameCount - 1;
            addImage(hash, vexa::loadDicomImage(path, last));
        }
        const vexa::DefaultWindowPixels windowed = vexa::loadDefaultWindowPixels(path);
        hash.addData(windowed.ok()
                ? QByteArrayView(reinterpret_cast<const char*>(windowed.pixels.bytes.data()),
                    qsizetype(windowed.pixels.bytes.size()))
                : QByteArrayView(windowed.error.toUtf8()));
        std::printf("%s %s\n", hash.result().toHex().constData(), argv[i]);
        std::fflush(stdout);
    }
    return 0;
}
