#include "InterpretationWindow.h"
#include "ImageFiles.h"

#include "DialogService.h"
#include "DicomView.h"
#include "ImageRows.h"
#include "LatestImageLoader.h"
#include "Numeric.h"
#include "QueryCatalogue.h"
#include "RecordSet.h"
#include "ViewerTexts.h"

#include <brixel/Button.h>

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace vexa {

namespace {

constexpr int ToolColumn = 270;
constexpr int Margin = 8;

brixel::Button* MakeButton(const QString& name, const QString& caption, const QString& icon, QWidget* parent)
{
    auto* button = new brixel::Button(parent, name);
    button->initProperties();
    button->setCaption(caption);
    if (!icon.isEmpty()) {
        // Pressed, the button keeps its icon unless it is given one of its own.
        button->setPicture(brixel::Picture::fromImage(QImage(icon)));
        button->setPictureDown(button->picture());
    }
    button->setFixedSize(TwipsToPixels(3600), TwipsToPixels(600));
    button->setBackColor(InterpretationWindow::ToolColour);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

const QString InterpretationWindow::WaitingText
    = QStringLiteral("Veuillez patienter :  Chargement des clichés en cours...");
const QString InterpretationWindow::CloseQuestion = QStringLiteral(
    "Voulez-vous quitter l'interprétation ?\r\nLes images affichées et leurs réglages seront perdus.");
const QColor InterpretationWindow::ToolColour(0xC0, 0xC0, 0xC0); // &HC0C0C0
const QColor InterpretationWindow::PressedToolColour(0x90, 0xB0, 0xFF); // &HFFB090, red in the low byte

InterpretationWindow::InterpretationWindow(
    const Exam& exam, const QString& conquestPath, const QString& imageRoot, QWidget* parent)
    : QDialog(parent)
    , exam_(exam)
    , loader(new LatestImageLoader(
          [this](const QStringList& paths, std::vector<DicomLoadResult> results) {
              pageDecoded(paths, std::move(results));
          },
          this))
{
    setObjectName(QStringLiteral("frmInterpretation"));
    setWindowTitle(QStringLiteral("Interprétation"));
    setModal(true);
    // The exam's own images, in the exam page's order: read here by the
    // series' key, whatever the main window shows meanwhile.
    RecordSet images;
    images.setDatabasePath(conquestPath);
    images.setRecordSource(Sql::ImagesOfSeries(exam.seriesUid));
    if (exam.isValid() && images.requery()) {
        for (images.moveFirst(); !images.eof(); images.moveNext())
            ImagePaths << StoredImagePath(imageRoot, images.fieldText(QStringLiteral("ObjectFile")));
        // The patient as the images name it, when the exam given does not.
        images.moveFirst();
        if (exam_.patientName.isEmpty() && !images.eof())
            exam_.patientName = images.fieldText(QStringLiteral("PatientName"));
        if (exam_.examDate.isEmpty() && !images.eof())
            exam_.examDate = ExamDayOfImage(images);
    }
    buildControls();
    const QString patient = ViewerTitleLine(exam_.patientName, exam_.examDate);
    if (!patient.isEmpty())
        setWindowTitle(QStringLiteral("Interprétation - ") + exam_.patientName);
    PatientLabel->setText(patient);
    resize(1280, 900);
}

bool InterpretationWindow::loading() const
{
    return loader->busy();
}

int InterpretationWindow::exec()
{
    if (ImagePaths.isEmpty())
        return QDialog::Rejected;
    return QDialog::exec();
}

void InterpretationWindow::buildControls()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(colours);
    setAutoFillBackground(true);

    Picture1 = new SlotPage(this);
    Picture1->setStyleSheet(QStringLiteral("QFrame#Picture1 { background: black; }"));
    Picture1->hide();
    connect(Picture1, &SlotPage::slotReleased, this, &InterpretationWindow::slotClicked);

    Picture2 = new QWidget(this);
    Picture2->setObjectName(QStringLiteral("Picture2"));
    Picture2->setAutoFillBackground(true);
    QPalette panel = Picture2->palette();
    panel.setColor(QPalette::Window, QColor(192, 192, 192));
    Picture2->setPalette(panel);
    auto* tools = new QVBoxLayout(Picture2);
    PatientLabel = new QLabel(Picture2);
    PatientLabel->setObjectName(QStringLiteral("PatientLabel"));
    PatientLabel->setWordWrap(true);
    QFont patientFont = PatientLabel->font();
    patientFont.setBold(true);
    PatientLabel->setFont(patientFont);
    tools->addWidget(PatientLabel);
    for (int o = 0; o < 2; ++o) {
        const PageOrientation orientation = o == 0 ? PageOrientation::Landscape : PageOrientation::Portrait;
        auto& options = o == 0 ? Option3 : Option2;
        auto* grid = new QGridLayout;
        auto* group = new QButtonGroup(this);
        for (int k = 0; k < LayoutCount; ++k) {
            const PageShape shape = LayoutShape(orientation, k);
            auto* icon = new QLabel(Picture2);
            icon->setObjectName(QStringLiteral("%1_%2")
                                    .arg(o == 0 ? QStringLiteral("Image4") : QStringLiteral("Image3"))
                                    .arg(k));
            icon->setPixmap(LayoutIcon(shape, orientation));
            icon->installEventFilter(this);
            QRadioButton*& option = options[static_cast<std::size_t>(k)];
            option = new QRadioButton(QString::number(shape.count()), Picture2);
            option->setObjectName(QStringLiteral("%1_%2")
                                      .arg(o == 0 ? QStringLiteral("Option3") : QStringLiteral("Option2"))
                                      .arg(k));
            option->setFocusPolicy(Qt::NoFocus);
            group->addButton(option);
            if (o == 0)
                connect(option, &QRadioButton::clicked, this, [this, k] { chooseLandscapeLayout(k); });
            else
                connect(option, &QRadioButton::clicked, this, [this, k] { choosePortraitLayout(k); });
            grid->addWidget(icon, 0, 2 * k);
            grid->addWidget(option, 1, 2 * k);
        }
        tools->addLayout(grid);
    }
    const struct {
        int tool;
        const char* caption;
        const char* up;
        const char* down;
    } toolButtons[]
        = {{1, "Contraste/Luminosité", ":/viewer/icons/contrast.png", ":/viewer/icons/contrast_down.png"},
            {3, "Loupe", ":/viewer/icons/loupe.png", ":/viewer/icons/loupe_down.png"},
            {5, "Mesure instantanée", ":/viewer/icons/instant.png", ":/viewer/icons/instant_down.png"}};
    tools->addSpacing(8);
    for (const auto& entry : toolButtons) {
        brixel::Button* button = MakeButton(QStringLiteral("Button3_%1").arg(entry.tool),
            QString::fromUtf8(entry.caption), QString::fromLatin1(entry.up), Picture2);
        button->setToolTipText(QString::fromUtf8(entry.caption));
        button->setPictureDown(brixel::Picture::fromImage(QImage(QString::fromLatin1(entry.down))));
        Button3[static_cast<std::size_t>(entry.tool)] = button;
        Picture2_[static_cast<std::size_t>(entry.tool)] = button->picture().image;
        const int tool = entry.tool;
        connect(button, &brixel::Button::Click, this, [this, tool] { chooseTool(tool); });
        tools->addWidget(button, 0, Qt::AlignHCenter);
    }
    Button5 = MakeButton(QStringLiteral("Button5"), QStringLiteral("Inverser les niveaux de gris"),
        QStringLiteral(":/viewer/icons/invert.png"), Picture2);
    Button6 = MakeButton(QStringLiteral("Button6"), QStringLiteral("Rétablir l'image initiale"),
        QStringLiteral(":/viewer/icons/reset.png"), Picture2);
    connect(Button5, &brixel::Button::Click, this, &InterpretationWindow::invertGreys);
    connect(Button6, &brixel::Button::Click, this, &InterpretationWindow::restoreImages);
    tools->addWidget(Button5, 0, Qt::AlignHCenter);
    tools->addWidget(Button6, 0, Qt::AlignHCenter);
    tools->addSpacing(8);
    auto* paging = new QHBoxLayout;
    VScroll1 = new QScrollBar(Qt::Vertical, Picture2);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    VScroll1->setPageStep(1);
    VScroll1->setMinimumHeight(120);
    connect(VScroll1, &QScrollBar::valueChanged, this, &InterpretationWindow::changePage);
    auto* help
        = new QLabel(QStringLiteral("Sélectionner le nombre d'images à afficher et déplacez-vous au sein de "
                                    "l'examen grâce à l'ascenseur à gauche de ce texte"),
            Picture2);
    help->setWordWrap(true);
    paging->addWidget(VScroll1);
    paging->addWidget(help, 1);
    tools->addLayout(paging);
    auto* rightClick
        = new QLabel(QStringLiteral("Un clic sur une image avec le bouton droit de la souris passe "
                                    "l'image en plein écran et vice-versa"),
            Picture2);
    rightClick->setWordWrap(true);
    tools->addWidget(rightClick);
    tools->addStretch(1);
    Button2 = MakeButton(QStringLiteral("Button2"), QStringLiteral("Quitter cette fenêtre..."),
        QStringLiteral(":/viewer/icons/quit.png"), Picture2);
    connect(Button2, &brixel::Button::Click, this, &QDialog::reject);
    tools->addWidget(Button2, 0, Qt::AlignHCenter);
    Picture2->hide();

    Picture6 = new QFrame(this);
    Picture6->setObjectName(QStringLiteral("Picture6"));
    Picture6->setStyleSheet(
        QStringLiteral("QFrame#Picture6 { background: #ffffe0; border: 2px solid #404040; }"));
    auto* waiting = new QHBoxLayout(Picture6);
    auto* Label5 = new QLabel(WaitingText, Picture6);
    Label5->setObjectName(QStringLiteral("Label5"));
    waiting->addWidget(Label5);
    Picture6->resize(460, 60);
    Picture6->hide();
}

void InterpretationWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    Picture1->setGeometry(
        Margin, Margin, std::max(0, width() - ToolColumn - 3 * Margin), std::max(0, height() - 2 * Margin));
    Picture2->setGeometry(
        width() - ToolColumn - Margin, Margin, ToolColumn, std::max(0, height() - 2 * Margin));
    // The waiting panel is centred on the screen.
    const QRect screen = this->screen() ? this->screen()->geometry() : rect();
    Picture6->move(mapFromGlobal(screen.center()) - QPoint(Picture6->width() / 2, Picture6->height() / 2));
}

void InterpretationWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (FirstActivation) {
        Picture6->show();
        Picture6->raise();
        QTimer::singleShot(0, this, &InterpretationWindow::firstActivation);
    }
}

