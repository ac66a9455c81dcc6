#pragma once
// The burning window ("Gravure..."): picks the writer (the "Device" setting
// preselects it), lists the files of the folder to burn, burns them through
// the engine with its messages and progress, erases rewritable discs, and
// tells its caller whether a burn succeeded. The CD folder is emptied when
// the window is closed after a success. The folder is listed off the
// user-interface thread, once typing pauses; a newer listing replaces an
// older one, which is cancelled. Everything that waits on a drive (the
// search for writers, the tray, the disc's speeds, the start of an erase)
// runs off that thread too: the window opens at once and stays painted.
#include "burning/cd/CdTables.h"
#include "burning/engine/BurnEngine.h"
#include "burning/engine/BurnFileList.h"

#include <QDialog>
#include <QFutureWatcher>
#include <QStringList>
#include <QTimer>

#include <atomic>
#include <memory>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

namespace vexa {

class BurnWindow : public QDialog {
    Q_OBJECT
public:
    // `cdFolder` is the prepared CD; `preparationProblems` (images missing
    // from it) are logged, and the user is asked before they are burned.
    BurnWindow(BurnEngine& engine, const QString& cdFolder, const QStringList& preparationProblems = {},
        QWidget* parent = nullptr);
    ~BurnWindow() override;

    // How long typing must pause before the folder is listed again.
    static constexpr int ListingPauseMs = 400;

    bool burnSucceeded() const { return succeeded_; }
    // The files to burn, relative to the folder shown, root files first;
    // empty while the folder is being listed.
    const QStringList& filesToBurn() const { return files_; }
    // True while the writers are looked for or the folder is listed.
    bool preparing() const { return listingRuns_ || scanningWriters_; }
    QString messageLog() const { return log_; }

signals:
    // The folder shown has been listed (filesToBurn() holds its files).
    void folderListed();

public slots:
    void reject() override;

private:
    void writersFound();
    void folderTextChanged();
    void listFolder();
    void folderListingDone();
    void burn();
    bool waitForDisc(int writer, QList<int>& speeds);
    void burnDone(int status);
    void abortBurn();
    void erase();
    void browse();
    bool confirmClose();
    void setBusy(bool busy);
    void addLog(const QString& text);
    void showLog();

    BurnEngine& engine_;
    QString cdFolder_;
    QStringList problems_;
    QStringList files_;
    QString listedFolder_; // the folder `files` were listed from
    QTimer listingPause_;
    QFutureWatcher<BurnFolderListing> listing_;
    QFutureWatcher<QList<BurnWriter>> writerScan_;
    QList<BurnWriter> foundWriters_;
    bool scanningWriters_ = true;
    std::atomic_bool discNotBlank_{false};
    std::shared_ptr<std::atomic_bool> cancelListing_;
    bool listingRuns_ = false;
    CdFolderTable folderTable_; // kept from one burn to the next
    QString imageFile_;
    QString log_;
    bool succeeded_ = false;
    bool closing_ = false;

    QComboBox* writerList_;
    QLineEdit* folderEdit_;
    QPushButton* browseButton_;
    QPlainTextEdit* messages_;
    QProgressBar* progress_;
    QPushButton* abortButton_;
    QPushButton* burnButton_;
    QPushButton* eraseButton_;
    QPushButton* closeButton_;
};

} // namespace vexa
