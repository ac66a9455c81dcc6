#include "worklist/WorklistEntry.h"

#include "base/core/Dates.h"
#include "base/core/Windows1252.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/RecordSet.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace vexa {

namespace {

bool IsControl(QChar c)
{
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0);
}

QString fieldText(QString text)
{
    for (QChar& c : text) {
        if (c == u',' || IsControl(c))
            c = u' ';
    }
    return text;
}

bool HasBadCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\\' || IsControl(c))
            return true;
    }
    return false;
}

// Words that stand before a practitioner's name.
bool IsTitle(const QString& word)
{
    static const QStringList titles{QStringLiteral("dr"), QStringLiteral("dr."), QStringLiteral("docteur"),
        QStringLiteral("pr"), QStringLiteral("pr."), QStringLiteral("professeur")};
    return titles.contains(word.toLower());
}

} // namespace

PatientFields PatientFieldsFromIdentity(const RecordSet& identities)
{
    PatientFields fields;
    if (identities.count() == 0 || identities.eof() || identities.bof())
        return fields;
    const QStringList name = identities.fieldText(Col::PatientNam).split(u'^');
    fields.familyName = name.value(0);
    if (name.size() < 2)
        return fields;
    fields.firstName = name.value(1);
    const QString sex = identities.fieldText(Col::PatientSex);
    if (!sex.isEmpty())
        fields.sex = sex;
    fields.patientNumber = identities.fieldText(Col::PatientId);
    const QString birth = identities.fieldText(Col::PatientBir);
    if (!birth.isEmpty())
        fields.birthDate = YyyymmddToDdMmYyyy(birth);
    return fields;
}

EntryCheck CheckEntry(const QString& familyName, const QString& firstName, const QString& birthDate)
{
    if (familyName.isEmpty() || firstName.isEmpty() || birthDate.isEmpty())
        return EntryCheck::MissingField;
    if (HasBadCharacter(familyName) || HasBadCharacter(firstName))
        return EntryCheck::BadCharacter;
    if (NormalisedBirthDate(birthDate).isEmpty())
        return EntryCheck::BadBirthDate;
    return EntryCheck::Ready;
}

QString NormalisedBirthDate(const QString& typed)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{8}$"));
    static const QRegularExpression slashed(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
    QString date = typed.trimmed();
    if (digits.match(date).hasMatch())
        date = date.left(2) + u'/' + date.mid(2, 2) + u'/' + date.mid(4);
    if (!slashed.match(date).hasMatch() || !DateFromDdMmYyyy(date).isValid())
        return {};
    return date;
}

QString SamePatientQuestion(const PatientFields& filled, const QString& familyName, const QString& firstName)
{
    return QStringLiteral(
        "Le nom a été changé : %1 %2 au lieu de %3 %4.\n"
        "S'agit-il du même patient (numéro %5) ?\n\n"
        "Oui : le patient garde ce numéro.\nNon : un nouveau numéro de patient est attribué.")
        .arg(familyName, firstName, filled.familyName, filled.firstName, filled.patientNumber);
}

QString MissingFieldText()
{
    return QStringLiteral(
        "Saisissez le nom, le prénom et la date de naissance du patient avant de l'envoyer.");
}

QString BadBirthDateText()
{
    return QStringLiteral("La date de naissance n'est pas une date valide.\nSaisissez-la sous la forme "
                          "JJ/MM/AAAA ou JJMMAAAA (par exemple 12/03/1965 ou 12031965).");
}

QString BadCharacterText()
{
    return QStringLiteral("Le nom et le prénom ne peuvent contenir ni barre oblique inverse (\\) ni "
                          "caractère de contrôle (tabulation, saut de ligne...).\nCorrigez-les avant "
                          "d'envoyer le patient.");
}

QString WorklistPatientName(const QString& familyName, const QString& firstName)
{
    constexpr qsizetype kGroup = 64, kKeptFirst = 16;
    const qsizetype room = kGroup - 1 - std::min(firstName.size(), kKeptFirst);
    const QString family = familyName.left(std::max<qsizetype>(room, 0));
    return (family + u'^' + firstName).left(kGroup);
}

QString PractitionerPersonName(const QString& typed)
{
    const QString text = typed.simplified();
    if (text.contains(u'^'))
        return text.left(64);
    QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    QString title;
    if (words.size() > 1 && IsTitle(words.first()))
        title = words.takeFirst();
    if (words.isEmpty())
        return {};
    const QString family = words.takeFirst();
    QString name = family + u'^' + words.join(u' ');
    if (!title.isEmpty())
        name += QStringLiteral("^^") + title;
    // Trailing empty components are left out.
    while (name.endsWith(u'^'))
        name.chop(1);
    return name.left(64);
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
