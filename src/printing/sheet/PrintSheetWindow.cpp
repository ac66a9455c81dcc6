#include "PrintSheetWindow.h"
#include "ImageFiles.h"

#include "AppValues.h"
#include "BackgroundWork.h"
#include "CurrentPrinter.h"
#include "DialogService.h"
#include "DicomLoader.h"
#include "DicomView.h"
#include "ExamChecks.h"
#include "JetDialect.h"
#include "MainRecordSets.h"
#include "Numeric.h"
#include "PrintedMarks.h"
#include "Printers.h"
#include "QueryCatalogue.h"
#include "SettingKeys.h"
#include "ThumbnailSink.h"
#include "ViewerTexts.h"

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

brixel::Button* MakeButton(const QString& name, const QString& caption, QWidget* parent)
{
    auto* button = new brixel::Button(parent, name);
    button->initProperties();
    button->setCaption(caption);
    QFont font = button->captionFont();
    font.setPointSize(8);
    button->setCaptionFont(font);
    button->setFixedSize(TwipsToPixels(brixel::Button::MaxWidthTwips), TwipsToPixels(600));
    button->setBackColor(QColor(192, 192, 192));
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QWidget* MakePanel(const QString& name, QWidget* parent)
{
    auto* panel = new QWidget(parent);
    panel->setObjectName(name);
    return panel;
}

QLabel* HelpLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
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
        : window(window)
    {
    }
    int thumbnailCount() const override { return ThumbnailSlots; }
    void clearPicture(int index) override { window.Thumbnail[static_cast<std::size_t>(index)]->clear(); }
    void setTag(int index, const QString& tag) override
    {
        window.ThumbnailTags[static_cast<std::size_t>(index)] = tag;
    }
    void setVisible(int index, bool visible) override
    {
        window.Thumbnail[static_cast<std::size_t>(index)]->setVisible(visible);
    }
    bool loadPicture(int index, const QString& path) override
    {
        const QPixmap picture(path);
        if (picture.isNull())
            return false;
        QLabel* label = window.Thumbnail[static_cast<std::size_t>(index)];
        label->setPixmap(picture.scaled(label->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        return true;
    }

private:
    PrintSheetWindow& window;
};

PrintSheetWindow::PrintSheetWindow(MainRecordSets& sets, const Exam& exam, QString caption, QWidget* parent)
    : QDialog(parent)
    , sets(sets)
    , exam_(exam)
    , PrintCaption(std::move(caption))
    , thumbnailSink(std::make_unique<Thumbnails>(*this))
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(QStringLiteral("Impression des clichés"));
    setModal(true);
    buildControls();
    SelectPrinterByName(appValues().ImagePrinter);
    if (exam_.isValid())
        images_
            = ReadSeriesImages(appValues().ConquestPath, exam_.seriesUid).value_or(std::vector<SheetImage>{});
    showPatientBanner();
    resize(1280, 900);
}

PrintSheetWindow::PrintSheetWindow(MainRecordSets& sets, std::vector<SheetPatient> patients, QWidget* parent)
    : PrintSheetWindow(sets, patients.empty() ? Exam{} : patients.front().exam, QString(), parent)
{
    patients_ = std::move(patients);
    images_ = patients_.empty() ? std::vector<SheetImage>{} : patients_.front().images;
    const QSignalBlocker quiet(PatientBox);
    for (const SheetPatient& patient : patients_) {
        const int count = static_cast<int>(patient.images.size());
        PatientBox->addItem(QStringLiteral("%1  -  %2  (%3 image%4)")
                                .arg(patient.exam.patientName, patient.exam.examDate)
                                .arg(count)
                                .arg(count > 1 ? QStringLiteral("s") : QString()));
    }
    PatientBox->parentWidget()->setVisible(!patients_.empty());
    showPatientBanner();
}

// The banner names the patient whose images the thumbnails offer.
void PrintSheetWindow::showPatientBanner()
{
    const SheetIdentity identity = IdentityOf(images_);
    const QString name = exam_.patientName.isEmpty() ? identity.patientName : exam_.patientName;
    const QString date = exam_.examDate.isEmpty() ? identity.examDate : exam_.examDate;
    QString text = QStringLiteral("  Impression des clichés");
    for (const QString& part : {name, date}) {
        if (!part.isEmpty())
            text += QStringLiteral("  -  ") + part;
    }
    Banner->setText(text);
}

PrintSheetWindow::~PrintSheetWindow() = default;

void PrintSheetWindow::buildControls()
{
    Banner = new QLabel(QStringLiteral("  Impression des clichés"), this);
    Banner->setObjectName(QStringLiteral("Picture3"));
    Banner->setStyleSheet(QStringLiteral("background: rgb(32, 32, 32); color: white; font-size: 16pt;"));

    Frame1 = MakePanel(QStringLiteral("Frame1"), this);
    Frame1->setStyleSheet(QStringLiteral("QWidget#Frame1 { background: rgb(160, 160, 160); }"));
    Frame1->setAttribute(Qt::WA_StyledBackground);
    Shape2 = new QFrame(Frame1);
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setStyleSheet(QStringLiteral("QFrame#Shape2 { background: rgb(255, 0, 0); }"));
    Shape2->hide();
    for (int i = 0; i < ThumbnailSlots; ++i) {
        QLabel*& label = Thumbnail[static_cast<std::size_t>(i)];
        label = new QLabel(Frame1);
        label->setObjectName(QStringLiteral("Thumbnail_%1").arg(i));
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("background: black;"));
        label->installEventFilter(this);
        label->hide();
    }
    VScroll1 = new QScrollBar(Qt::Vertical, Frame1);
    VScroll1->setObjectName(QStringLiteral("VScroll1"));
    VScroll1->setFocusPolicy(Qt::NoFocus);
    connect(VScroll1, &QScrollBar::valueChanged, this, &PrintSheetWindow::scrollThumbnails);

    Frame2 = MakePanel(QStringLiteral("Frame2"), this);
    Frame2->setStyleSheet(QStringLiteral("QWidget#Frame2 { background: rgb(128, 128, 128); }"));
    Frame2->setAttribute(Qt::WA_StyledBackground);
    Picture1 = new SlotPage(Frame2);
    connect(Picture1, &SlotPage::slotReleased, this, [this](int slot, int) { Picture1->selectSlot(slot); });

    ToolPanel = MakePanel(QStringLiteral("Picture2"), this);
    auto* tools = new QVBoxLayout(ToolPanel);
    tools->setContentsMargins(4, 4, 4, 4);
    auto* orientationRow = new QWidget(ToolPanel);
    auto* orientationLayout = new QHBoxLayout(orientationRow);
    orientationLayout->setContentsMargins(0, 0, 0, 0);
    auto* orientations = new QButtonGroup(this);
    const QString orientationNames[2] = {QStringLiteral("Portrait"), QStringLiteral("Paysage")};
    for (int i = 0; i < 2; ++i) {
        const PageOrientation value = i == 0 ? PageOrientation::Portrait : PageOrientation::Landscape;
        auto* icon = new QLabel(orientationRow);
        icon->setObjectName(QStringLiteral("Image2_%1").arg(i));
        icon->setPixmap(OrientationIcon(value));
        icon->installEventFilter(this);
        Option1[i] = new QRadioButton(orientationNames[i], orientationRow);
        Option1[i]->setObjectName(QStringLiteral("Option1_%1").arg(i));
        Option1[i]->setFocusPolicy(Qt::NoFocus);
        orientations->addButton(Option1[i]);
        connect(Option1[i], &QRadioButton::clicked, this, [this, value] { chooseOrientation(value); });
        orientationLayout->addWidget(icon);
        orientationLayout->addWidget(Option1[i]);
    }
    auto* patientRow = new QWidget(ToolPanel);
    auto* patientLayout = new QVBoxLayout(patientRow);
    patientLayout->setContentsMargins(0, 0, 0, 8);
    patientLayout->addWidget(new QLabel(QStringLiteral("Patient :"), patientRow));
    PatientBox = new QComboBox(patientRow);
    PatientBox->setObjectName(QStringLiteral("PatientBox"));
    PatientBox->setFocusPolicy(Qt::NoFocus);
    patientLayout->addWidget(PatientBox);
    connect(PatientBox, &QComboBox::activated, this, &PrintSheetWindow::choosePatient);
    patientRow->hide();
    tools->addWidget(patientRow);
    tools->addWidget(orientationRow);
    for (int o = 0; o < 2; ++o) {
        const PageOrientation value = o == 0 ? PageOrientation::Portrait : PageOrientation::Landscape;
        QWidget*& panel = o == 0 ? Picture4 : Picture5;
        auto& options = o == 0 ? Option2 : Option3;
        panel = MakePanel(o == 0 ? QStringLiteral("Picture4") : QStringLiteral("Picture5"), ToolPanel);
        auto* grid = new QGridLayout(panel);
        auto* group = new QButtonGroup(this);
        for (int k = 0; k < LayoutCount; ++k) {
            auto* icon = new QLabel(panel);
            icon->setObjectName(QStringLiteral("%1_%2")
                                    .arg(o == 0 ? QStringLiteral("Image3") : QStringLiteral("Image4"))
                                    .arg(k));
            icon->setPixmap(LayoutIcon(LayoutShape(value, k), value));
            icon->installEventFilter(this);
            const int count = LayoutShape(value, k).count();
            options[static_cast<std::size_t>(k)] = new QRadioButton(
                count == 1 ? QStringLiteral("1 image") : QStringLiteral("%1 images").arg(count), panel);
            QRadioButton* option = options[static_cast<std::size_t>(k)];
            option->setObjectName(QStringLiteral("%1_%2")
                                      .arg(o == 0 ? QStringLiteral("Option2") : QStringLiteral("Option3"))
                                      .arg(k));
            option->setFocusPolicy(Qt::NoFocus);
            group->addButton(option);
            connect(option, &QRadioButton::clicked, this, [this, k] { chooseLayout(k); });
            grid->addWidget(icon, k, 0);
            grid->addWidget(option, k, 1);
        }
        tools->addWidget(panel);
    }
    tools->addSpacing(12);
    Button1 = MakeButton(QStringLiteral("Button1"), QStringLiteral("Imprimer la page"), ToolPanel);
    Button4 = MakeButton(
        QStringLiteral("Button4"), QStringLiteral("Définir la configuration actuelle par défaut"), ToolPanel);
    Button2 = MakeButton(QStringLiteral("Button2"), QStringLiteral("Quitter"), ToolPanel);
    connect(Button1, &brixel::Button::Click, this, &PrintSheetWindow::printPage);
    connect(Button4, &brixel::Button::Click, this, &PrintSheetWindow::storeDefault);
    connect(Button2, &brixel::Button::Click, this, &QDialog::reject);
    for (brixel::Button* button : {Button1, Button4, Button2})
        tools->addWidget(button, 0, Qt::AlignHCenter);
    tools->addSpacing(12);
    tools->addWidget(HelpLabel(
        QStringLiteral("Double-cliquer sur une vignette pour la faire passer dans la zone sélectionnée."),
        ToolPanel));
    tools->addWidget(HelpLabel(
        QStringLiteral("Utiliser la barre d'espace pour sélectionner l'emplacement suivant."), ToolPanel));
    tools->addStretch(1);

    Picture6 = new QFrame(this);
    Picture6->setObjectName(QStringLiteral("Picture6"));
    Picture6->setStyleSheet(
        QStringLiteral("QFrame#Picture6 { background: #ffffe0; border: 2px solid #404040; }"));
    auto* waiting = new QHBoxLayout(Picture6);
    Label5 = new QLabel(RestingText, Picture6);
    Label5->setObjectName(QStringLiteral("Label5"));
    waiting->addWidget(Label5);
    Picture6->resize(460, 60);
    Picture6->hide();
}

