#include "printing/sheet/PrintSheetWindow.h"
#include "pacsdb/ImageFiles.h"

#include "base/core/AppValues.h"
#include "base/core/CurrentPrinter.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "base/core/SettingKeys.h"
#include "base/core/ThumbnailSink.h"
#include "base/ui/BackgroundWork.h"
#include "base/ui/Printers.h"
#include "dicom/DicomLoader.h"
#include "pacsdb/ExamChecks.h"
#include "pacsdb/JetDialect.h"
#include "pacsdb/MainRecordSets.h"
#include "pacsdb/QueryCatalogue.h"
#include "printing/sheet/PrintedMarks.h"
#include "viewer/view/DicomView.h"
#include "viewer/window/ViewerTexts.h"

#include <brixel/Button.h>

#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

namespace vexa {

namespace {

constexpr int BannerHeight = 40;
constexpr int Margin = 8; // the frames' top margin, pixels
constexpr int ThumbnailColumn = 180;
constexpr int ToolColumn = 290;
constexpr int ScrollWidth = 17;

brixel::Button* makeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new brixel::Button(parent, name);
    button->initProperties();
    button->setCaption(caption);
    QFont font = button->captionFont();
    font.setPointSize(8);
    button->setCaptionFont(font);
    button->setFixedSize(twipsToPixels(brixel::Button::MaxWidthTwips), twipsToPixels(600));
    button->setBackColor(QColor(192, 192, 192));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* makePanel(const QString& name, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    return panel;
}

QLabel* helpLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// The names the controls had in the window's design stay their object names:
// style sheets and tests look the controls up by them.
namespace design_name {
const QString Banner = QStringLiteral("Picture3");
const QString ThumbnailPanel = QStringLiteral("Frame1");
const QString ThumbnailSelection = QStringLiteral("Shape2");
const QString ThumbnailScrollBar = QStringLiteral("VScroll1");
const QString PageFrame = QStringLiteral("Frame2");
const QString ToolPanel = QStringLiteral("Picture2");
const QString OrientationIcon = QStringLiteral("Image2");
const QString OrientationOption = QStringLiteral("Option1");
const QString PortraitLayouts = QStringLiteral("Picture4");
const QString LandscapeLayouts = QStringLiteral("Picture5");
const QString PortraitLayoutIcon = QStringLiteral("Image3");
const QString LandscapeLayoutIcon = QStringLiteral("Image4");
const QString PortraitLayoutOption = QStringLiteral("Option2");
const QString LandscapeLayoutOption = QStringLiteral("Option3");
const QString PrintButton = QStringLiteral("Button1");
const QString StoreDefaultButton = QStringLiteral("Button4");
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

const QString PrintSheetWindow::RestingText
    = QStringLiteral("Veuillez patienter :  Chargement de l'image en cours...");
const QString PrintSheetWindow::PrintingText
    = QStringLiteral("Veuillez patienter :  Impression de la page en cours...");
const QString PrintSheetWindow::UnprintedSheetQuestion = QStringLiteral(
    "La planche composée n'a pas été imprimée.\r\nVoulez-vous l'imprimer avant de la quitter ?");

// The thumbnail column as the database connector fills it.
class PrintSheetWindow::Thumbnails : public ThumbnailSink {
public:
    explicit Thumbnails(PrintSheetWindow& window)
        : window_(window)
    {
    }
    int thumbnailCount() const override { return ThumbnailSlots; }
    void clearPicture(int index) override { window_.thumbnails_[static_cast<std::size_t>(index)]->clear(); }
    void setTag(int index, const QString& tag) override
    {
        window_.thumbnailTags_[static_cast<std::size_t>(index)] = tag;
    }
    void setVisible(int index, bool visible) override
    {
        window_.thumbnails_[static_cast<std::size_t>(index)]->setVisible(visible);
    }
    bool loadPicture(int index, const QString& path) override
    {
        const QPixmap picture(path);
        if (picture.isNull())
            return false;
        QLabel* label = window_.thumbnails_[static_cast<std::size_t>(index)];
        label->setPixmap(picture.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return true;
    }

private:
    PrintSheetWindow& window_;
};

PrintSheetWindow::PrintSheetWindow(MainRecordSets& sets, const Exam& exam, QString caption, QWidget* parent)
    : QDialog(parent)
    , sets_(sets)
    , exam_(exam)
    , caption_(std::move(caption))
    , thumbnailSink_(std::make_unique<Thumbnails>(*this))
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Impression des clichés"));
    setModal(true);
    buildControls();
    selectPrinterByName(appValues().imagePrinter);
    if (exam_.isValid())
        images_
            = readSeriesImages(appValues().conquestPath, exam_.seriesUid).value_or(std::vector<SheetImage>{});
    showPatientBanner();
    resize(1280, 900);
}

PrintSheetWindow::PrintSheetWindow(MainRecordSets& sets, std::vector<SheetPatient> patients, QWidget* parent)
    : PrintSheetWindow(sets, patients.empty() ? Exam{} : patients.front().exam, QString(), parent)
{
    patients_ = std::move(patients);
    images_ = patients_.empty() ? std::vector<SheetImage>{} : patients_.front().images;
    const QSignalBlocker quiet(patientChoice_);
    for (const SheetPatient& patient : patients_) {
        const int count = static_cast<int>(patient.images.size());
        patientChoice_->addItem(QStringLiteral("%1  -  %2  (%3 image%4)")
                                    .arg(patient.exam.patientName, patient.exam.examDate)
                                    .arg(count)
                                    .arg(count > 1 ? QStringLiteral("s") : QString()));
    }
    patientChoice_->parentWidget()->setVisible(!patients_.empty());
    showPatientBanner();
}

// The banner names the patient whose images the thumbnails offer.
void PrintSheetWindow::showPatientBanner()
{
    const SheetIdentity identity = identityOf(images_);
    const QString name = exam_.patientName.isEmpty() ? identity.patientName : exam_.patientName;
    const QString date = exam_.examDate.isEmpty() ? identity.examDate : exam_.examDate;
    QString text = QStringLiteral("  Impression des clichés");
    for (const QString& part : {name, date}) {
        if (!part.isEmpty())
            text += QStringLiteral("  -  ") + part;
    }
    banner_->setText(text);
}

PrintSheetWindow::~PrintSheetWindow() = default;

void PrintSheetWindow::buildControls()
{
    banner_ = new QLabel(QStringLiteral("  Impression des clichés"), this);
    banner_->setObjectName(design_name::Banner);
    banner_->setStyleSheet(QStringLiteral("background: rgb(32, 32, 32); color: white; font-size: 16pt;"));
    buildThumbnailPanel();

    pageFrame_ = makePanel(design_name::PageFrame, this);
    pageFrame_->setStyleSheet(
        QStringLiteral("QWidget#%1 { background: rgb(128, 128, 128); }").arg(design_name::PageFrame));
    pageFrame_->setAttribute(Qt::WA_StyledBackground);
    page_ = new SlotPage(pageFrame_);
    connect(page_, &SlotPage::slotReleased, this, [this](int slot, int) { page_->selectSlot(slot); });

    buildToolPanel();
    buildWaitingPanel();
}

void PrintSheetWindow::buildThumbnailPanel()
{
    thumbnailPanel_ = makePanel(design_name::ThumbnailPanel, this);
    thumbnailPanel_->setStyleSheet(
        QStringLiteral("QWidget#%1 { background: rgb(160, 160, 160); }").arg(design_name::ThumbnailPanel));
    thumbnailPanel_->setAttribute(Qt::WA_StyledBackground);
    thumbnailSelection_ = new QFrame(thumbnailPanel_);
    thumbnailSelection_->setObjectName(design_name::ThumbnailSelection);
    thumbnailSelection_->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: rgb(255, 0, 0); }").arg(design_name::ThumbnailSelection));
    thumbnailSelection_->hide();
    for (int i = 0; i < ThumbnailSlots; ++i) {
        QLabel*& label = thumbnails_[static_cast<std::size_t>(i)];
        label = new QLabel(thumbnailPanel_);
        label->setObjectName(QStringLiteral("Thumbnail_%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("background: black;"));
        label->installEventFilter(this);
        label->hide();
    }
    thumbnailScrollBar_ = new QScrollBar(Qt::Vertical, thumbnailPanel_);
    thumbnailScrollBar_->setObjectName(design_name::ThumbnailScrollBar);
    thumbnailScrollBar_->setFocusPolicy(Qt::NoFocus);
    connect(thumbnailScrollBar_, &QScrollBar::valueChanged, this, &PrintSheetWindow::scrollThumbnails);
}

// From the top: the patient (when opened on the images waiting), the
// orientation, the layouts of each orientation, the buttons and the help.
void PrintSheetWindow::buildToolPanel()
{
    toolPanel_ = makePanel(design_name::ToolPanel, this);
    auto* tools = new QVBoxLayout(toolPanel_);
    tools->setContentsMargins(4, 4, 4, 4);
    QWidget* orientationRow = buildOrientationChoice();
    auto* patientRow = new QWidget(toolPanel_);
    auto* patientLayout = new QVBoxLayout(patientRow);
    patientLayout->setContentsMargins(0, 0, 0, 8);
    patientLayout->addWidget(new QLabel(QStringLiteral("Patient :"), patientRow));
    patientChoice_ = new QComboBox(patientRow);
    patientChoice_->setObjectName(QStringLiteral("PatientBox"));
    patientChoice_->setFocusPolicy(Qt::NoFocus);
    patientLayout->addWidget(patientChoice_);
    connect(patientChoice_, &QComboBox::activated, this, &PrintSheetWindow::choosePatient);
    patientRow->hide();
    tools->addWidget(patientRow);
    tools->addWidget(orientationRow);
    portraitLayouts_ = buildLayoutChoice(PageOrientation::Portrait);
    tools->addWidget(portraitLayouts_);
    landscapeLayouts_ = buildLayoutChoice(PageOrientation::Landscape);
    tools->addWidget(landscapeLayouts_);
    tools->addSpacing(12);
    printButton_ = makeButton(design_name::PrintButton, QStringLiteral("Imprimer la page"), toolPanel_);
    storeDefaultButton_ = makeButton(design_name::StoreDefaultButton,
        QStringLiteral("Définir la configuration actuelle par défaut"), toolPanel_);
    quitButton_ = makeButton(design_name::QuitButton, QStringLiteral("Quitter"), toolPanel_);
    connect(printButton_, &brixel::Button::Click, this, &PrintSheetWindow::printPage);
    connect(storeDefaultButton_, &brixel::Button::Click, this, &PrintSheetWindow::storeDefault);
    connect(quitButton_, &brixel::Button::Click, this, &QDialog::reject);
    for (brixel::Button* button : {printButton_, storeDefaultButton_, quitButton_})
        tools->addWidget(button, 0, Qt::AlignHCenter);
    tools->addSpacing(12);
    tools->addWidget(helpLabel(
        QStringLiteral("Double-cliquer sur une vignette pour la faire passer dans la zone sélectionnée."),
        toolPanel_));
    tools->addWidget(helpLabel(
        QStringLiteral("Utiliser la barre d'espace pour sélectionner l'emplacement suivant."), toolPanel_));
    tools->addStretch(1);
}

// Portrait and landscape, each with its icon.
QWidget* PrintSheetWindow::buildOrientationChoice()
{
    auto* row = new QWidget(toolPanel_);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(this);
    const QString captions[2] = {QStringLiteral("Portrait"), QStringLiteral("Paysage")};
    for (int i = 0; i < 2; ++i) {
        const PageOrientation value = i == 0 ? PageOrientation::Portrait : PageOrientation::Landscape;
        auto* icon = new QLabel(row);
        icon->setObjectName(indexedName(design_name::OrientationIcon, i));
        icon->setPixmap(orientationIcon(value));
        icon->installEventFilter(this);
        QRadioButton*& option = orientationOptions_[static_cast<std::size_t>(i)];
        option = new QRadioButton(captions[i], row);
        option->setObjectName(indexedName(design_name::OrientationOption, i));
        option->setFocusPolicy(Qt::NoFocus);
        group->addButton(option);
        connect(option, &QRadioButton::clicked, this, [this, value] { chooseOrientation(value); });
        optionOfIcon_[icon] = option;
        layout->addWidget(icon);
        layout->addWidget(option);
    }
    return row;
}

// The layouts of one orientation, each with the picture of its page.
QWidget* PrintSheetWindow::buildLayoutChoice(PageOrientation orientation)
{
    const bool portrait = orientation == PageOrientation::Portrait;
    auto& options = portrait ? portraitLayoutOptions_ : landscapeLayoutOptions_;
    QWidget* panel
        = makePanel(portrait ? design_name::PortraitLayouts : design_name::LandscapeLayouts, toolPanel_);
    auto* grid = new QGridLayout(panel);
    auto* group = new QButtonGroup(this);
    for (int k = 0; k < LayoutCount; ++k) {
        const PageShape shape = layoutShape(orientation, k);
        auto* icon = new QLabel(panel);
        icon->setObjectName(
            indexedName(portrait ? design_name::PortraitLayoutIcon : design_name::LandscapeLayoutIcon, k));
        icon->setPixmap(layoutIcon(shape, orientation));
        icon->installEventFilter(this);
        const int count = shape.count();
        QRadioButton*& option = options[static_cast<std::size_t>(k)];
        option = new QRadioButton(
            count == 1 ? QStringLiteral("1 image") : QStringLiteral("%1 images").arg(count), panel);
        option->setObjectName(indexedName(
            portrait ? design_name::PortraitLayoutOption : design_name::LandscapeLayoutOption, k));
        option->setFocusPolicy(Qt::NoFocus);
        group->addButton(option);
        connect(option, &QRadioButton::clicked, this, [this, k] { chooseLayout(k); });
        optionOfIcon_[icon] = option;
        grid->addWidget(icon, k, 0);
        grid->addWidget(option, k, 1);
    }
    return panel;
}

void PrintSheetWindow::buildWaitingPanel()
{
    waitingPanel_ = new QFrame(this);
    waitingPanel_->setObjectName(design_name::WaitingPanel);
    waitingPanel_->setStyleSheet(
        QStringLiteral("QFrame#%1 { background: #ffffe0; border: 2px solid #404040; }")
            .arg(design_name::WaitingPanel));
    auto* waiting = new QHBoxLayout(waitingPanel_);
    waitingText_ = new QLabel(RestingText, waitingPanel_);
    waitingText_->setObjectName(design_name::WaitingText);
    waiting->addWidget(waitingText_);
    waitingPanel_->resize(460, 60);
    waitingPanel_->hide();
}

QRadioButton* PrintSheetWindow::orientationOption(PageOrientation orientation) const
{
    return orientationOptions_[orientation == PageOrientation::Portrait ? 0u : 1u];
}

QRadioButton* PrintSheetWindow::layoutOption(PageOrientation orientation, int index) const
{
    const auto& options
        = orientation == PageOrientation::Portrait ? portraitLayoutOptions_ : landscapeLayoutOptions_;
    return index >= 0 && index < LayoutCount ? options[static_cast<std::size_t>(index)] : nullptr;
}

PageOrientation PrintSheetWindow::orientation() const
{
    return orientationOptions_[0]->isChecked() ? PageOrientation::Portrait : PageOrientation::Landscape;
}

int PrintSheetWindow::layoutIndex() const
{
    const auto& options
        = orientation() == PageOrientation::Portrait ? portraitLayoutOptions_ : landscapeLayoutOptions_;
    for (int k = 0; k < LayoutCount; ++k) {
        if (options[static_cast<std::size_t>(k)]->isChecked())
            return k;
    }
    return -1;
}

QString PrintSheetWindow::thumbnailTag(int index) const
{
    return index >= 0 && index < ThumbnailSlots ? thumbnailTags_[static_cast<std::size_t>(index)] : QString();
}

QLabel* PrintSheetWindow::thumbnail(int index) const
{
    return index >= 0 && index < ThumbnailSlots ? thumbnails_[static_cast<std::size_t>(index)] : nullptr;
}

void PrintSheetWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (size() != laidOutSize_) {
        laidOutSize_ = size();
        firstLayout();
    }
}

// Run at opening and on every resize: the page is built again, empty, with
// the stored default configuration.
void PrintSheetWindow::firstLayout()
{
    thumbnailsPerPage_ = vexa::thumbnailsPerPage(pixelsToTwips(width()));
    fitParts();
    const int pages = thumbnailPageCount();
    {
        const QSignalBlocker quiet(thumbnailScrollBar_);
        thumbnailScrollBar_->setValue(0);
        thumbnailScrollBar_->setMaximum(std::max(0, pages - 1));
    }
    thumbnailScrollBar_->setVisible(pages >= 2);
    loadThumbnails(0);
    // The orientation to give back on closing is the one found at opening.
    if (!orientationSaved_) {
        savedOrientation_ = currentPrinterOrientation();
        orientationSaved_ = true;
    }
    const int configNumber = getIntegerSetting(
        keys::ConfigNumber.section, keys::ConfigNumber.key, keys::ConfigNumber.defaultValue);
    const int configOrientation = getIntegerSetting(
        keys::ConfigOrientation.section, keys::ConfigOrientation.key, QString::number(savedOrientation_));
    chooseOrientation(configOrientation == 1 ? PageOrientation::Portrait : PageOrientation::Landscape);
    page_->resetSlots();
    chooseLayout(std::clamp(configNumber, 0, LayoutCount - 1));
    waitingPanel_->move((width() - waitingPanel_->width()) / 2, (height() - waitingPanel_->height()) / 2);
}

void PrintSheetWindow::fitParts()
{
    const int w = width();
    const int h = height();
    banner_->setGeometry(0, 0, w, BannerHeight);
    const int top = BannerHeight + Margin;
    const int columnHeight = std::max(0, h - top - Margin);
    thumbnailPanel_->setGeometry(Margin, top, ThumbnailColumn, columnHeight);
    toolPanel_->setGeometry(w - Margin - ToolColumn, top, ToolColumn, columnHeight);
    pageFrame_->setGeometry(2 * Margin + ThumbnailColumn, top,
        std::max(0, w - 4 * Margin - ThumbnailColumn - ToolColumn), columnHeight);
    thumbnailScrollBar_->setGeometry(ThumbnailColumn - ScrollWidth, 0, ScrollWidth, columnHeight);
    const int thumbWidth = ThumbnailColumn - ScrollWidth - 2 * Margin;
    const int thumbHeight = std::max(1, (columnHeight - Margin) / thumbnailsPerPage_ - Margin);
    for (int i = 0; i < ThumbnailSlots; ++i)
        thumbnails_[static_cast<std::size_t>(i)]->setGeometry(
            Margin, Margin + i * (thumbHeight + Margin), thumbWidth, thumbHeight);
    thumbnailSelection_->hide();
}

void PrintSheetWindow::sizePreviewPage()
{
    const int available = pageFrame_->height() - 2 * Margin;
    const int across = pageFrame_->width() - 2 * Margin;
    const QSize page = previewPageSize(pageRatio_, available, across);
    page_->setGeometry(Margin + (across - page.width()) / 2, Margin, page.width(), page.height());
}

void PrintSheetWindow::chooseOrientation(PageOrientation value)
{
    {
        const QSignalBlocker quiet(orientationOptions_[0]);
        orientationOption(value)->setChecked(true);
    }
    setCurrentPrinterOrientation(static_cast<int>(value));
    const QRect printable = SheetPrinter::printableArea(appValues().imagePrinter, value);
    pageRatio_ = printable.height() > 0 ? double(printable.width()) / printable.height() : 1.0;
    sizePreviewPage();
    portraitLayouts_->setVisible(value == PageOrientation::Portrait);
    landscapeLayouts_->setVisible(value == PageOrientation::Landscape);
    chooseLayout(0);
}

void PrintSheetWindow::chooseLayout(int index)
{
    auto& options
        = orientation() == PageOrientation::Portrait ? portraitLayoutOptions_ : landscapeLayoutOptions_;
    options[static_cast<std::size_t>(std::clamp(index, 0, LayoutCount - 1))]->setChecked(true);
    buildLayout(index);
}

void PrintSheetWindow::buildLayout(int index)
{
    unprintedSheet_ = false;
    page_->resetSlots();
    slotTags_.fill(QString());
    page_->sheet.setShape(layoutShape(orientation(), index));
    page_->createSlots(page_->sheet.slotCount());
    page_->drawPreview();
    page_->selectSlot(1);
}

void PrintSheetWindow::thumbnailClicked(int index)
{
    QLabel* label = thumbnail(index);
    if (!label)
        return;
    thumbnailSelection_->hide();
    thumbnailSelection_->setGeometry(
        SlotPage::toPixels(selectionFrame(SlotPage::toTwips(label->geometry()))));
    thumbnailSelection_->lower();
    thumbnailSelection_->show();
}

void PrintSheetWindow::thumbnailDoubleClicked(int index)
{
    const QString tag = thumbnailTag(index);
    if (tag.isEmpty())
        return; // a thumbnail without image
    thumbnailClicked(index);
    showWaiting(true);
    const int slot = page_->sheet.selected();
    if (DicomView* view = page_->slotView(slot)) {
        const QString path = storedImagePath(appValues().conquestImagePath, tag);
        // Decoded on a worker thread behind a waiting window modal to the
        // sheet, which takes the keys again once it closes.
        view->setDecodedFile(path,
            runInBackground<DicomLoadResult>(
                this, {RestingText, false}, [path](WorkProgress&) { return loadDicomImage(path); }));
        activateWindow();
        if (view->hasImage()) {
            page_->sheet.fill(slot, QSize(view->pixelColumns(), view->pixelRows()), path, index);
            slotTags_[static_cast<std::size_t>(slot)] = tag;
            unprintedSheet_ = true;
        } else {
            // An image that cannot be shown leaves its slot empty (its
            // display says why), so it is neither printed nor marked.
            page_->sheet.fill(slot, QSize(EmptySlotSide, EmptySlotSide), QString(), -1);
            slotTags_[static_cast<std::size_t>(slot)].clear();
        }
        page_->drawPreview();
    }
    page_->selectNextSlot();
    showWaiting(false);
}

void PrintSheetWindow::scrollThumbnails(int value)
{
    thumbnailSelection_->hide();
    loadThumbnails(thumbnailsPerPage_ * value);
}

int PrintSheetWindow::thumbnailPageCount() const
{
    const int count = static_cast<int>(images_.size());
    return thumbnailsPerPage_ > 0 ? (count + thumbnailsPerPage_ - 1) / thumbnailsPerPage_ : 0;
}

// The thumbnails from `firstImage` on, each tagged with its image's file; a
// missing preview picture stops the filling, those filled stay.
void PrintSheetWindow::loadThumbnails(int firstImage)
{
    for (int i = 0; i < ThumbnailSlots; ++i) {
        thumbnailSink_->clearPicture(i);
        thumbnailSink_->setTag(i, QString());
        thumbnailSink_->setVisible(i, false);
    }
    const int limit = std::min(thumbnailsPerPage_, ThumbnailSlots);
    const int count = static_cast<int>(images_.size());
    for (int filled = 0; filled < limit && firstImage + filled < count; ++filled) {
        const QString& objectFile = images_[static_cast<std::size_t>(firstImage + filled)].objectFile;
        const QString picture
            = previewPicturePath(storedImagePath(appValues().conquestImagePath, objectFile));
        if (!thumbnailSink_->loadPicture(filled, picture))
            break;
        thumbnailSink_->setTag(filled, objectFile);
        thumbnailSink_->setVisible(filled, true);
    }
}

// Another patient's images: the sheet starts again, empty.
void PrintSheetWindow::choosePatient(int index)
{
    if (index < 0 || index >= patientCount())
        return;
    const SheetPatient& patient = patients_[static_cast<std::size_t>(index)];
    if (patient.exam == exam_ || !mayDropSheet()) {
        const QSignalBlocker quiet(patientChoice_);
        patientChoice_->setCurrentIndex(static_cast<int>(std::distance(patients_.begin(),
            std::find_if(patients_.begin(), patients_.end(),
                [this](const SheetPatient& shown) { return shown.exam == exam_; }))));
        return;
    }
    exam_ = patient.exam;
    images_ = patient.images;
    {
        const QSignalBlocker quiet(patientChoice_);
        patientChoice_->setCurrentIndex(index);
    }
    showPatientBanner();
    firstLayout();
}

QString PrintSheetWindow::sheetCaption() const
{
    if (!caption_.isEmpty())
        return caption_;
    std::vector<SheetImage> onSheet;
    for (int slot = 1; slot <= page_->sheet.slotCount(); ++slot) {
        const QString& tag = slotTags_[static_cast<std::size_t>(slot)];
        const auto image = std::find_if(images_.begin(), images_.end(),
            [&tag](const SheetImage& image) { return image.objectFile == tag; });
        if (!tag.isEmpty() && image != images_.end())
            onSheet.push_back(*image);
    }
    const SheetIdentity identity = identityOf(onSheet.empty() ? images_ : onSheet);
    return viewerPrintCaption(appValues().entete, identity.patientName, identity.examDate);
}

std::vector<SheetPicture> PrintSheetWindow::filledPictures() const
{
    std::vector<SheetPicture> pictures;
    for (const int slot : page_->sheet.filledSlots()) {
        const DicomView* view = page_->slotView(slot);
        // What the slot shows of its image, drawn again from the image's own
        // pixels at the size the page gives it, by a renderer that holds its
        // own copy (it runs on a worker thread).
        if (view && view->hasImage())
            pictures.push_back({slot, view->visibleScreenRect().size(), view->visibleRenderer()});
    }
    return pictures;
}

// The exam is checked first: one deleted by another workstation is not
// printed. The page is drawn on a worker thread behind a waiting window.
void PrintSheetWindow::printPage()
{
    const SeriesPresence presence = checkSeries(appValues().conquestPath, exam_.seriesUid);
    if (presence.answered && (!presence.exists || presence.imageCount == 0)) {
        msgBox(
            examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Impression"));
        return;
    }
    waitingText_->setText(PrintingText);
    showWaiting(true);
    SheetPrinter printer;
    printer.setPrinterName(appValues().imagePrinter);
    printer.setOrientation(orientation());
    printer.setCopies(1);
    printer.setCaption(sheetCaption());
    printer.setPdfFolder(pdfFolder);
    printer.setDocumentName(documentName);
    const PageShape shape = page_->sheet.shape();
    const std::vector<SheetPicture> pictures = filledPictures();
    lastPrint_ = runInBackground<SheetPrintOutcome>(
        this, {PrintingText, false}, [&](WorkProgress&) { return printer.render(shape, pictures); });
    activateWindow();
    showWaiting(false);
    waitingText_->setText(RestingText);
    SheetPrinter::tellWhereItWent(lastPrint_);
    if (lastPrint_.printed) {
        unprintedSheet_ = false;
        markPrinted();
    }
}

// The printed slots' images of this exam, by their keys; then the exam page's
// image rows, when they show this exam, are read again to show the marks.
void PrintSheetWindow::markPrinted()
{
    QStringList printed;
    for (int slot = 1; slot <= page_->sheet.slotCount(); ++slot) {
        if (!slotTags_[static_cast<std::size_t>(slot)].isEmpty())
            printed << slotTags_[static_cast<std::size_t>(slot)];
    }
    // The images of a patient may come from several series: each is marked in its own.
    std::map<QString, QStringList> bySeries;
    for (const QString& file : printed) {
        const auto image = std::find_if(images_.begin(), images_.end(),
            [&file](const SheetImage& image) { return image.objectFile == file; });
        bySeries[image != images_.end() ? image->seriesUid : exam_.seriesUid] << file;
    }
    int marked = 0;
    for (const auto& [series, files] : bySeries)
        marked += markImagesPrinted(appValues().conquestPath, series, files, today());
    if (marked == 0)
        return;
    RecordSet& rows = sets_.examImages;
    const bool shown = std::any_of(bySeries.begin(), bySeries.end(),
        [&rows](const auto& series) { return rows.recordSource() == sql::imagesOfSeries(series.first); });
    if (!shown)
        return;
    const QString current = rows.fieldText(QStringLiteral("SOPInstanc"));
    if (rows.requery() && !current.isEmpty())
        rows.findFirst(QStringLiteral("SOPInstanc = ") + jetQuote(current));
}

void PrintSheetWindow::storeDefault()
{
    const bool portrait = orientation() == PageOrientation::Portrait;
    saveSetting(keys::ConfigOrientation.section, keys::ConfigOrientation.key,
        portrait ? QStringLiteral("1") : QStringLiteral("2"));
    saveSetting(
        keys::ConfigNumber.section, keys::ConfigNumber.key, QString::number(std::max(0, layoutIndex())));
    msgBox(QStringLiteral("La configuration actuelle est sauvegardée. "), MsgIcon::Information,
        MsgButtons::Ok, QStringLiteral("Sauvegarde ...."));
}

void PrintSheetWindow::showWaiting(bool shown)
{
    waitingPanel_->setVisible(shown);
    if (shown)
        waitingPanel_->raise();
}

// A sheet composed and not printed is not dropped without a word: Oui prints
// it first, Non drops it, Annuler (or Escape) keeps the window.
bool PrintSheetWindow::mayDropSheet()
{
    if (!unprintedSheet_)
        return true;
    const MsgResult answer = msgBox(UnprintedSheetQuestion, MsgIcon::Question, MsgButtons::YesNoCancel,
        QStringLiteral("Impression des clichés"), MsgResult::Cancel);
    if (answer == MsgResult::Yes) {
        printPage();
        return lastPrint_.printed;
    }
    return answer == MsgResult::No;
}

void PrintSheetWindow::closeEvent(QCloseEvent* event)
{
    if (!mayDropSheet()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void PrintSheetWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        if (mayDropSheet())
            reject();
        return;
    }
    if (event->key() == Qt::Key_Space)
        page_->selectNextSlot();
    else
        QDialog::keyPressEvent(event);
    page_->setFocus();
}

bool PrintSheetWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool click = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (!click && !doubleClick)
        return QDialog::eventFilter(watched, event);
    for (int i = 0; i < ThumbnailSlots; ++i) {
        if (watched == thumbnails_[static_cast<std::size_t>(i)]) {
            if (doubleClick)
                thumbnailDoubleClicked(i);
            else
                thumbnailClicked(i);
            return true;
        }
    }
    if (click) {
        if (const auto icon = optionOfIcon_.find(watched); icon != optionOfIcon_.end())
            icon->second->click();
    }
    return QDialog::eventFilter(watched, event);
}

void PrintSheetWindow::done(int result)
{
    setCurrentPrinterOrientation(savedOrientation_);
    QDialog::done(result);
}

} // namespace vexa
