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
    return runInBackground<Result>(owner, BackgroundOptions{message, false},
        std::function<Result(WorkProgress&)>([&call](WorkProgress&) { return call(); }));
}

} // namespace

BurnWindow::BurnWindow(
    BurnEngine& burnEngine, const QString& folder, const QStringList& preparationProblems, QWidget* parent)
    : QDialog(parent)
    , engine_(burnEngine)
    , cdFolder_(folder)
    , problems_(preparationProblems)
    , imageFile_(
          QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) + QStringLiteral("/CD.iso"))
{
    setObjectName(QStringLiteral("BurnWindow"));
    setWindowTitle(burnCaption);
    setModal(true);
    setWindowFlag(Qt::WindowStaysOnTopHint);

    writerList_ = new QComboBox(this);
    writerList_->setObjectName(QStringLiteral("AvailableDevices"));
    folderEdit_ = new QLineEdit(this);
    folderEdit_->setObjectName(QStringLiteral("edtFileName"));
    browseButton_ = button(QStringLiteral("Parcourir..."), QStringLiteral("Browse"), this);
    messages_ = new QPlainTextEdit(this);
    messages_->setObjectName(QStringLiteral("edtMessages"));
    messages_->setReadOnly(true);
    messages_->setMinimumHeight(180);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("ProgressBar"));
    progress_->setRange(0, 100);
    abortButton_ = button(QStringLiteral("Annuler"), QStringLiteral("btnAbort"), this);
    burnButton_ = button(QStringLiteral("Graver..."), QStringLiteral("Burn"), this);
    eraseButton_ = button(QStringLiteral("Effacer un CD-RW..."), QStringLiteral("EraseBtn"), this);
    closeButton_ = button(QStringLiteral("Fermer"), QStringLiteral("Button2"), this);

    auto* folderRow = new QWidget(this);
    auto* folderLayout = new QHBoxLayout(folderRow);
    folderLayout->setContentsMargins(0, 0, 0, 0);
    folderLayout->addWidget(folderEdit_, 1);
    folderLayout->addWidget(browseButton_);
    auto* burnRow = new QWidget(this);
    auto* burnLayout = new QHBoxLayout(burnRow);
    burnLayout->setContentsMargins(0, 0, 0, 0);
    burnLayout->addWidget(burnButton_);
    burnLayout->addWidget(eraseButton_);
    burnLayout->addWidget(abortButton_);

    auto* layout = new QGridLayout(this);
    layout->addWidget(frame(QStringLiteral("Graveurs disponibles :"), writerList_, this), 0, 0);
    layout->addWidget(frame(QStringLiteral("Gravure :"), burnRow, this), 0, 1);
    layout->addWidget(frame(QStringLiteral("Dossier à graver"), folderRow, this), 1, 0, 1, 2);
    layout->addWidget(frame(QStringLiteral("Messages de contrôle :"), messages_, this), 2, 0, 1, 2);
    layout->addWidget(frame(QStringLiteral("Progression :"), progress_, this), 3, 0, 1, 2);
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(closeButton_);
    layout->addLayout(closeRow, 4, 0, 1, 2);
    layout->setRowStretch(2, 1);
    resize(640, 480);

    connect(&engine_, &BurnEngine::progressChanged, progress_, &QProgressBar::setValue);
    connect(&engine_, &BurnEngine::logLine, this, &BurnWindow::addLog);
    connect(&engine_, &BurnEngine::phaseChanged, this, &BurnWindow::addLog);
    connect(&engine_, &BurnEngine::burnDone, this, &BurnWindow::burnDone);
    connect(&engine_, &BurnEngine::eraseDone, this,
        [this](bool) { addLog(QStringLiteral("Effacement du média terminé.")); });
    connect(&engine_, &BurnEngine::aborted, this, [this] { succeeded_ = false; });
    connect(&engine_, &BurnEngine::nonBlankDisc, this,
        [this] { addLog(QStringLiteral("Le CD-RW n'est pas vierge !")); });
    // Noted where the engine says it (maybe a worker thread), so that the
    // question that follows names the disc for what it is.
    connect(
        &engine_, &BurnEngine::nonBlankDisc, this, [this] { discNotBlank_ = true; }, Qt::DirectConnection);
    connect(&engine_, &BurnEngine::fatalError, this,
        [this] { addLog(QStringLiteral("une erreur fatale est survenue.")); });

    listingPause_.setSingleShot(true);
    listingPause_.setInterval(ListingPauseMs);
    connect(&listingPause_, &QTimer::timeout, this, &BurnWindow::listFolder);
    connect(&listing_, &QFutureWatcherBase::finished, this, &BurnWindow::folderListingDone);
    connect(&writerScan_, &QFutureWatcherBase::finished, this, &BurnWindow::writersFound);
    connect(folderEdit_, &QLineEdit::textChanged, this, &BurnWindow::folderTextChanged);
    connect(burnButton_, &QPushButton::clicked, this, &BurnWindow::burn);
    connect(abortButton_, &QPushButton::clicked, this, &BurnWindow::abortBurn);
    connect(eraseButton_, &QPushButton::clicked, this, &BurnWindow::erase);
    connect(browseButton_, &QPushButton::clicked, this, &BurnWindow::browse);
    connect(closeButton_, &QPushButton::clicked, this, [this] {
        if (confirmClose()) {
            closing_ = true;
            engine_.abort();
            accept();
        }
    });

    // Opening: the writers are looked for while the folder is listed.
    writerList_->addItem(QStringLiteral("Recherche des graveurs..."));
    writerList_->setEnabled(false);
    writerScan_.setFuture(QtConcurrent::run(&workPool(), [drives = &engine_] { return drives->writers(); }));
    progress_->setValue(0);
    setBusy(false);
    QString shownFolder = cdFolder_;
    folderEdit_->setText(withTrailingBackslash(shownFolder));
    listingPause_.stop();
    listFolder(); // the prepared CD at once
    if (!problems_.isEmpty()) {
        addLog(QStringLiteral("Attention, ce CD est incomplet :"));
        for (const QString& problem : problems_)
            addLog(problem);
    }
}

