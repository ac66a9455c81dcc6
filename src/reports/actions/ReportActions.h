#pragma once
// The main window's report actions, apart from the main window: the report of
// the selected image's series, a report template, the letterhead. Each sets
// the report session and opens the report editor modally over the main
// window's page area; afterwards the main window goes back to the normal
// window order.
#include <QRect>
#include <QString>
#include <functional>

class QDialog;
class QWidget;

namespace vexa {

class RecordSet;
struct MainRecordSets;

// What the report of a series needs from the opened exam.
struct ExamReportSource {
    QString imageRoot; // the image store root (ConquestImagePath)
    QString objectFile; // the selected image's ObjectFile
    QString seriesUid; // its SeriesInst
    QString seriesPatient; // the series' SeriesPat
    QString examDate; // as the exam page shows it
    QString practitioner; // as the exam page shows it
};

class ReportActions {
public:
    explicit ReportActions(QWidget* mainWindow = nullptr);

    // The report of the selected image's series: image root + folder of its
    // ObjectFile + series UID + ".rtf", the patient's fields looked up by
    // the series' SeriesPat in DICOMPatients of `databasePath`.
    void openExamReport(const ExamReportSource& exam, const QString& databasePath);
    // The same from the main window's record sets: the current row of
    // examImages (ObjectFile, SeriesInst), examSeries' SeriesPat.
    void openExamReport(const MainRecordSets& sets, const QString& imageRoot, const QString& examDate,
        const QString& practitioner);
    // The template chooser, then the chosen template in template mode.
    // False when nothing was chosen.
    bool openTemplate();
    // The letterhead "entete.rtf"; template mode and fields stay as they were.
    void openLetterhead();

    // Looks the patient whose PatientID is exactly `patientId` up (case and
    // every character count) and makes its row current when there is one.
    static bool findPatient(RecordSet& patients, const QString& patientId);

    // How a window runs modally (replaceable for tests); where the editor
    // goes: the main window sets editorArea to its area below the tab strip
    // (left 0, top the strip's height, its width, its height less the
    // strip's); without it the editor takes the main window's geometry.
    std::function<int(QDialog&)> runWindow;
    std::function<QRect()> editorArea;
    // Called after the editor closed: the main window back to the normal order.
    std::function<void()> afterEditor;

private:
    void runEditor();

    QWidget* mainWindow_;
};

} // namespace vexa
