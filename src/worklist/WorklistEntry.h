#pragma once
// What the worklist window sends to the NetPix console: the patient and the
// procedure, the checks made before sending, the one-line file the console
// reads and its name.
#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace vexa {

class RecordSet;

// The patient-number box while the patient has no number yet.
inline const QString NoPatientNumber = QStringLiteral("0000000000");

// The patient part of the window, as it opens.
struct PatientFields {
    QString familyName;
    QString firstName;
    QString sex = QStringLiteral("O");
    QString patientNumber = NoPatientNumber;
    QString birthDate; // DD/MM/YYYY
};

// The fields for the current patient of `identities` (PatientNam, PatientSex,
// PatientID, PatientBir); the defaults when it has none. The name splits at
// "^" into family name and first name; a name without "^" gives the family
// name only, and the other fields keep their defaults.
PatientFields patientFieldsFromIdentity(const RecordSet& identities);

enum class EntryCheck {
    Ready,
    MissingField, // family name, first name or birth date empty: nothing is sent
    BadBirthDate, // not a date typed DD/MM/YYYY or DDMMYYYY
    BadCharacter // a name holds "\\" or a control character: nothing is sent
};

// What the window says for EntryCheck::BadCharacter, MissingField and BadBirthDate.
QString badCharacterText();
QString missingFieldText();
QString badBirthDateText();
// Asked when the name of a filled patient was changed before sending.
QString samePatientQuestion(const PatientFields& filled, const QString& familyName, const QString& firstName);

// The birth date as DD/MM/YYYY, from "12/03/1965" or "12031965" (blanks
// around ignored); empty when it is no real date in either form.
QString normalisedBirthDate(const QString& typed);

EntryCheck checkEntry(const QString& familyName, const QString& firstName, const QString& birthDate);

struct WorklistEntry {
    QString familyName;
    QString firstName;
    QString sex;
    QString patientNumber;
    QString birthDate; // DD/MM/YYYY
    QString performingPractitioner;
    QString requestingPractitioner;
    QString accessionNumber;
    QDateTime sentAt;
};

// The patient's name as the worklist carries it: family name, "^", first
// name, 64 characters at most. A long family name is cut so that the first
// name keeps up to 16 of its characters; then the first name is cut.
QString worklistPatientName(const QString& familyName, const QString& firstName);

// A practitioner as typed in the list, as a person name: the first word
// after a title is the family name, the rest the given names, the title the
// prefix: "Dr Blanc" gives "Blanc^^^Dr", "Dr MARTIN Jean" gives
// "MARTIN^Jean^^Dr". A text that already holds "^" is kept. 64 characters
// at most.
QString practitionerPersonName(const QString& typed);

// The console's line: ten comma-separated fields, a final comma and CR LF:
// name, sex, patient number, birth date, performing and requesting
// practitioners, time (HH:MM), date (DD/MM/YYYY), accession number, "CR".
// A comma, line break or any other control character (NUL, TAB, Ctrl-Z)
// inside a field would shift or cut the fields the console reads, so each
// becomes a blank.
QString worklistLine(const WorklistEntry& entry);
// The line in the console's code page, Windows-1252 (a character it cannot
// hold becomes "?").
QByteArray worklistLineBytes(const WorklistEntry& entry);

// <netpixFolder>FUJI<last four characters of the accession number>.txt; the
// folder is used as stored, a prefix ending with its separator.
QString worklistFilePath(const QString& netpixFolder, const QString& accessionNumber);

} // namespace vexa
