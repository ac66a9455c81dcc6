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

void MainWindow::connectActions()
{
    ExamPage* exam = examPage;
    connect(exam->printExamButton, &brixel::Button::Click, this, &MainWindow::printExamAction);
    connect(exam->printLabelButton, &brixel::Button::Click, this, &MainWindow::printLabelAction);
    connect(exam->burnExamButton, &brixel::Button::Click, this, &MainWindow::burnExamAction);
    connect(exam->markBurnedButton, &brixel::Button::Click, this, &MainWindow::markExamBurnedAction);
    connect(exam->examReportButton, &brixel::Button::Click, this,
        [this] { openReportEditor(ReportOpening::ExamReport); });
    connect(exam->deleteImageButton, &brixel::Button::Click, this, &MainWindow::deleteSelectedImageAction);
    connect(exam->deleteExamButton, &brixel::Button::Click, this, &MainWindow::deleteExamAction);
    connect(exam->closeExamButton, &brixel::Button::Click, this, &MainWindow::closeExamAction);
    for (brixel::Button* button : {exam->printExamButton, exam->viewExamButton}) {
        connect(button, &brixel::Button::MouseDown, this,
            [this, button](short, short shift, float, float) { actionButtonMouseDown(button, shift); });
        connect(button, &brixel::Button::MouseUp, this,
            [this, button](short pressed, short, float, float) { actionButtonMouseUp(button, pressed); });
    }
    ToolsPage* tools = toolsPage;
    connect(tools->dayListButton, &brixel::Button::Click, this, &MainWindow::dayListAction);
    connect(tools->markAllBurnedButton, &brixel::Button::Click, this, &MainWindow::markAllBurnedAction);
    connect(tools->reportTemplateButton, &brixel::Button::Click, this,
        [this] { openReportEditor(ReportOpening::Template); });
    connect(tools->letterheadButton, &brixel::Button::Click, this,
        [this] { openReportEditor(ReportOpening::Letterhead); });
    connect(tools->worklistButton, &brixel::Button::Click, this, &MainWindow::worklistAction);
    connect(tools->updateButton, &brixel::Button::Click, this, &MainWindow::updateAction);
    connect(tools->helpButton, &brixel::Button::Click, this, &MainWindow::helpAction);
    connect(imagesToPrintButton, &brixel::Button::Click, this, &MainWindow::printNewImagesAction);
}

