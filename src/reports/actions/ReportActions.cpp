#include "reports/actions/ReportActions.h"

#include "base/ui/WindowOrder.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/ReportEditor.h"
#include "reports/editor/TemplatePicker.h"

#include <QWidget>

namespace vexa {

ReportActions::ReportActions(QWidget* mainWindow)
    : mainWindow_(mainWindow)
{
}

bool ReportActions::findPatient(RecordSet& patients, const QString& patientId)
{
    patients.setRecordSource(sql::patientById(patientId));
    return patients.requery() && patients.currentRow() >= 0;
}

void ReportActions::openExamReport(const ExamReportSource& exam, const QString& databasePath)
{
    ReportSession& session = reportSession();
    // A report copied from Windows may be "<uid>.RTF": edited under its own name.
    session.reportPath = existingRtfPath(examReportPath(exam.imageRoot, exam.objectFile, exam.seriesUid));
    RecordSet patients(QStringLiteral("patientIdentities"));
    patients.setDatabasePath(databasePath);
    const bool found = findPatient(patients, exam.seriesPatient);
    fillPatientFields(session.fields, false, found ? &patients : nullptr, exam.examDate, exam.practitioner);
    session.templateMode = false;
    runEditor();
}

void ReportActions::openExamReport(const MainRecordSets& sets, const QString& imageRoot,
    const QString& examDate, const QString& practitioner)
{
    ExamReportSource exam;
    exam.imageRoot = imageRoot;
    exam.objectFile = sets.examImages.fieldText(col::ObjectFile);
    exam.seriesUid = sets.examImages.fieldText(col::SeriesInst);
    exam.seriesPatient = sets.examSeries.fieldText(col::SeriesPat);
    exam.examDate = examDate;
    exam.practitioner = practitioner;
    if (exam.seriesUid.isEmpty())
        return;
    openExamReport(exam, sets.examImages.databasePath());
}

bool ReportActions::openTemplate()
{
    installStarterFiles();
    {
        TemplatePicker picker(mainWindow_);
        if (runWindow)
            runWindow(picker);
        else
            picker.exec();
    }
    ReportSession& session = reportSession();
    if (session.reportPath.isEmpty())
        return false;
    session.templateMode = true;
    fillPatientFields(session.fields, true, nullptr, QString(), QString());
    runEditor();
    return true;
}

void ReportActions::openLetterhead()
{
    installStarterFiles();
    reportSession().reportPath = letterheadPath();
    runEditor();
}

void ReportActions::runEditor()
{
    installStarterFiles();
    {
        const QRect area = editorArea ? editorArea() : mainWindow_ ? mainWindow_->geometry() : QRect();
        ReportEditor editor(mainWindow_, area);
        if (runWindow)
            runWindow(editor);
        else
            editor.exec();
    }
    if (afterEditor)
        afterEditor();
    else if (mainWindow_)
        setWindowNotTopmost(mainWindow_);
}

} // namespace vexa
