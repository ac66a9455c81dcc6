#include "printing/interpretation/InterpretationWindow.h"
#include "pacsdb/ImageFiles.h"

#include "base/core/Dates.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/QueryCatalogue.h"
#include "pacsdb/RecordSet.h"
#include "viewer/view/DicomView.h"
#include "viewer/view/LatestImageLoader.h"
#include "viewer/window/ViewerTexts.h"

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

brixel::Button* makeButton(const QString& name, const QString& caption, const QString& icon, QWidget* parent)
{
    auto* button = new brixel::Button(parent, name);
    button->initProperties();
    button->setCaption(caption);
    if (!icon.isEmpty()) {
        // Pressed, the button keeps its icon unless it is given one of its own.
        button->setPicture(brixel::Picture::fromImage(QImage(icon)));
        button->setPictureDown(button->picture());
    }
    button->setFixedSize(twipsToPixels(3600), twipsToPixels(600));
    button->setBackColor(InterpretationWindow::ToolColour);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The names the controls had in the window's design stay their object names:
// style sheets and tests look the controls up by them.
namespace design_name {
const QString ToolPanel = QStringLiteral("Picture2");
const QString LandscapeLayoutIcon = QStringLiteral("Image4");
const QString PortraitLayoutIcon = QStringLiteral("Image3");
const QString LandscapeLayoutOption = QStringLiteral("Option3");
const QString PortraitLayoutOption = QStringLiteral("Option2");
const QString ToolButton = QStringLiteral("Button3");
const QString InvertButton = QStringLiteral("Button5");
const QString RestoreButton = QStringLiteral("Button6");
const QString PageScrollBar = QStringLiteral("VScroll1");
const QString QuitButton = QStringLiteral("Button2");
const QString WaitingPanel = QStringLiteral("Picture6");
const QString WaitingText = QStringLiteral("Label5");
} // namespace design_name

// One of a row of controls: the design's name and the control's index.
QString indexedName(const QString& name, int index)
{
    return QStringLiteral("%1_%2").arg(name).arg(index);
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
    , loader_(new LatestImageLoader(
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
    images.setRecordSource(sql::imagesOfSeries(exam.seriesUid));
    if (exam.isValid() && images.requery()) {
        for (images.moveFirst(); !images.eof(); images.moveNext())
            imagePaths_ << storedImagePath(imageRoot, images.fieldText(QStringLiteral("ObjectFile")));
        // The patient as the images name it, when the exam given does not.
        images.moveFirst();
        if (exam_.patientName.isEmpty() && !images.eof())
            exam_.patientName = images.fieldText(QStringLiteral("PatientName"));
        if (exam_.examDate.isEmpty() && !images.eof())
            exam_.examDate = examDayOfImage(images);
    }
    buildControls();
    const QString patient = viewerTitleLine(exam_.patientName, exam_.examDate);
    if (!patient.isEmpty())
        setWindowTitle(QStringLiteral("Interprétation - ") + exam_.patientName);
    patientLabel_->setText(patient);
    resize(1280, 900);
}

bool InterpretationWindow::loading() const
{
    return loader_->busy();
}

int InterpretationWindow::exec()
{
    if (imagePaths_.isEmpty())
        return QDialog::Rejected;
    return QDialog::exec();
}

void InterpretationWindow::buildControls()
{
    QPalette colours = palette();
    colours.setColor(QPalette::Window, QColor(64, 64, 64));
    setPalette(colours);
    setAutoFillBackground(true);

    page_ = new SlotPage(this);
    page_->setStyleSheet(QStringLiteral("QFrame#%1 { background: black; }").arg(page_->objectName()));
    page_->hide();
    connect(page_, &SlotPage::slotReleased, this, &InterpretationWindow::slotClicked);

    toolPanel_ = new QWidget(this);
    toolPanel_->setObjectName(design_name::ToolPanel);
    toolPanel_->setAutoFillBackground(true);
    QPalette panel = toolPanel_->palette();
    panel.setColor(QPalette::Window, QColor(192, 192, 192));
    toolPanel_->setPalette(panel);
    auto* tools = new QVBoxLayout(toolPanel_);
    patientLabel_ = new QLabel(toolPanel_);
    patientLabel_->setObjectName(QStringLiteral("PatientLabel"));
    patientLabel_->setWordWrap(true);
    QFont patientFont = patientLabel_->font();
    patientFont.setBold(true);
    patientLabel_->setFont(patientFont);
    tools->addWidget(patientLabel_);
    tools->addLayout(buildLayoutChoice(PageOrientation::Landscape));
    tools->addLayout(buildLayoutChoice(PageOrientation::Portrait));
    buildToolButtons(tools);
    auto* paging = new QHBoxLayout;
    pageScrollBar_ = new QScrollBar(Qt::Vertical, toolPanel_);
    pageScrollBar_->setObjectName(design_name::PageScrollBar);
    pageScrollBar_->setFocusPolicy(Qt::NoFocus);
    pageScrollBar_->setPageStep(1);
    pageScrollBar_->setMinimumHeight(120);
    connect(pageScrollBar_, &QScrollBar::valueChanged, this, &InterpretationWindow::changePage);
    auto* help
        = new QLabel(QStringLiteral("Sélectionner le nombre d'images à afficher et déplacez-vous au sein de "
                                    "l'examen grâce à l'ascenseur à gauche de ce texte"),
            toolPanel_);
    help->setWordWrap(true);
    paging->addWidget(pageScrollBar_);
    paging->addWidget(help, 1);
    tools->addLayout(paging);
    auto* rightClick
        = new QLabel(QStringLiteral("Un clic sur une image avec le bouton droit de la souris passe "
                                    "l'image en plein écran et vice-versa"),
            toolPanel_);
    rightClick->setWordWrap(true);
    tools->addWidget(rightClick);
    tools->addStretch(1);
    quitButton_ = makeButton(design_name::QuitButton, QStringLiteral("Quitter cette fenêtre..."),
        QStringLiteral(":/viewer/icons/quit.png"), toolPanel_);
    connect(quitButton_, &brixel::Button::Click, this, &QDialog::reject);
    tools->addWidget(quitButton_, 0, Qt::AlignHCenter);
    toolPanel_->hide();

    buildWaitingPanel();
}

// The layouts of one orientation in a row, each under the picture of its page.
QLayout* InterpretationWindow::buildLayoutChoice(PageOrientation orientation)
{
    const bool landscape = orientation == PageOrientation::Landscape;
    auto& options = landscape ? landscapeLayoutOptions_ : portraitLayoutOptions_;
    auto* grid = new QGridLayout;
    auto* group = new QButtonGroup(this);
    for (int k = 0; k < LayoutCount; ++k) {
        const PageShape shape = layoutShape(orientation, k);
        auto* icon = new QLabel(toolPanel_);
        icon->setObjectName(
            indexedName(landscape ? design_name::LandscapeLayoutIcon : design_name::PortraitLayoutIcon, k));
        icon->setPixmap(layoutIcon(shape, orientation));
        icon->installEventFilter(this);
        QRadioButton*& option = options[static_cast<std::size_t>(k)];
        option = new QRadioButton(QString::number(shape.count()), toolPanel_);
        option->setObjectName(indexedName(
            landscape ? design_name::LandscapeLayoutOption : design_name::PortraitLayoutOption, k));
        option->setFocusPolicy(Qt::NoFocus);
        group->addButton(option);
        if (landscape)
            connect(option, &QRadioButton::clicked, this, [this, k] { chooseLandscapeLayout(k); });
        else
            connect(option, &QRadioButton::clicked, this, [this, k] { choosePortraitLayout(k); });
        optionOfIcon_[icon] = option;
        grid->addWidget(icon, 0, 2 * k);
        grid->addWidget(option, 1, 2 * k);
    }
    return grid;
}

// The three pointer tools, then inversion and reset.
void InterpretationWindow::buildToolButtons(QVBoxLayout* tools)
{
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
        brixel::Button* button = makeButton(indexedName(design_name::ToolButton, entry.tool),
            QString::fromUtf8(entry.caption), QString::fromLatin1(entry.up), toolPanel_);
        button->setToolTipText(QString::fromUtf8(entry.caption));
        button->setPictureDown(brixel::Picture::fromImage(QImage(QString::fromLatin1(entry.down))));
        toolButtons_[static_cast<std::size_t>(entry.tool)] = button;
        toolPictures_[static_cast<std::size_t>(entry.tool)] = button->picture().image;
        const int tool = entry.tool;
        connect(button, &brixel::Button::Click, this, [this, tool] { chooseTool(tool); });
        tools->addWidget(button, 0, Qt::AlignHCenter);
    }
    invertButton_ = makeButton(design_name::InvertButton, QStringLiteral("Inverser les niveaux de gris"),
        QStringLiteral(":/viewer/icons/invert.png"), toolPanel_);
    restoreButton_ = makeButton(design_name::RestoreButton, QStringLiteral("Rétablir l'image initiale"),
        QStringLiteral(":/viewer/icons/reset.png"), toolPanel_);
    connect(invertButton_, &brixel::Button::Click, this, &InterpretationWindow::invertGreys);
    connect(restoreButton_, &brixel::Button::Click, this, &InterpretationWindow::restoreImages);
    tools->addWidget(invertButton_, 0, Qt::AlignHCenter);
    tools->addWidget(restoreButton_, 0, Qt::AlignHCenter);
    tools->addSpacing(8);
}

void InterpretationWindow::buildWaitingPanel()
{
    waitingPanel_ = new QFrame(this);
    waitingPanel_->setObjectName(design_name::WaitingPanel);
    waitingPanel_->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: #ffffe0; border: 2px solid #404040; }")
            .arg(design_name::WaitingPanel));
    auto* waiting = new QHBoxLayout(waitingPanel_);
    auto* waitingText = new QLabel(WaitingText, waitingPanel_);
    waitingText->setObjectName(design_name::WaitingText);
    waiting->addWidget(waitingText);
    waitingPanel_->resize(460, 60);
    waitingPanel_->hide();
}

QRadioButton* InterpretationWindow::layoutOption(PageOrientation orientation, int index) const
{
    const auto& options
        = orientation == PageOrientation::Landscape ? landscapeLayoutOptions_ : portraitLayoutOptions_;
    return index >= 0 && index < LayoutCount ? options[static_cast<std::size_t>(index)] : nullptr;
}

brixel::Button* InterpretationWindow::toolButton(int tool) const
{
    return tool >= 0 && tool < static_cast<int>(toolButtons_.size())
        ? toolButtons_[static_cast<std::size_t>(tool)]
        : nullptr;
}

void InterpretationWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    page_->setGeometry(
        Margin, Margin, std::max(0, width() - ToolColumn - 3 * Margin), std::max(0, height() - 2 * Margin));
    toolPanel_->setGeometry(
        width() - ToolColumn - Margin, Margin, ToolColumn, std::max(0, height() - 2 * Margin));
    // The waiting panel is centred on the screen.
    const QRect screen = this->screen() ? this->screen()->geometry() : rect();
    waitingPanel_->move(
        mapFromGlobal(screen.center()) - QPoint(waitingPanel_->width() / 2, waitingPanel_->height() / 2));
}