PageOrientation PrintSheetWindow::orientation() const
{
    return Option1[0]->isChecked() ? PageOrientation::Portrait : PageOrientation::Landscape;
}

int PrintSheetWindow::layoutIndex() const
{
    const auto& options = orientation() == PageOrientation::Portrait ? Option2 : Option3;
    for (int k = 0; k < LayoutCount; ++k) {
        if (options[static_cast<std::size_t>(k)]->isChecked())
            return k;
    }
    return -1;
}

QString PrintSheetWindow::thumbnailTag(int index) const
{
    return index >= 0 && index < ThumbnailSlots ? ThumbnailTags[static_cast<std::size_t>(index)] : QString();
}

QLabel* PrintSheetWindow::thumbnail(int index) const
{
    return index >= 0 && index < ThumbnailSlots ? Thumbnail[static_cast<std::size_t>(index)] : nullptr;
}

void PrintSheetWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (size() != laidOutSize) {
        laidOutSize = size();
        firstLayout();
    }
}

// Run at opening and on every resize: the page is built again, empty, with
// the stored default configuration.
void PrintSheetWindow::firstLayout()
{
    ThumbnailsPerPage_ = ThumbnailsPerPage(PixelsToTwips(width()));
    fitParts();
    const int pages = thumbnailPageCount();
    {
        const QSignalBlocker quiet(VScroll1);
        VScroll1->setValue(0);
        VScroll1->setMaximum(std::max(0, pages - 1));
    }
    VScroll1->setVisible(pages >= 2);
    loadThumbnails(0);
    // The orientation to give back on closing is the one found at opening.
    if (!orientationSaved) {
        SavedOrientation = CurrentPrinterOrientation();
        orientationSaved = true;
    }
    const int configNumber = GetIntegerSetting(
        Keys::ConfigNumber.section, Keys::ConfigNumber.key, Keys::ConfigNumber.defaultValue);
    const int configOrientation = GetIntegerSetting(
        Keys::ConfigOrientation.section, Keys::ConfigOrientation.key, QString::number(SavedOrientation));
    chooseOrientation(configOrientation == 1 ? PageOrientation::Portrait : PageOrientation::Landscape);
    Picture1->resetSlots();
    chooseLayout(std::clamp(configNumber, 0, LayoutCount - 1));
    Picture6->move((width() - Picture6->width()) / 2, (height() - Picture6->height()) / 2);
}