void InterpretationWindow::firstActivation()
{
    if (!FirstActivation)
        return;
    FirstActivation = false;
    // The waiting panel stays until the first page's images are there.
    Option3[static_cast<std::size_t>(LayoutForImageCount(imageCount()))]->click();
    Picture1->show();
    Picture2->show();
}

// The slots of the page at once, empty; their images are asked from the
// loader, which replaces any page asked before and not yet shown.
void InterpretationWindow::createSlots(int count)
{
    Picture1->createSlots(count);
    const int first = count * VScroll1->value();
    QStringList paths;
    for (int i = 1; i <= std::min(count, MaxSlots); ++i) {
        paths << ImagePaths.value(first + i - 1); // "" past the last image: the slot stays empty
        if (DicomView* view = Picture1->slotView(i))
            view->setPointerTool(3);
    }
    loader->request(paths);
}

// The images of the page asked for last, into the slots made for it (a page
// change since would have asked again, and this would not be delivered).
void InterpretationWindow::pageDecoded(const QStringList& paths, std::vector<DicomLoadResult> results)
{
    for (int i = 1; i <= static_cast<int>(results.size()); ++i) {
        DicomView* view = Picture1->slotView(i);
        if (view && !paths[i - 1].isEmpty())
            view->setDecodedFile(paths[i - 1], std::move(results[static_cast<std::size_t>(i - 1)]));
    }
    Picture6->hide();
}

