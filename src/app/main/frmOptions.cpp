#include "frmOptions.h"

#include "AppValues.h"
#include "DesignButtons.h"
#include "DialogService.h"
#include "Printers.h"
#include "Settings.h"

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
#include <QVBoxLayout>

namespace vexa {
namespace {

constexpr int PanelLeftTwips = 210;
constexpr int HiddenLeftTwips = -21000;
constexpr int TwipsPerPixel = 15;
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
    return LoadDesign(QStringLiteral(":/app/frmOptions.design"));
}

} // namespace

frmOptions::frmOptions(QWidget* mainWindow, QWidget* parent)
    : QDialog(parent)
    , mainWindow_(mainWindow)
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Configuration..."));
    // Kept above the full-screen main window, which may itself be topmost.
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setFixedSize(PanelSize.width() + 30, PanelSize.height() + 110);
    picOptions[0] = ConquestPanel();
    picOptions[1] = PrintPanel();
    picOptions[2] = DicomPrintPanel();
    picOptions[3] = WorkListPanel();
    picOptions[6] = PositionPanel();
    for (QWidget* panel : picOptions) {
        if (panel)
            panel->setGeometry(QRect(QPoint(HiddenLeftTwips / TwipsPerPixel, PanelTop), PanelSize));
    }
    picOptions[6]->hide(); // belongs to no tab
    BuildTabs();
    BuildButtons();
    Load();
}

void frmOptions::BuildTabs()
{
    tbsOptions = new QTabBar(this);
    tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    const QStringList texts{QStringLiteral("Serveur Conquest"),
        QStringLiteral("Modalités d'impression Windows®..."), QStringLiteral("Impression DICOM..."),
        QStringLiteral("WorkList...")};
    const QStringList tips{QStringLiteral("Configurer les chemins du serveur Conquest à surveiller"),
        QStringLiteral("Définir les modalités d'impression"),
        QStringLiteral("Définir les modalités d'impression DICOM"),
        QStringLiteral("Configuration de la WorkList")};
    for (int i = 0; i < texts.size(); ++i) {
        tbsOptions->addTab(texts[i]);
        tbsOptions->setTabToolTip(i, tips[i]);
    }
    tbsOptions->setGeometry(10, 8, PanelSize.width(), PanelTop - 8);
    connect(tbsOptions, &QTabBar::currentChanged, this, &frmOptions::SelectTab);
}

void frmOptions::BuildButtons()
{
    const brixel::DesignFile design = Design();
    cmdOK = MakeDesignButton(design, QStringLiteral("cmdOK"), this);
    cmdCancel = MakeDesignButton(design, QStringLiteral("cmdCancel"), this);
    cmdApply = MakeDesignButton(design, QStringLiteral("cmdApply"), this);
    const int y = PanelTop + PanelSize.height() + 20;
    int x = width() - 10;
    for (brixel::Button* button : {cmdApply, cmdCancel, cmdOK}) {
        x -= button->width() + 10;
        button->move(x, y);
    }
    connect(cmdOK, &brixel::Button::Click, this, [this] {
        Apply();
        accept();
    });
    connect(cmdCancel, &brixel::Button::Click, this, &QDialog::reject);
    connect(cmdApply, &brixel::Button::Click, this, &frmOptions::Apply);
}

QWidget* frmOptions::ConquestPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picOptions(0)"));
    auto* frame = Frame(QStringLiteral("Configuration du MicroPACS Serveur CONQUEST"), panel);
    Text11 = Edit(QStringLiteral("Text11"), frame);
    Command1 = MakeDesignButton(Design(), QStringLiteral("Command1"), frame);
    auto* row = new QHBoxLayout;
    row->addWidget(Text11);
    row->addWidget(Command1);
    Form(frame)->addRow(QStringLiteral("Base de données : "), row);
    Text2 = Edit(QStringLiteral("Text2"), frame);
    Form(frame)->addRow(QStringLiteral("Répertoire images Dicom : "), Text2);
    (new QVBoxLayout(panel))->addWidget(frame, 0, Qt::AlignTop);
    connect(Command1, &brixel::Button::Click, this, &frmOptions::BrowseDatabase);
    connect(Text11, &QLineEdit::textChanged, this,
        [this](const QString& text) { Text2->setText(ImageFolderForDatabase(text)); });
    return panel;
}

