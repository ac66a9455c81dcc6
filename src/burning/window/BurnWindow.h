#pragma once
// The burning window ("Gravure..."): picks the writer (the "Device" setting
// preselects it), lists the files of the folder to burn, burns them through
// the engine with its messages and progress, erases rewritable discs, and
// tells its caller whether a burn succeeded. The CD folder is emptied when
// the window is closed after a success.
#include "BurnEngine.h"
#include "CdTables.h"

#include <QDialog>
#include <QStringList>

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

    bool burnSucceeded() const { return succeeded; }
    // The files to burn, relative to the folder shown, root files first.
    const QStringList& filesToBurn() const { return files; }
    QString messageLog() const { return log; }

public slots:
    void reject() override;

private:
    void refreshFileList();
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

    BurnEngine& engine;
    QString cdFolder;
    QStringList problems;
    QStringList files;
    CdFolderTable folderTable; // kept from one burn to the next
    QString imageFile;
    QString log;
    bool succeeded = false;
    bool closing = false;

    QComboBox* writerList;
    QLineEdit* folderEdit;
    QPushButton* browseButton;
    QPlainTextEdit* messages;
    QProgressBar* progress;
    QPushButton* abortButton;
    QPushButton* burnButton;
    QPushButton* eraseButton;
    QPushButton* closeButton;
};

} // namespace vexa
