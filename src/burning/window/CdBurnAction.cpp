#include "burning/window/CdBurnAction.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Log.h"
#include "base/ui/BackgroundWork.h"
#include "burning/window/BurnWindow.h"
#include "pacsdb/ExamWrites.h"

namespace vexa {

namespace {

const QString burnTitle = QStringLiteral("Gravure");

bool burnRunning = false;

// Set for the whole action, so that a second start meanwhile is refused.
class RunningBurn {
public:
    RunningBurn() { burnRunning = true; }
    ~RunningBurn() { burnRunning = false; }
    RunningBurn(const RunningBurn&) = delete;
    RunningBurn& operator=(const RunningBurn&) = delete;
};

// The preparation's message and "n / N" in the waiting window.
class WorkPreparationProgress : public CdPreparationProgress {
public:
    explicit WorkPreparationProgress(WorkProgress& work)
        : work_(work)
    {
    }
    void begin(const QString& message) override { work_.setMessage(message); }
    void advance(int done, int total) override { work_.report(done, total); }
    void end() override { }

private:
    WorkProgress& work_;
};

CdPreparationOutcome prepareInBackground(
    const ExamCdRequest& request, ImageConverters& converters, QWidget* parent)
{
    TimedAction timed(QStringLiteral("Préparation du CD"));
    return runInBackground<CdPreparationOutcome>(
        parent, {CdPreparationMessage, false}, [&request, &converters](WorkProgress& work) {
            WorkPreparationProgress progress(work);
            return prepareExamCd(request, converters, &progress);
        });
}

// The burning window on the prepared CD; true when it burned one.
bool burnPreparedCd(
    const CdPreparationOutcome& outcome, const CdWorkFolders& folders, BurnEngine& engine, QWidget* parent)
{
    if (!outcome.prepared) {
        if (!outcome.error.isEmpty())
            msgBox(outcome.error, MsgIcon::Critical, MsgButtons::Ok, burnTitle);
        return false;
    }
    TimedAction timed(QStringLiteral("Gravure du CD"));
    BurnWindow window(engine, folders.cdFolder, outcome.problems, parent);
    window.exec();
    if (!window.burnSucceeded())
        timed.fail(QStringLiteral("pas de CD gravé"));
    return window.burnSucceeded();
}

void markAndLabel(const CdBurnRequest& request, const CdBurnCallbacks& callbacks)
{
    const Exam& exam = request.cd.exam;
    const QString markError = markExamBurned(request.cd.conquestPath, exam).failureText();
    if (!markError.isEmpty())
        msgBox(
            QStringLiteral("Le CD a été gravé, mais le dossier n'a pas pu être considéré comme gravé :\n%1")
                .arg(markError),
            MsgIcon::Critical, MsgButtons::Ok, burnTitle);
    if (request.autoPrintLabels && callbacks.printLabels)
        callbacks.printLabels(exam, request.labelCount);
}

} // namespace

CdBurnRequest makeCdBurnRequest(const Exam& exam, const AppValues& values)
{
    CdBurnRequest request;
    request.cd.exam = exam;
    request.cd.conquestPath = values.conquestPath;
    request.cd.imageRoot = values.conquestImagePath;
    request.cd.letterhead = values.entete;
    request.cd.folders = CdWorkFolders{values.burnStagingDir, values.dicomExportDir};
    // Printing labels at burning is an option of the labels: without a label
    // printer it would only warn after every good burn.
    request.autoPrintLabels = values.isEtiquette && values.etiquetteAutoPrint;
    request.labelCount = values.nbEtiquette;
    return request;
}

bool cdBurnRunning()
{
    return burnRunning;
}

bool burnExamToCd(const CdBurnRequest& request, const CdBurnCallbacks& callbacks, BurnEngine& engine,
    ImageConverters& converters, QWidget* parent)
{
    if (burnRunning || backgroundWorkRunning())
        return false;
    const RunningBurn running;
    if (msgBox(QStringLiteral("Êtes-vous sûr de vouloir graver les fichiers images ?\n\n"), MsgIcon::Question,
            MsgButtons::YesNo, burnTitle)
        != MsgResult::Yes)
        return false;
    if (callbacks.setShortcutsEnabled)
        callbacks.setShortcutsEnabled(false);

    const CdPreparationOutcome outcome = prepareInBackground(request.cd, converters, parent);
    const bool burned = burnPreparedCd(outcome, request.cd.folders, engine, parent);
    if (burned)
        markAndLabel(request, callbacks);
    if (callbacks.setShortcutsEnabled)
        callbacks.setShortcutsEnabled(true);
    if (callbacks.resumeMonitor)
        callbacks.resumeMonitor();
    return burned;
}

} // namespace vexa