BurnWindow::~BurnWindow()
{
    if (cancelListing_)
        cancelListing_->store(true);
    writerScan_.waitForFinished(); // it uses the engine, which the caller destroys next
    engine_.abort();
}

// The writers found, the one used last preselected (else the first).
void BurnWindow::writersFound()
{
    foundWriters_ = writerScan_.result();
    const QString device = getSetting(keys::Device);
    int selected = 0;
    writerList_->clear();
    for (int i = 0; i < foundWriters_.size(); ++i) {
        writerList_->addItem(foundWriters_[i].deviceName);
        if (foundWriters_[i].deviceName == device && selected == 0)
            selected = i;
    }
    writerList_->setCurrentIndex(foundWriters_.isEmpty() ? -1 : selected);
    writerList_->setEnabled(true);
    scanningWriters_ = false;
    setBusy(false);
}

// Each change drops the files listed so far; the folder is listed again once
// typing has paused.
void BurnWindow::folderTextChanged()
{
    if (cancelListing_)
        cancelListing_->store(true);
    files_.clear();
    burnButton_->setEnabled(false);
    listingPause_.start();
}

void BurnWindow::listFolder()
{
    if (cancelListing_)
        cancelListing_->store(true);
    cancelListing_ = std::make_shared<std::atomic_bool>(false);
    listingRuns_ = true;
    files_.clear();
    burnButton_->setEnabled(false);
    // The walk keeps its own copies: the window may close before it ends.
    listing_.setFuture(
        QtConcurrent::run(&workPool(), [folder = folderEdit_->text(), cancel = cancelListing_] {
            return listFolderToBurn(folder, cancel.get());
        }));
}

void BurnWindow::folderListingDone()
{
    const BurnFolderListing result = listing_.result();
    // An older listing ending late is dropped: the newer one is running.
    if (result.folder != folderEdit_->text() || listingPause_.isActive())
        return;
    listingRuns_ = false;
    listedFolder_ = result.folder;
    files_ = result.files;
    if (!result.complete)
        addLog(QStringLiteral("La liste du dossier à graver a été arrêtée : plus de %1 fichiers, de %2 "
                              "dossiers ou de %3 niveaux de dossiers.")
                   .arg(MaxBurnFiles)
                   .arg(CdLastUsableFolder)
                   .arg(MaxBurnFolderDepth));
    burnButton_->setEnabled(!files_.isEmpty() && !abortButton_->isEnabled() && !scanningWriters_);
    emit folderListed();
}

void BurnWindow::setBusy(bool busy)
{
    abortButton_->setEnabled(busy);
    closeButton_->setEnabled(!busy);
    browseButton_->setEnabled(!busy);
    burnButton_->setEnabled(!busy && !files_.isEmpty() && !scanningWriters_);
    eraseButton_->setEnabled(!busy && !scanningWriters_);
}

void BurnWindow::addLog(const QString& text)
{
    log_ += text + QStringLiteral("\r\n");
    showLog();
}

void BurnWindow::showLog()
{
    messages_->setPlainText(log_);
    messages_->moveCursor(QTextCursor::End);
    messages_->ensureCursorVisible();
    messages_->verticalScrollBar()->setValue(messages_->verticalScrollBar()->maximum());
}

