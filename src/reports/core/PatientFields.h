#pragma once
// The eight patient fields of a report (name, first name, birth date,
// civility, sex, exam date, practitioner, today's date), the texts that stand
// for them in a template, and the program-wide state the report editor is
// opened with: the document's path, template mode and the field values.
#include <QDate>
#include <QString>
#include <array>

namespace vexa {

class RecordSet;

// Entries 0 to 15; 1 to 8 carry the fields, the others stay empty.
constexpr int PatientFieldEntries = 16;
using PatientFieldValues = std::array<QString, PatientFieldEntries>;

struct PatientField {
    int index; // 1 to 8
    QString menuName; // the menu item's objectName
    QString caption; // the menu item's caption
    int shortcutKey; // Qt::Key_F1 ... Qt::Key_F8, with Ctrl
    QString placeholder; // what template mode types in
    QString token; // what the replacement searches for
};

// The eight fields in index order.
const std::array<PatientField, 8>& patientFields();

// What the report editor edits and with which field values; set by whoever
// opens it, kept between openings.
struct ReportSession {
    QString reportPath; // the document to edit; need not exist yet
    bool templateMode = false; // a template: fields stay placeholders
    PatientFieldValues fields;
};
ReportSession& reportSession();

// Template mode: entries 1 to 8 become the placeholders, the rest empty.
// Patient mode: all entries emptied; with a current record in `patient`,
// entries 1 to 5 from its PatientNam, PatientBir and PatientSex; 6 and 7 the
// exam date and practitioner as shown; 8 today's date (DD/MM/YYYY). Each
// entry is filled on its own: a missing column or record leaves it empty.
void fillPatientFields(PatientFieldValues& fields, bool templateMode, const RecordSet* patient,
    const QString& examDate, const QString& practitioner, const QDate& today = QDate::currentDate());

// "19650312" -> "12/03/1965": the last two characters, the two from the
// fifth, the first four; "" stays "".
QString birthDateText(const QString& yyyymmdd);

} // namespace vexa
