#include "shell/main/OptionsDialog.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "base/core/Settings.h"
#include "base/ui/DesignButtons.h"
#include "base/ui/Printers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QScreen>
#include <QTabBar>
#include <QUrl>
#include <QVBoxLayout>

namespace vexa {
namespace {

constexpr int PanelLeftTwips = 210;
constexpr int HiddenLeftTwips = -21000;
constexpr int PanelTop = 40;
constexpr QSize PanelSize(560, 400);

QGroupBox* Frame(const QString& title, QWidget* parent)
{
    auto* frame = new QGroupBox(title, parent);
    new QFormLayout(frame);
    return frame;
}

QFormLayout* Form(QGroupBox* frame)
{
    return static_cast<QFormLayout*>(frame->layout());
}

QLineEdit* Edit(const QString& name, QWidget* parent, const QString& text = {})
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

// A path box with its browse button beside it.
QHBoxLayout* Row(QLineEdit* edit, QWidget* button)
{
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(button);
    return row;
}

QComboBox* Combo(const QString& name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    return combo;
}

// The number of the first ticked option, or the count when none is.
template <int N> int FirstTicked(QRadioButton* const (&options)[N])
{
    for (int i = 0; i < N; ++i) {
        if (options[i]->isChecked())
            return i;
    }
    return N;
}

// Ticks option `index`; any other number leaves them all unticked.
template <int N> void Tick(QRadioButton* const (&options)[N], int index)
{
    for (int i = 0; i < N; ++i) {
        options[i]->setAutoExclusive(false);
        options[i]->setChecked(i == index);
        options[i]->setAutoExclusive(true);
    }
}

brixel::DesignFile Design()
{
    return LoadDesign(QStringLiteral(":/app/OptionsDialog.design"));
}

} // namespace

OptionsDialog::OptionsDialog(QWidget* mainWindow, QWidget* parent)
    : QDialog(parent)
    , mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("OptionsDialog"));
    setWindowTitle(QStringLiteral("Configuration..."));
    // Kept above the full-screen main window, which may itself be topmost.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setFixedSize(PanelSize.width() + 30, PanelSize.height() + 110);
    panels[0] = ConquestPanel();
    panels[1] = PrintPanel();
    panels[2] = DicomPrintPanel();
    panels[3] = WorkListPanel();
    panels[6] = PositionPanel();
    for (QWidget* panel : panels) {
        if (panel)
            panel->setGeometry(QRect(QPoint(HiddenLeftTwips / TwipsPerPixel, PanelTop), PanelSize));
    }
    panels[6]->hide(); // belongs to no tab
    BuildTabs();
    BuildButtons();
    Load();
}

void OptionsDialog::BuildTabs()
{
    tabs = new QTabBar(this);
    tabs->setObjectName(QStringLiteral("tabs"));
    const QStringList texts{QStringLiteral("Serveur Conquest"),
        QStringLiteral("Modalités d'impression Windows®..."), QStringLiteral("Impression DICOM..."),
        QStringLiteral("WorkList...")};
    const QStringList tips{QStringLiteral("Configurer les chemins du serveur Conquest à surveiller"),
        QStringLiteral("Définir les modalités d'impression"),
        QStringLiteral("Définir les modalités d'impression DICOM"),
        QStringLiteral("Configuration de la WorkList")};
    for (int i = 0; i < texts.size(); ++i) {
        tabs->addTab(texts[i]);
        tabs->setTabToolTip(i, tips[i]);
    }
    tabs->setGeometry(10, 8, PanelSize.width(), PanelTop - 8);
    connect(tabs, &QTabBar::currentChanged, this, &OptionsDialog::SelectTab);
}

void OptionsDialog::BuildButtons()
{
    const brixel::DesignFile design = Design();
    okButton = MakeDesignButton(design, QStringLiteral("cmdOK"), this);
    cancelButton = MakeDesignButton(design, QStringLiteral("cmdCancel"), this);
    applyButton = MakeDesignButton(design, QStringLiteral("cmdApply"), this);
    const int y = PanelTop + PanelSize.height() + 20;
    int x = width() - 10;
    for (brixel::Button* button : {applyButton, cancelButton, okButton}) {
        x -= button->width() + 10;
        button->move(x, y);
    }
    connect(okButton, &brixel::Button::Click, this, [this] {
        Apply();
        accept();
    });
    connect(cancelButton, &brixel::Button::Click, this, &QDialog::reject);
    connect(applyButton, &brixel::Button::Click, this, &OptionsDialog::Apply);
}