void PrintSheetWindow::fitParts()
{
    const int w = width();
    const int h = height();
    Banner->setGeometry(0, 0, w, BannerHeight);
    const int top = BannerHeight + Margin;
    const int columnHeight = std::max(0, h - top - Margin);
    Frame1->setGeometry(Margin, top, ThumbnailColumn, columnHeight);
    ToolPanel->setGeometry(w - Margin - ToolColumn, top, ToolColumn, columnHeight);
    Frame2->setGeometry(2 * Margin + ThumbnailColumn, top,
        std::max(0, w - 4 * Margin - ThumbnailColumn - ToolColumn), columnHeight);
    VScroll1->setGeometry(ThumbnailColumn - ScrollWidth, 0, ScrollWidth, columnHeight);
    const int thumbWidth = ThumbnailColumn - ScrollWidth - 2 * Margin;
    const int thumbHeight = std::max(1, (columnHeight - Margin) / ThumbnailsPerPage_ - Margin);
    for (int i = 0; i < ThumbnailSlots; ++i)
        Thumbnail[static_cast<std::size_t>(i)]->setGeometry(
            Margin, Margin + i * (thumbHeight + Margin), thumbWidth, thumbHeight);
    Shape2->hide();
}

void PrintSheetWindow::sizePreviewPage()
{
    const int available = Frame2->height() - 2 * Margin;
    const int across = Frame2->width() - 2 * Margin;
    const QSize page = PreviewPageSize(PageRatio, available, across);
    Picture1->setGeometry(Margin + (across - page.width()) / 2, Margin, page.width(), page.height());
}

