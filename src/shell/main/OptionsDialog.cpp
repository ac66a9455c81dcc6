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

QGroupBox* titledFrame(const QString& title, QWidget* parent)
{
    auto* frame = new QGroupBox(title, parent);
    new QFormLayout(frame);
    return frame;
}

QFormLayout* form(QGroupBox* frame)
{
    return static_cast<QFormLayout*>(frame->layout());
}

QLineEdit* edit(const QString& name, QWidget* parent, const QString& text = {})
{
    auto* edit = new QLineEdit(text, parent);
    edit->setObjectName(name);
    return edit;
}

// A path box with its browse button beside it.
QHBoxLayout* row(QLineEdit* edit, QWidget* button)
{
    auto* row = new QHBoxLayout;
    row->addWidget(edit);
    row->addWidget(button);
    return row;
}

QComboBox* combo(const QString& name, QWidget* parent)
{
    auto* combo = new QComboBox(parent);
    combo->setObjectName(name);
    combo->setEditable(true);
    return combo;
}

// The number of the first ticked option, or the count when none is.
template <int N> int firstTicked(QRadioButton* const (&options)[N])
{
    for (int i = 0; i < N; ++i) {
        if (options[i]->isChecked())
            return i;
    }
    return N;
}

// Ticks option `index`; any other number leaves them all unticked.
template <int N> void tick(QRadioButton* const (&options)[N], int index)
{
    for (int i = 0; i < N; ++i) {
        options[i]->setAutoExclusive(false);
        options[i]->setChecked(i == index);
        options[i]->setAutoExclusive(true);
    }
}

brixel::DesignFile optionsDesign()
{
    return loadDesign(QStringLiteral(":/app/OptionsDialog.design"));
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
    panels[0] = conquestPanel();
    panels[1] = printPanel();
    panels[2] = dicomPrintPanel();
    panels[3] = workListPanel();
    panels[6] = positionPanel();
    for (QWidget* panel : panels) {
        if (panel)
            panel->setGeometry(QRect(QPoint(HiddenLeftTwips / TwipsPerPixel, PanelTop), PanelSize));
    }
    panels[6]->hide(); // belongs to no tab
    buildTabs();
    buildButtons();
    load();
}

void OptionsDialog::buildTabs()
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
    connect(tabs, &QTabBar::currentChanged, this, &OptionsDialog::selectTab);
}

void OptionsDialog::buildButtons()
{
    const brixel::DesignFile design = optionsDesign();
    okButton = makeDesignButton(design, QStringLiteral("cmdOK"), this);
    cancelButton = makeDesignButton(design, QStringLiteral("cmdCancel"), this);
    applyButton = makeDesignButton(design, QStringLiteral("cmdApply"), this);
    const int y = PanelTop + PanelSize.height() + 20;
    int x = width() - 10;
    for (brixel::Button* button : {applyButton, cancelButton, okButton}) {
        x -= button->width() + 10;
        button->move(x, y);
    }
    connect(okButton, &brixel::Button::Click, this, [this] {
        apply();
        accept();
    });
    connect(cancelButton, &brixel::Button::Click, this, &QDialog::reject);
    connect(applyButton, &brixel::Button::Click, this, &OptionsDialog::apply);
}

QWidget* OptionsDialog::conquestPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("conquestPanel"));
    auto* frame = titledFrame(QStringLiteral("Configuration du MicroPACS Serveur CONQUEST"), panel);
    databasePathEdit = edit(QStringLiteral("databasePathEdit"), frame);
    browseDatabaseButton = makeDesignButton(optionsDesign(), QStringLiteral("Command1"), frame);
    form(frame)->addRow(QStringLiteral("Base de données : "), row(databasePathEdit, browseDatabaseButton));
    passwordNoteLabel = new QLabel(frame);
    passwordNoteLabel->setObjectName(QStringLiteral("passwordNoteLabel"));
    passwordNoteLabel->setWordWrap(true);
    passwordNoteLabel->setVisible(false);
    form(frame)->addRow(QString(), passwordNoteLabel);
    imageFolderEdit = edit(QStringLiteral("imageFolderEdit"), frame);
    form(frame)->addRow(QStringLiteral("Répertoire images Dicom : "), imageFolderEdit);
    (new QVBoxLayout(panel))->addWidget(frame, 0, Qt::AlignTop);
    connect(browseDatabaseButton, &brixel::Button::Click, this, &OptionsDialog::browseDatabase);
    connect(databasePathEdit, &QLineEdit::textChanged, this,
        [this](const QString& text) { imageFolderEdit->setText(imageFolderForDatabase(text)); });
    connect(databasePathEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        const QString note = passwordNote(text);
        passwordNoteLabel->setText(note);
        passwordNoteLabel->setVisible(!note.isEmpty());
    });
    return panel;
}

