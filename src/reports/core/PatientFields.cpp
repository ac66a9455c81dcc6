#include "reports/core/PatientFields.h"

#include "pacsdb/ConquestColumns.h"
#include "pacsdb/RecordSet.h"

#include <Qt>

namespace vexa {

namespace {

// A field's value goes into running text: line breaks and tabs (a pasted or
// hand-typed record) become one blank, other control characters (NUL,
// Ctrl-Z...) are dropped.
QString oneLine(const QString& value)
{
    QString line;
    line.reserve(value.size());
    bool afterBlank = false;
    for (const QChar c : value) {
        const bool breaks = c == u'\r' || c == u'\n' || c == u'\t';
        if (breaks && !afterBlank)
            line += u' ';
        afterBlank = breaks;
        if (!breaks && c.category() != QChar::Other_Control)
            line += c;
    }
    return line;
}

} // namespace

const std::array<PatientField, 8>& patientFields()
{
    static const std::array<PatientField, 8> fields{{
        {1, QStringLiteral("mnuNom"), QStringLiteral("&Nom du patient"), Qt::Key_F1, QStringLiteral("#pn "),
            QStringLiteral("#pn")},
        {2, QStringLiteral("mnuPrenom"), QStringLiteral("&Prénom du patient"), Qt::Key_F2,
            QStringLiteral("#pp"), QStringLiteral("#pp")},
        {3, QStringLiteral("mnuDateNaissance"), QStringLiteral("&Date de Naissance du patient"), Qt::Key_F3,
            QStringLiteral("#pd "), QStringLiteral("#pd")},
        {4, QStringLiteral("mnuGenre"), QStringLiteral("&Civilité du patient"), Qt::Key_F4,
            QStringLiteral("#pg "), QStringLiteral("#pg")},
        {5, QStringLiteral("mnuSexe"), QStringLiteral("&Sexe"), Qt::Key_F5, QStringLiteral("#ps "),
            QStringLiteral("#ps")},
        {6, QStringLiteral("mnuDateExamen"), QStringLiteral("Date de l'&Examen"), Qt::Key_F6,
            QStringLiteral("#de "), QStringLiteral("#de")},
        {7, QStringLiteral("mnuPraticien"), QStringLiteral("Praticien e&xécutant"), Qt::Key_F7,
            QStringLiteral("#me "), QStringLiteral("#me")},
        {8, QStringLiteral("mnuDateJour"), QStringLiteral("Date du &Jour"), Qt::Key_F8,
            QStringLiteral("#dj "), QStringLiteral("#dj")},
    }};
    return fields;
}

ReportSession& reportSession()
{
    static ReportSession session;
    return session;
}

QString birthDateText(const QString& yyyymmdd)
{
    if (yyyymmdd.isEmpty())
        return {};
    return yyyymmdd.right(2) + u'/' + yyyymmdd.mid(4, 2) + u'/' + yyyymmdd.left(4);
}

void fillPatientFields(PatientFieldValues& fields, bool templateMode, const RecordSet* patient,
    const QString& examDate, const QString& practitioner, const QDate& today)
{
    fields.fill(QString());
    if (templateMode) {
        for (const PatientField& field : patientFields())
            fields[field.index] = field.placeholder;
        return;
    }
    const bool hasRecord = patient && patient->currentRow() >= 0;
    const auto column = [&](const QString& name) {
        return hasRecord && patient->hasField(name) ? patient->fieldText(name) : QString();
    };
    const QStringList name = column(col::PatientNam).split(u'^');
    fields[1] = name.value(0);
    fields[2] = name.value(1);
    fields[3] = birthDateText(column(col::PatientBir));
    const QString sex = column(col::PatientSex).toUpper();
    if (sex == u"F") {
        fields[4] = QStringLiteral("Md");
        fields[5] = QStringLiteral("Féminin");
    } else if (sex == u"M") {
        fields[4] = QStringLiteral("Mr");
        fields[5] = QStringLiteral("Masculin");
    }
    fields[6] = examDate;
    fields[7] = practitioner;
    fields[8] = today.toString(QStringLiteral("dd/MM/yyyy"));
    for (QString& value : fields)
        value = oneLine(value);
}

} // namespace vexa
