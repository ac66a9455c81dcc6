#include "burning/engine/LibburnEngine.h"

#include "base/core/WorkPool.h"
#include "burning/engine/IsoReadBack.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFutureWatcher>
#include <QHash>
#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>
#include <atomic>
#include <cstring>
#include <libburn/libburn.h>
#include <libisofs/libisofs.h>
#include <mutex>

namespace vexa {

namespace {

constexpr int pollMilliseconds = 100;

// libburn is set up while at least one engine lives.
std::mutex libraryMutex;
int libraryUsers = 0;

bool acquireLibrary()
{
    std::lock_guard lock(libraryMutex);
    if (libraryUsers == 0) {
        if (!burn::burn_initialize())
            return false;
        char note[] = "NOTE";
        char never[] = "NEVER";
        char prefix[] = "vexadicom : ";
        burn::burn_msgs_set_severities(note, never, prefix);
    }
    ++libraryUsers;
    return true;
}

void releaseLibrary()
{
    std::lock_guard lock(libraryMutex);
    if (--libraryUsers == 0)
        burn::burn_finish();
}

struct Writer {
    QString name;
    QString address; // libburn's drive address; "" for the image file
    bool imageFile = false;
};

enum class Activity { Idle, Burning, Verifying, Erasing };

QString phaseText(burn::burn_drive_status status)
{
    switch (status) {
    case burn::BURN_DRIVE_WRITING_LEADIN:
    case burn::BURN_DRIVE_WRITING_PREGAP:
        return QStringLiteral("Début de l'écriture du disque...");
    case burn::BURN_DRIVE_WRITING:
        return QStringLiteral("Écriture des données...");
    case burn::BURN_DRIVE_WRITING_LEADOUT:
    case burn::BURN_DRIVE_CLOSING_TRACK:
    case burn::BURN_DRIVE_CLOSING_SESSION:
        return QStringLiteral("Fermeture de la session...");
    case burn::BURN_DRIVE_ERASING:
        return QStringLiteral("Effacement du disque...");
    default:
        return {};
    }
}

// Adds the tree to a new image; "" or the reason it failed.
QString fillImage(IsoImage* image, const BurnTree& tree)
{
    QHash<QString, IsoDir*> folders;
    folders.insert(QString(), iso_image_get_root(image));
    for (const QString& path : tree.folders) {
        const qsizetype slash = path.lastIndexOf(u'/');
        IsoDir* parent = folders.value(slash < 0 ? QString() : path.left(slash));
        IsoDir* dir = nullptr;
        if (!parent || iso_tree_add_new_dir(parent, path.mid(slash + 1).toUtf8().constData(), &dir) < 0)
            return QStringLiteral("Le dossier %1 ne peut pas être ajouté au disque.").arg(path);
        folders.insert(path, dir);
    }
    for (const BurnTree::File& file : tree.files) {
        const qsizetype slash = file.path.lastIndexOf(u'/');
        IsoDir* parent = folders.value(slash < 0 ? QString() : file.path.left(slash));
        IsoNode* node = nullptr;
        if (!QFileInfo(file.source).isFile() || !parent
            || iso_tree_add_new_node(image, parent, file.path.mid(slash + 1).toUtf8().constData(),
                   QFile::encodeName(file.source).constData(), &node)
                < 0)
            return QStringLiteral("Le fichier %1 ne peut pas être ajouté au disque.").arg(file.source);
    }
    return {};
}

} // namespace

struct LibburnEngine::Private {
    bool libraryReady = false;
    bool scanned = false;
    QList<Writer> writers;

    // The drive in use and the address it was grabbed with.
    burn::burn_drive_info* driveInfo = nullptr;
    burn::burn_drive* drive = nullptr;
    QString grabbedAddress;

    Activity activity = Activity::Idle;
    bool abortRequested = false;
    std::atomic_bool cancelReadBack{false};
    QTimer timer;
    int lastPercent = -1;
    QString lastPhase;