void MainWindow::setRealActions()
{
    auto printing = [this] {
        auto printer = std::make_shared<PrintActions>(sets, this);
        printer->showNotice = [this](const QString& text) { showNoticeText(text); };
        return printer;
    };
    actions.printExam = [this, printing](const Exam& exam, bool automatic) {
        printing()->printExam(exam, automatic);
        if (monitor)
            showNotice(); // the monitor's notice again, after "Impression en cours"
    };
    actions.openInterpretation = [printing](const Exam& exam) { printing()->openInterpretation(exam); };
    actions.openPrintSheet = [printing](const Exam& exam) { printing()->openPrintSheet(exam); };
    actions.printNewImages = [printing](const Exam& opened) { printing()->printNewImages(opened); };
    actions.printLabels = [this](const Exam& exam, int count) {
        LabelPrinter().print(
            count, LabelExam{exam.examDate, exam.patientName, practitionerOf(conquestPath_, exam.studyUid)});
    };
    actions.runDayList = [this] {
        DayListWindow list(this);
        list.showOptions = [this] { openOptions(); };
        list.showAbout = [this] { openAbout(); };
        list.exec();
        // The list's end ends any topmost band: a main window kept on top
        // would cover the next modal window (the viewer) and swallow its clicks.
        setWindowNotTopmost(this);
        if (list.printUnprintedAsked())
            actions.printNewImages(openedExam_);
    };
    actions.burnExam = [this](const Exam& exam) {
        const CdBurnRequest request = makeCdBurnRequest(exam, appValues());
        CdBurnCallbacks callbacks;
        callbacks.setShortcutsEnabled = [this](bool on) { setShortcutsEnabled(on); };
        callbacks.printLabels = [this](const Exam& burned, int count) { actions.printLabels(burned, count); };
        callbacks.resumeMonitor = [this] { resumeMonitor(); };
        LibburnEngine engine;
        DcmtkImageConverters converters;
        return burnExamToCd(request, callbacks, engine, converters, this);
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
        tools->endProgram = [this] { quitSequence(); };
        return tools;
    };
    actions.openHelp = [program] { program()->openHelp(); };
    actions.update = [program] { program()->update(); };
    actions.openReport = [this](ReportOpening opening, const Exam& exam) {
        ReportActions reports(this);
        // Over the pages, below the tab strip.
        reports.editorArea
            = [this] { return QRect(pageStack->mapToGlobal(QPoint(0, 0)), pageStack->size()); };
        reports.afterEditor = [this] { setWindowNotTopmost(this); };
        switch (opening) {
        case ReportOpening::ExamReport:
            reports.openExamReport(
                ExamReportSource{appValues().conquestImagePath,
                    firstObjectFile(conquestPath_, exam.seriesUid), exam.seriesUid, exam.patientId,
                    exam.examDate, practitionerOf(conquestPath_, exam.studyUid)},
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

void MainWindow::showNoticeText(const QString& text)
{
    noticeLabel->setText(text);
    noticeLabel->show();
}

void MainWindow::actionButtonMouseDown(brixel::Button* button, short shift)
{
    if (button == examPage->printExamButton || button == examPage->viewExamButton)
        rightClickMode_ = shift == CtrlAlone;
}

void MainWindow::actionButtonMouseUp(brixel::Button* button, short mouseButton)
{
    if (mouseButton != SecondaryButton)
        return;
    if (button == examPage->printExamButton) {
        rightClickMode_ = true;
        printExamAction();
    } else if (button == examPage->viewExamButton) {
        interpretationAction();
    }
}

void MainWindow::viewExamAction()
{
    if (rightClickMode_)
        interpretationAction();
    else
        viewExam();
    activateWindow();
    rightClickMode_ = false;
}

bool MainWindow::actionRunning() const
{
    return actionDepth_ > 0 || opening_ || backgroundWorkRunning();
}

void MainWindow::printExamAction()
{
    const Exam exam = openedExam_;
    if (exam.isValid() && !actionRunning()) {
        ActionScope running(*this);
        actions.printExam(exam, rightClickMode_);
        rereadExamImages(exam);
    }
    rightClickMode_ = false;
}

void MainWindow::interpretationAction()
{
    const Exam exam = openedExam_;
    if (exam.isValid() && !actionRunning()) {
        ActionScope running(*this);
        actions.openInterpretation(exam);
    }
    activateWindow();
    rightClickMode_ = false;
}

void MainWindow::printSheetAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.openPrintSheet(exam);
    rereadExamImages(exam); // the sheet marks what it printed
}

void MainWindow::printLabelAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.printLabels(exam, 1);
}

void MainWindow::burnExamAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.burnExam(exam);
}

void MainWindow::markExamBurnedAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    const ExamWrite marked = markExamBurned(conquestPath_, exam);
    if (marked.outcome == ExamWrite::Gone) {
        msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        return;
    }
    if (!marked.written()) {
        msgBox(QStringLiteral("Le dossier n'a pas pu être considéré comme gravé : %1").arg(marked.error),
            MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        return;
    }
    msgBox(MarkedBurnedText, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
}

void MainWindow::deleteSelectedImageAction()
{
    const Exam exam = openedExam_;
    if (!exam.isValid() || actionRunning())
        return;
    ActionScope running(*this);
    actions.deleteSelectedImage(exam);
}

void MainWindow::deleteExamAction()
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
        closeExam();
    selectPage(1);
    // The lists of page 1 no longer show the exam.
    dateSearch();
    if (!searchPage->patientText().isEmpty())
        searchPage->searchByPatient(searchPage->patientText());
    resumeMonitor();
}

void MainWindow::closeExam()
{
    openedExam_ = Exam();
}

void MainWindow::closeExamAction()
{
    if (actionRunning())
        return;
    closeExam();
    selectPage(1);
}

void MainWindow::rereadExamImages(const Exam& exam)
{
    if (openedExam_ == exam)
        vexa::rereadExamImages(sets.examImages, exam);
}

void MainWindow::dayListAction()
{
    if (actionRunning())
        return;
    const Exam opened = openedExam_;
    pauseMonitor();
    {
        ActionScope running(*this);
        actions.runDayList();
    }
    if (monitor)
        monitor->nameNewRows();
    rereadExamImages(opened); // the list's viewer and print sheet may have marked images printed
    resumeMonitor();
}

void MainWindow::printNewImagesAction()
{
    if (actionRunning())
        return;
    const Exam opened = openedExam_;
    pauseMonitor();
    if (monitor)
        monitor->nameNewRows();
    {
        ActionScope running(*this);
        actions.printNewImages(opened);
    }
    rereadExamImages(opened);
    resumeMonitor();
}

void MainWindow::markAllBurnedAction()
{
    if (actionRunning())
        return;
    // Not undone by any button: Non is the answer of a hurried Enter.
    if (msgBox(MarkAllBurnedQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
            MsgResult::No)
        != MsgResult::Yes)
        return;
    QString error;
    QSqlDatabase db = pacsConnection(conquestPath_, &error);
    if (error.isEmpty()) {
        const QSqlError failure = execJet(db, QStringLiteral("UPDATE DICOMseries SET Burned = -1"));
        if (failure.isValid())
            error = failure.text();
    }
    if (!error.isEmpty()) {
        msgBox(QStringLiteral("Les dossiers n'ont pas pu être considérés comme gravés : %1").arg(error),
            MsgIcon::Critical, MsgButtons::Ok, ProgramTitle);
        return;
    }
    const int interval = surveyInterval();
    setSurveyInterval(appValues().monitorInterval);
    monitorTick();
    setSurveyInterval(interval);
}

void MainWindow::pointAtWorklistPatient(RecordSet& identities)
{
    // The patient list's current series, whatever exam is open: the list is
    // where the user looks for an awaited patient already known.
    QString patient;
    if (sets.seriesByPatient.currentRow() >= 0)
        patient = sets.seriesByPatient.fieldText(col::SeriesPat);
    identities.setDatabasePath(conquestPath_);
    // The patient's own identifier, matched exactly: an underscore in it is no wildcard.
    identities.setRecordSource(patient.isEmpty()
            ? NoWorklistPatientSql
            : QStringLiteral("SELECT * FROM DICOMPatients WHERE PatientID = %1;").arg(jetQuote(patient)));
    identities.requery(RecordSet::OnFailure::Empty);
}

void MainWindow::worklistAction()
{
    if (actionRunning())
        return;
    if (appValues().fujiCheminNetpix.isEmpty()) {
        msgBox(WorklistNotConfiguredText, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Erreur"));
        return;
    }
    pauseMonitor();
    RecordSet identities(QStringLiteral("DataIdentities"));
    pointAtWorklistPatient(identities);
    {
        ActionScope running(*this);
        actions.runWorklist(identities); // also when the lookup failed: the entry starts blank
    }
    resumeMonitor();
}

void MainWindow::helpAction()
{
    actions.openHelp();
}

void MainWindow::updateAction()
{
    actions.update();
}

void MainWindow::openReportEditor(ReportOpening opening)
{
    const Exam exam = opening == ReportOpening::ExamReport ? openedExam_ : Exam();
    if ((opening == ReportOpening::ExamReport && !exam.isValid()) || actionRunning())
        return;
    // A report is written beside the exam's images: not for an exam deleted elsewhere.
    if (exam.isValid()) {
        const ExamWrite check = checkExamStillThere(conquestPath_, exam);
        if (check.outcome == ExamWrite::Gone)
            msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok,
                QStringLiteral("VexaDICOM"));
        if (!check.written())
            return;
    }
    ActionScope running(*this);
    actions.openReport(opening, exam);
}

} // namespace vexa
