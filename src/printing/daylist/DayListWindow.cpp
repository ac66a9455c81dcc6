#include "printing/daylist/DayListWindow.h"

#include "base/core/AppValues.h"
#include "base/core/DialogService.h"
#include "base/ui/DesignButtons.h"
#include "base/ui/WindowOrder.h"
#include "browser/BoundGrid.h"
#include "browser/ImageViewing.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ExamChecks.h"
#include "viewer/window/ViewerWindow.h"

#include <brixel/Twips.h>

#include <QCalendarWidget>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStyle>
#include <QVBoxLayout>
#include <QWindow>

namespace vexa {

namespace {

// The window's frame, in twips; the window is a little larger (225 twips).
constexpr int FrameWidthTwips = 10200;
constexpr int FrameHeightTwips = 6600;
constexpr int FrameMarginTwips = 225;

} // namespace

DayListWindow::DayListWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("DayListWindow"));
    setWindowTitle(QStringLiteral("Liste du jour"));
    setModal(true);
    runViewer = [this](const ViewerRequest& request) {
        ViewerWindow viewer(request, nullptr, this);
        viewer.exec();
        return viewer.outcome();
    };

    auto* frame = new QFrame(this);
    frame->setObjectName(QStringLiteral("Shape1"));
    frame->setFrameShape(QFrame::Box);
    const int inset = brixel::twipsToPixels(FrameMarginTwips / 2);
    frame->setGeometry(
        inset, inset, brixel::twipsToPixels(FrameWidthTwips), brixel::twipsToPixels(FrameHeightTwips));
    setFixedSize(brixel::twipsToPixels(FrameWidthTwips + FrameMarginTwips),
        brixel::twipsToPixels(FrameHeightTwips + FrameMarginTwips));

    pictureLabel = new QLabel(frame);
    pictureLabel->setObjectName(QStringLiteral("Image1"));
    pictureLabel->setPixmap(style()->standardIcon(QStyle::SP_FileDialogDetailedView).pixmap(32, 32));
    titleLabel = new QLabel(frame);
    titleLabel->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = titleLabel->font();
    titleFont.setPointSize(titleFont.pointSize() + 4);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    for (QLabel* handle : {pictureLabel, titleLabel})
        handle->installEventFilter(this);

    calendar = new QCalendarWidget(frame);
    calendar->setObjectName(QStringLiteral("CalendarVB1"));
    calendar->setGridVisible(true);
    calendar->setLocale(QLocale(QLocale::French, QLocale::France));
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);

    grid = new BoundGrid(images,
        {{col::PatientName, QStringLiteral("Nom")}, {col::ObjectFile, QStringLiteral("Fichier")},
            {col::Printed, QStringLiteral("Imprimé"), true}},
        frame);
    grid->setObjectName(QStringLiteral("TDBGrid1"));
    // The file names are long: they take what the name and the mark leave.
    QHeaderView* columns = grid->horizontalHeader();
    columns->setStretchLastSection(false);
    columns->setSectionResizeMode(0, QHeaderView::Interactive);
    columns->resizeSection(0, 150);
    columns->setSectionResizeMode(1, QHeaderView::Stretch);
    columns->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);

    const brixel::DesignFile design = loadDesign(QStringLiteral(":/printing/DayListWindow.design"));
    viewButton = makeDesignButton(design, QStringLiteral("Button3"), frame);
    printButton = makeDesignButton(design, QStringLiteral("Button7"), frame);
    optionsButton = makeDesignButton(design, QStringLiteral("Button1"), frame);
    aboutButton = makeDesignButton(design, QStringLiteral("Button4"), frame);
    quitButton = makeDesignButton(design, QStringLiteral("Button2"), frame);

    waitPanel = new QFrame(frame);
    waitPanel->setObjectName(QStringLiteral("Picture1"));
    waitPanel->setFrameShape(QFrame::Panel);
    waitPanel->setAutoFillBackground(true);
    auto* waitText
        = new QLabel(QStringLiteral("Veuillez patienter : Chargement de l'image en cours...."), waitPanel);
    waitText->setObjectName(QStringLiteral("Label3"));
    (new QHBoxLayout(waitPanel))->addWidget(waitText);
    waitPanel->hide();

    auto* heading = new QHBoxLayout;
    heading->addWidget(pictureLabel);
    heading->addWidget(titleLabel, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(calendar);
    buttons->addStretch();
    for (brixel::Button* button : {viewButton, printButton, optionsButton, aboutButton, quitButton})
        buttons->addWidget(button, 0, Qt::AlignHCenter);
    auto* body = new QHBoxLayout;
    body->addLayout(buttons);
    body->addWidget(grid, 1);
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(heading);
    layout->addLayout(body, 1);

    // The list follows the calendar's selected day however it changes: a
    // click, the keys, or another month shown (which selects the same day in it).
    connect(
        calendar, &QCalendarWidget::selectionChanged, this, [this] { showDay(calendar->selectedDate()); });
    connect(calendar, &QCalendarWidget::currentPageChanged, this, &DayListWindow::followMonth);
    connect(grid, &BoundGrid::rowActivated, this, &DayListWindow::viewImage);
    connect(viewButton, &brixel::Button::Click, this, &DayListWindow::viewImage);
    connect(printButton, &brixel::Button::Click, this, &DayListWindow::printAndQuit);
    connect(optionsButton, &brixel::Button::Click, this, &DayListWindow::configure);
    connect(aboutButton, &brixel::Button::Click, this, &DayListWindow::about);
    connect(quitButton, &brixel::Button::Click, this, &QDialog::reject);

    // Today's images at once: the user opens the list to see them. Until a
    // day is read there is nothing to view.
    viewButton->hide();
    const QDate today = QDate::currentDate();
    {
        const QSignalBlocker quiet(calendar);
        calendar->setSelectedDate(today);
    }
    titleLabel->setText(dayTitle(today));
    showDay(today);
}

