// Renders the worklist window as a user sees it before sending a patient:
// worklist_window_picture <output.png>. Runs on the offscreen platform.
#include "pacsdb/RecordSet.h"
#include "worklist/WorklistWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <cstdio>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // No practitioner file of the user's is read.
    qputenv("XDG_DATA_HOME", "/nonexistent");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: worklist_window_picture <output.png>\n");
        return 2;
    }
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Liberation Sans")});
    QApplication::setFont(font);

    const vexa::RecordSet noPatient;
    vexa::WorklistWindow window(noPatient);
    window.familyNameBox->setText(QStringLiteral("LEFÈVRE"));
    window.firstNameBox->setText(QStringLiteral("Élodie"));
    window.sexBox->setCurrentText(QStringLiteral("F"));
    window.birthDateBox->setText(QStringLiteral("01/02/1965"));
    window.practitionerBox->addItems({QStringLiteral("Dr Blanc"), QStringLiteral("Dr Roux")});
    window.practitionerBox->setCurrentIndex(0);
    window.show();
    QApplication::processEvents();
    const bool saved = window.grab().save(QString::fromLocal8Bit(argv[1]));
    window.hide();
    return saved ? 0 : 1;
}
