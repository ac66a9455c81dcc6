#include "worklist/WorklistWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "pacsdb/RecordSet.h"
#include "worklist/PractitionerList.h"
#include "worklist/WorklistEntry.h"
#include "worklist/WorklistSending.h"
#include "worklist/WorklistSentNotice.h"

#include <brixel/Button.h>

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexa {

namespace {

QLabel* fieldLabel(const QString& text, const QString& name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QLineEdit* textBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    return box;
}

brixel::Button* pushButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new brixel::Button(parent, name);
    button->initProperties();
    button->setBtnSunkenEffects(brixel::bseNo); // a push button, not a toggle
    button->setCaption(caption);
    button->setCapColor(Qt::white);
    button->setCapColorOver(Qt::yellow);
    button->setCapColorDown(Qt::yellow);
    button->setBackColor(QColor(0, 0, 64));
    button->setBackColorOver(QColor(0, 0, 64));
    button->setBackColorDown(QColor(0, 0, 64));
    return button;
}

} // namespace

WorklistWindow::WorklistWindow(const RecordSet& identities, QWidget* parent)
    : QDialog(parent)
    , practitionerFile_(practitionerListFile())
    , sentNoticeDelay_(WorklistSentNotice::CloseDelayMs)
{
    setObjectName(QStringLiteral("WorklistWindow"));
    setWindowTitle(QStringLiteral("WorkList"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(16, 24, 48));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    buildControls();

    // The send button is black in every state.
    sendButton->setBackColor(QColor(0, 0, 0));
    sendButton->setBackColorOver(QColor(0, 0, 0));
    sendButton->setBackColorDown(QColor(0, 0, 0));
    sexBox->setCurrentText(QStringLiteral("O"));
    fillPatient(identities);
    loadPractitioners();
}

void WorklistWindow::buildControls()
{
    titleLabel = fieldLabel(QStringLiteral("Envoi vers la WorkList..."), QStringLiteral("titleLabel"), this);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.4);
    titleLabel->setFont(titleFont);

    familyNameLabel = fieldLabel(QStringLiteral("Nom :"), QStringLiteral("familyNameLabel"), this);
    familyNameBox = textBox(QStringLiteral("familyNameBox"), this);
    firstNameLabel = fieldLabel(QStringLiteral("Prénom :"), QStringLiteral("firstNameLabel"), this);
    firstNameBox = textBox(QStringLiteral("firstNameBox"), this);
    sexLabel = fieldLabel(QStringLiteral("Sexe :"), QStringLiteral("sexLabel"), this);
    sexBox = new QComboBox(this);
    sexBox->setObjectName(QStringLiteral("sexBox"));
    sexBox->setEditable(true);
    sexBox->addItems({QStringLiteral("O"), QStringLiteral("M"), QStringLiteral("F")});
    patientNumberLabel
        = fieldLabel(QStringLiteral("ID Patient : "), QStringLiteral("patientNumberLabel"), this);
    patientNumberBox = textBox(QStringLiteral("patientNumberBox"), this);
    patientNumberBox->setText(NoPatientNumber);
    birthDateLabel = fieldLabel(QStringLiteral("Date Naissance :"), QStringLiteral("birthDateLabel"), this);
    birthDateBox = textBox(QStringLiteral("birthDateBox"), this);
    birthDateBox->setPlaceholderText(QStringLiteral("JJ/MM/AAAA"));
    practitionerLabel
        = fieldLabel(QStringLiteral("Praticien executant :"), QStringLiteral("practitionerLabel"), this);
    practitionerBox = new QComboBox(this);
    practitionerBox->setObjectName(QStringLiteral("practitionerBox"));
    practitionerBox->setEditable(true);
    practitionerBox->setInsertPolicy(QComboBox::NoInsert);
    addPractitionerButton = new QToolButton(this);
    addPractitionerButton->setObjectName(QStringLiteral("addPractitionerButton"));
    addPractitionerButton->setText(QStringLiteral("+"));
    addPractitionerButton->setToolTip(QStringLiteral("Ajouter un praticien..."));
    requestingPractitionerLabel = fieldLabel(
        QStringLiteral("Praticien Demandeur :"), QStringLiteral("requestingPractitionerLabel"), this);
    requestingPractitionerBox = textBox(QStringLiteral("requestingPractitionerBox"), this);
    requestingPractitionerBox->setEnabled(false);

    sendButton
        = pushButton(QStringLiteral("Button3"), QStringLiteral("Envoyer vers la WorkList NetPix..."), this);
    sendButton->setFixedSize(260, 32);
    quitButton = pushButton(QStringLiteral("Button2"), QStringLiteral("Quitter ..."), this);
    quitButton->setFixedSize(110, 32);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    int row = 0;
    const auto addRow = [&](QLabel* label, QWidget* field, QWidget* extra = nullptr) {
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1);
        if (extra)
            grid->addWidget(extra, row, 2);
        ++row;
    };
    addRow(familyNameLabel, familyNameBox);
    addRow(firstNameLabel, firstNameBox);
    addRow(sexLabel, sexBox);
    addRow(patientNumberLabel, patientNumberBox);
    addRow(birthDateLabel, birthDateBox);
    addRow(practitionerLabel, practitionerBox, addPractitionerButton);
    addRow(requestingPractitionerLabel, requestingPractitionerBox);
    grid->setColumnStretch(1, 1);
    sexBox->setMaximumWidth(70);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(sendButton);
    buttons->addStretch();
    buttons->addWidget(quitButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->setSpacing(14);
    layout->addWidget(titleLabel);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    setMinimumWidth(460);

    connect(sendButton, &brixel::Button::Click, this, &WorklistWindow::send);
    connect(quitButton, &brixel::Button::Click, this, &QDialog::reject);
    connect(addPractitionerButton, &QToolButton::clicked, this, &WorklistWindow::addPractitioner);
}

