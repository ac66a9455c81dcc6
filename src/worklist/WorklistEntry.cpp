#include "WorklistEntry.h"

#include "Dates.h"
#include "RecordSet.h"
#include "Windows1252.h"

#include <QRegularExpression>

namespace vexa {

namespace {

QString fieldText(QString text)
{
    for (QChar& c : text) {
        if (c == u',' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return text;
}

} // namespace

PatientFields PatientFieldsFromIdentity(const RecordSet& identities)
{
    PatientFields fields;
    if (identities.count() == 0 || identities.eof() || identities.bof())
        return fields;
    const QStringList name = identities.fieldText(QStringLiteral("PatientNam")).split(u'^');
    fields.familyName = name.value(0);
    if (name.size() < 2)
        return fields;
    fields.firstName = name.value(1);
    const QString sex = identities.fieldText(QStringLiteral("PatientSex"));
    if (!sex.isEmpty())
        fields.sex = sex;
    fields.patientNumber = identities.fieldText(QStringLiteral("PatientID"));
    const QString birth = identities.fieldText(QStringLiteral("PatientBir"));
    if (!birth.isEmpty())
        fields.birthDate = YyyymmddToDdMmYyyy(birth);
    return fields;
}

EntryCheck CheckEntry(const QString& familyName, const QString& firstName, const QString& birthDate)
{
    if (familyName.isEmpty() || firstName.isEmpty() || birthDate.isEmpty())
        return EntryCheck::MissingField;
    static const QRegularExpression shape(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
    if (!shape.match(birthDate).hasMatch() || !DateFromDdMmYyyy(birthDate).isValid())
        return EntryCheck::BadBirthDate;
    return EntryCheck::Ready;
}

QString WorklistPatientName(const QString& familyName, const QString& firstName)
{
    return (familyName + u'^' + firstName).left(64);
}

QString WorklistLine(const WorklistEntry& e)
{
    const QStringList fields{WorklistPatientName(e.familyName, e.firstName), e.sex, e.patientNumber,
        e.birthDate, e.performingPractitioner, e.requestingPractitioner,
        e.sentAt.toString(QStringLiteral("HH:mm")), e.sentAt.toString(QStringLiteral("dd/MM/yyyy")),
        e.accessionNumber, QStringLiteral("CR")};
    QString line;
    for (const QString& field : fields)
        line += fieldText(field) + u',';
    return line + QStringLiteral("\r\n");
}

QByteArray WorklistLineBytes(const WorklistEntry& entry)
{
    return ToWindows1252(WorklistLine(entry));
}

QString WorklistFilePath(const QString& netpixFolder, const QString& accessionNumber)
{
    return netpixFolder + QStringLiteral("FUJI") + accessionNumber.right(4) + QStringLiteral(".txt");
}

} // namespace vexa