void InterpretationWindow::chooseLandscapeLayout(int index)
{
    Option3[static_cast<std::size_t>(index)]->setChecked(true);
    {
        const QSignalBlocker quiet(VScroll1);
        VScroll1->setValue(0);
    }
    Enlarged = false;
    Picture1->resetSlots(true);
    Picture1->sheet.setShape(LayoutShape(PageOrientation::Landscape, index));
    ImagesPerPage = Picture1->sheet.slotCount();
    createSlots(ImagesPerPage);
    Picture1->drawPreview();
    Picture1->selectSlot(1);
    const int pages = PageCount(imageCount(), ImagesPerPage);
    if (pages < 2) {
        VScroll1->setEnabled(false);
        VScroll1->hide();
    } else {
        const QSignalBlocker quiet(VScroll1);
        VScroll1->setMaximum(pages - 1);
        VScroll1->setEnabled(true);
        VScroll1->show();
    }
}

void InterpretationWindow::choosePortraitLayout(int index)
{
    Option2[static_cast<std::size_t>(index)]->setChecked(true);
    Enlarged = false;
    Picture1->resetSlots(true);
    Picture1->sheet.setShape(LayoutShape(PageOrientation::Portrait, index));
    createSlots(Picture1->sheet.slotCount());
    Picture1->drawPreview();
    Picture1->selectSlot(1);
}

