#pragma once
// The about window: the program's name, version and requirement, and the
// system information viewer.
#include <brixel/Button.h>

#include <QDialog>

class QLabel;

namespace vexa {

class frmAbout : public QDialog {
    Q_OBJECT
public:
    explicit frmAbout(QWidget* parent = nullptr);

    // Starts the first system information viewer found, else says none is available.
    void ShowSystemInfo();

    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    brixel::Button* cmdOK;
    brixel::Button* cmdSysInfo;
};

} // namespace vexa
