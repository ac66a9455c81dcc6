#pragma once
// The options dialog "Configuration...": the Conquest database and image
// folder, printing, labels, reports and the NetPix worklist. "Appliquer"
// writes every setting and updates the running values at once.
#include "shell/main/OptionsMapping.h"

#include <brixel/Button.h>

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTabBar;

namespace vexa {

class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    // mainWindow: whose place is saved and which is laid out again on
    // "Appliquer" (may be null at start-up, before it is shown).
    explicit OptionsDialog(QWidget* mainWindow = nullptr, QWidget* parent = nullptr);

    // Lays the main window out again after "Appliquer".
    void setRelayout(std::function<void()> relayout) { relayout_ = std::move(relayout); }

    void apply(); // "Appliquer"
    void selectTab(int index);
    int currentTab() const;
    OptionsValues values() const; // what the controls hold now

    // Under the database path: where a PostgreSQL password is kept ("" for
    // a database file).
    static QString passwordNote(const QString& conquestPath);

    QTabBar* tabs;
    QWidget* panels[7] = {};
    QLineEdit* databasePathEdit;
    QLineEdit* imageFolderEdit;
    QLabel* passwordNoteLabel;
    QLineEdit* letterheadEdit;
    QCheckBox* invertGreyCheck;
    QCheckBox* alwaysOnTopCheck;
    QCheckBox* labelsCheck;
    QCheckBox* autoPrintLabelsCheck;
    QGroupBox* labelsFrame;
    QComboBox* imagePrinterBox;
    QComboBox* labelPrinterBox;
    QComboBox* reportPrinterBox;
    QComboBox* worklistConsoleBox;
    QComboBox* labelCountBox;
    QRadioButton* positionOptions[5];
    QRadioButton* labelKindOptions[2];
    QLineEdit* netPixFolderEdit;
    QLineEdit* senderIdEdit; // two characters naming this workstation's patient file
    QLineEdit* numberingFromEdit; // the worklist numbering range
    QLineEdit* numberingToEdit;
    QLineEdit* practitionerEdit;
    QLineEdit* dicomWorklistFolderEdit; // DICOM worklist items; empty writes none
    brixel::Button* browseDatabaseButton;
    brixel::Button* browseNetPixButton;
    brixel::Button* okButton;
    brixel::Button* cancelButton;
    brixel::Button* applyButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* conquestPanel();
    QWidget* printPanel();
    QWidget* dicomPrintPanel();
    QWidget* workListPanel();
    QWidget* positionPanel();
    QWidget* labelsGroup(QWidget* parent);
    void buildTabs();
    void buildButtons();
    void load();
    void fillPrinterBoxes(const OptionsValues& v);
    void browseDatabase();
    void browseNetPixFolder();

    QWidget* mainWindow_;
    std::function<void()> relayout_;
};

} // namespace vexa
