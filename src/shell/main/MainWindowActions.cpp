// The actions of the exam page and the tools page, of the keys and of the
// popup menu: each reaches its action through `actions` with the main
// window's own steps around it (monitor paused and resumed, names given to
// new rows, the page shown afterwards, the pointer mode cleared).
#include "shell/main/MainWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/ProgramTitle.h"
#include "base/ui/BackgroundWork.h"
#include "base/ui/WindowOrder.h"
#include "browser/ExamPage.h"
#include "browser/ExamRows.h"
#include "browser/SearchPage.h"
#include "browser/ToolsPage.h"
#include "browser/actions/ExamActions.h"
#include "burning/engine/LibburnEngine.h"
#include "burning/export/ImageConverters.h"
#include "burning/window/CdBurnAction.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/PacsConnection.h"
#include "pacsdb/SqlExec.h"
#include "printing/actions/PrintActions.h"
#include "printing/daylist/DayListWindow.h"
#include "printing/labels/LabelPrinter.h"
#include "reports/actions/ReportActions.h"
#include "shell/actions/ProgramActions.h"
#include "shell/main/AboutDialog.h"
#include "worklist/WorklistWindow.h"

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
    = QStringLiteral("Êtes-vous sûr de vouloir considérer tous vos dossiers comme étant gravés ?");
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
    actions.printExam = [this, printing](const Exam& exam, bool automatic) {
        printing()->printExam(exam, automatic);
        if (monitor)
            ShowNotice(); // the monitor's notice again, after "Impression en cours"
    };
    actions.openInterpretation = [printing](const Exam& exam) { printing()->openInterpretation(exam); };
    actions.openPrintSheet = [printing](const Exam& exam) { printing()->openPrintSheet(exam); };
    actions.printNewImages = [printing](const Exam& opened) { printing()->printNewImages(opened); };
    actions.printLabels = [this](const Exam& exam, int count) {
        LabelPrinter().print(
            count, LabelExam{exam.examDate, exam.patientName, PractitionerOf(conquestPath_, exam.studyUid)});
    };
    actions.runDayList = [this] {
        DayListWindow list(this);
        list.showOptions = [this] { OpenOptions(); };
        list.showAbout = [this] { OpenAbout(); };
        list.exec();
        // The list's end ends any topmost band: a main window kept on top
        // would cover the next modal window (the viewer) and swallow its clicks.
        SetWindowNotTopmost(this);
        if (list.printUnprintedAsked())
            actions.printNewImages(openedExam_);
    };
    actions.burnExam = [this](const Exam& exam) {
        const CdBurnRequest request = MakeCdBurnRequest(exam, appValues());
        CdBurnCallbacks callbacks;
        callbacks.setShortcutsEnabled = [this](bool on) { setShortcutsEnabled(on); };
        callbacks.printLabels = [this](const Exam& burned, int count) { actions.printLabels(burned, count); };
        callbacks.resumeMonitor = [this] { ResumeMonitor(); };
        LibburnEngine engine;
        DcmtkImageConverters converters;
        return BurnExamToCd(request, callbacks, engine, converters, this);
    };
    actions.runWorklist = [this](const RecordSet& identities) {
        WorklistWindow window(identities, this);
        window.exec();
    };
    actions.deleteSelectedImage = [this](const Exam& exam) {
        return ExamActions(sets, this).deleteSelectedImage(exam, examPage->thumbnails());
    };
    actions.deleteExam = [this](const Exam& exam) { return ExamActions(sets, this).deleteExam(exam); };
    auto program = [this] {
        auto tools = std::make_shared<ProgramActions>();
        tools->endProgram = [this] { QuitSequence(); };
        return tools;
    };
    actions.openHelp = [program] { program()->openHelp(); };
    actions.update = [program] { program()->update(); };
    actions.openReport = [this](ReportOpening opening, const Exam& exam) {
        ReportActions reports(this);
        // Over the pages, below the tab strip.
        reports.editorArea
            = [this] { return QRect(pageStack->mapToGlobal(QPoint(0, 0)), pageStack->size()); };
        reports.afterEditor = [this] { SetWindowNotTopmost(this); };
        switch (opening) {
        case ReportOpening::ExamReport:
            reports.openExamReport(
                ExamReportSource{appValues().ConquestImagePath,
                    FirstObjectFile(conquestPath_, exam.seriesUid), exam.seriesUid, exam.patientId,
                    exam.examDate, PractitionerOf(conquestPath_, exam.studyUid)},
                conquestPath_);
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
        InterpretationAction();
    else
        ViewExam();
    activateWindow();
    rightClickMode_ = false;
}

bool MainWindow::actionRunning() const
{
    return actionDepth_ > 0 || opening_ || BackgroundWorkRunning();
}

void MainWindow::PrintExamAction()
{
    const Exam exam = openedExam_;
    if (exam.isValid() && !actionRunning()) {
        ActionScope running(*this);
        actions.printExam(exam, rightClickMode_);
        RereadExamImages(exam);
    }
    rightClickMode_ = false;
}

void MainWindow::InterpretationAction()
{
    const Exam exam = openedExam_;
    if (exam.isValid() && !actionRunning()) {
        ActionScope running(*this);
        actions.openInterpretation(exam);
    }
    activateWindow();
    rightClickMode_ = false;
}

void MainWindow::PrintSheetAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.openPrintSheet(exam);
    RereadExamImages(exam); // the sheet marks what it printed
}