void InterpretationWindow::changePage(int)
{
    Enlarged = false;
    Picture1->resetSlots(true);
    createSlots(ImagesPerPage);
    Picture1->drawPreview();
    Picture1->setFocus();
    Picture1->selectSlot(1);
}

template <typename Apply> void InterpretationWindow::forEachSlot(Apply apply)
{
    for (int slot = 1; slot <= ImagesPerPage; ++slot) {
        if (DicomView* view = Picture1->slotView(slot))
            apply(*view);
    }
}

void InterpretationWindow::chooseTool(int tool)
{
    for (const int t : ToolButtons) {
        brixel::Button* button = Button3[static_cast<std::size_t>(t)];
        button->setBackColor(ToolColour);
        button->setPicture(brixel::Picture::fromImage(Picture2_[static_cast<std::size_t>(t)]));
    }
    brixel::Button* pressed = Button3[static_cast<std::size_t>(tool)];
    pressed->setPicture(pressed->pictureDown());
    pressed->setBackColor(PressedToolColour);
    forEachSlot([tool](DicomView& view) { view.setPointerTool(tool); });
}

void InterpretationWindow::invertGreys()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    forEachSlot([](DicomView& view) { view.setPolarity(view.Polarity() == -1 ? 1 : -1); });
    QApplication::restoreOverrideCursor();
}

void InterpretationWindow::restoreImages()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    forEachSlot([](DicomView& view) { view.setRestoreDisplay(true); });
    QApplication::restoreOverrideCursor();
}

// A click selects the slot; a right click enlarges it to the page area, or
// gives the enlarged slot back its place.
void InterpretationWindow::slotClicked(int slot, int button)
{
    LastButton = button;
    Picture1->selectSlot(slot);
    DicomView* view = Picture1->slotView(slot);
    if (LastButton == 2 && ImagesPerPage > 0 && view) {
        if (!Enlarged) {
            savedRect = static_cast<QWidget*>(view)->geometry();
            const QRect area = SlotPage::ToPixels(EnlargedSlotRect(Picture1->innerTwips().size()));
            view->setGeometry(area.translated(Picture1->contentsRect().topLeft()));
            view->raise();
            view->setFitMode(true);
            view->setFocus();
            Enlarged = true;
            enlargedSlot = slot;
            Picture1->selectSlot(slot);
        } else {
            DicomView* enlargedView = Picture1->slotView(enlargedSlot);
            if (enlargedView) {
                enlargedView->setGeometry(savedRect);
                enlargedView->setFitMode(true);
            }
            Enlarged = false;
            Picture1->selectSlot(enlargedSlot);
        }
    }
    LastButton = 0;
}

// Escape and the close box ask before the page of images and its settings
// go; Non (or Escape on the question) keeps the window.
bool InterpretationWindow::mayClose()
{
    return imageCount() == 0
        || MsgBox(CloseQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("Interprétation"),
               MsgResult::No)
        == MsgResult::Yes;
}

void InterpretationWindow::closeEvent(QCloseEvent* event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void InterpretationWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (mayClose())
            reject();
        return;
    }
    if (event->key() == Qt::Key_Space)
        Picture1->selectNextSlot();
    else
        QDialog::keyPressEvent(event);
    Picture1->setFocus();
}

bool InterpretationWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        const QString name = watched->objectName();
        const int index = name.section(QLatin1Char('_'), 1).toInt();
        if (name.startsWith(QStringLiteral("Image4_")))
            Option3[static_cast<std::size_t>(index)]->click();
        else if (name.startsWith(QStringLiteral("Image3_")))
            Option2[static_cast<std::size_t>(index)]->click();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexa
