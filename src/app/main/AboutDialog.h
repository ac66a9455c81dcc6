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

    // Starts the first system information viewer found, else says none is available.
    void ShowSystemInfo();

    QLabel* titleLabel;
    QLabel* versionLabel;
    QLabel* descriptionLabel;
    brixel::Button* okButton;
    brixel::Button* systemInfoButton;
};

} // namespace vexa