    // The burn under way.
    BurnJob job;
    QString partialImage; // the image file being written, renamed into place at the end
    IsoImage* image = nullptr;
    burn::burn_source* isoSource = nullptr;
    burn::burn_source* fifo = nullptr;
    burn::burn_track* track = nullptr;
    burn::burn_session* session = nullptr;
    burn::burn_disc* disc = nullptr;
    burn::burn_write_opts* writeOptions = nullptr;
    QFutureWatcher<ReadBackResult> readBack;

    std::function<void(const QString&)> afterWrite;
    QString lastError;

    void release(bool ejectDisc)
    {
        if (drive)
            burn::burn_drive_release(drive, ejectDisc ? 1 : 0);
        if (driveInfo)
            burn::burn_drive_info_free(driveInfo);
        drive = nullptr;
        driveInfo = nullptr;
        grabbedAddress.clear();
    }

    bool grab(const QString& address)
    {
        if (drive && grabbedAddress == address)
            return true;
        release(false);
        QByteArray adr = address.toLocal8Bit();
        if (burn::burn_drive_scan_and_grab(&driveInfo, adr.data(), 1) <= 0 || !driveInfo) {
            driveInfo = nullptr;
            return false;
        }
        drive = driveInfo[0].drive;
        grabbedAddress = address;
        return true;
    }

    burn::burn_disc_status discStatus()
    {
        burn::burn_disc_status status = burn::burn_disc_get_status(drive);
        for (int tries = 0; status == burn::BURN_DISC_UNREADY && tries < 50; ++tries) {
            QThread::msleep(100);
            status = burn::burn_disc_get_status(drive);
        }
        return status;
    }

