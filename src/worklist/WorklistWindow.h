#pragma once
// The worklist entry: the user checks or types the patient's identity, picks
// the performing practitioner and sends the patient to the NetPix console
// (and to the DICOM worklist when one is set). Opened modally by the main
// window with its patient record set pointed at the selected patient, or at
// none for a blank entry.
#include "worklist/WorklistEntry.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QToolButton;

namespace brixel {
class Button;
}

namespace vexa {

class RecordSet;

class WorklistWindow : public QDialog {
    Q_OBJECT
public:
    explicit WorklistWindow(const RecordSet& identities, QWidget* parent = nullptr);

    // The wait before the sending confirmation closes itself (tests shorten it).
    void setSentNoticeDelay(int ms) { sentNoticeDelay_ = ms; }

    QLabel* titleLabel;
    QLabel* familyNameLabel;
    QLineEdit* familyNameBox;
    QLabel* firstNameLabel;
    QLineEdit* firstNameBox;
    QLabel* sexLabel;
    QComboBox* sexBox;
    QLabel* patientNumberLabel;
    QLineEdit* patientNumberBox;
    QLabel* birthDateLabel;
    QLineEdit* birthDateBox;
    QLabel* practitionerLabel;
    QComboBox* practitionerBox;
    QToolButton* addPractitionerButton;
    QLabel* requestingPractitionerLabel;
    QLineEdit* requestingPractitionerBox;
    brixel::Button* sendButton;
    brixel::Button* quitButton;

public slots:
    void send();
    void addPractitioner();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void focusFirstEmptyField();
    void keepNumberOnlyForTheSamePatient();
    void buildControls();
    void fillPatient(const RecordSet& identities);
    void loadPractitioners();
    void saveAndForgetPractitioners();

    QString practitionerFile_;
    // The patient the window was filled with: name and number as filled.
    PatientFields filled_;
    int sentNoticeDelay_;
};

} // namespace vexa
