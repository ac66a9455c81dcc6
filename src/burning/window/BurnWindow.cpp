#include "burning/window/BurnWindow.h"

#include "base/core/DialogService.h"
#include "base/core/Paths.h"
#include "base/core/SettingKeys.h"
#include "base/core/WorkPool.h"
#include "base/ui/BackgroundWork.h"
#include "burning/cd/CdPreparation.h"

#include <QComboBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace vexa {

namespace {

const QString burnCaption = QStringLiteral("Gravure...");

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}

QGroupBox* frame(const QString& title, QWidget* content, QWidget* parent)
{
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

// Runs an engine call that waits on a drive (seconds, for a drive spinning up)
// off the user-interface thread, behind the waiting window.
template <typename Call> auto waitOnDrive(QWidget* owner, const QString& message, Call call)
{
    using Result = decltype(call());
    return RunInBackground<Result>(owner, BackgroundOptions{message, false},
        std::function<Result(WorkProgress&)>([&call](WorkProgress&) { return call(); }));
}

} // namespace

BurnWindow::BurnWindow(
    BurnEngine& burnEngine, const QString& folder, const QStringList& preparationProblems, QWidget* parent)
    : QDialog(parent)
    , engine(burnEngine)
    , cdFolder(folder)
    , problems(preparationProblems)
    , imageFile(
          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/CD.iso"))
{
    setObjectName(QStringLiteral("BurnWindow"));
    setWindowTitle(burnCaption);
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    writerList = new QComboBox(this);
    writerList->setObjectName(QStringLiteral("AvailableDevices"));
    folderEdit = new QLineEdit(this);
    folderEdit->setObjectName(QStringLiteral("edtFileName"));
    browseButton = button(QStringLiteral("Parcourir..."), QStringLiteral("Browse"), this);
    messages = new QPlainTextEdit(this);
    messages->setObjectName(QStringLiteral("edtMessages"));
    messages->setReadOnly(true);
    messages->setMinimumHeight(180);
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("ProgressBar"));
    progress->setRange(0, 100);
    abortButton = button(QStringLiteral("Annuler"), QStringLiteral("btnAbort"), this);
    burnButton = button(QStringLiteral("Graver..."), QStringLiteral("Burn"), this);
    eraseButton = button(QStringLiteral("Effacer un CD-RW..."), QStringLiteral("EraseBtn"), this);
    closeButton = button(QStringLiteral("Fermer"), QStringLiteral("Button2"), this);

    auto* folderRow = new QWidget(this);
    auto* folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->addWidget(folderEdit, 1);
    folderLayout->addWidget(browseButton);
    auto* burnRow = new QWidget(this);
    auto* burnLayout = new QHBoxLayout(burnRow);
    burnLayout->setContentsMargins(0, 0, 0, 0);
    burnLayout->addWidget(burnButton);
    burnLayout->addWidget(eraseButton);
    burnLayout->addWidget(abortButton);

    auto* layout = new QGridLayout(this);
    layout->addWidget(frame(QStringLiteral("Graveurs disponibles :"), writerList, this), 0, 0);
    layout->addWidget(frame(QStringLiteral("Gravure :"), burnRow, this), 0, 1);
    layout->addWidget(frame(QStringLiteral("Dossier à graver"), folderRow, this), 1, 0, 1, 2);
    layout->addWidget(frame(QStringLiteral("Messages de contrôle :"), messages, this), 2, 0, 1, 2);
    layout->addWidget(frame(QStringLiteral("Progression :"), progress, this), 3, 0, 1, 2);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(closeButton);
    layout->addLayout(closeRow, 4, 0, 1, 2);
    layout->setRowStretch(2, 1);
    resize(640, 480);

    connect(&engine, &BurnEngine::progressChanged, progress, &QProgressBar::setValue);
    connect(&engine, &BurnEngine::logLine, this, &BurnWindow::addLog);
    connect(&engine, &BurnEngine::phaseChanged, this, &BurnWindow::addLog);
    connect(&engine, &BurnEngine::burnDone, this, &BurnWindow::burnDone);
    connect(&engine, &BurnEngine::eraseDone, this,
        [this](bool) { addLog(QStringLiteral("Effacement du média terminé.")); });
    connect(&engine, &BurnEngine::aborted, this, [this] { succeeded = false; });
    connect(&engine, &BurnEngine::nonBlankDisc, this,
        [this] { addLog(QStringLiteral("Le CD-RW n'est pas vierge !")); });
    // Noted where the engine says it (maybe a worker thread), so that the
    // question that follows names the disc for what it is.
    connect(
        &engine, &BurnEngine::nonBlankDisc, this, [this] { discNotBlank = true; }, Qt::DirectConnection);
    connect(&engine, &BurnEngine::fatalError, this,
        [this] { addLog(QStringLiteral("une erreur fatale est survenue.")); });

    listingPause.setSingleShot(true);
    listingPause.setInterval(ListingPauseMs);
    connect(&listingPause, &QTimer::timeout, this, &BurnWindow::listFolder);
    connect(&listing, &QFutureWatcherBase::finished, this, &BurnWindow::folderListingDone);
    connect(&writerScan, &QFutureWatcherBase::finished, this, &BurnWindow::writersFound);
    connect(folderEdit, &QLineEdit::textChanged, this, &BurnWindow::folderTextChanged);
    connect(burnButton, &QPushButton::clicked, this, &BurnWindow::burn);
    connect(abortButton, &QPushButton::clicked, this, &BurnWindow::abortBurn);
    connect(eraseButton, &QPushButton::clicked, this, &BurnWindow::erase);
    connect(browseButton, &QPushButton::clicked, this, &BurnWindow::browse);
    connect(closeButton, &QPushButton::clicked, this, [this] {
        if (confirmClose()) {
            closing = true;
            engine.abort();
            accept();
        }
    });

    // Opening: the writers are looked for while the folder is listed.
    writerList->addItem(QStringLiteral("Recherche des graveurs..."));
    writerList->setEnabled(false);
    writerScan.setFuture(QtConcurrent::run(&WorkPool(), [drives = &engine] { return drives->writers(); }));
    progress->setValue(0);
    setBusy(false);
    QString shownFolder = cdFolder;
    folderEdit->setText(WithTrailingBackslash(shownFolder));
    listingPause.stop();
    listFolder(); // the prepared CD at once
    if (!problems.isEmpty()) {
        addLog(QStringLiteral("Attention, ce CD est incomplet :"));
        for (const QString& problem : problems)
            addLog(problem);
    }
}

