// The actions of the exam page and the tools page, of the keys and of the
// popup menu: each reaches its action through `actions` with the main
// window's own steps around it (monitor paused and resumed, names given to
// new rows, the page shown afterwards, the pointer mode cleared).
#include "MainWindow.h"

#include "AboutDialog.h"
#include "AppValues.h"
#include "CdBurnAction.h"
#include "DayListWindow.h"
#include "DialogService.h"
#include "ExamActions.h"
#include "ExamIdentity.h"
#include "ExamPage.h"
#include "ImageConverters.h"
#include "ImageFiles.h"
#include "JetDialect.h"
#include "LabelPrinter.h"
#include "LibburnEngine.h"
#include "PacsConnection.h"
#include "PrintActions.h"
#include "ProgramActions.h"
#include "PumpEvents.h"
#include "ReportActions.h"
#include "SearchPage.h"
#include "SqlExec.h"
#include "ToolsPage.h"
#include "WindowOrder.h"
#include "WorklistWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QStackedWidget>

namespace vexa {

namespace {

// The argument of a pointer event for "the Ctrl key alone" and for the secondary button.
constexpr short CtrlAlone = 2;
constexpr short SecondaryButton = 2;

const QString MarkedBurnedText = QStringLiteral(
    "Ce dossier est considéré comme gravé et ne sera plus considéré comme un dossier récent");
const QString MarkAllBurnedQuestion
    = QStringLiteral("Etes vous sur de vouloir considérer tous vos dossiers comme étant gravés ?");
const QString WorklistNotConfiguredText
    = QStringLiteral("La configuration de la WorkList n'est pas correcte. Veuillez vérifier");
const QString NoWorklistPatientSql
    = QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID LIKE 'VexaConcept';");

} // namespace

void MainWindow::ConnectActions()
{
    ExamPage* exam = examPage;
    connect(exam->printExamButton, &brixel::Button::Click, this, &MainWindow::PrintExamAction);
    connect(exam->printLabelButton, &brixel::Button::Click, this, &MainWindow::PrintLabelAction);
    connect(exam->burnExamButton, &brixel::Button::Click, this, &MainWindow::BurnExamAction);
    connect(exam->markBurnedButton, &brixel::Button::Click, this, &MainWindow::MarkExamBurnedAction);
    connect(exam->examReportButton, &brixel::Button::Click, this,
        [this] { OpenReportEditor(ReportOpening::ExamReport); });
    connect(exam->deleteImageButton, &brixel::Button::Click, this, &MainWindow::DeleteSelectedImageAction);
    connect(exam->deleteExamButton, &brixel::Button::Click, this, &MainWindow::DeleteExamAction);
    connect(exam->closeExamButton, &brixel::Button::Click, this, &MainWindow::CloseExamAction);
    for (brixel::Button* button : {exam->printExamButton, exam->viewExamButton}) {
        connect(button, &brixel::Button::MouseDown, this,
            [this, button](short, short shift, float, float) { ActionButtonMouseDown(button, shift); });
        connect(button, &brixel::Button::MouseUp, this,
            [this, button](short pressed, short, float, float) { ActionButtonMouseUp(button, pressed); });
    }
    ToolsPage* tools = toolsPage;
    connect(tools->dayListButton, &brixel::Button::Click, this, &MainWindow::DayListAction);
    connect(tools->markAllBurnedButton, &brixel::Button::Click, this, &MainWindow::MarkAllBurnedAction);
    connect(tools->reportTemplateButton, &brixel::Button::Click, this,
        [this] { OpenReportEditor(ReportOpening::Template); });
    connect(tools->letterheadButton, &brixel::Button::Click, this,
        [this] { OpenReportEditor(ReportOpening::Letterhead); });
    connect(tools->worklistButton, &brixel::Button::Click, this, &MainWindow::WorklistAction);
    connect(tools->updateButton, &brixel::Button::Click, this, &MainWindow::UpdateAction);
    connect(tools->helpButton, &brixel::Button::Click, this, &MainWindow::HelpAction);
    connect(imagesToPrintButton, &brixel::Button::Click, this, &MainWindow::PrintNewImagesAction);
}

void MainWindow::SetRealActions()
{
    auto printing = [this] {
        auto printer = std::make_shared<PrintActions>(sets, this);
        printer->showNotice = [this](const QString& text) { ShowNoticeText(text); };
        return printer;
    };
    actions.printExam = [this, printing](bool automatic) {
        printing()->printExam(automatic);
        if (monitor)
            ShowNotice(); // the monitor's notice again, after "Impression en cours"
    };
    actions.openInterpretation = [printing] { printing()->openInterpretation(); };
    actions.openPrintSheet = [printing] { printing()->openPrintSheet(); };
    actions.printNewImages = [printing] { printing()->printNewImages(); };
    actions.printLabels = [this](int count) {
        LabelPrinter().print(count,
            LabelExam{examPage->examDateLabel->text(), examPage->patientNameLabel->text(),
                examPage->practitionerLabel->text()});
    };
    actions.runDayList = [this] {
        DayListWindow list(this);
        list.showOptions = [this] { OpenOptions(); };
        list.showAbout = [this] { OpenAbout(); };
        list.exec();
        // Back in the window order the options ask for.
        if (appValues().LetOnTop)
            SetWindowTopmost(this);
        else
            SetWindowNotTopmost(this);
        if (list.printUnprintedAsked())
            actions.printNewImages();
    };
    actions.burnExam = [this] {
        // The burn acts on the exam shown now, whatever is opened meanwhile.
        const AppValues& values = appValues();
        CdBurnRequest request;
        Exam& exam = request.cd.exam;
        exam.seriesUid = sets.examSeries.fieldText(QStringLiteral("SeriesInst"));
        exam.studyUid = sets.examSeries.fieldText(QStringLiteral("StudyInsta"));
        exam.patientId = sets.examSeries.fieldText(QStringLiteral("SeriesPat"));
        exam.patientName = examPage->patientNameLabel->text();
        exam.examDate = examPage->examDateLabel->text();
        request.cd.conquestPath = values.ConquestPath;
        request.cd.imageRoot = values.ConquestImagePath;
        request.cd.letterhead = values.Entete;
        request.cd.folders = CdWorkFolders{values.BurnStagingDir, values.DicomExportDir};
        request.autoPrintLabels = values.EtiquetteAutoPrint;
        request.labelCount = values.NbEtiquette;
        const QString practitioner = examPage->practitionerLabel->text();
        CdBurnCallbacks callbacks;
        callbacks.setShortcutsEnabled = [this](bool on) { setShortcutsEnabled(on); };
        callbacks.printLabels = [practitioner](const Exam& burned, int count) {
            LabelPrinter().print(count, LabelExam{burned.examDate, burned.patientName, practitioner});
        };
        callbacks.resumeMonitor = [this] { ResumeMonitor(); };
        LibburnEngine engine;
        DcmtkImageConverters converters;
        return BurnExamToCd(request, callbacks, engine, converters, this);
    };
    actions.runWorklist = [this](const RecordSet& identities) {
        WorklistWindow window(identities, this);
        window.exec();
    };
    actions.deleteSelectedImage
        = [this] { return ExamActions(sets, this).deleteSelectedImage(examPage->thumbnails()); };
    actions.deleteExam = [this] { return ExamActions(sets, this).deleteExam(); };
    auto program = [this] {
        auto tools = std::make_shared<ProgramActions>();
        tools->endProgram = [this] { QuitSequence(); };
        return tools;
    };
    actions.openHelp = [program] { program()->openHelp(); };
    actions.update = [program] { program()->update(); };
    actions.openReport = [this](ReportOpening opening) {
        ReportActions reports(this);
        // Over the pages, below the tab strip.
        reports.editorArea
            = [this] { return QRect(pageStack->mapToGlobal(QPoint(0, 0)), pageStack->size()); };
        reports.afterEditor = [this] { SetWindowNotTopmost(this); };
        switch (opening) {
        case ReportOpening::ExamReport:
            reports.openExamReport(sets, appValues().ConquestImagePath, examPage->examDateLabel->text(),
                examPage->practitionerLabel->text());
            break;
        case ReportOpening::Template:
            reports.openTemplate();
            break;
        case ReportOpening::Letterhead:
            reports.openLetterhead();
            break;
        }
    };
}

void MainWindow::ShowNoticeText(const QString& text)
{
    noticeLabel->setText(text);
    noticeLabel->show();
}

void MainWindow::ActionButtonMouseDown(brixel::Button* button, short shift)
{
    if (button == examPage->printExamButton || button == examPage->viewExamButton)
        rightClickMode_ = shift == CtrlAlone;
}

void MainWindow::ActionButtonMouseUp(brixel::Button* button, short mouseButton)
{
    if (mouseButton != SecondaryButton)
        return;
    if (button == examPage->printExamButton) {
        rightClickMode_ = true;
        PrintExamAction();
    } else if (button == examPage->viewExamButton) {
        InterpretationAction();
    }
}

void MainWindow::ViewExamAction()
{
    if (rightClickMode_)
        actions.openInterpretation();
    else
        ViewExam();
    activateWindow();
    rightClickMode_ = false;
}

void MainWindow::PrintExamAction()
{
    if (CurrentExam().ExamOpen)
        actions.printExam(rightClickMode_);
    rightClickMode_ = false;
}

void MainWindow::InterpretationAction()
{
    if (CurrentExam().ExamOpen)
        actions.openInterpretation();
    activateWindow();
    rightClickMode_ = false;
}

void MainWindow::PrintSheetAction()
{
    if (CurrentExam().ExamOpen)
        actions.openPrintSheet();
}

void MainWindow::PrintLabelAction()
{
    if (CurrentExam().ExamOpen)
        actions.printLabels(1);
}

void MainWindow::BurnExamAction()
{
    if (CurrentExam().ExamOpen)
        actions.burnExam();
}

void MainWindow::MarkExamBurnedAction()
{
    if (!CurrentExam().ExamOpen)
        return;
    if (!MarkSeriesBurned(sets.examSeries)) {
        MsgBox(QStringLiteral("Le dossier n'a pas pu être considéré comme gravé : %1")
                   .arg(sets.examSeries.lastError()),
            MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        return;
    }
    MsgBox(MarkedBurnedText, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
}

void MainWindow::DeleteSelectedImageAction()
{
    if (CurrentExam().ExamOpen)
        actions.deleteSelectedImage();
}

void MainWindow::DeleteExamAction()
{
    if (!CurrentExam().ExamOpen || !actions.deleteExam())
        return;
    CurrentExam().ExamOpen = false;
    CurrentExam().SelectedSeriesUID.clear();
    SelectPage(1);
    // The lists of page 1 no longer show the exam.
    DateSearch();
    if (!searchPage->patientNameEdit->text().isEmpty())
        searchPage->SearchByPatient(searchPage->patientNameEdit->text());
    ResumeMonitor();
}

void MainWindow::CloseExamAction()
{
    CurrentExam().ExamOpen = false;
    CurrentExam().SelectedSeriesUID.clear();
    SelectPage(1);
}

void MainWindow::DayListAction()
{
    PauseMonitor();
    actions.runDayList();
    if (monitor)
        monitor->SetName();
    PumpEvents(20);
    ResumeMonitor();
}

void MainWindow::PrintNewImagesAction()
{
    PauseMonitor();
    if (monitor)
        monitor->SetName();
    actions.printNewImages();
    ResumeMonitor();
}

void MainWindow::MarkAllBurnedAction()
{
    if (MsgBox(MarkAllBurnedQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VexoDicom"))
        != MsgResult::Yes)
        return;
    QString error;
    QSqlDatabase db = PacsConnection(conquestPath_, &error);
    if (error.isEmpty()) {
        const QSqlError failure = ExecJet(db, QStringLiteral("UPDATE DICOMseries SET Burned = -1"));
        if (failure.isValid())
            error = failure.text();
    }
    if (!error.isEmpty()) {
        MsgBox(QStringLiteral("Les dossiers n'ont pas pu être considérés comme gravés : %1").arg(error),
            MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VexaDicom"));
        return;
    }
    const int interval = surveyInterval();
    SetSurveyInterval(appValues().MonitorInterval);
    MonitorTick();
    SetSurveyInterval(interval);
}

void MainWindow::PointAtWorklistPatient(RecordSet& identities)
{
    // The exam the user opened, else the patient list's current series.
    QString patient;
    if (CurrentExam().ExamOpen && sets.examSeries.currentRow() >= 0)
        patient = sets.examSeries.fieldText(QStringLiteral("SeriesPat"));
    else if (sets.seriesByPatient.currentRow() >= 0)
        patient = sets.seriesByPatient.fieldText(QStringLiteral("SeriesPat"));
    identities.setDatabasePath(conquestPath_);
    // The patient's own identifier, matched exactly: an underscore in it is no wildcard.
    identities.setRecordSource(patient.isEmpty()
            ? NoWorklistPatientSql
            : QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID = %1;").arg(JetQuote(patient)));
    identities.requery(RecordSet::OnFailure::Empty);
}

void MainWindow::WorklistAction()
{
    if (appValues().FujiCheminNetpix.isEmpty()) {
        MsgBox(WorklistNotConfiguredText, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Erreur"));
        return;
    }
    PauseMonitor();
    RecordSet identities(QStringLiteral("DataIdentities"));
    PointAtWorklistPatient(identities);
    actions.runWorklist(identities); // also when the lookup failed: the entry starts blank
    ResumeMonitor();
}

void MainWindow::HelpAction()
{
    actions.openHelp();
}

void MainWindow::UpdateAction()
{
    actions.update();
}

void MainWindow::OpenReportEditor(ReportOpening opening)
{
    if (opening == ReportOpening::ExamReport && !CurrentExam().ExamOpen)
        return;
    actions.openReport(opening);
}

} // namespace vexa