void MainWindow::PrintLabelAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.printLabels(exam, 1);
}

void MainWindow::BurnExamAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.burnExam(exam);
}

void MainWindow::MarkExamBurnedAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    const ExamWrite marked = MarkExamBurned(conquestPath_, exam);
    if (marked.outcome == ExamWrite::Gone) {
        MsgBox(ExamDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        return;
    }
    if (!marked.written()) {
        MsgBox(QStringLiteral("Le dossier n'a pas pu être considéré comme gravé : %1").arg(marked.error),
            MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        return;
    }
    MsgBox(MarkedBurnedText, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
}

void MainWindow::DeleteSelectedImageAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.deleteSelectedImage(exam);
}

void MainWindow::DeleteExamAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    {
        ActionScope running(*this);
        if (!actions.deleteExam(exam))
            return;
    }
    if (openedExam_ == exam)
        CloseExam();
    SelectPage(1);
    // The lists of page 1 no longer show the exam.
    DateSearch();
    if (!searchPage->patientText().isEmpty())
        searchPage->SearchByPatient(searchPage->patientText());
    ResumeMonitor();
}

void MainWindow::CloseExam()
{
    openedExam_ = Exam();
}

void MainWindow::CloseExamAction()
{
    if (actionRunning())
        return;
    CloseExam();
    SelectPage(1);
}

void MainWindow::RereadExamImages(const Exam& exam)
{
    if (openedExam_ == exam)
        vexa::RereadExamImages(sets.examImages, exam);
}

void MainWindow::DayListAction()
{
    if (actionRunning())
        return;
    const Exam opened = openedExam_;
    PauseMonitor();
    {
        ActionScope running(*this);
        actions.runDayList();
    }
    if (monitor)
        monitor->nameNewRows();
    RereadExamImages(opened); // the list's viewer and print sheet may have marked images printed
    ResumeMonitor();
}

void MainWindow::PrintNewImagesAction()
{
    if (actionRunning())
        return;
    const Exam opened = openedExam_;
    PauseMonitor();
    if (monitor)
        monitor->nameNewRows();
    {
        ActionScope running(*this);
        actions.printNewImages(opened);
    }
    RereadExamImages(opened);
    ResumeMonitor();
}

void MainWindow::MarkAllBurnedAction()
{
    if (actionRunning())
        return;
    // Not undone by any button: Non is the answer of a hurried Enter.
    if (MsgBox(MarkAllBurnedQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
            MsgResult::No)
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
            MsgIcon::Critical, MsgButtons::Ok, ProgramTitle);
        return;
    }
    const int interval = surveyInterval();
    SetSurveyInterval(appValues().MonitorInterval);
    MonitorTick();
    SetSurveyInterval(interval);
}

void MainWindow::PointAtWorklistPatient(RecordSet& identities)
{
    // The patient list's current series, whatever exam is open: the list is
    // where the user looks for an awaited patient already known.
    QString patient;
    if (sets.seriesByPatient.currentRow() >= 0)
        patient = sets.seriesByPatient.fieldText(Col::SeriesPat);
    identities.setDatabasePath(conquestPath_);
    // The patient's own identifier, matched exactly: an underscore in it is no wildcard.
    identities.setRecordSource(patient.isEmpty()
            ? NoWorklistPatientSql
            : QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID = %1;").arg(JetQuote(patient)));
    identities.requery(RecordSet::OnFailure::Empty);
}

void MainWindow::WorklistAction()
{
    if (actionRunning())
        return;
    if (appValues().FujiCheminNetpix.isEmpty()) {
        MsgBox(WorklistNotConfiguredText, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Erreur"));
        return;
    }
    PauseMonitor();
    RecordSet identities(QStringLiteral("DataIdentities"));
    PointAtWorklistPatient(identities);
    {
        ActionScope running(*this);
        actions.runWorklist(identities); // also when the lookup failed: the entry starts blank
    }
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
    const Exam exam = opening == ReportOpening::ExamReport ? openedExam_ : Exam();
    if ((opening == ReportOpening::ExamReport && !exam.isValid()) || actionRunning())
        return;
    // A report is written beside the exam's images: not for an exam deleted elsewhere.
    if (exam.isValid()) {
        const ExamWrite check = CheckExamStillThere(conquestPath_, exam);
        if (check.outcome == ExamWrite::Gone)
            MsgBox(ExamDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok,
                QStringLiteral("VexaDICOM"));
        if (!check.written())
            return;
    }
    ActionScope running(*this);
    actions.openReport(opening, exam);
}

} // namespace vexa
