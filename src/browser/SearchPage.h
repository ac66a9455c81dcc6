#pragma once
// Page 1 of the main window: the date list with its pickers "Du"/"Au" and
// count, the patient list with the name box, the not-burned list, each with
// its view button shown only while the list has rows. The page runs its two
// searches; opening an exam from a list is the main window's.
#include "browser/BoundGrid.h"
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
    int SearchByDate();
    // Lists the series whose patient name has a word starting with `text`;
    // patientSearchStatus says when none does or the database failed.
    void SearchByPatient(const QString& text);
    // Runs the search of what the user is typing now, if it still waits for
    // a pause (Enter opens the list's exam: it must list what was typed).
    void settlePatientSearch();
    // True while a typed search is read in the background.
    bool patientSearchRunning() const { return typedSearch_.isRunning(); }
    // The record set behind list `list` (0 dates, 1 patient, 2 not burned).
    RecordSet& listRecordSet(int list) { return listGrids[list]->recordSet(); }

    QDateEdit* datePickers[2];
    QLineEdit* patientNameEdit;
    QLabel* patientSearchStatus; // "Aucun patient trouvé" or the database's failure
    QLabel* seriesCountLabel;
    BoundGrid* listGrids[3];
    brixel::Button* viewButtons[3];

signals:
    void datesChanged(); // either picker reports a change
    void openRequested(int list); // view button, double click or Enter on list `list`

private:
    QWidget* DateColumn();
    QWidget* PatientColumn();
    QWidget* NotBurnedColumn();
    void AddList(int list, RecordSet& source, const brixel::DesignFile& design);
    void PatientTextChanged(const QString& text);
    void StartTypedSearch();
    void TypedSearchRead();
    void ShowPatientResult(const PatientSearchResult& result);

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