BurnWindow::~BurnWindow()
{
    if (cancelListing)
        cancelListing->store(true);
    writerScan.waitForFinished(); // it uses the engine, which the caller destroys next
    engine.abort();
}

// The writers found, the one used last preselected (else the first).
void BurnWindow::writersFound()
{
    foundWriters = writerScan.result();
    const QString device = GetSetting(Keys::Device);
    int selected = 0;
    writerList->clear();
    for (int i = 0; i < foundWriters.size(); ++i) {
        writerList->addItem(foundWriters[i].deviceName);
        if (foundWriters[i].deviceName == device && selected == 0)
            selected = i;
    }
    writerList->setCurrentIndex(foundWriters.isEmpty() ? -1 : selected);
    writerList->setEnabled(true);
    scanningWriters = false;
    setBusy(false);
}

// Each change drops the files listed so far; the folder is listed again once
// typing has paused.
void BurnWindow::folderTextChanged()
{
    if (cancelListing)
        cancelListing->store(true);
    files.clear();
    burnButton->setEnabled(false);
    listingPause.start();
}

void BurnWindow::listFolder()
{
    if (cancelListing)
        cancelListing->store(true);
    cancelListing = std::make_shared<std::atomic_bool>(false);
    listingRuns = true;
    files.clear();
    burnButton->setEnabled(false);
    // The walk keeps its own copies: the window may close before it ends.
    listing.setFuture(QtConcurrent::run(&WorkPool(), [folder = folderEdit->text(), cancel = cancelListing] {
        return ListFolderToBurn(folder, cancel.get());
    }));
}

void BurnWindow::folderListingDone()
{
    const BurnFolderListing result = listing.result();
    // An older listing ending late is dropped: the newer one is running.
    if (result.folder != folderEdit->text() || listingPause.isActive())
        return;
    listingRuns = false;
    listedFolder = result.folder;
    files = result.files;
    if (!result.complete)
        addLog(QStringLiteral("La liste du dossier à graver a été arrêtée : plus de %1 fichiers, de %2 "
                              "dossiers ou de %3 niveaux de dossiers.")
                   .arg(MaxBurnFiles)
                   .arg(CdLastUsableFolder)
                   .arg(MaxBurnFolderDepth));
    burnButton->setEnabled(!files.isEmpty() && !abortButton->isEnabled() && !scanningWriters);
    emit folderListed();
}

void BurnWindow::setBusy(bool busy)
{
    abortButton->setEnabled(busy);
    closeButton->setEnabled(!busy);
    browseButton->setEnabled(!busy);
    burnButton->setEnabled(!busy && !files.isEmpty() && !scanningWriters);
    eraseButton->setEnabled(!busy && !scanningWriters);
}

void BurnWindow::addLog(const QString& text)
{
    log += text + QStringLiteral("\r\n");
    showLog();
}

void BurnWindow::showLog()
{
    messages->setPlainText(log);
    messages->moveCursor(QTextCursor::End);
    messages->ensureCursorVisible();
    messages->verticalScrollBar()->setValue(messages->verticalScrollBar()->maximum());
}