QString OptionsDialog::passwordNote(const QString& conquestPath)
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

QWidget* OptionsDialog::labelsGroup(QWidget* parent)
{
    labelsFrame = titledFrame(QStringLiteral("Etiquettes :"), parent);
    autoPrintLabelsCheck = new QCheckBox(labelsFrame);
    form(labelsFrame)
        ->addRow(
            QStringLiteral("Impression automatique des étiquettes  à la gravure :"), autoPrintLabelsCheck);
    labelPrinterBox = combo(QStringLiteral("labelPrinterBox"), labelsFrame);
    form(labelsFrame)->addRow(QStringLiteral("Choix de l'imprimante :"), labelPrinterBox);
    labelKindOptions[0] = new QRadioButton(QStringLiteral("Entête, Date, Nom Prénom"), labelsFrame);
    labelKindOptions[1] = new QRadioButton(QStringLiteral("Date, Nom Prénom"), labelsFrame);
    auto* kinds = new QVBoxLayout;
    kinds->addWidget(labelKindOptions[0]);
    kinds->addWidget(labelKindOptions[1]);
    form(labelsFrame)->addRow(QStringLiteral("Type d'étiquette : "), kinds);
    labelCountBox = combo(QStringLiteral("labelCountBox"), labelsFrame);
    for (int n = 1; n <= 10; ++n)
        labelCountBox->addItem(QString::number(n));
    form(labelsFrame)->addRow(QStringLiteral("Nombre d'étiquettes : "), labelCountBox);
    return labelsFrame;
}

QWidget* OptionsDialog::printPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("printPanel"));
    auto* images = titledFrame(QStringLiteral("Impression Windows des images DICOM "), panel);
    invertGreyCheck = new QCheckBox(images);
    form(images)->addRow(QStringLiteral("Inversion des niveaux de gris :"), invertGreyCheck);
    letterheadEdit = edit(QStringLiteral("letterheadEdit"), images);
    form(images)->addRow(QStringLiteral("Entête sur impression : "), letterheadEdit);
    imagePrinterBox = combo(QStringLiteral("imagePrinterBox"), images);
    form(images)->addRow(QStringLiteral("Choix de l'imprimante :"), imagePrinterBox);
    labelsCheck = new QCheckBox(QStringLiteral("Etiquettes :"), panel);
    connect(labelsCheck, &QCheckBox::toggled, this, [this](bool on) { labelsFrame->setEnabled(on); });
    auto* reports = titledFrame(QStringLiteral("Comptes-rendus : "), panel);
    reportPrinterBox = combo(QStringLiteral("reportPrinterBox"), reports);
    form(reports)->addRow(QStringLiteral("Choix de l'imprimante :"), reportPrinterBox);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(images);
    layout->addWidget(labelsCheck);
    layout->addWidget(labelsGroup(panel));
    layout->addWidget(reports);
    return panel;
}

QWidget* OptionsDialog::dicomPrintPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("dicomPrintPanel"));
    auto* frame = new QGroupBox(QStringLiteral("Impression DICOM"), panel);
    (new QVBoxLayout(frame))
        ->addWidget(new QLabel(QStringLiteral("Option non disponible dans cette version "), frame));
    (new QVBoxLayout(panel))->addWidget(frame, 0, Qt::AlignTop);
    return panel;
}

QWidget* OptionsDialog::workListPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("workListPanel"));
    auto* workList = titledFrame(QStringLiteral("WorkList : "), panel);
    worklistConsoleBox = combo(QStringLiteral("worklistConsoleBox"), workList);
    form(workList)->addRow(QStringLiteral("Console de production d'image DICOM : "), worklistConsoleBox);
    auto* fuji = titledFrame(QStringLiteral("Fuji "), panel);
    netPixFolderEdit = edit(QStringLiteral("netPixFolderEdit"), fuji);
    browseNetPixButton = makeDesignButton(optionsDesign(), QStringLiteral("Command2(0)"), fuji);
    form(fuji)->addRow(QStringLiteral("Chemin d'exportation (sur la console NetPix) :"),
        row(netPixFolderEdit, browseNetPixButton));
    senderIdEdit = edit(QStringLiteral("senderIdEdit"), fuji, QStringLiteral("VD"));
    form(fuji)->addRow(
        QStringLiteral("Identifiant du fichier patient émetteur (2 lettres ou chiffres identifiant "
                       "unique du fichier patients) :"),
        senderIdEdit);
    numberingFromEdit = edit(QStringLiteral("numberingFromEdit"), fuji, QStringLiteral("0"));
    numberingToEdit = edit(QStringLiteral("numberingToEdit"), fuji, QStringLiteral("1000"));
    auto* range = new QHBoxLayout;
    range->addWidget(numberingFromEdit);
    range->addWidget(new QLabel(QStringLiteral("à"), fuji));
    range->addWidget(numberingToEdit);
    form(fuji)->addRow(
        QStringLiteral("Plage de numérotation (une plage différente sur chaque RIS) :"), range);
    practitionerEdit = edit(QStringLiteral("practitionerEdit"), fuji);
    form(fuji)->addRow(QStringLiteral("Initiales du praticien : "), practitionerEdit);
    form(fuji)->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* dicom = titledFrame(QStringLiteral("WorkList DICOM "), panel);
    dicomWorklistFolderEdit = edit(QStringLiteral("dicomWorklistFolderEdit"), dicom);
    form(dicom)->addRow(
        QStringLiteral("Dossier des patients attendus (au nom du titre AE de la WorkList ; vide : aucun) :"),
        dicomWorklistFolderEdit);
    form(dicom)->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(workList);
    layout->addWidget(fuji);
    layout->addWidget(dicom);
    connect(browseNetPixButton, &brixel::Button::Click, this, &OptionsDialog::browseNetPixFolder);
    return panel;
}

