// Writes a screenshot of the report editor on a chest radiograph report made
// from the starter template, filled for a patient, under the starter
// letterhead: report_editor_screenshot <output.png>.
#include "ScriptedDialogService.h"
#include "base/core/DialogService.h"
#include "reports/core/PatientFields.h"
#include "reports/core/ReportFiles.h"
#include "reports/editor/ReportEditor.h"
#include "reports/editor/TemplatePicker.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QThread>
#include <cstdio>

using namespace vexa;

int main(int argc, char** argv)
{
    qputenv(
        "QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("report-editor.png");
    ScriptedDialogService dialogs;
    QTemporaryDir data;
    setReportDataFolder(data.path());
    installStarterFiles();

    ReportSession& session = reportSession();
    session.reportPath = QDir(data.path()).filePath(QStringLiteral("1.2.826.0.1.3680043.2.1125.1.rtf"));
    session.templateMode = false;
    fillPatientFields(session.fields, false, nullptr, QStringLiteral("09/12/2026"),
        QStringLiteral("Dr MARTIN"), QDate(2026, 12, 9));
    session.fields[1] = QStringLiteral("DUPONT");
    session.fields[2] = QStringLiteral("JEAN");
    session.fields[3] = QStringLiteral("12/03/1965");
    session.fields[4] = QStringLiteral("Mr");
    session.fields[5] = QStringLiteral("Masculin");

    ReportEditor editor(nullptr, QRect(0, 0, 1100, 760));
    editor.runWindow = [](QDialog& dialog) {
        auto& picker = dynamic_cast<TemplatePicker&>(dialog);
        picker.nameBox->setText(QStringLiteral("Radiographie thoracique"));
        picker.confirm();
        return int(QDialog::Accepted);
    };
    editor.show();
    editor.insertTemplate();
    QTextCursor indication = editor.bodyEdit->document()->find(QStringLiteral("Indication :"));
    indication.movePosition(QTextCursor::EndOfBlock);
    indication.insertText(QStringLiteral("toux fébrile depuis huit jours."));
    editor.bodyEdit->setTextCursor(indication);
    for (int i = 0; i < 20; ++i) { // the window manager settles the window
        QApplication::processEvents();
        QThread::msleep(25);
    }
    if (!editor.grab().save(output)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    setReportDataFolder(QString());
    return 0;
}
