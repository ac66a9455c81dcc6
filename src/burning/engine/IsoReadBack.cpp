#include "burning/engine/IsoReadBack.h"

#include <QCryptographicHash>
#include <QFile>
#include <cstdlib>
#include <libisofs/libisofs.h>
#include <mutex>

namespace vexa {

namespace {

constexpr qint64 blockSize = 2048;

int openSource(IsoDataSource*)
{
    return ISO_SUCCESS;
}

int closeSource(IsoDataSource*)
{
    return ISO_SUCCESS;
}

int readBlock(IsoDataSource* source, uint32_t block, uint8_t* buffer)
{
    const auto* read = static_cast<const IsoBlockReader*>(source->data);
    return (*read)(block, buffer) ? ISO_SUCCESS : static_cast<int>(ISO_DATA_SOURCE_FAILURE);
}

void freeSource(IsoDataSource* source)
{
    source->data = nullptr;
}

struct ImportedImage {
    IsoImage* image = nullptr;
    ~ImportedImage()
    {
        if (image)
            iso_image_unref(image);
    }
};

// The size and SHA-1 of a file's content, or nullopt when it cannot be read.
struct Digest {
    bool ok = false;
    qint64 size = 0;
    QByteArray sha1;
};

Digest digestOfSource(const QString& path)
{
    QFile file(path);
    Digest digest;
    if (!file.open(QIODevice::ReadOnly))
        return digest;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    digest.ok = hash.addData(&file);
    digest.size = file.size();
    digest.sha1 = hash.result();
    return digest;
}

Digest digestOfImageFile(IsoImage* image, const QString& path, const std::atomic_bool* cancel)
{
    Digest digest;
    IsoNode* node = nullptr;
    const QByteArray isoPath = '/' + path.toUtf8();
    if (iso_tree_path_to_node(image, isoPath.constData(), &node) != 1 || !node || !ISO_NODE_IS_FILE(node))
        return digest;
    IsoStream* stream = iso_file_get_stream(reinterpret_cast<IsoFile*>(node));
    if (!stream || iso_stream_open(stream) < 0)
        return digest;
    QCryptographicHash hash(QCryptographicHash::Sha1);
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    bool readWell = true;
    while (true) {
        if (cancel && cancel->load()) {
            readWell = false;
            break;
        }
        const int count = iso_stream_read(stream, buffer.data(), static_cast<size_t>(buffer.size()));
        if (count < 0)
            readWell = false;
        if (count <= 0)
            break;
        hash.addData(QByteArrayView(buffer.constData(), count));
        digest.size += count;
    }
    iso_stream_close(stream);
    digest.ok = readWell;
    digest.sha1 = hash.result();
    return digest;
}

QString nativePath(const QString& discPath)
{
    QString path = discPath;
    return path.replace(u'/', u'\\');
}

} // namespace

bool initIsoLibrary()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] {
        ready = iso_init() >= 0;
        if (ready) {
            char never[] = "NEVER";
            char prefix[] = "vexadicom : ";
            iso_set_msgs_severities(never, never, prefix);
        }
    });
    return ready;
}

ReadBackResult compareIsoWithTree(
    const IsoBlockReader& read, const BurnTree& tree, const std::atomic_bool* cancel)
{
    ReadBackResult result;
    if (!initIsoLibrary()) {
        result.problem = QStringLiteral("La bibliothèque ISO 9660 n'a pas pu démarrer.");
        return result;
    }
    // libisofs frees the source with free() once its last reference goes.
    auto* source = static_cast<IsoDataSource*>(std::calloc(1, sizeof(IsoDataSource)));
    source->version = 0;
    source->refcount = 1;
    source->open = openSource;
    source->close = closeSource;
    source->read_block = readBlock;
    source->free_data = freeSource;
    source->data = const_cast<IsoBlockReader*>(&read);

    ImportedImage imported;
    IsoReadOpts* options = nullptr;
    IsoReadImageFeatures* features = nullptr;
    int status = iso_image_new("readback", &imported.image);
    if (status >= 0)
        status = iso_read_opts_new(&options, 0);
    if (status >= 0)
        status = iso_image_import(imported.image, source, options, &features);
    if (options)
        iso_read_opts_free(options);
    if (features)
        iso_read_image_features_destroy(features);
    iso_data_source_unref(source); // the image keeps its own reference while it needs one
    if (status < 0) {
        result.problem = QStringLiteral("Le disque gravé ne peut pas être relu.");
        return result;
    }
    for (const BurnTree::File& file : tree.files) {
        if (cancel && cancel->load()) {
            result.problem = QStringLiteral("Vérification interrompue.");
            return result;
        }
        const Digest burned = digestOfImageFile(imported.image, file.path, cancel);
        const Digest expected = digestOfSource(file.source);
        if (!burned.ok) {
            result.problem = QStringLiteral("Fichier illisible ou absent sur le disque gravé : %1")
                                 .arg(nativePath(file.path));
            return result;
        }
        if (!expected.ok || burned.size != expected.size || burned.sha1 != expected.sha1) {
            result.problem
                = QStringLiteral("Fichier différent sur le disque gravé : %1").arg(nativePath(file.path));
            return result;
        }
    }
    result.ok = true;
    return result;
}

ReadBackResult compareIsoFileWithTree(const QString& isoFile, const BurnTree& tree)
{
    QFile file(isoFile);
    if (!file.open(QIODevice::ReadOnly))
        return {false, QStringLiteral("L'image ISO ne peut pas être ouverte : %1").arg(isoFile)};
    const IsoBlockReader read = [&file](std::uint32_t block, std::uint8_t* buffer) {
        return file.seek(static_cast<qint64>(block) * blockSize)
            && file.read(reinterpret_cast<char*>(buffer), blockSize) == blockSize;
    };
    return compareIsoWithTree(read, tree);
}

} // namespace vexa