QWidget* OptionsDialog::positionPanel()
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

void OptionsDialog::selectTab(int index)
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
        selectTab((currentTab() + 1) % tabs->count());
        return;
    }
    QDialog::keyPressEvent(event);
}

void OptionsDialog::load()
{
    selectTab(0);
    worklistConsoleBox->addItem(QStringLiteral("Fuji NetPix"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const OptionsValues v = loadOptions(appValues().defaultPrinterName);
    databasePathEdit->setText(v.conquestPath);
    imageFolderEdit->setText(v.conquestImagePath);
    letterheadEdit->setText(v.entete);
    invertGreyCheck->setChecked(v.inverse);
    labelsCheck->setChecked(v.isEtiquette);
    labelsFrame->setEnabled(v.isEtiquette);
    autoPrintLabelsCheck->setChecked(v.etiquetteAutoPrint);
    labelCountBox->setCurrentText(v.nbEtiquette);
    tick(labelKindOptions, v.formatEtiquette);
    netPixFolderEdit->setText(v.fujiCheminNetpix);
    practitionerEdit->setText(v.fujiPraticien);
    dicomWorklistFolderEdit->setText(v.dicomWorklistFolder);
    alwaysOnTopCheck->setChecked(v.letOnTop);
    tick(positionOptions, v.position);
    fillPrinterBoxes(v);
}

void OptionsDialog::fillPrinterBoxes(const OptionsValues& v)
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    for (QComboBox* box : {imagePrinterBox, labelPrinterBox, reportPrinterBox})
        box->addItems(printers);
    imagePrinterBox->setCurrentText(v.imagePrinter);
    labelPrinterBox->setCurrentText(v.etiquettePrinter);
    reportPrinterBox->setCurrentText(v.crPrinter);
}

OptionsValues OptionsDialog::values() const
{
    OptionsValues v;
    v.conquestPath = databasePathEdit->text();
    v.conquestImagePath = imageFolderEdit->text();
    v.entete = letterheadEdit->text();
    v.inverse = invertGreyCheck->isChecked();
    v.isEtiquette = labelsCheck->isChecked();
    v.etiquetteAutoPrint = autoPrintLabelsCheck->isChecked();
    v.imagePrinter = imagePrinterBox->currentText();
    v.etiquettePrinter = labelPrinterBox->currentText();
    v.crPrinter = reportPrinterBox->currentText();
    v.nbEtiquette = labelCountBox->currentText();
    v.formatEtiquette = firstTicked(labelKindOptions);
    v.fujiCheminNetpix = netPixFolderEdit->text();
    v.fujiPraticien = practitionerEdit->text();
    v.dicomWorklistFolder = dicomWorklistFolderEdit->text();
    v.letOnTop = alwaysOnTopCheck->isChecked();
    v.position = firstTicked(positionOptions);
    return v;
}

void OptionsDialog::apply()
{
    MainWindowPlace place;
    if (mainWindow_) {
        place.normalState = !(mainWindow_->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized));
        place.leftTwips = mainWindow_->x() * TwipsPerPixel;
        place.topTwips = mainWindow_->y() * TwipsPerPixel;
    }
    saveOptions(values(), place);
    // The running values follow; what the start-up set itself is kept.
    AppValues& running = appValues();
    AppValues fresh = readAppValues(running.defaultPrinterName);
    fresh.burnStagingDir = running.burnStagingDir;
    fresh.dicomExportDir = running.dicomExportDir;
    fresh.monitorInterval = running.monitorInterval;
    fresh.todayDate = running.todayDate;
    running = fresh;
    if (relayout_)
        relayout_();
}

void OptionsDialog::browseDatabase()
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

void OptionsDialog::browseNetPixFolder()
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