void InterpretationWindow::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!built_) {
        waitingPanel_->show();
        waitingPanel_->raise();
        QTimer::singleShot(0, this, &InterpretationWindow::firstActivation);
    }
}

void InterpretationWindow::firstActivation()
{
    if (built_)
        return;
    built_ = true;
    // The waiting panel stays until the first page's images are there.
    landscapeLayoutOptions_[static_cast<std::size_t>(layoutForImageCount(imageCount()))]->click();
    page_->show();
    toolPanel_->show();
}

// The slots of the page at once, empty; their images are asked from the
// loader, which replaces any page asked before and not yet shown.
void InterpretationWindow::createSlots(int count)
{
    page_->createSlots(count);
    const int first = count * pageScrollBar_->value();
    QStringList paths;
    for (int i = 1; i <= std::min(count, MaxSlots); ++i) {
        paths << imagePaths_.value(first + i - 1); // "" past the last image: the slot stays empty
        if (DicomView* view = page_->slotView(i))
            view->setPointerTool(3);
    }
    loader_->request(paths);
}

// The images of the page asked for last, into the slots made for it (a page
// change since would have asked again, and this would not be delivered).
void InterpretationWindow::pageDecoded(const QStringList& paths, std::vector<DicomLoadResult> results)
{
    for (int i = 1; i <= static_cast<int>(results.size()); ++i) {
        DicomView* view = page_->slotView(i);
        if (view && !paths[i - 1].isEmpty())
            view->setDecodedFile(paths[i - 1], std::move(results[static_cast<std::size_t>(i - 1)]));
    }
    waitingPanel_->hide();
}

