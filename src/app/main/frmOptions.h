#pragma once
// The options dialog "Configuration...": the Conquest database and image
// folder, printing, labels, reports and the NetPix worklist. "Appliquer"
// writes every setting and updates the running values at once.
#include "OptionsMapping.h"

#include <brixel/Button.h>

#include <QDialog>
#include <functional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QRadioButton;
class QTabBar;

namespace vexa {

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // mainWindow: whose place is saved and which is laid out again on
    // "Appliquer" (may be null at start-up, before it is shown).
    explicit frmOptions(QWidget* mainWindow = nullptr, QWidget* parent = nullptr);

    // Lays the main window out again after "Appliquer".
    void setRelayout(std::function<void()> relayout) { relayout_ = std::move(relayout); }

    void Apply(); // "Appliquer"
    void SelectTab(int index);
    int currentTab() const;
    OptionsValues values() const; // what the controls hold now

    QTabBar* tbsOptions;
    QWidget* picOptions[7] = {};
    QLineEdit* Text11;
    QLineEdit* Text2;
    QLineEdit* Text4;
    QCheckBox* Check1;
    QCheckBox* Check2;
    QCheckBox* Check3;
    QCheckBox* Check4;
    QGroupBox* FrameEtiquettes;
    QComboBox* Combo1[4];
    QComboBox* Combo2;
    QRadioButton* Option1[5];
    QRadioButton* Option2[2];
    QLineEdit* Text1[11] = {};
    brixel::Button* Command1;
    brixel::Button* Command2_0;
    brixel::Button* cmdOK;
    brixel::Button* cmdCancel;
    brixel::Button* cmdApply;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* ConquestPanel();
    QWidget* PrintPanel();
    QWidget* DicomPrintPanel();
    QWidget* WorkListPanel();
    QWidget* PositionPanel();
    QWidget* LabelsFrame(QWidget* parent);
    void BuildTabs();
    void BuildButtons();
    void Load();
    void FillPrinterBoxes(const OptionsValues& v);
    void BrowseDatabase();
    void BrowseNetPixFolder();

    QWidget* mainWindow_;
    std::function<void()> relayout_;
};

} // namespace vexa