void PrintSheetWindow::chooseOrientation(PageOrientation value)
{
    {
        const QSignalBlocker quiet(Option1[0]);
        Option1[value == PageOrientation::Portrait ? 0 : 1]->setChecked(true);
    }
    SetCurrentPrinterOrientation(static_cast<int>(value));
    const QRect printable = SheetPrinter::PrintableArea(appValues().ImagePrinter, value);
    PageRatio = printable.height() > 0 ? double(printable.width()) / printable.height() : 1.0;
    sizePreviewPage();
    Picture4->setVisible(value == PageOrientation::Portrait);
    Picture5->setVisible(value == PageOrientation::Landscape);
    chooseLayout(0);
}

void PrintSheetWindow::chooseLayout(int index)
{
    auto& options = orientation() == PageOrientation::Portrait ? Option2 : Option3;
    options[static_cast<std::size_t>(std::clamp(index, 0, LayoutCount - 1))]->setChecked(true);
    buildLayout(index);
}

void PrintSheetWindow::buildLayout(int index)
{
    unprintedSheet = false;
    Picture1->resetSlots();
    SlotTags.fill(QString());
    Picture1->sheet.setShape(LayoutShape(orientation(), index));
    Picture1->createSlots(Picture1->sheet.slotCount());
    Picture1->drawPreview();
    Picture1->selectSlot(1);
}