void InterpretationWindow::chooseLandscapeLayout(int index)
{
    landscapeLayoutOptions_[static_cast<std::size_t>(index)]->setChecked(true);
    {
        const QSignalBlocker quiet(pageScrollBar_);
        pageScrollBar_->setValue(0);
    }
    enlarged_ = false;
    page_->resetSlots(true);
    page_->sheet.setShape(layoutShape(PageOrientation::Landscape, index));
    imagesPerPage_ = page_->sheet.slotCount();
    createSlots(imagesPerPage_);
    page_->drawPreview();
    page_->selectSlot(1);
    const int pages = pageCount(imageCount(), imagesPerPage_);
    if (pages < 2) {
        pageScrollBar_->setEnabled(false);
        pageScrollBar_->hide();
    } else {
        const QSignalBlocker quiet(pageScrollBar_);
        pageScrollBar_->setMaximum(pages - 1);
        pageScrollBar_->setEnabled(true);
        pageScrollBar_->show();
    }
}

void InterpretationWindow::choosePortraitLayout(int index)
{
    portraitLayoutOptions_[static_cast<std::size_t>(index)]->setChecked(true);
    enlarged_ = false;
    page_->resetSlots(true);
    page_->sheet.setShape(layoutShape(PageOrientation::Portrait, index));
    createSlots(page_->sheet.slotCount());
    page_->drawPreview();
    page_->selectSlot(1);
}

