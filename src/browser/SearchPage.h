#pragma once
// Page 1 of the main window: the date list with its pickers "Du"/"Au" and
// count, the patient list with the name box, the not-burned list, each with
// its view button shown only while the list has rows. The page runs its two
// searches; opening an exam from a list is the main window's.
#include "browser/BoundGrid.h"
#include "browser/ExamList.h"
#include "pacsdb/MainRecordSets.h"

#include <brixel/Button.h>
#include <brixel/DesignFile.h>

#include <QFutureWatcher>
#include <QWidget>

class QDateEdit;
class QLabel;
class QLineEdit;

class QTimer;

namespace vexa {

struct PatientSearchResult;

class SearchPage : public QWidget {
    Q_OBJECT
public:
    SearchPage(MainRecordSets& sets, const brixel::DesignFile& design, QWidget* parent = nullptr);

    // The database the searches read.
    void setDatabasePath(const QString& conquestPath) { conquestPath_ = conquestPath; }
    // Lists the series of the days between the two pickers, shows their count
    // and the date list's view button; returns the count.
    int searchByDate();
    // Lists the series whose patient name has a word starting with `text`;
    // patientSearchStatus says when none does or the database failed.
    void searchByPatient(const QString& text);
    // Runs the search of what the user is typing now, if it still waits for
    // a pause (Enter opens the list's exam: it must list what was typed).
    void settlePatientSearch();
    // True while a typed search is read in the background.
    bool patientSearchRunning() const { return typedSearch_.isRunning(); }
    // The record set behind a list.
    RecordSet& listRecordSet(ExamList list) { return grid(list)->recordSet(); }

    // A list can be opened while its view button shows: while it has rows.
    void setListAvailable(ExamList list, bool available);
    bool isListAvailable(ExamList list) const;
    // The list a key pressed on `focus` speaks of: the patient box and its
    // list, the date pickers and their list; the not-burned list otherwise.
    ExamList listWithFocus(const QWidget* focus) const;

    // The days the date search lists, both included; a change of either day
    // emits datesChanged().
    void setDays(const QDate& from, const QDate& to);
    QDate fromDay() const;
    QDate toDay() const;
    // The count label above the date list ("12 dossiers.").
    void setSeriesCountText(const QString& text);
    QString seriesCountText() const;
    // The patient box: text set here is searched at once.
    QString patientText() const;
    void setPatientText(const QString& text);
    void focusPatientName();
    // "Aucun patient trouvé" or the database's failure; "" while hidden.
    QString patientSearchStatus() const;
    // The back colour of the view buttons, pointed at or pressed alike.
    void setViewButtonColour(const QColor& colour);

signals:
    void datesChanged(); // either picker reports a change
    void openRequested(vexa::ExamList list); // view button, double click or Enter on a list

private:
    BoundGrid* grid(ExamList list) const { return listGrids_[static_cast<int>(list)]; }
    brixel::Button* viewButton(ExamList list) const { return viewButtons_[static_cast<int>(list)]; }
    QWidget* dateColumn();
    QWidget* patientColumn();
    QWidget* notBurnedColumn();
    void addList(ExamList list, RecordSet& source, const brixel::DesignFile& design);
    void patientTextChanged(const QString& text);
    void startTypedSearch();
    void typedSearchRead();
    void showPatientResult(const PatientSearchResult& result);

    QDateEdit* datePickers_[2];
    QLineEdit* patientNameEdit_;
    QLabel* patientSearchStatus_; // "Aucun patient trouvé" or the database's failure
    QLabel* seriesCountLabel_;
    BoundGrid* listGrids_[3];
    brixel::Button* viewButtons_[3];
    QString conquestPath_;
    QTimer* patientSearchPause_ = nullptr; // typing: the search waits for a pause
    // What the user typed is read off the interface thread; a search started
    // later (typed or set) makes the rows read for an earlier one stale.
    QFutureWatcher<RecordRows> typedSearch_;
    quint64 searchGeneration_ = 0;
    quint64 typedGeneration_ = 0;
    QString typedText_;
};

} // namespace vexa