void PrintSheetWindow::thumbnailClicked(int index)
{
    QLabel* label = thumbnail(index);
    if (!label)
        return;
    Shape2->hide();
    Shape2->setGeometry(SlotPage::ToPixels(SelectionFrame(SlotPage::ToTwips(label->geometry()))));
    Shape2->lower();
    Shape2->show();
}

void PrintSheetWindow::thumbnailDoubleClicked(int index)
{
    const QString tag = thumbnailTag(index);
    if (tag.isEmpty())
        return; // a thumbnail without image
    thumbnailClicked(index);
    showWaiting(true);
    const int slot = Picture1->sheet.selected();
    if (DicomView* view = Picture1->slotView(slot)) {
        const QString path = StoredImagePath(appValues().ConquestImagePath, tag);
        // Decoded on a worker thread behind a waiting window modal to the
        // sheet, which takes the keys again once it closes.
        view->setDecodedFile(path,
            RunInBackground<DicomLoadResult>(
                this, {RestingText, false}, [path](WorkProgress&) { return loadDicomImage(path); }));
        activateWindow();
        if (view->hasImage()) {
            Picture1->sheet.fill(slot, QSize(view->PixelColumns(), view->PixelRows()), path, index);
            SlotTags[static_cast<std::size_t>(slot)] = tag;
            unprintedSheet = true;
        } else {
            // An image that cannot be shown leaves its slot empty (its
            // display says why), so it is neither printed nor marked.
            Picture1->sheet.fill(slot, QSize(EmptySlotSide, EmptySlotSide), QString(), -1);
            SlotTags[static_cast<std::size_t>(slot)].clear();
        }
        Picture1->drawPreview();
    }
    Picture1->selectNextSlot();
    showWaiting(false);
}

void PrintSheetWindow::scrollThumbnails(int value)
{
    Shape2->hide();
    loadThumbnails(ThumbnailsPerPage_ * value);
}

int PrintSheetWindow::thumbnailPageCount() const
{
    const int count = static_cast<int>(images_.size());
    return ThumbnailsPerPage_ > 0 ? (count + ThumbnailsPerPage_ - 1) / ThumbnailsPerPage_ : 0;
}