void InterpretationWindow::changePage(int)
{
    enlarged_ = false;
    page_->resetSlots(true);
    createSlots(imagesPerPage_);
    page_->drawPreview();
    page_->setFocus();
    page_->selectSlot(1);
}

template <typename Apply> void InterpretationWindow::forEachSlot(Apply apply)
{
    for (int slot = 1; slot <= imagesPerPage_; ++slot) {
        if (DicomView* view = page_->slotView(slot))
            apply(*view);
    }
}

void InterpretationWindow::chooseTool(int tool)
{
    for (const int t : ToolButtons) {
        brixel::Button* button = toolButtons_[static_cast<std::size_t>(t)];
        button->setBackColor(ToolColour);
        button->setPicture(brixel::Picture::fromImage(toolPictures_[static_cast<std::size_t>(t)]));
    }
    brixel::Button* pressed = toolButtons_[static_cast<std::size_t>(tool)];
    pressed->setPicture(pressed->pictureDown());
    pressed->setBackColor(PressedToolColour);
    forEachSlot([tool](DicomView& view) { view.setPointerTool(tool); });
}

void InterpretationWindow::invertGreys()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    forEachSlot([](DicomView& view) { view.setPolarity(view.polarity() == -1 ? 1 : -1); });
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
    page_->selectSlot(slot);
    DicomView* view = page_->slotView(slot);
    if (button == 2 && imagesPerPage_ > 0 && view) {
        if (!enlarged_) {
            placeBeforeEnlarging_ = static_cast<QWidget*>(view)->geometry();
            const QRect area = SlotPage::toPixels(enlargedSlotRect(page_->innerTwips().size()));
            view->setGeometry(area.translated(page_->contentsRect().topLeft()));
            view->raise();
            view->setFitMode(true);
            view->setFocus();
            enlarged_ = true;
            enlargedSlot_ = slot;
            page_->selectSlot(slot);
        } else {
            DicomView* enlargedView = page_->slotView(enlargedSlot_);
            if (enlargedView) {
                enlargedView->setGeometry(placeBeforeEnlarging_);
                enlargedView->setFitMode(true);
            }
            enlarged_ = false;
            page_->selectSlot(enlargedSlot_);
        }
    }
}

// Escape and the close box ask before the page of images and its settings
// go; Non (or Escape on the question) keeps the window.
bool InterpretationWindow::mayClose()
{
    return imageCount() == 0
        || msgBox(CloseQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("Interprétation"),
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
        page_->selectNextSlot();
    else
        QDialog::keyPressEvent(event);
    page_->setFocus();
}

bool InterpretationWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (const auto icon = optionOfIcon_.find(watched); icon != optionOfIcon_.end())
            icon->second->click();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexa
