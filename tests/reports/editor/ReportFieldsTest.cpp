// The patient fields of a report: filling them from the patient's record,
// putting them in place of their tokens, and finding the patient.
#include "pacsdb/ConquestSchema.h"
#include "pacsdb/RecordSet.h"
#include "reports/actions/ReportActions.h"
#include "reports/core/FieldReplacement.h"
#include "reports/core/PatientFields.h"
#include "reports/rtf/RtfReader.h"
#include "reports/rtf/RtfWriter.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

// A Conquest database holding the given patients (ID, name, birth date, sex).
struct PatientRow {
    QString id, name, birth, sex;
};

QString makePatients(const QTemporaryDir& dir, const std::vector<PatientRow>& rows)
{
    const QString path = dir.filePath(QStringLiteral("conquest.db3"));
    {
        QSqlDatabase db
            = openConquestDatabase(path, QStringLiteral("reportFields"), nullptr, MissingFile::Create);
        EXPECT_TRUE(db.isOpen());
        EXPECT_EQ(createConquestTables(db), QString());
        QSqlQuery insert(db);
        insert.prepare(QStringLiteral(
            "INSERT INTO DICOMPatients (PatientID, PatientNam, PatientBir, PatientSex) VALUES (?, ?, ?, ?)"));
        for (const PatientRow& row : rows) {
            insert.addBindValue(row.id);
            insert.addBindValue(row.name);
            insert.addBindValue(row.birth);
            insert.addBindValue(row.sex);
            EXPECT_TRUE(insert.exec()) << insert.lastError().text().toStdString();
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("reportFields"));
    return path;
}

PatientFieldValues fill(const QString& databasePath, const QString& patientId)
{
    RecordSet patients(QStringLiteral("patients"));
    patients.setDatabasePath(databasePath);
    const bool found = ReportActions::findPatient(patients, patientId);
    PatientFieldValues fields;
    fillPatientFields(fields, false, found ? &patients : nullptr, QStringLiteral("09/12/2026"),
        QStringLiteral("Dr MARTIN"), QDate(2026, 12, 10));
    return fields;
}

} // namespace

TEST(PatientFields, PatientModeTakesTheRecordAsShown)
{
    QTemporaryDir dir;
    const QString db = makePatients(dir,
        {{"P1", "DUPONT^JEAN", "19650312", "f"}, {"P2", "DUPONT", "", "O"},
            {"P3", "MARTIN^LUC^PAUL", "2001", "m"}});
    struct Case {
        const char* id;
        std::array<const char*, 5> expected; // name, first name, birth, civility, sex
    } cases[] = {
        {"P1", {"DUPONT", "JEAN", "12/03/1965", "Md", "Féminin"}},
        {"P2", {"DUPONT", "", "", "", ""}},
        {"P3", {"MARTIN", "LUC", "01//2001", "Mr", "Masculin"}},
    };
    for (const Case& c : cases) {
        const PatientFieldValues fields = fill(db, QString::fromLatin1(c.id));
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(fields[i + 1], QString::fromUtf8(c.expected[i])) << c.id << " entry " << i + 1;
        EXPECT_EQ(fields[6], QStringLiteral("09/12/2026"));
        EXPECT_EQ(fields[7], QStringLiteral("Dr MARTIN"));
        EXPECT_EQ(fields[8], QStringLiteral("10/12/2026"));
        EXPECT_TRUE(fields[0].isEmpty() && fields[9].isEmpty() && fields[15].isEmpty());
    }
}

TEST(PatientFields, MissingPatientStillGetsExamDatePractitionerAndToday)
{
    QTemporaryDir dir;
    const PatientFieldValues fields = fill(makePatients(dir, {{"P1", "DUPONT^JEAN", "19650312", "F"}}), "P9");
    for (int i = 1; i <= 5; ++i)
        EXPECT_TRUE(fields[i].isEmpty()) << i;
    EXPECT_EQ(fields[6], QStringLiteral("09/12/2026"));
    EXPECT_EQ(fields[8], QStringLiteral("10/12/2026"));
}

// Conquest stores the modality's bytes: Latin-1 for an ISO_IR 100 series.
TEST(PatientFields, NameStoredAsLatin1BytesKeepsItsAccents)
{
    QTemporaryDir dir;
    const QString db = makePatients(dir, {{"P1", "X", "", "F"}});
    {
        QSqlDatabase conquest = openConquestDatabase(db, QStringLiteral("latin1Name"));
        QSqlQuery update(conquest);
        const QByteArray hex = QStringLiteral("MÉNARD^Élodie").toLatin1().toHex();
        EXPECT_TRUE(update.exec(QStringLiteral("UPDATE DICOMPatients SET PatientNam = CAST(X'%1' AS TEXT)")
                                    .arg(QString::fromLatin1(hex))));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("latin1Name"));
    const PatientFieldValues fields = fill(db, QStringLiteral("P1"));
    EXPECT_EQ(fields[1], QStringLiteral("MÉNARD"));
    EXPECT_EQ(fields[2], QStringLiteral("Élodie"));
}