// The thumbnails from `firstImage` on, each tagged with its image's file; a
// missing preview picture stops the filling, those filled stay.
void PrintSheetWindow::loadThumbnails(int firstImage)
{
    for (int i = 0; i < ThumbnailSlots; ++i) {
        thumbnailSink->clearPicture(i);
        thumbnailSink->setTag(i, QString());
        thumbnailSink->setVisible(i, false);
    }
    const int limit = std::min(ThumbnailsPerPage_, ThumbnailSlots);
    const int count = static_cast<int>(images_.size());
    for (int filled = 0; filled < limit && firstImage + filled < count; ++filled) {
        const QString& objectFile = images_[static_cast<std::size_t>(firstImage + filled)].objectFile;
        const QString picture
            = previewPicturePath(StoredImagePath(appValues().ConquestImagePath, objectFile));
        if (!thumbnailSink->loadPicture(filled, picture))
            break;
        thumbnailSink->setTag(filled, objectFile);
        thumbnailSink->setVisible(filled, true);
    }
}

// Another patient's images: the sheet starts again, empty.
void PrintSheetWindow::choosePatient(int index)
{
    if (index < 0 || index >= patientCount())
        return;
    const SheetPatient& patient = patients_[static_cast<std::size_t>(index)];
    if (patient.exam == exam_ || !mayDropSheet()) {
        const QSignalBlocker quiet(PatientBox);
        PatientBox->setCurrentIndex(static_cast<int>(std::distance(patients_.begin(),
            std::find_if(patients_.begin(), patients_.end(),
                [this](const SheetPatient& shown) { return shown.exam == exam_; }))));
        return;
    }
    exam_ = patient.exam;
    images_ = patient.images;
    {
        const QSignalBlocker quiet(PatientBox);
        PatientBox->setCurrentIndex(index);
    }
    showPatientBanner();
    firstLayout();
}

QString PrintSheetWindow::sheetCaption() const
{
    if (!PrintCaption.isEmpty())
        return PrintCaption;
    std::vector<SheetImage> onSheet;
    for (int slot = 1; slot <= Picture1->sheet.slotCount(); ++slot) {
        const QString& tag = SlotTags[static_cast<std::size_t>(slot)];
        const auto image = std::find_if(images_.begin(), images_.end(),
            [&tag](const SheetImage& image) { return image.objectFile == tag; });
        if (!tag.isEmpty() && image != images_.end())
            onSheet.push_back(*image);
    }
    const SheetIdentity identity = IdentityOf(onSheet.empty() ? images_ : onSheet);
    return ViewerPrintCaption(appValues().Entete, identity.patientName, identity.examDate);
}

