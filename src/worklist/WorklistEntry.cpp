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

bool isControl(QChar c)
{
    return c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0);
}

QString fieldText(QString text)
{
    for (QChar& c : text) {
        if (c == u',' || isControl(c))
            c = u' ';
    }
    return text;
}

bool hasBadCharacter(const QString& text)
{
    for (const QChar c : text) {
        if (c == u'\\' || isControl(c))
            return true;
    }
    return false;
}

// Words that stand before a practitioner's name.
bool isTitle(const QString& word)
{
    static const QStringList titles{QStringLiteral("dr"), QStringLiteral("dr."), QStringLiteral("docteur"),
        QStringLiteral("pr"), QStringLiteral("pr."), QStringLiteral("professeur")};
    return titles.contains(word.toLower());
}

} // namespace

PatientFields patientFieldsFromIdentity(const RecordSet& identities)
{
    PatientFields fields;
    if (identities.count() == 0 || identities.eof() || identities.bof())
        return fields;
    const QStringList name = identities.fieldText(col::PatientNam).split(u'^');
    fields.familyName = name.value(0);
    if (name.size() < 2)
        return fields;
    fields.firstName = name.value(1);
    const QString sex = identities.fieldText(col::PatientSex);
    if (!sex.isEmpty())
        fields.sex = sex;
    fields.patientNumber = identities.fieldText(col::PatientId);
    const QString birth = identities.fieldText(col::PatientBir);
    if (!birth.isEmpty())
        fields.birthDate = yyyymmddToDdMmYyyy(birth);
    return fields;
}

EntryCheck checkEntry(const QString& familyName, const QString& firstName, const QString& birthDate)
{
    if (familyName.isEmpty() || firstName.isEmpty() || birthDate.isEmpty())
        return EntryCheck::MissingField;
    if (hasBadCharacter(familyName) || hasBadCharacter(firstName))
        return EntryCheck::BadCharacter;
    if (normalisedBirthDate(birthDate).isEmpty())
        return EntryCheck::BadBirthDate;
    return EntryCheck::Ready;
}

QString normalisedBirthDate(const QString& typed)
{
    static const QRegularExpression digits(QStringLiteral("^\\d{8}$"));
    static const QRegularExpression slashed(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
    QString date = typed.trimmed();
    if (digits.match(date).hasMatch())
        date = date.left(2) + u'/' + date.mid(2, 2) + u'/' + date.mid(4);
    if (!slashed.match(date).hasMatch() || !dateFromDdMmYyyy(date).isValid())
        return {};
    return date;
}

QString samePatientQuestion(const PatientFields& filled, const QString& familyName, const QString& firstName)
{
    return QStringLiteral(
        "Le nom a été changé : %1 %2 au lieu de %3 %4.\n"
        "S'agit-il du même patient (numéro %5) ?\n\n"
        "Oui : le patient garde ce numéro.\nNon : un nouveau numéro de patient est attribué.")
        .arg(familyName, firstName, filled.familyName, filled.firstName, filled.patientNumber);
}

QString missingFieldText()
{
    return QStringLiteral(
        "Saisissez le nom, le prénom et la date de naissance du patient avant de l'envoyer.");
}

QString badBirthDateText()
{
    return QStringLiteral("La date de naissance n'est pas une date valide.\nSaisissez-la sous la forme "
                          "JJ/MM/AAAA ou JJMMAAAA (par exemple 12/03/1965 ou 12031965).");
}

QString badCharacterText()
{
    return QStringLiteral("Le nom et le prénom ne peuvent contenir ni barre oblique inverse (\\) ni "
                          "caractère de contrôle (tabulation, saut de ligne...).\nCorrigez-les avant "
                          "d'envoyer le patient.");
}

QString worklistPatientName(const QString& familyName, const QString& firstName)
{
    constexpr qsizetype kGroup = 64, kKeptFirst = 16;
    const qsizetype room = kGroup - 1 - std::min(firstName.size(), kKeptFirst);
    const QString family = familyName.left(std::max<qsizetype>(room, 0));
    return (family + u'^' + firstName).left(kGroup);
}

QString practitionerPersonName(const QString& typed)
{
    const QString text = typed.simplified();
    if (text.contains(u'^'))
        return text.left(64);
    QStringList words = text.split(u' ', Qt::SkipEmptyParts);
    QString title;
    if (words.size() > 1 && isTitle(words.first()))
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

QString worklistLine(const WorklistEntry& e)
{
    const QStringList fields{worklistPatientName(e.familyName, e.firstName), e.sex, e.patientNumber,
        e.birthDate, e.performingPractitioner, e.requestingPractitioner,
        e.sentAt.toString(QStringLiteral("HH:mm")), e.sentAt.toString(QStringLiteral("dd/MM/yyyy")),
        e.accessionNumber, QStringLiteral("CR")};
    QString line;
    for (const QString& field : fields)
        line += fieldText(field) + u',';
    return line + QStringLiteral("\r\n");
}

QByteArray worklistLineBytes(const WorklistEntry& entry)
{
    return toWindows1252(worklistLine(entry));
}

QString worklistFilePath(const QString& netpixFolder, const QString& accessionNumber)
{
    return netpixFolder + QStringLiteral("FUJI") + accessionNumber.right(4) + QStringLiteral(".txt");
}

} // namespace vexa