QWidget* frmOptions::LabelsFrame(QWidget* parent)
{
    FrameEtiquettes = Frame(QStringLiteral("Etiquettes :"), parent);
    Check4 = new QCheckBox(FrameEtiquettes);
    Form(FrameEtiquettes)
        ->addRow(QStringLiteral("Impression automatique des étiquettes  à la gravure :"), Check4);
    Combo1[1] = Combo(QStringLiteral("Combo1(1)"), FrameEtiquettes);
    Form(FrameEtiquettes)->addRow(QStringLiteral("Choix de l'imprimante :"), Combo1[1]);
    Option2[0] = new QRadioButton(QStringLiteral("Entête, Date, Nom Prénom"), FrameEtiquettes);
    Option2[1] = new QRadioButton(QStringLiteral("Date, Nom Prénom"), FrameEtiquettes);
    auto* kinds = new QVBoxLayout;
    kinds->addWidget(Option2[0]);
    kinds->addWidget(Option2[1]);
    Form(FrameEtiquettes)->addRow(QStringLiteral("Type d'étiquette : "), kinds);
    Combo2 = Combo(QStringLiteral("Combo2"), FrameEtiquettes);
    for (int n = 1; n <= 10; ++n)
        Combo2->addItem(QString::number(n));
    Form(FrameEtiquettes)->addRow(QStringLiteral("Nombre d'étiquettes : "), Combo2);
    return FrameEtiquettes;
}

QWidget* frmOptions::PrintPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picOptions(1)"));
    auto* images = Frame(QStringLiteral("Impression Windows des images DICOM "), panel);
    Check1 = new QCheckBox(images);
    Form(images)->addRow(QStringLiteral("Inversion des niveaux de gris :"), Check1);
    Text4 = Edit(QStringLiteral("Text4"), images);
    Form(images)->addRow(QStringLiteral("Entête sur impression : "), Text4);
    Combo1[0] = Combo(QStringLiteral("Combo1(0)"), images);
    Form(images)->addRow(QStringLiteral("Choix de l'imprimante :"), Combo1[0]);
    Check3 = new QCheckBox(QStringLiteral("Etiquettes :"), panel);
    connect(Check3, &QCheckBox::toggled, this, [this](bool on) { FrameEtiquettes->setEnabled(on); });
    auto* reports = Frame(QStringLiteral("Comptes-rendus : "), panel);
    Combo1[2] = Combo(QStringLiteral("Combo1(2)"), reports);
    Form(reports)->addRow(QStringLiteral("Choix de l'imprimante :"), Combo1[2]);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(images);
    layout->addWidget(Check3);
    layout->addWidget(LabelsFrame(panel));
    layout->addWidget(reports);
    return panel;
}

QWidget* frmOptions::DicomPrintPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picOptions(2)"));
    auto* frame = new QGroupBox(QStringLiteral("Impression DICOM"), panel);
    (new QVBoxLayout(frame))
        ->addWidget(new QLabel(QStringLiteral("Option non disponible dans catte version "), frame));
    (new QVBoxLayout(panel))->addWidget(frame, 0, Qt::AlignTop);
    return panel;
}

QWidget* frmOptions::WorkListPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picOptions(3)"));
    auto* workList = Frame(QStringLiteral("WorkList : "), panel);
    Combo1[3] = Combo(QStringLiteral("Combo1(3)"), workList);
    Form(workList)->addRow(QStringLiteral("Console de production d'image DICOM : "), Combo1[3]);
    auto* fuji = Frame(QStringLiteral("Fuji "), panel);
    Text1[1] = Edit(QStringLiteral("Text1(1)"), fuji);
    Command2_0 = MakeDesignButton(Design(), QStringLiteral("Command2(0)"), fuji);
    auto* row = new QHBoxLayout;
    row->addWidget(Text1[1]);
    row->addWidget(Command2_0);
    Form(fuji)->addRow(QStringLiteral("Chemin d'exportation (sur la console NetPix) :"), row);
    Text1[3] = Edit(QStringLiteral("Text1(3)"), fuji, QStringLiteral("VD"));
    Form(fuji)->addRow(
        QStringLiteral("Identifiant du fichier patient émetteur (2 lettres ou chiffres identifiant "
                       "unique du fichier patients) :"),
        Text1[3]);
    Text1[8] = Edit(QStringLiteral("Text1(8)"), fuji, QStringLiteral("0"));
    Text1[9] = Edit(QStringLiteral("Text1(9)"), fuji, QStringLiteral("1000"));
    auto* range = new QHBoxLayout;
    range->addWidget(Text1[8]);
    range->addWidget(new QLabel(QStringLiteral("à"), fuji));
    range->addWidget(Text1[9]);
    Form(fuji)->addRow(
        QStringLiteral("Plage de numérotation (une plage différente sur chaque RIS) :"), range);
    Text1[10] = Edit(QStringLiteral("Text1(10)"), fuji);
    Form(fuji)->addRow(QStringLiteral("Initiales du praticien : "), Text1[10]);
    Form(fuji)->setRowWrapPolicy(QFormLayout::WrapAllRows);
    auto* layout = new QVBoxLayout(panel);
    layout->addWidget(workList);
    layout->addWidget(fuji);
    connect(Command2_0, &brixel::Button::Click, this, &frmOptions::BrowseNetPixFolder);
    return panel;
}