QWidget* OptionsDialog::ConquestPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("conquestPanel"));
    auto* frame = Frame(QStringLiteral("Configuration du MicroPACS Serveur CONQUEST"), panel);
    databasePathEdit = Edit(QStringLiteral("databasePathEdit"), frame);
    browseDatabaseButton = MakeDesignButton(Design(), QStringLiteral("Command1"), frame);
    Form(frame)->addRow(QStringLiteral("Base de données : "), Row(databasePathEdit, browseDatabaseButton));
    passwordNoteLabel = new QLabel(frame);
    passwordNoteLabel->setObjectName(QStringLiteral("passwordNoteLabel"));
    passwordNoteLabel->setWordWrap(true);
    passwordNoteLabel->setVisible(false);
    Form(frame)->addRow(QString(), passwordNoteLabel);
    imageFolderEdit = Edit(QStringLiteral("imageFolderEdit"), frame);
    Form(frame)->addRow(QStringLiteral("Répertoire images Dicom : "), imageFolderEdit);
    (new QVBoxLayout(panel))->addWidget(frame, 0, Qt::AlignTop);
    connect(browseDatabaseButton, &brixel::Button::Click, this, &OptionsDialog::BrowseDatabase);
    connect(databasePathEdit, &QLineEdit::textChanged, this,
        [this](const QString& text) { imageFolderEdit->setText(ImageFolderForDatabase(text)); });
    connect(databasePathEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString note = PasswordNote(text);
        passwordNoteLabel->setText(note);
        passwordNoteLabel->setVisible(!note.isEmpty());
    });
    return panel;
}

QString OptionsDialog::PasswordNote(const QString& conquestPath)
{
    const QString path = conquestPath.trimmed();
    if (!path.startsWith(QStringLiteral("postgres"), Qt::CaseInsensitive)
        || !path.contains(QStringLiteral("://")))
        return {};
    if (!QUrl(path).password().isEmpty())
        return QStringLiteral("Le mot de passe est gardé dans le fichier de réglages, lisible par vous seul. "
                              "Il peut aussi rester hors des réglages : ~/.pgpass, un fichier de services "
                              "ou la variable PGPASSWORD.");
    return QStringLiteral("Sans mot de passe dans l'adresse, il est pris dans ~/.pgpass, dans un fichier "
                          "de services (adresse postgresql:///?service=nom) ou dans la variable PGPASSWORD.");
}

QWidget* OptionsDialog::LabelsGroup(QWidget* parent)
{
    labelsFrame = Frame(QStringLiteral("Etiquettes :"), parent);
    autoPrintLabelsCheck = new QCheckBox(labelsFrame);
    Form(labelsFrame)
        ->addRow(
            QStringLiteral("Impression automatique des étiquettes  à la gravure :"), autoPrintLabelsCheck);
    labelPrinterBox = Combo(QStringLiteral("labelPrinterBox"), labelsFrame);
    Form(labelsFrame)->addRow(QStringLiteral("Choix de l'imprimante :"), labelPrinterBox);
    labelKindOptions[0] = new QRadioButton(QStringLiteral("Entête, Date, Nom Prénom"), labelsFrame);
    labelKindOptions[1] = new QRadioButton(QStringLiteral("Date, Nom Prénom"), labelsFrame);
    auto* kinds = new QVBoxLayout;
    kinds->addWidget(labelKindOptions[0]);
    kinds->addWidget(labelKindOptions[1]);
    Form(labelsFrame)->addRow(QStringLiteral("Type d'étiquette : "), kinds);
    labelCountBox = Combo(QStringLiteral("labelCountBox"), labelsFrame);
    for (int n = 1; n <= 10; ++n)
        labelCountBox->addItem(QString::number(n));
    Form(labelsFrame)->addRow(QStringLiteral("Nombre d'étiquettes : "), labelCountBox);
    return labelsFrame;
}

QWidget* OptionsDialog::PrintPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("printPanel"));
    auto* images = Frame(QStringLiteral("Impression Windows des images DICOM "), panel);
    invertGreyCheck = new QCheckBox(images);
    Form(images)->addRow(QStringLiteral("Inversion des niveaux de gris :"), invertGreyCheck);
    letterheadEdit = Edit(QStringLiteral("letterheadEdit"), images);
    Form(images)->addRow(QStringLiteral("Entête sur impression : "), letterheadEdit);
    imagePrinterBox = Combo(QStringLiteral("imagePrinterBox"), images);
    Form(images)->addRow(QStringLiteral("Choix de l'imprimante :"), imagePrinterBox);
    labelsCheck = new QCheckBox(QStringLiteral("Etiquettes :"), panel);
    connect(labelsCheck, &QCheckBox::toggled, this, [this](bool on) { labelsFrame->setEnabled(on); });
    auto* reports = Frame(QStringLiteral("Comptes-rendus : "), panel);
    reportPrinterBox = Combo(QStringLiteral("reportPrinterBox"), reports);
    Form(reports)->addRow(QStringLiteral("Choix de l'imprimante :"), reportPrinterBox);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(images);
    layout->addWidget(labelsCheck);
    layout->addWidget(LabelsGroup(panel));
    layout->addWidget(reports);
    return panel;
}