void BurnWindow::burn()
{
    if (!problems_.isEmpty()
        && msgBox(QStringLiteral("Il manque des images sur ce CD (voir les messages de contrôle).\n\n"
                                 "Voulez-vous graver ce CD quand même ?"),
               MsgIcon::Question, MsgButtons::YesNo, burnCaption, MsgResult::No)
            != MsgResult::Yes)
        return;
    setBusy(true);
    log_.clear();
    showLog();

    BurnJob job;
    job.tree = treeToBurn(listedFolder_, files_, folderTable_);
    job.writer = writerList_->currentIndex();
    if (job.writer < 0 || job.writer >= foundWriters_.size()) {
        addLog(QStringLiteral("Aucun graveur n'est disponible."));
        setBusy(false);
        return;
    }
    saveSetting(keys::Device, foundWriters_[job.writer].deviceName);
    if (foundWriters_[job.writer].imageFile) {
        FileRequest request;
        request.kind = FileRequest::Kind::Save;
        request.title = QStringLiteral("Enregistrer l'image ISO du CD");
        request.startPath = imageFile_;
        request.filters = {QStringLiteral("Images ISO (*.iso)"), QStringLiteral("Tous (*.*)")};
        const QString chosen = dialogs().file(request);
        if (chosen.isEmpty()) {
            setBusy(false);
            return;
        }
        imageFile_ = chosen;
        job.imageFile = chosen;
    }
    QList<int> speeds;
    if (!waitForDisc(job.writer, speeds))
        return; // only "Annuler" brings the buttons back
    job.speed = speeds.last();
    for (const QString& problem : problems_)
        addLog(problem);
    engine_.startBurn(job);
}

// Asks for a blank disc until the writer holds one (an image file needs none).
bool BurnWindow::waitForDisc(int writer, QList<int>& speeds)
{
    const bool drive = !foundWriters_.value(writer).imageFile;
    while (true) {
        discNotBlank_ = false;
        if (drive) {
            waitOnDrive(this, QStringLiteral("Ouverture du tiroir du graveur..."), [&] {
                engine_.eject(writer);
                return true;
            });
            msgBox(QStringLiteral(
                       "Veuillez déposer un CD Vierge dans le lecteur, fermer la trappe du lecteur, \n"
                       "puis cliquer sur OK"),
                MsgIcon::Information, MsgButtons::Ok, QStringLiteral("Gravure du CD"));
        }
        speeds = drive ? waitOnDrive(
                     this, QStringLiteral("Lecture du CD..."), [&] { return engine_.writeSpeeds(writer); })
                       : engine_.writeSpeeds(writer); // a file: no drive to wait on
        if (!speeds.isEmpty())
            return true;
        const QString problem = discNotBlank_
            ? QStringLiteral("Le CD du lecteur n'est pas vierge : déposez un CD vierge, ou effacez ce "
                             "CD-RW avec « Effacer un CD-RW... ».")
            : QStringLiteral("Il ne semble pas y avoir de CD dans le lecteur.");
        if (msgBox(problem, MsgIcon::Exclamation, MsgButtons::RetryCancel, QStringLiteral("Vérifiez le CD !"),
                MsgResult::Retry)
            != MsgResult::Retry)
            return false;
    }
}

void BurnWindow::burnDone(int status)
{
    addLog(QString());
    for (const QString& line : engine_.diagnostics())
        addLog(line);
    succeeded_ = status == burn_status::Succeeded;
    addLog(succeeded_ ? QStringLiteral("Gravure terminée avec succès !")
                      : QStringLiteral("ECHEC de la Gravure ! (%1)").arg(status));
    setBusy(false);
    progress_->setValue(succeeded_ ? 100 : 0);
    if (!succeeded_ || closing_)
        return;
    if (msgBox(QStringLiteral("Gravure effectuée avec succès.\n\nVoulez-vous graver un autre CD ?"),
            MsgIcon::Question, MsgButtons::YesNo, burnCaption, MsgResult::No)
        != MsgResult::Yes)
        closeButton_->click();
}

void BurnWindow::abortBurn()
{
    engine_.abort();
    setBusy(false);
    succeeded_ = false;
}

void BurnWindow::erase()
{
    setBusy(true);
    log_.clear();
    showLog();
    addLog(QStringLiteral("Effacement du disque en cours, veuillez attendre l'éjection du disque"));
    QString error;
    const int writer = writerList_->currentIndex();
    if (!waitOnDrive(
            this, QStringLiteral("Lecture du CD-RW..."), [&] { return engine_.startErase(writer, error); })) {
        log_ += error + QStringLiteral("\r\n") + engine_.diagnostics().value(1);
        showLog();
    }
    setBusy(false);
}

void BurnWindow::browse()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Folder;
    request.title = QStringLiteral("Sélectionner le dossier à graver");
    request.startPath = folderEdit_->text();
    QString chosen = dialogs().file(request);
    if (chosen.isEmpty())
        return;
    folderEdit_->setText(withTrailingBackslash(chosen));
    listingPause_.stop();
    listFolder(); // a chosen folder, not one being typed
}

bool BurnWindow::confirmClose()
{
    if (succeeded_) {
        emptyCdWorkFolder(cdFolder_);
        return true;
    }
    return msgBox(QStringLiteral("Votre gravure n'a pas été effectuée : êtes-vous sûr de vouloir quitter ?"),
               MsgIcon::Exclamation, MsgButtons::YesNo, QStringLiteral("Gravure non terminée..."))
        == MsgResult::Yes;
}

// Closing by any means (the close button, the title bar, Escape) asks as
// "Fermer" does, and the engine is told to abort.
void BurnWindow::reject()
{
    if (!closing_ && !confirmClose())
        return;
    closing_ = true;
    engine_.abort();
    QDialog::reject();
}

} // namespace vexa