void DayListWindow::followMonth(int year, int month)
{
    const QDate selected = calendar->selectedDate();
    if (selected.year() == year && selected.month() == month)
        return;
    const QDate first(year, month, 1);
    calendar->setSelectedDate(first.addDays(std::min(selected.day(), first.daysInMonth()) - 1));
}

void DayListWindow::showDay(const QDate& day)
{
    if (!dayList_.showDay(day, appValues().conquestPath)) {
        msgBox(dayListDatabaseErrorText(), MsgIcon::Critical, MsgButtons::Ok, QStringLiteral("Erreur..."));
        return;
    }
    titleLabel->setText(dayTitle(day));
    viewButton->setVisible(dayList_.hasImages());
}

void DayListWindow::viewImage()
{
    if (otherWindowOpen_)
        return;
    const std::optional<ViewerRequest> request = singleImageViewing(images, appValues().conquestImagePath);
    if (!request)
        return;
    // The image is known by its key: the list may change while the viewer is open.
    const QString key = images.fieldText(col::SopInstance);
    waitPanel->setGeometry(width() / 4, height() / 2 - 30, width() / 2, 60);
    waitPanel->show();
    waitPanel->raise();
    waitPanel->repaint(); // drawn now, before the viewer covers the list
    otherWindowOpen_ = true;
    setWindowNotTopmost(this);
    const ViewerOutcome outcome = runViewer(*request);
    otherWindowOpen_ = false;
    if (outcome.printed)
        markViewedImagePrinted(key);
    setWindowTopmost(this);
    waitPanel->hide();
}

// The image printed in the viewer, unless another workstation deleted it meanwhile.
void DayListWindow::markViewedImagePrinted(const QString& key)
{
    const ExamWrite marked = dayList_.markPrinted(key, QDate::currentDate());
    if (marked.outcome == ExamWrite::Gone)
        msgBox(examDeletedElsewhereText(), MsgIcon::Exclamation, MsgButtons::Ok,
            QStringLiteral("Impression..."));
    else if (!marked.written())
        msgBox(QStringLiteral("L'image imprimée n'a pas pu être marquée comme imprimée."), MsgIcon::Critical,
            MsgButtons::Ok, QStringLiteral("Impression..."));
}

void DayListWindow::printAndQuit()
{
    if (!hasImagesToPrint(appValues().conquestPath, QDate::currentDate())) {
        msgBox(nothingToPrintText(), MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Impression..."));
        return;
    }
    printUnprinted_ = true;
    accept();
}

// The list stays open, in its own modal loop (hiding it would end the loop),
// below the options window while it is open.
void DayListWindow::configure()
{
    if (!showOptions || otherWindowOpen_)
        return;
    otherWindowOpen_ = true;
    setWindowNotTopmost(this);
    showOptions();
    otherWindowOpen_ = false;
    setWindowTopmost(this);
    activateWindow();
}

void DayListWindow::about()
{
    if (showAbout)
        showAbout();
}

void DayListWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !otherWindowOpen_
        && !windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        setWindowTopmost(this);
}

// The picture and the title move the borderless window like a title bar.
bool DayListWindow::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == pictureLabel || watched == titleLabel) && event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && !isMaximized() && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vexa
