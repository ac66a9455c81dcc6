#pragma once
// Page 1 of the main window: the date list with its pickers "Du"/"Au" and
// count, the patient list with the name box, the not-burned list, each with
// its view button shown only while the list has rows. The searches and the
// opening of an exam are the main window's; this page only shows.
#include "BoundGrid.h"
#include "MainRecordSets.h"

#include <brixel/Button.h>
#include <brixel/DesignFile.h>

#include <QWidget>

class QDateEdit;
class QLabel;
class QLineEdit;

namespace vexa {

class SearchPage : public QWidget {
    Q_OBJECT
public:
    SearchPage(MainRecordSets& sets, const brixel::DesignFile& design, QWidget* parent = nullptr);

    QDateEdit* CalendarVB1[2];
    QLineEdit* Text1;
    QLabel* Label7;
    BoundGrid* TDBGrid1[3];
    brixel::Button* Button8[3];

signals:
    void datesChanged(); // either picker reports a change
    void patientTextChanged(const QString& text);
    void openRequested(int list); // view button, double click or Enter on list `list`

private:
    QWidget* DateColumn();
    QWidget* PatientColumn();
    QWidget* NotBurnedColumn();
    void AddList(int list, RecordSet& source, const brixel::DesignFile& design);
};

} // namespace vexa