void BurnWindow::burn()
{
    if (!problems.isEmpty()
        && MsgBox(QStringLiteral("Il manque des images sur ce CD (voir les messages de contrôle).\n\n"
                                 "Voulez-vous graver ce CD quand même ?"),
               MsgIcon::Question, MsgButtons::YesNo, burnCaption, MsgResult::No)
            != MsgResult::Yes)
        return;
    setBusy(true);
    log.clear();
    showLog();

    BurnJob job;
    job.tree = TreeToBurn(listedFolder, files, folderTable);
    job.writer = writerList->currentIndex();
    if (job.writer < 0 || job.writer >= foundWriters.size()) {
        addLog(QStringLiteral("Aucun graveur n'est disponible."));
        setBusy(false);
        return;
    }
    SaveSetting(Keys::Device, foundWriters[job.writer].deviceName);
    if (foundWriters[job.writer].imageFile) {
        FileRequest request;
        request.kind = FileRequest::Kind::Save;
        request.title = QStringLiteral("Enregistrer l'image ISO du CD");
        request.startPath = imageFile;
        request.filters = {QStringLiteral("Images ISO (*.iso)"), QStringLiteral("Tous (*.*)")};
        const QString chosen = dialogs().file(request);
        if (chosen.isEmpty()) {
            setBusy(false);
            return;
        }
        imageFile = chosen;
        job.imageFile = chosen;
    }
    QList<int> speeds;
    if (!waitForDisc(job.writer, speeds))
        return; // only "Annuler" brings the buttons back
    job.speed = speeds.last();
    for (const QString& problem : problems)
        addLog(problem);
    engine.startBurn(job);
}

// Asks for a blank disc until the writer holds one (an image file needs none).
bool BurnWindow::waitForDisc(int writer, QList<int>& speeds)
{
    const bool drive = !foundWriters.value(writer).imageFile;
    while (true) {
        discNotBlank = false;
        if (drive) {
            waitOnDrive(this, QStringLiteral("Ouverture du tiroir du graveur..."), [&] {
                engine.eject(writer);
                return true;
            });
            MsgBox(QStringLiteral(
                       "Veuillez déposer un CD Vierge dans le lecteur, fermer la trappe du lecteur, \n"
                       "puis cliquer sur OK"),
                MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Gravure du CD"));
        }
        speeds = drive ? waitOnDrive(
                     this, QStringLiteral("Lecture du CD..."), [&] { return engine.writeSpeeds(writer); })
                       : engine.writeSpeeds(writer); // a file: no drive to wait on
        if (!speeds.isEmpty())
            return true;
        const QString problem = discNotBlank
            ? QStringLiteral("Le CD du lecteur n'est pas vierge : déposez un CD vierge, ou effacez ce "
                             "CD-RW avec « Effacer un CD-RW... ».")
            : QStringLiteral("Il ne semble pas y avoir de CD dans le lecteur.");
        if (MsgBox(problem, MsgIcon::Exclamation, MsgButtons::RetryCancel, QStringLiteral("Vérifiez le CD !"),
                MsgResult::Retry)
            != MsgResult::Retry)
            return false;
    }
}

void BurnWindow::burnDone(int status)
{
    addLog(QString());
    for (const QString& line : engine.diagnostics())
        addLog(line);
    succeeded = status == BurnStatus::Succeeded;
    addLog(succeeded ? QStringLiteral("Gravure terminée avec succès !")
                     : QStringLiteral("ECHEC de la Gravure ! (%1)").arg(status));
    setBusy(false);
    progress->setValue(succeeded ? 100 : 0);
    if (!succeeded || closing)
        return;
    if (MsgBox(QStringLiteral("Gravure effectuée avec succès.\n\nVoulez-vous graver un autre CD ?"),
            MsgIcon::Question, MsgButtons::YesNo, burnCaption, MsgResult::No)
        != MsgResult::Yes)
        closeButton->click();
}

void BurnWindow::abortBurn()
{
    engine.abort();
    setBusy(false);
    succeeded = false;
}

void BurnWindow::erase()
{
    setBusy(true);
    log.clear();
    showLog();
    addLog(QStringLiteral("Effacement du disque en cours, veuillez attendre l'éjection du disque"));
    QString error;
    const int writer = writerList->currentIndex();
    if (!waitOnDrive(
            this, QStringLiteral("Lecture du CD-RW..."), [&] { return engine.startErase(writer, error); })) {
        log += error + QStringLiteral("\r\n") + engine.diagnostics().value(1);
        showLog();
    }
    setBusy(false);
}

void BurnWindow::browse()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Folder;
    request.title = QStringLiteral("Sélectionner le dossier à graver");
    request.startPath = folderEdit->text();
    QString chosen = dialogs().file(request);
    if (chosen.isEmpty())
        return;
    folderEdit->setText(WithTrailingBackslash(chosen));
    listingPause.stop();
    listFolder(); // a chosen folder, not one being typed
}

bool BurnWindow::confirmClose()
{
    if (succeeded) {
        EmptyCdWorkFolder(cdFolder);
        return true;
    }
    return MsgBox(QStringLiteral("Votre gravure n'a pas été effectuée : êtes-vous sûr de vouloir quitter ?"),
               MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("Gravure non terminée..."))
        == MsgResult::Yes;
}

// Closing by any means (the close button, the title bar, Escape) asks as
// "Fermer" does, and the engine is told to abort.
void BurnWindow::reject()
{
    if (!closing && !confirmClose())
        return;
    closing = true;
    engine.abort();
    QDialog::reject();
}

} // namespace vexa