    void freeWriteObjects()
    {
        if (writeOptions)
            burn::burn_write_opts_free(writeOptions);
        if (disc)
            burn::burn_disc_free(disc);
        if (session)
            burn::burn_session_free(session);
        if (track)
            burn::burn_track_free(track);
        if (fifo)
            burn::burn_source_free(fifo);
        if (isoSource)
            burn::burn_source_free(isoSource);
        if (image)
            iso_image_unref(image);
        writeOptions = nullptr;
        disc = nullptr;
        session = nullptr;
        track = nullptr;
        fifo = nullptr;
        isoSource = nullptr;
        image = nullptr;
    }
};

LibburnEngine::LibburnEngine(QObject* parent)
    : BurnEngine(parent)
    , d_(std::make_unique<Private>())
{
    d_->libraryReady = acquireLibrary() && initIsoLibrary();
    d_->timer.setInterval(pollMilliseconds);
    connect(&d_->timer, &QTimer::timeout, this, &LibburnEngine::poll);
    connect(&d_->readBack, &QFutureWatcherBase::finished, this, [this] {
        const ReadBackResult result = d_->readBack.result();
        if (d_->abortRequested)
            finishBurn(burn_status::Aborted);
        else
            finishBurn(result.ok ? burn_status::Succeeded : burn_status::ReadBackFailed, result.problem);
    });
}

LibburnEngine::~LibburnEngine()
{
    abort();
    d_->readBack.waitForFinished();
    if (d_->drive) {
        while (burn::burn_drive_get_status(d_->drive, nullptr) != burn::BURN_DRIVE_IDLE)
            QThread::msleep(pollMilliseconds);
    }
    d_->freeWriteObjects();
    d_->release(false);
    if (!d_->partialImage.isEmpty())
        QFile::remove(d_->partialImage);
    if (d_->libraryReady)
        releaseLibrary();
}

QList<BurnWriter> LibburnEngine::writers()
{
    if (!d_->scanned && d_->libraryReady) {
        d_->scanned = true;
        burn::burn_drive_info* found = nullptr;
        unsigned int count = 0;
        // The scan runs in libburn's own thread: asked again until it has ended.
        int scanned = 0;
        while ((scanned = burn::burn_drive_scan(&found, &count)) == 0)
            QThread::msleep(50);
        if (scanned > 0 && found) {
            for (unsigned int i = 0; i < count; ++i) {
                char address[BURN_DRIVE_ADR_LEN] = {};
                if (burn::burn_drive_d_get_adr(found[i].drive, address) <= 0)
                    continue;
                const QString name = QStringLiteral("%1 %2 (%3)")
                                         .arg(QString::fromLatin1(found[i].vendor).trimmed(),
                                             QString::fromLatin1(found[i].product).trimmed(),
                                             QString::fromLocal8Bit(address));
                d_->writers.push_back({name, QString::fromLocal8Bit(address), false});
            }
            for (unsigned int i = 0; i < count; ++i)
                burn::burn_drive_info_forget(&found[i], 0);
            burn::burn_drive_info_free(found);
        }
        d_->writers.push_back({ImageFileWriterName, QString(), true});
    }
    QList<BurnWriter> list;
    for (const Writer& writer : d_->writers)
        list.push_back({writer.name, writer.imageFile});
    return list;
}

void LibburnEngine::eject(int writer)
{
    if (writer < 0 || writer >= d_->writers.size() || d_->writers[writer].imageFile
        || d_->activity != Activity::Idle)
        return;
    if (d_->grab(d_->writers[writer].address))
        d_->release(true);
}

QList<int> LibburnEngine::writeSpeeds(int writer)
{
    if (writer < 0 || writer >= d_->writers.size() || d_->activity != Activity::Idle)
        return {};
    if (d_->writers[writer].imageFile)
        return {0}; // a file is written as fast as the disk allows
    if (!d_->grab(d_->writers[writer].address))
        return {};
    const burn::burn_disc_status status = d_->discStatus();
    if (status != burn::BURN_DISC_BLANK) {
        if ((status == burn::BURN_DISC_FULL || status == burn::BURN_DISC_APPENDABLE)
            && burn::burn_disc_erasable(d_->drive))
            emit nonBlankDisc();
        return {};
    }
    QList<int> speeds;
    burn::burn_speed_descriptor* list = nullptr;
    if (burn::burn_drive_get_speedlist(d_->drive, &list) > 0 && list) {
        for (burn::burn_speed_descriptor* s = list; s; s = s->next) {
            if (s->write_speed > 0 && !speeds.contains(s->write_speed))
                speeds << s->write_speed;
        }
        burn::burn_drive_free_speedlist(&list);
    }
    if (speeds.isEmpty() && burn::burn_drive_get_write_speed(d_->drive) > 0)
        speeds << burn::burn_drive_get_write_speed(d_->drive);
    if (speeds.isEmpty())
        speeds << 0; // the drive's own choice
    std::sort(speeds.begin(), speeds.end());
    return speeds;
}

void LibburnEngine::failBurn(const QString& problem)
{
    d_->freeWriteObjects();
    drainMessages();
    d_->lastError = problem;
    emit logLine(problem);
    if (!d_->partialImage.isEmpty()) {
        d_->release(false);
        QFile::remove(d_->partialImage);
        d_->partialImage.clear();
    }
    QTimer::singleShot(0, this, [this] { emit burnDone(burn_status::NotStarted); });
}

void LibburnEngine::startBurn(const BurnJob& job)
{
    if (d_->activity != Activity::Idle) {
        emit logLine(QStringLiteral("Une gravure ou un effacement est déjà en cours."));
        QTimer::singleShot(0, this, [this] { emit burnDone(burn_status::NotStarted); });
        return;
    }
    if (!d_->libraryReady)
        return failBurn(QStringLiteral("Le moteur de gravure (libburn) n'a pas pu démarrer."));
    writers();
    if (job.writer < 0 || job.writer >= d_->writers.size())
        return failBurn(QStringLiteral("Le graveur choisi n'existe pas."));
    d_->job = job;
    d_->abortRequested = false;
    d_->cancelReadBack = false;
    d_->lastError.clear();
    const Writer& writer = d_->writers[job.writer];
    QString address = writer.address;
    if (writer.imageFile) {
        if (job.imageFile.isEmpty())
            return failBurn(QStringLiteral("Aucun fichier image n'a été choisi."));
        d_->partialImage = job.imageFile + QStringLiteral(".part");
        QFile::remove(d_->partialImage);
        address = QStringLiteral("stdio:") + QFileInfo(d_->partialImage).absoluteFilePath();
    }
    if (!d_->grab(address))
        return failBurn(QStringLiteral("Le graveur « %1 » n'est pas disponible.").arg(writer.name));
    const burn::burn_disc_status status = d_->discStatus();
    if (status != burn::BURN_DISC_BLANK) {
        if ((status == burn::BURN_DISC_FULL || status == burn::BURN_DISC_APPENDABLE)
            && burn::burn_disc_erasable(d_->drive)) {
            emit nonBlankDisc();
            return failBurn(QStringLiteral("Le disque n'est pas vierge : effacez-le d'abord."));
        }
        return failBurn(QStringLiteral("Il n'y a pas de disque vierge dans le graveur."));
    }

    emit phaseChanged(QStringLiteral("Préparation de l'image ISO 9660 (noms Joliet et Rock Ridge)..."));
    QByteArray volume = job.volumeName.toLatin1();
    if (iso_image_new(volume.constData(), &d_->image) < 0)
        return failBurn(QStringLiteral("L'image ISO ne peut pas être créée."));
    iso_image_set_publisher_id(d_->image, "VexaDICOM");
    iso_image_set_application_id(d_->image, "VexaDICOM");
    const QString treeProblem = fillImage(d_->image, job.tree);
    if (!treeProblem.isEmpty())
        return failBurn(treeProblem);
    IsoWriteOpts* options = nullptr;
    if (iso_write_opts_new(&options, 2) < 0)
        return failBurn(QStringLiteral("L'image ISO ne peut pas être créée."));
    iso_write_opts_set_iso_level(options, 1);
    iso_write_opts_set_rockridge(options, 1);
    iso_write_opts_set_joliet(options, 1);
    ::burn_source* source = nullptr;
    const int created = iso_image_create_burn_source(d_->image, options, &source);
    iso_write_opts_free(options);
    if (created < 0 || !source)
        return failBurn(QStringLiteral("L'image ISO ne peut pas être créée."));
    // libisofs and libburn declare the same C structure in different C++ scopes.
    d_->isoSource = reinterpret_cast<burn::burn_source*>(source);
    d_->fifo = burn::burn_fifo_source_new(d_->isoSource, 2048, 2048, 0);
    d_->track = burn::burn_track_create();
    burn::burn_track_define_data(d_->track, 0, 0, 1, BURN_MODE1);
    if (burn::burn_track_set_source(d_->track, d_->fifo) != burn::BURN_SOURCE_OK)
        return failBurn(QStringLiteral("L'image ISO ne peut pas être lue par le graveur."));
    d_->session = burn::burn_session_create();
    burn::burn_session_add_track(d_->session, d_->track, BURN_POS_END);
    d_->disc = burn::burn_disc_create();
    burn::burn_disc_add_session(d_->disc, d_->session, BURN_POS_END);
    d_->writeOptions = burn::burn_write_opts_new(d_->drive);
    burn::burn_write_opts_set_perform_opc(d_->writeOptions, 0);
    burn::burn_write_opts_set_multi(d_->writeOptions, 0);
    burn::burn_write_opts_set_underrun_proof(d_->writeOptions, 1);
    char reasons[BURN_REASONS_LEN] = {};
    if (burn::burn_write_opts_auto_write_type(d_->writeOptions, d_->disc, reasons, 0)
        == burn::BURN_WRITE_NONE)
        return failBurn(
            QStringLiteral("Ce disque ne peut pas être gravé : %1").arg(QString::fromLocal8Bit(reasons)));
    burn::burn_drive_set_speed(d_->drive, 0, job.speed);

    d_->lastPercent = -1;
    d_->lastPhase.clear();
    d_->activity = Activity::Burning;
    emit progressChanged(0);
    burn::burn_disc_write(d_->writeOptions, d_->disc);
    d_->timer.start();
}

bool LibburnEngine::startErase(int writer, QString& error)
{
    if (d_->activity != Activity::Idle) {
        error = QStringLiteral("Une gravure ou un effacement est déjà en cours.");
        return false;
    }
    writers();
    if (writer < 0 || writer >= d_->writers.size() || d_->writers[writer].imageFile) {
        error = QStringLiteral("Ce graveur n'efface pas de disque : il écrit un fichier image.");
        return false;
    }
    if (!d_->grab(d_->writers[writer].address)) {
        error = QStringLiteral("Le graveur « %1 » n'est pas disponible.").arg(d_->writers[writer].name);
        return false;
    }
    const burn::burn_disc_status status = d_->discStatus();
    if (!burn::burn_disc_erasable(d_->drive) || status == burn::BURN_DISC_EMPTY) {
        error = QStringLiteral("Le disque n'est pas un CD-RW effaçable.");
        return false;
    }
    d_->abortRequested = false;
    d_->lastError.clear();
    d_->activity = Activity::Erasing;
    burn::burn_disc_erase(d_->drive, 1);
    // The erase may be started from a worker thread: the timer that follows
    // it starts in the engine's own.
    QMetaObject::invokeMethod(&d_->timer, qOverload<>(&QTimer::start));
    return true;
}

void LibburnEngine::abort()
{
    if (d_->activity == Activity::Idle || d_->abortRequested)
        return;
    d_->abortRequested = true;
    d_->cancelReadBack = true;
    if (d_->drive && (d_->activity == Activity::Burning || d_->activity == Activity::Erasing))
        burn::burn_drive_cancel(d_->drive);
}

QStringList LibburnEngine::diagnostics() const
{
    int major = 0, minor = 0, micro = 0;
    burn::burn_version(&major, &minor, &micro);
    int isoMajor = 0, isoMinor = 0, isoMicro = 0;
    iso_lib_version(&isoMajor, &isoMinor, &isoMicro);
    return {QStringLiteral("Moteur de gravure : libburn %1.%2.%3, libisofs %4.%5.%6")
                .arg(major)
                .arg(minor)
                .arg(micro)
                .arg(isoMajor)
                .arg(isoMinor)
                .arg(isoMicro),
        d_->lastError.isEmpty() ? QStringLiteral("Aucune erreur signalée.")
                                : QStringLiteral("Dernière erreur : ") + d_->lastError};
}

void LibburnEngine::setAfterWriteHook(std::function<void(const QString&)> hook)
{
    d_->afterWrite = std::move(hook);
}

void LibburnEngine::drainMessages()
{
    // The libraries' own messages (in English) go to the log as they come.
    char severity[80];
    int code = 0, osErrno = 0, imageId = 0;
    QByteArray text(BURN_MSGS_MESSAGE_LEN, '\0');
    char all[] = "ALL";
    while (burn::burn_msgs_obtain(all, &code, text.data(), &osErrno, severity) > 0) {
        const QString line = QString::fromLocal8Bit(text.constData()).trimmed();
        emit logLine(QStringLiteral("libburn : ") + line);
        if (QByteArray(severity) != "NOTE" && QByteArray(severity) != "UPDATE"
            && QByteArray(severity) != "DEBUG")
            d_->lastError = line;
    }
    char sorry[] = "SORRY";
    while (iso_obtain_msgs(sorry, &code, &imageId, text.data(), severity) > 0)
        emit logLine(QStringLiteral("libisofs : ") + QString::fromLocal8Bit(text.constData()).trimmed());
}

void LibburnEngine::poll()
{
    drainMessages();
    if (d_->activity != Activity::Burning && d_->activity != Activity::Erasing)
        return;
    burn::burn_progress progress{};
    const burn::burn_drive_status status = burn::burn_drive_get_status(d_->drive, &progress);
    if (status != burn::BURN_DRIVE_IDLE) {
        const QString phase = phaseText(status);
        if (!phase.isEmpty() && phase != d_->lastPhase) {
            d_->lastPhase = phase;
            emit phaseChanged(phase);
        }
        if (d_->activity == Activity::Burning && progress.sectors > 0) {
            const int percent = static_cast<int>(100LL * progress.sector / progress.sectors);
            if (percent != d_->lastPercent) {
                d_->lastPercent = std::min(percent, 99);
                emit progressChanged(d_->lastPercent);
            }
        }
        return;
    }
    d_->timer.stop();
    if (d_->activity == Activity::Erasing) {
        const bool ok = burn::burn_drive_wrote_well(d_->drive) && !d_->abortRequested;
        d_->activity = Activity::Idle;
        d_->release(true);
        emit eraseDone(ok);
        return;
    }
    finishWrite();
}

void LibburnEngine::finishWrite()
{
    const bool wroteWell = burn::burn_drive_wrote_well(d_->drive);
    d_->freeWriteObjects();
    if (d_->abortRequested)
        return finishBurn(burn_status::Aborted);
    if (!wroteWell)
        return finishBurn(burn_status::WriteFailed, QStringLiteral("L'écriture du disque a échoué."));
    emit progressChanged(100);
    emit phaseChanged(QStringLiteral("Vérification du disque gravé..."));
    d_->activity = Activity::Verifying;
    const BurnTree tree = d_->job.tree;
    if (!d_->partialImage.isEmpty()) {
        d_->release(false);
        if (d_->afterWrite)
            d_->afterWrite(d_->partialImage);
        const QString image = d_->partialImage;
        d_->readBack.setFuture(
            QtConcurrent::run(&workPool(), [image, tree] { return compareIsoFileWithTree(image, tree); }));
        return;
    }
    // A disc: read back through the drive, a few blocks at a time.
    burn::burn_drive_re_assess(d_->drive, 0);
    burn::burn_drive* drive = d_->drive;
    std::atomic_bool* cancel = &d_->cancelReadBack;
    d_->readBack.setFuture(QtConcurrent::run(&workPool(), [drive, tree, cancel] {
        constexpr int blocksAtOnce = 32;
        QByteArray cache(blocksAtOnce * 2048, Qt::Uninitialized);
        qint64 cachedFirst = -1;
        qint64 cachedBlocks = 0;
        const IsoBlockReader read = [&](std::uint32_t block, std::uint8_t* buffer) {
            if (cachedFirst < 0 || block < cachedFirst || block >= cachedFirst + cachedBlocks) {
                const off_t address = static_cast<off_t>(block) * 2048;
                off_t count = 0;
                cachedFirst = block;
                // Near the end of the disc a whole run may not exist: then one block.
                if (burn::burn_read_data(drive, address, cache.data(), cache.size(), &count, 2 | 4) > 0)
                    cachedBlocks = blocksAtOnce;
                else if (burn::burn_read_data(drive, address, cache.data(), 2048, &count, 2) > 0)
                    cachedBlocks = 1;
                else
                    return (cachedBlocks = 0), false;
            }
            std::memcpy(buffer, cache.constData() + (block - cachedFirst) * 2048, 2048);
            return true;
        };
        return compareIsoWithTree(read, tree, cancel);
    }));
}

void LibburnEngine::finishBurn(int status, const QString& problem)
{
    d_->activity = Activity::Idle;
    if (!problem.isEmpty()) {
        d_->lastError = problem;
        emit logLine(problem);
    }
    if (!d_->partialImage.isEmpty()) {
        d_->release(false);
        if (status == burn_status::Succeeded) {
            QFile::remove(d_->job.imageFile);
            if (!QFile::rename(d_->partialImage, d_->job.imageFile)) {
                status = burn_status::WriteFailed;
                d_->lastError
                    = QStringLiteral("L'image ISO ne peut pas être enregistrée : %1").arg(d_->job.imageFile);
                emit logLine(d_->lastError);
            }
        }
        QFile::remove(d_->partialImage);
        d_->partialImage.clear();
    } else {
        d_->release(false);
    }
    if (status == burn_status::Aborted)
        emit aborted();
    emit burnDone(status);
}

} // namespace vexa