QWidget* OptionsDialog::DicomPrintPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("dicomPrintPanel"));
    auto* frame = new QGroupBox(QStringLiteral("Impression DICOM"), panel);
    (new QVBoxLayout(frame))
        ->addWidget(new QLabel(QStringLiteral("Option non disponible dans cette version "), frame));
    (new QVBoxLayout(panel))->addWidget(frame, 0, Qt::AlignTop);
    return panel;
}

QWidget* OptionsDialog::WorkListPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("workListPanel"));
    auto* workList = Frame(QStringLiteral("WorkList : "), panel);
    worklistConsoleBox = Combo(QStringLiteral("worklistConsoleBox"), workList);
    Form(workList)->addRow(QStringLiteral("Console de production d'image DICOM : "), worklistConsoleBox);
    auto* fuji = Frame(QStringLiteral("Fuji "), panel);
    netPixFolderEdit = Edit(QStringLiteral("netPixFolderEdit"), fuji);
    browseNetPixButton = MakeDesignButton(Design(), QStringLiteral("Command2(0)"), fuji);
    Form(fuji)->addRow(QStringLiteral("Chemin d'exportation (sur la console NetPix) :"),
        Row(netPixFolderEdit, browseNetPixButton));
    senderIdEdit = Edit(QStringLiteral("senderIdEdit"), fuji, QStringLiteral("VD"));
    Form(fuji)->addRow(
        QStringLiteral("Identifiant du fichier patient émetteur (2 lettres ou chiffres identifiant "
                       "unique du fichier patients) :"),
        senderIdEdit);
    numberingFromEdit = Edit(QStringLiteral("numberingFromEdit"), fuji, QStringLiteral("0"));
    numberingToEdit = Edit(QStringLiteral("numberingToEdit"), fuji, QStringLiteral("1000"));
    auto* range = new QHBoxLayout;
    range->addWidget(numberingFromEdit);
    range->addWidget(new QLabel(QStringLiteral("à"), fuji));
    range->addWidget(numberingToEdit);
    Form(fuji)->addRow(
        QStringLiteral("Plage de numérotation (une plage différente sur chaque RIS) :"), range);
    practitionerEdit = Edit(QStringLiteral("practitionerEdit"), fuji);
    Form(fuji)->addRow(QStringLiteral("Initiales du praticien : "), practitionerEdit);
    Form(fuji)->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* dicom = Frame(QStringLiteral("WorkList DICOM "), panel);
    dicomWorklistFolderEdit = Edit(QStringLiteral("dicomWorklistFolderEdit"), dicom);
    Form(dicom)->addRow(
        QStringLiteral("Dossier des patients attendus (au nom du titre AE de la WorkList ; vide : aucun) :"),
        dicomWorklistFolderEdit);
    Form(dicom)->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(workList);
    layout->addWidget(fuji);
    layout->addWidget(dicom);
    connect(browseNetPixButton, &brixel::Button::Click, this, &OptionsDialog::BrowseNetPixFolder);
    return panel;
}

QWidget* OptionsDialog::PositionPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("positionPanel"));
    auto* frame = new QGroupBox(QStringLiteral("Définir la position de la fenêtre à l'écran : "), panel);
    auto* layout = new QVBoxLayout(frame);
    alwaysOnTopCheck = new QCheckBox(QStringLiteral("Toujours visible"), frame);
    layout->addWidget(alwaysOnTopCheck);
    for (int i = 0; i < 5; ++i) {
        positionOptions[i] = new QRadioButton(frame);
        positionOptions[i]->setObjectName(QStringLiteral("positionOption%1").arg(i));
        layout->addWidget(positionOptions[i]);
    }
    positionOptions[4]->setText(QStringLiteral("Position définie par l'utilisateur"));
    positionOptions[4]->setToolTip(QStringLiteral("La position actuelle sera sauvegardée"));
    (new QVBoxLayout(panel))->addWidget(frame);
    return panel;
}

void OptionsDialog::SelectTab(int index)
{
    for (int i = 0; i < 4; ++i) {
        const bool selected = i == index;
        const int left = (selected ? PanelLeftTwips : HiddenLeftTwips) / TwipsPerPixel;
        panels[i]->move(left, PanelTop);
        panels[i]->setEnabled(selected);
    }
    if (tabs->currentIndex() != index)
        tabs->setCurrentIndex(index);
}