void WorklistWindow::fillPatient(const RecordSet& identities)
{
    const PatientFields fields = patientFieldsFromIdentity(identities);
    familyNameBox->setText(fields.familyName);
    firstNameBox->setText(fields.firstName);
    sexBox->setCurrentText(fields.sex);
    patientNumberBox->setText(fields.patientNumber);
    birthDateBox->setText(fields.birthDate);
    filled_ = fields;
}

// A name typed over a filled patient's is most often a new patient: sent
// under the old number it would join the other patient's exams. The number
// is kept only when the user says it is the same patient (a corrected name).
void WorklistWindow::keepNumberOnlyForTheSamePatient()
{
    const QString number = patientNumberBox->text();
    if (number == NoPatientNumber || number != filled_.patientNumber)
        return;
    if (familyNameBox->text() == filled_.familyName && firstNameBox->text() == filled_.firstName)
        return;
    const MsgResult same = msgBox(samePatientQuestion(filled_, familyNameBox->text(), firstNameBox->text()),
        MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("WorkList"), MsgResult::No);
    if (same == MsgResult::Yes) {
        filled_.familyName = familyNameBox->text();
        filled_.firstName = firstNameBox->text();
    } else {
        patientNumberBox->setText(NoPatientNumber);
    }
}

void WorklistWindow::loadPractitioners()
{
    practitionerBox->addItems(readPractitioners(practitionerFile_));
    if (!lastPractitioner().isEmpty())
        practitionerBox->setCurrentText(lastPractitioner());
    else if (practitionerBox->count() > 0)
        practitionerBox->setCurrentIndex(0);
}

void WorklistWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (familyNameBox->text().isEmpty())
        familyNameBox->setFocus();
    else
        sendButton->setFocus();
}

void WorklistWindow::addPractitioner()
{
    const std::optional<QString> name = dialogs().input(
        {QStringLiteral("Saisir le nom du praticien"), QStringLiteral("Nouveau Praticien"), {}});
    if (!name || name->isEmpty())
        return;
    practitionerBox->addItem(*name);
    practitionerBox->setCurrentText(*name);
}

void WorklistWindow::focusFirstEmptyField()
{
    for (QLineEdit* box : {familyNameBox, firstNameBox, birthDateBox}) {
        if (box->text().isEmpty()) {
            box->setFocus();
            return;
        }
    }
}

void WorklistWindow::send()
{
    switch (checkEntry(familyNameBox->text(), firstNameBox->text(), birthDateBox->text())) {
    case EntryCheck::MissingField:
        msgBox(missingFieldText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("WorkList"));
        focusFirstEmptyField();
        return;
    case EntryCheck::BadBirthDate:
        msgBox(badBirthDateText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("WorkList"));
        birthDateBox->setFocus();
        return;
    case EntryCheck::BadCharacter:
        msgBox(badCharacterText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("WorkList"));
        familyNameBox->setFocus();
        return;
    case EntryCheck::Ready:
        break;
    }
    birthDateBox->setText(normalisedBirthDate(birthDateBox->text()));
    keepNumberOnlyForTheSamePatient();
    requestingPractitionerBox->setText(practitionerBox->currentText());

    WorklistEntry entry;
    entry.familyName = familyNameBox->text();
    entry.firstName = firstNameBox->text();
    entry.sex = sexBox->currentText();
    entry.patientNumber = patientNumberBox->text();
    entry.birthDate = birthDateBox->text();
    entry.performingPractitioner = practitionerBox->currentText();
    entry.requestingPractitioner = requestingPractitionerBox->text();
    entry.sentAt = QDateTime::currentDateTime();

    const AppValues& values = appValues();
    const SendOutcome outcome = sendToWorklist(entry,
        {values.conquestPath, values.fujiCheminNetpix, values.fujiPraticien, values.dicomWorklistFolder});
    // A number drawn stays with the patient, even when the sending failed after it.
    patientNumberBox->setText(entry.patientNumber);
    if (!outcome.sent) {
        msgBox(outcome.error, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Erreur"));
        return;
    }
    if (!outcome.warning.isEmpty())
        msgBox(outcome.warning, MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("WorkList DICOM"));

    WorklistSentNotice notice(this);
    notice.setCloseDelay(sentNoticeDelay_);
    notice.exec();
    accept();
}

void WorklistWindow::done(int result)
{
    saveAndForgetPractitioners();
    QDialog::done(result);
}

void WorklistWindow::saveAndForgetPractitioners()
{
    setLastPractitioner(practitionerBox->currentText());
    QStringList names;
    for (int i = 0; i < practitionerBox->count(); ++i)
        names << practitionerBox->itemText(i);
    writePractitioners(practitionerFile_, names);
}

} // namespace vexa
