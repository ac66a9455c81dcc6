// The main window's report actions: which document the editor opens, in
// which mode and with which fields, and the main window's order afterwards.
#include "reports/actions/ReportActions.h"
#include "ScriptedDialogService.h"
#include "pacsdb/ConquestSchema.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/ReportEditor.h"
#include "reports/editor/TemplatePicker.h"

#include <QDir>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace vexa;

namespace {

struct EditorSeen {
    QString caption;
    QString path;
    bool templateMode = false;
    bool headerShown = false;
};

class ReportActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        setReportDataFolder(data_.filePath(QStringLiteral("user")));
        databasePath_ = data_.filePath(QStringLiteral("conquest.db3"));
        {
            QSqlDatabase db = openConquestDatabase(
                databasePath_, QStringLiteral("actions"), nullptr, MissingFile::Create);
            ASSERT_TRUE(db.isOpen());
            ASSERT_EQ(createConquestTables(db), QString());
            QSqlQuery insert(db);
            ASSERT_TRUE(
                insert.exec(QStringLiteral("INSERT INTO DICOMPatients (PatientID, PatientNam, PatientBir, "
                                           "PatientSex) VALUES ('P_1', 'DUPONT^JEAN', '19650312', 'M')")));
        }
        QSqlDatabase::removeDatabase(QStringLiteral("actions"));
        reportSession() = ReportSession();
        actions_.afterEditor = [this] { ++afterEditorCalls_; };
        actions_.runWindow = [this](QDialog& dialog) {
            if (auto* picker = qobject_cast<TemplatePicker*>(&dialog)) {
                picker->nameBox->setText(templateName_);
                picker->confirm();
            } else if (auto* editor = qobject_cast<ReportEditor*>(&dialog)) {
                seen_.push_back({editor->windowTitle(), reportSession().reportPath,
                    reportSession().templateMode, !editor->headerEdit->isHidden()});
            }
            return int(QDialog::Accepted);
        };
    }
    void TearDown() override { setReportDataFolder(QString()); }

    QTemporaryDir data_;
    QString databasePath_;
    ScriptedDialogService dialogs_;
    ReportActions actions_;
    QString templateName_;
    std::vector<EditorSeen> seen_;
    int afterEditorCalls_ = 0;
};

} // namespace

TEST_F(ReportActionsTest, ExamReportBesideTheImagesWithThePatientsFields)
{
    ExamReportSource exam{QStringLiteral("/pacs/data/"), QStringLiteral("P_1\\1.2.3_0001.v2"),
        QStringLiteral("1.2.3.4"), QStringLiteral("P_1"), QStringLiteral("09/12/2026"),
        QStringLiteral("Dr MARTIN")};
    actions_.openExamReport(exam, databasePath_);
    ASSERT_EQ(seen_.size(), 1u);
    EXPECT_EQ(seen_[0].path, QStringLiteral("/pacs/data/P_1/1.2.3.4.rtf"));
    EXPECT_FALSE(seen_[0].templateMode);
    EXPECT_EQ(seen_[0].caption, QStringLiteral("Editer un compte-rendu... JEAN DUPONT"));
    const PatientFieldValues& fields = reportSession().fields;
    EXPECT_EQ(fields[3], QStringLiteral("12/03/1965"));
    EXPECT_EQ(fields[4], QStringLiteral("Mr"));
    EXPECT_EQ(fields[7], QStringLiteral("Dr MARTIN"));
    EXPECT_EQ(afterEditorCalls_, 1);
    // A new installation got its starter letterhead, shown above the report.
    EXPECT_TRUE(QFile::exists(letterheadPath()));
    EXPECT_TRUE(seen_[0].headerShown);
}

TEST_F(ReportActionsTest, TemplateThenLetterheadKeepTheTemplatesMode)
{
    templateName_ = QStringLiteral("Nouveau modèle");
    EXPECT_TRUE(actions_.openTemplate());
    templateName_.clear();
    EXPECT_FALSE(actions_.openTemplate()); // nothing chosen: no editor
    actions_.openLetterhead();
    ASSERT_EQ(seen_.size(), 2u);
    EXPECT_EQ(seen_[0].path, templatePath(QStringLiteral("Nouveau modèle")));
    EXPECT_TRUE(seen_[0].templateMode);
    EXPECT_EQ(seen_[0].caption, QStringLiteral("Editer un compte-rendu...Nouveau modèle.rtf"));
    EXPECT_EQ(reportSession().fields[1], QStringLiteral("#pn "));
    EXPECT_EQ(seen_[1].path, letterheadPath());
    EXPECT_TRUE(seen_[1].templateMode);
    EXPECT_FALSE(seen_[1].headerShown);
    EXPECT_EQ(afterEditorCalls_, 2);
}
