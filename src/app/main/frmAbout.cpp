#include "frmAbout.h"

#include "DesignButtons.h"
#include "DialogService.h"
#include "StartupSteps.h"
#include "SystemInfoViewer.h"
#include "VexaVersion.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QVBoxLayout>

namespace vexa {

frmAbout::frmAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("A propos de VexaDICOM"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    lblTitle = new QLabel(QStringLiteral("VexaDICOM"), this);
    QFont font = lblTitle->font();
    font.setPointSize(font.pointSize() * 2);
    font.setBold(true);
    lblTitle->setFont(font);
    lblVersion = new QLabel(AboutVersionText(VexaVersionMajor, VexaVersionMinor, VexaVersionPatch), this);
    lblDescription
        = new QLabel(QStringLiteral("Ce programme nécessite l'installation préalable du MicroPACS CONQUEST, "
                                    "configuré pour utiliser une base de donnée au format Access®."),
            this);
    lblDescription->setWordWrap(true);
    const brixel::DesignFile design = LoadDesign(QStringLiteral(":/app/frmAbout.design"));
    cmdOK = MakeDesignButton(design, QStringLiteral("cmdOK"), this);
    cmdSysInfo = MakeDesignButton(design, QStringLiteral("cmdSysInfo"), this);
    connect(cmdOK, &brixel::Button::Click, this, &QDialog::accept);
    connect(cmdSysInfo, &brixel::Button::Click, this, &frmAbout::ShowSystemInfo);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblTitle);
    layout->addWidget(lblVersion);
    layout->addWidget(lblDescription);
    layout->addLayout(buttons);
    setFixedWidth(460);
}

void frmAbout::ShowSystemInfo()
{
    const QString viewer = FindSystemInfoViewer(SystemInfoPrograms());
    if (viewer.isEmpty() || !QProcess::startDetached(viewer, {}))
        MsgBox(SystemInfoUnavailableText(), MsgIcon::Information);
}

} // namespace vexa