int OptionsDialog::currentTab() const
{
    return tabs->currentIndex();
}

void OptionsDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        SelectTab((currentTab() + 1) % tabs->count());
        return;
    }
    QDialog::keyPressEvent(event);
}

void OptionsDialog::Load()
{
    SelectTab(0);
    worklistConsoleBox->addItem(QStringLiteral("Fuji NetPix"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const OptionsValues v = LoadOptions(appValues().DefaultPrinterName);
    databasePathEdit->setText(v.ConquestPath);
    imageFolderEdit->setText(v.ConquestImagePath);
    letterheadEdit->setText(v.Entete);
    invertGreyCheck->setChecked(v.Inverse);
    labelsCheck->setChecked(v.IsEtiquette);
    labelsFrame->setEnabled(v.IsEtiquette);
    autoPrintLabelsCheck->setChecked(v.EtiquetteAutoPrint);
    labelCountBox->setCurrentText(v.NbEtiquette);
    Tick(labelKindOptions, v.FormatEtiquette);
    netPixFolderEdit->setText(v.FujiCheminNetpix);
    practitionerEdit->setText(v.FujiPraticien);
    dicomWorklistFolderEdit->setText(v.DicomWorklistFolder);
    alwaysOnTopCheck->setChecked(v.LetOnTop);
    Tick(positionOptions, v.Position);
    FillPrinterBoxes(v);
}

void OptionsDialog::FillPrinterBoxes(const OptionsValues& v)
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    for (QComboBox* box : {imagePrinterBox, labelPrinterBox, reportPrinterBox})
        box->addItems(printers);
    imagePrinterBox->setCurrentText(v.ImagePrinter);
    labelPrinterBox->setCurrentText(v.EtiquettePrinter);
    reportPrinterBox->setCurrentText(v.CR_Printer);
}

OptionsValues OptionsDialog::values() const
{
    OptionsValues v;
    v.ConquestPath = databasePathEdit->text();
    v.ConquestImagePath = imageFolderEdit->text();
    v.Entete = letterheadEdit->text();
    v.Inverse = invertGreyCheck->isChecked();
    v.IsEtiquette = labelsCheck->isChecked();
    v.EtiquetteAutoPrint = autoPrintLabelsCheck->isChecked();
    v.ImagePrinter = imagePrinterBox->currentText();
    v.EtiquettePrinter = labelPrinterBox->currentText();
    v.CR_Printer = reportPrinterBox->currentText();
    v.NbEtiquette = labelCountBox->currentText();
    v.FormatEtiquette = FirstTicked(labelKindOptions);
    v.FujiCheminNetpix = netPixFolderEdit->text();
    v.FujiPraticien = practitionerEdit->text();
    v.DicomWorklistFolder = dicomWorklistFolderEdit->text();
    v.LetOnTop = alwaysOnTopCheck->isChecked();
    v.Position = FirstTicked(positionOptions);
    return v;
}

void OptionsDialog::Apply()
{
    MainWindowPlace place;
    if (mainWindow_) {
        place.normalState = !(mainWindow_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
        place.leftTwips = mainWindow_->x() * TwipsPerPixel;
        place.topTwips = mainWindow_->y() * TwipsPerPixel;
    }
    SaveOptions(values(), place);
    // The running values follow; what the start-up set itself is kept.
    AppValues& running = appValues();
    AppValues fresh = ReadAppValues(running.DefaultPrinterName);
    fresh.BurnStagingDir = running.BurnStagingDir;
    fresh.DicomExportDir = running.DicomExportDir;
    fresh.MonitorInterval = running.MonitorInterval;
    fresh.TodayDate = running.TodayDate;
    running = fresh;
    if (relayout_)
        relayout_();
}

void OptionsDialog::BrowseDatabase()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Base de données");
    request.startPath = databasePathEdit->text();
    request.filters = QStringList{QStringLiteral("Base de données Conquest (*.db3 *.sqlite *.db)"),
        QStringLiteral("Base de données (*.mdb)"), QStringLiteral("Tous les fichiers (*)")};
    const QString chosen = dialogs().file(request);
    if (!chosen.isEmpty())
        databasePathEdit->setText(chosen);
}

void OptionsDialog::BrowseNetPixFolder()
{
    // A folder dialog: the console's folder may well be empty.
    FileRequest request;
    request.kind = FileRequest::Kind::Folder;
    request.title = QStringLiteral("Choisir le répertoire");
    request.startPath = netPixFolderEdit->text();
    QString chosen = dialogs().file(request);
    if (chosen.isEmpty())
        return;
    if (!chosen.endsWith(u'/'))
        chosen += u'/';
    netPixFolderEdit->setText(chosen);
}

} // namespace vexa