std::vector<SheetPicture> PrintSheetWindow::filledPictures() const
{
    std::vector<SheetPicture> pictures;
    for (const int slot : Picture1->sheet.filledSlots()) {
        const DicomView* view = Picture1->slotView(slot);
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
    const SeriesPresence presence = CheckSeries(appValues().ConquestPath, exam_.seriesUid);
    if (presence.answered && (!presence.exists || presence.imageCount == 0)) {
        MsgBox(
            ExamDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Impression"));
        return;
    }
    Label5->setText(PrintingText);
    showWaiting(true);
    SheetPrinter printer;
    printer.setPrinterName(appValues().ImagePrinter);
    printer.setOrientation(orientation());
    printer.setCopies(1);
    printer.setCaption(sheetCaption());
    printer.setPdfFolder(pdfFolder);
    printer.setDocumentName(documentName);
    const PageShape shape = Picture1->sheet.shape();
    const std::vector<SheetPicture> pictures = filledPictures();
    lastOutcome = RunInBackground<SheetPrintOutcome>(
        this, {PrintingText, false}, [&](WorkProgress&) { return printer.render(shape, pictures); });
    activateWindow();
    showWaiting(false);
    Label5->setText(RestingText);
    SheetPrinter::TellWhereItWent(lastOutcome);
    if (lastOutcome.printed) {
        unprintedSheet = false;
        markPrinted();
    }
}

// The printed slots' images of this exam, by their keys; then the exam page's
// image rows, when they show this exam, are read again to show the marks.
void PrintSheetWindow::markPrinted()
{
    QStringList printed;
    for (int slot = 1; slot <= Picture1->sheet.slotCount(); ++slot) {
        if (!SlotTags[static_cast<std::size_t>(slot)].isEmpty())
            printed << SlotTags[static_cast<std::size_t>(slot)];
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
        marked += MarkImagesPrinted(appValues().ConquestPath, series, files, today());
    if (marked == 0)
        return;
    RecordSet& rows = sets.examImages;
    const bool shown = std::any_of(bySeries.begin(), bySeries.end(),
        [&rows](const auto& series) { return rows.recordSource() == Sql::ImagesOfSeries(series.first); });
    if (!shown)
        return;
    const QString current = rows.fieldText(QStringLiteral("SOPInstanc"));
    if (rows.requery() && !current.isEmpty())
        rows.findFirst(QStringLiteral("SOPInstanc = ") + JetQuote(current));
}

void PrintSheetWindow::storeDefault()
{
    const bool portrait = orientation() == PageOrientation::Portrait;
    SaveSetting(Keys::ConfigOrientation.section, Keys::ConfigOrientation.key,
        portrait ? QStringLiteral("1") : QStringLiteral("2"));
    SaveSetting(
        Keys::ConfigNumber.section, Keys::ConfigNumber.key, QString::number(std::max(0, layoutIndex())));
    MsgBox(QStringLiteral("La configuration actuelle est sauvegardée. "), MsgIcon::Information,
        MsgButtons::Ok, QStringLiteral("Sauvegarde ...."));
}

void PrintSheetWindow::showWaiting(bool shown)
{
    Picture6->setVisible(shown);
    if (shown)
        Picture6->raise();
}

// A sheet composed and not printed is not dropped without a word: Oui prints
// it first, Non drops it, Annuler (or Escape) keeps the window.
bool PrintSheetWindow::mayDropSheet()
{
    if (!unprintedSheet)
        return true;
    const MsgResult answer = MsgBox(UnprintedSheetQuestion, MsgIcon::Question, MsgButtons::YesNoCancel,
        QStringLiteral("Impression des clichés"), MsgResult::Cancel);
    if (answer == MsgResult::Yes) {
        printPage();
        return lastOutcome.printed;
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
        Picture1->selectNextSlot();
    else
        QDialog::keyPressEvent(event);
    Picture1->setFocus();
}

bool PrintSheetWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool click = event->type() == QEvent::MouseButtonRelease;
    const bool doubleClick = event->type() == QEvent::MouseButtonDblClick;
    if (!click && !doubleClick)
        return QDialog::eventFilter(watched, event);
    for (int i = 0; i < ThumbnailSlots; ++i) {
        if (watched == Thumbnail[static_cast<std::size_t>(i)]) {
            if (doubleClick)
                thumbnailDoubleClicked(i);
            else
                thumbnailClicked(i);
            return true;
        }
    }
    if (click) {
        const QString name = watched->objectName();
        const int index = name.section(QLatin1Char('_'), 1).toInt();
        if (name.startsWith(QStringLiteral("Image2_")))
            Option1[index]->click();
        else if (name.startsWith(QStringLiteral("Image3_")))
            Option2[static_cast<std::size_t>(index)]->click();
        else if (name.startsWith(QStringLiteral("Image4_")))
            Option3[static_cast<std::size_t>(index)]->click();
    }
    return QDialog::eventFilter(watched, event);
}

void PrintSheetWindow::done(int result)
{
    SetCurrentPrinterOrientation(SavedOrientation);
    QDialog::done(result);
}

} // namespace vexa