TEST(PatientFields, LookupTakesQuotesAndWildCardsLiterally)
{
    QTemporaryDir dir;
    const QString db = makePatients(dir,
        {{"O'BRIEN", "O'BRIEN^SEAN", "", "M"}, {"A_1", "UNDERSCORE", "", ""}, {"AB1", "OTHER", "", ""},
            {"50%", "PERCENT", "", ""}, {"500", "FIVE", "", ""}, {"X*", "STAR", "", ""},
            {"XY", "WHY", "", ""}});
    const struct {
        const char* id;
        const char* name; // "" when no patient must be found
    } cases[]
        = {{"O'BRIEN", "O'BRIEN"}, {"A_1", "UNDERSCORE"}, {"50%", "PERCENT"}, {"X*", "STAR"}, {"A%", ""},
            {"5__", ""}, {"o'brien", ""}, {"X?", ""}}; // an identifier is matched whole, case included
    for (const auto& c : cases)
        EXPECT_EQ(fill(db, QString::fromLatin1(c.id))[1], QString::fromLatin1(c.name)) << c.id;
}

TEST(PatientFields, TemplateModeGivesThePlaceholders)
{
    PatientFieldValues fields;
    fields[12] = QStringLiteral("left over");
    fillPatientFields(fields, true, nullptr, QStringLiteral("x"), QStringLiteral("y"));
    const char* expected[] = {"", "#pn ", "#pp", "#pd ", "#pg ", "#ps ", "#de ", "#me ", "#dj "};
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(fields[i], QString::fromLatin1(expected[i])) << i;
    EXPECT_TRUE(fields[12].isEmpty());
    for (const PatientField& field : patientFields())
        EXPECT_EQ(field.token, field.placeholder.trimmed());
}

TEST(FieldReplacement, ReplacesEverywhereAndKeepsTheCaretIndex)
{
    QTextDocument document;
    document.setPlainText(QStringLiteral("#pn#pp, #pn\nNé le #pd."));
    QTextCursor caret(&document);
    caret.setPosition(9); // inside ", #pn" after the first two tokens
    EXPECT_EQ(replaceField(document, QStringLiteral("#pn"), QStringLiteral("DUPONT"), false, &caret), 2);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("DUPONT#pp, DUPONT\nNé le #pd."));
    EXPECT_EQ(caret.position(), 9);
    EXPECT_FALSE(caret.hasSelection());
}

TEST(FieldReplacement, FillsTemplatesWhatEverTheirBlanks)
{
    PatientFieldValues fields;
    fields[1] = QStringLiteral("DUPONT");
    fields[2] = QStringLiteral("JEAN");
    fields[3] = QStringLiteral("12/03/1965");
    const struct {
        const char* text;
        const char* filled;
    } cases[] = {
        {"#pn #pp", "DUPONT JEAN"}, {"#pn#pp", "DUPONTJEAN"}, // the blank after the placeholder deleted
        {"né le #pd, #pd.", "né le 12/03/1965, 12/03/1965."}, {"#ps #pg", " "}, // empty values
        {"#PN", "#PN"}, // letter case counts
    };
    for (const auto& c : cases) {
        QTextDocument document;
        document.setPlainText(QString::fromUtf8(c.text));
        replaceFieldsWithValues(document, fields);
        EXPECT_EQ(document.toPlainText(), QString::fromUtf8(c.filled)) << c.text;
    }
}

TEST(FieldReplacement, AValueHoldingItsOwnTokenEndsAndKeepsTheFormat)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText(QStringLiteral("Patient : "));
    cursor.insertText(QStringLiteral("#pn"), bold);
    cursor.insertText(QStringLiteral(" et #pn"));
    EXPECT_EQ(replaceField(document, QStringLiteral("#pn"), QStringLiteral("x#pn#pny"), false), 2);
    EXPECT_EQ(document.toPlainText(), QStringLiteral("Patient : x#pn#pny et x#pn#pny"));
    QTextCursor inside(&document);
    inside.setPosition(12);
    EXPECT_EQ(inside.charFormat().fontWeight(), QFont::Bold);

    EXPECT_EQ(replaceField(document, QStringLiteral("et"), QStringLiteral("ET"), true), 1);
    inside.setPosition(document.toPlainText().indexOf(QStringLiteral("ET")) + 1);
    EXPECT_TRUE(inside.charFormat().fontUnderline());
}

// A name as a modality may send it (or a hand-typed record): RTF's own
// characters, line breaks, NUL, Ctrl-Z, a tab, ten kilobytes. The report
// written with it reads back with the name as text, and nothing that would
// cut or break the file.
TEST(PatientFields, HostileNamesGiveACleanReport)
{
    const QString tenKb(10240, u'A');
    const struct {
        QString stored;
        QString family;
    } cases[] = {
        {QStringLiteral("DU\\PONT{x}^JEAN"), QStringLiteral("DU\\PONT{x}")},
        {QStringLiteral("DUPONT\r\nX^JEAN"), QStringLiteral("DUPONT X")},
        {QStringLiteral("DUP") + QChar(0) + QStringLiteral("ONT\x1a\tB^JEAN"), QStringLiteral("DUPONT B")},
        {tenKb + QStringLiteral("^JEAN"), tenKb},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString database = makePatients(dir, {{QStringLiteral("P1"), c.stored, {}, {}}});
        const PatientFieldValues fields = fill(database, QStringLiteral("P1"));
        QTextDocument document;
        document.setPlainText(QStringLiteral("Nom : #pn ; prénom : #pp."));
        replaceFieldsWithValues(document, fields);

        const QString path = dir.filePath(QStringLiteral("report.rtf"));
        ASSERT_TRUE(RtfWriter::writeFile(path, document, nullptr, nullptr, RtfPageLayout{}));
        RtfDocument read;
        ASSERT_TRUE(RtfReader::readFile(path, read));
        EXPECT_EQ(read.body->toPlainText(),
            QStringLiteral("Nom : ") + c.family + QStringLiteral(" ; prénom : JEAN."))
            << c.stored.left(40).toStdString();
    }
}
