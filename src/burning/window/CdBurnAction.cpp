#include "CdBurnAction.h"

#include "BurnWindow.h"
#include "DialogService.h"
#include "PumpEvents.h"
#include "RecordSet.h"
#include "WaitWindow.h"

namespace vexa {

namespace {

constexpr int bitTrue = -1; // how the database stores a true BIT

// The waiting window with the preparation's message and "n / N".
class WaitWindowPreparation : public CdPreparationProgress {
public:
    void begin(const QString& message) override
    {
        window.setMessage(message);
        window.show();
        PumpEvents(20);
    }
    void advance(int done, int total) override { window.setProgress(done, total); }
    void end() override { window.close(); }

private:
    WaitWindow window;
};

} // namespace

bool BurnExamToCd(const CdBurnRequest& request, const CdBurnCallbacks& callbacks, BurnEngine& engine,
    ImageConverters& converters, QWidget* parent)
{
    if (MsgBox(QStringLiteral("Etes vous sur de vouloir graver les fichiers images ?\n\n"), MsgIcon::Question,
            MsgButtons::YesNo, QStringLiteral("Gravure"))
        != MsgResult::Yes)
        return false;
    if (callbacks.setShortcutsEnabled)
        callbacks.setShortcutsEnabled(false);

    bool burned = false;
    CdPreparationOutcome outcome;
    {
        WaitWindowPreparation progress;
        outcome = PrepareCd(
            request.images, request.texts, request.folders, ProgramCdSources(), converters, &progress);
    }
    if (!outcome.error.isEmpty()) {
        MsgBox(outcome.error, MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Gravure"));
    } else if (outcome.prepared) {
        BurnWindow window(engine, request.folders.cdFolder, outcome.problems, parent);
        window.exec();
        burned = window.burnSucceeded();
    }
    if (burned) {
        if (callbacks.markExamBurned)
            callbacks.markExamBurned();
        if (request.autoPrintLabels && callbacks.printLabels)
            callbacks.printLabels(request.labelCount);
    }
    if (callbacks.setShortcutsEnabled)
        callbacks.setShortcutsEnabled(true);
    if (callbacks.resumeMonitor)
        callbacks.resumeMonitor();
    return burned;
}

bool MarkSeriesBurned(RecordSet& series)
{
    if (series.currentRow() < 0)
        return false;
    series.edit();
    return series.setField(QStringLiteral("Burned"), bitTrue) && series.update();
}

} // namespace vexa