QWidget* frmOptions::PositionPanel()
{
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("picOptions(6)"));
    auto* frame = new QGroupBox(QStringLiteral("Définir la position de la fenêtre à l'écran : "), panel);
    auto* layout = new QVBoxLayout(frame);
    Check2 = new QCheckBox(QStringLiteral("Toujours visible"), frame);
    layout->addWidget(Check2);
    for (int i = 0; i < 5; ++i) {
        Option1[i] = new QRadioButton(frame);
        Option1[i]->setObjectName(QStringLiteral("Option1(%1)").arg(i));
        layout->addWidget(Option1[i]);
    }
    Option1[4]->setText(QStringLiteral("Position définie par l'utilisateur"));
    Option1[4]->setToolTip(QStringLiteral("La position actuelle sera sauvegardée"));
    (new QVBoxLayout(panel))->addWidget(frame);
    return panel;
}

void frmOptions::SelectTab(int index)
{
    for (int i = 0; i < 4; ++i) {
        const bool selected = i == index;
        const int left = (selected ? PanelLeftTwips : HiddenLeftTwips) / TwipsPerPixel;
        picOptions[i]->move(left, PanelTop);
        picOptions[i]->setEnabled(selected);
    }
    if (tbsOptions->currentIndex() != index)
        tbsOptions->setCurrentIndex(index);
}

int frmOptions::currentTab() const
{
    return tbsOptions->currentIndex();
}

void frmOptions::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        SelectTab((currentTab() + 1) % tbsOptions->count());
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmOptions::Load()
{
    SelectTab(0);
    Combo1[3]->addItem(QStringLiteral("Fuji NetPix"));
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    const OptionsValues v = LoadOptions(appValues().DefaultPrinterName);
    Text11->setText(v.ConquestPath);
    Text2->setText(v.ConquestImagePath);
    Text4->setText(v.Entete);
    Check1->setChecked(v.Inverse);
    Check3->setChecked(v.IsEtiquette);
    FrameEtiquettes->setEnabled(v.IsEtiquette);
    Check4->setChecked(v.EtiquetteAutoPrint);
    Combo2->setCurrentText(v.NbEtiquette);
    Tick(Option2, v.FormatEtiquette);
    Text1[1]->setText(v.FujiCheminNetpix);
    Text1[10]->setText(v.FujiPraticien);
    Check2->setChecked(v.LetOnTop);
    Tick(Option1, v.Position);
    FillPrinterBoxes(v);
}

void frmOptions::FillPrinterBoxes(const OptionsValues& v)
{
    const QStringList printers = QPrinterInfo::availablePrinterNames();
    for (int i = 0; i < 3; ++i)
        Combo1[i]->addItems(printers);
    Combo1[0]->setCurrentText(v.ImagePrinter);
    Combo1[1]->setCurrentText(v.EtiquettePrinter);
    Combo1[2]->setCurrentText(v.CR_Printer);
}

OptionsValues frmOptions::values() const
{
    OptionsValues v;
    v.ConquestPath = Text11->text();
    v.ConquestImagePath = Text2->text();
    v.Entete = Text4->text();
    v.Inverse = Check1->isChecked();
    v.IsEtiquette = Check3->isChecked();
    v.EtiquetteAutoPrint = Check4->isChecked();
    v.ImagePrinter = Combo1[0]->currentText();
    v.EtiquettePrinter = Combo1[1]->currentText();
    v.CR_Printer = Combo1[2]->currentText();
    v.NbEtiquette = Combo2->currentText();
    v.FormatEtiquette = FirstTicked(Option2);
    v.FujiCheminNetpix = Text1[1]->text();
    v.FujiPraticien = Text1[10]->text();
    v.LetOnTop = Check2->isChecked();
    v.Position = FirstTicked(Option1);
    return v;
}

void frmOptions::Apply()
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

void frmOptions::BrowseDatabase()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Base de données");
    request.startPath = Text11->text();
    request.filters = QStringList{QStringLiteral("Base de données Conquest (*.db3 *.sqlite *.db)"),
        QStringLiteral("Base de données (*.mdb)"), QStringLiteral("Tous les fichiers (*)")};
    const QString chosen = dialogs().file(request);
    if (!chosen.isEmpty())
        Text11->setText(chosen);
}

void frmOptions::BrowseNetPixFolder()
{
    FileRequest request;
    request.kind = FileRequest::Kind::Open;
    request.title = QStringLiteral("Choisir le répertoire");
    request.startPath = Text1[1]->text().isEmpty()
        ? QStringLiteral("Choisir le répertoire")
        : Text1[1]->text() + QStringLiteral("Choisir le répertoire");
    request.filters = QStringList{QStringLiteral("Tous les fichiers (*)")};
    const QString chosen = dialogs().file(request);
    if (!chosen.isEmpty())
        Text1[1]->setText(FolderOfChosenFile(chosen));
}

} // namespace vexa
