#pragma once
// The about window: the program's name, version and requirement, and the
// system information viewer.
#include <brixel/Button.h>

#include <QDialog>

class QLabel;

namespace vexa {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // Shows the versions, the database engine and the log's path; offers to
    // open a system information viewer too when one is installed.
    void showSystemInfo();

    QLabel* titleLabel;
    QLabel* versionLabel;
    QLabel* descriptionLabel;
    brixel::Button* okButton;
    brixel::Button* systemInfoButton;
};

} // namespace vexa
