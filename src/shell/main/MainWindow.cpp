#include "shell/main/MainWindow.h"

#include "base/core/AppValues.h"
#include "base/core/ProgramTitle.h"
#include "base/ui/DesignButtons.h"
#include "base/ui/WindowOrder.h"
#include "browser/ExamPage.h"
#include "browser/SearchPage.h"
#include "browser/ToolsPage.h"
#include "shell/main/AboutDialog.h"
#include "shell/main/OptionsDialog.h"
#include "shell/main/StartupSteps.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWindow>

namespace vexa {
namespace {

QLabel* PictureLabel(const QString& name, const QString& resource, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(resource));
    return label;
}

void Colour(brixel::Button* button, QColor back, QColor over, QColor down)
{
    button->setBackColor(back);
    button->setBackColorOver(over);
    button->setBackColorDown(down);
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("MainWindow"));
    KeepModalWindowsOnTop();
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(16, 24, 48));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    imagesToPrintPictures[0] = QImage(QStringLiteral(":/app/icons/print_new.png"));
    imagesToPrintPictures[1] = QImage(QStringLiteral(":/app/icons/print_none.png"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TitleBar());
    layout->addWidget(NoticeBar());
    BuildPages();
    layout->addWidget(pageTabs);
    layout->addWidget(pageStack, 1);
    BuildMenu();
    ConnectPages();
    ConnectActions();
    SetRealActions();
    connect(&monitorTimer, &QTimer::timeout, this, &MainWindow::MonitorTick);
    connect(&blinkTimer, &QTimer::timeout, this, [this] {
        if (monitor && NoticeBlinkInterval(monitor->notice()) != 0)
            receivingPicture->setVisible(receivingPicture->isHidden());
    });
    connect(&dayTimer, &QTimer::timeout, this, [this] { DayTick(today()); });
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

QWidget* MainWindow::TitleBar()
{
    const brixel::DesignFile design = LoadDesign(QStringLiteral(":/app/MainWindow.design"));
    auto* bar = new QWidget(this);
    menuPicture = PictureLabel(QStringLiteral("Image2"), QStringLiteral(":/app/icons/menu.png"), bar);
    titlePicture = PictureLabel(QStringLiteral("Image1"), QStringLiteral(":/app/icons/title.png"), bar);
    minimiseButton = MakeDesignButton(design, QStringLiteral("Button4"), bar);
    closeButton = MakeDesignButton(design, QStringLiteral("Button2"), bar);
    imagesToPrintButton = MakeDesignButton(design, QStringLiteral("Button7"), this);
    connect(closeButton, &brixel::Button::Click, this, &QWidget::close);
    connect(minimiseButton, &brixel::Button::Click, this, &QWidget::showMinimized);
    // minimiseButton sits 20 units of the design left of closeButton, at the right edge.
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 0, 2);
    layout->addWidget(menuPicture);
    layout->addWidget(titlePicture);
    layout->addStretch(1);
    layout->addWidget(minimiseButton);
    layout->addSpacing(20 / 15 + 1);
    layout->addWidget(closeButton);
    return bar;
}

QWidget* MainWindow::NoticeBar()
{
    auto* bar = new QWidget(this);
    receivingPicture = PictureLabel(QStringLiteral("Image5"), QStringLiteral(":/app/icons/notice.png"), bar);
    receivingPicture->hide();
    // The picture blinks: its place stays taken so the notice never moves.
    QSizePolicy keepPlace = receivingPicture->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    receivingPicture->setSizePolicy(keepPlace);
    noticeLabel = new QLabel(bar);
    noticeLabel->setObjectName(QStringLiteral("Label1"));
    versionLabel = new QLabel(bar);
    versionLabel->setObjectName(QStringLiteral("lblVersion"));
    auto* layout = new QHBoxLayout(bar);
    layout->addWidget(receivingPicture);
    layout->addWidget(noticeLabel, 1);
    layout->addWidget(imagesToPrintButton);
    layout->addWidget(versionLabel);
    return bar;
}

void MainWindow::BuildPages()
{
    pageTabs = new QTabBar(this);
    pageTabs->setObjectName(QStringLiteral("VexaTab1"));
    for (const QString& text :
        {QStringLiteral("Rechercher un patient..."), QStringLiteral("Visualiser, editer... un examen"),
            QStringLiteral("Outils..."), QStringLiteral("Configuration...")})
        pageTabs->addTab(text);
    pageStack = new QStackedWidget(this);
    const brixel::DesignFile design = LoadDesign(QStringLiteral(":/app/MainWindow.design"));
    searchPage = new SearchPage(sets, design, pageStack);
    examPage = new ExamPage(sets, design, pageStack);
    toolsPage = new ToolsPage(design, pageStack);
    pageStack->addWidget(searchPage);
    pageStack->addWidget(examPage);
    pageStack->addWidget(toolsPage);
    auto* empty = new QWidget(pageStack); // the options dialog opens instead
    empty->setObjectName(QStringLiteral("Fond(4)"));
    pageStack->addWidget(empty);
    connect(pageTabs, &QTabBar::currentChanged, this, &MainWindow::PageChanged);
}

void MainWindow::BuildMenu()
{
    popupMenu = new QMenu(this);
    popupMenu->setObjectName(QStringLiteral("mnuSystray"));
    auto add = [this](const QString& name, const QString& caption, auto slot) {
        QAction* action = popupMenu->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(QStringLiteral("mnuTitle"), ProgramTitle, &MainWindow::bringToFront);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuHelp"), QStringLiteral("&? Aide..."), &MainWindow::HelpAction);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuAfficher"), QStringLiteral("&Afficher ..."), &MainWindow::bringToFront);
    add(QStringLiteral("mnuOutils"), QStringLiteral("&Outils..."), &MainWindow::DayListAction);
    add(QStringLiteral("mnuConfig"), QStringLiteral("&Configurer"), &MainWindow::OpenOptions);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuAbout"), QStringLiteral("A &propos..."), &MainWindow::OpenAbout);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuQuit"), QStringLiteral("&Quitter..."), &MainWindow::QuitSequence);
}

void MainWindow::ApplyButtonColours()
{
    const QColor black(0, 0, 0), darkGrey(32, 32, 32), lightBlue(128, 128, 255), darkBlue(0, 0, 64);
    Colour(examPage->deleteImageButton, black, black, black);
    const ExamPage& exam = *examPage;
    const ToolsPage& tools = *toolsPage;
    for (brixel::Button* button : {imagesToPrintButton, exam.viewExamButton, exam.printExamButton,
             exam.printLabelButton, exam.burnExamButton, exam.markBurnedButton, exam.examReportButton,
             exam.deleteExamButton, exam.closeExamButton, tools.dayListButton, tools.markAllBurnedButton,
             tools.reportTemplateButton, tools.letterheadButton, tools.updateButton, tools.helpButton})
        Colour(button, darkGrey, darkGrey, darkGrey);
    Colour(minimiseButton, lightBlue, lightBlue, QColor(0, 0, 255));
    searchPage->setViewButtonColour(darkBlue);
    Colour(tools.worklistButton, darkBlue, darkBlue, darkBlue);
}

void MainWindow::Relayout()
{
    if (windowState() & Qt::WindowMinimized) {
        setWindowTitle(ProgramTitle);
        return;
    }
    setWindowTitle(QString());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The window's own screen less every panel of the desktop, wherever they sit.
    const QRect target = screenArea ? screenArea(screen) : screen->availableGeometry();
    if (geometry() != target)
        setGeometry(target);
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
        Relayout();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        searchPage->focusPatientName();
    QWidget::changeEvent(event);
}

void MainWindow::ShowPopupMenu(const QPoint& globalPosition)
{
    popupMenu->popup(globalPosition);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        ShowPopupMenu(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void MainWindow::bringToFront()
{
    const int interval = surveyInterval();
    SetSurveyInterval(0);
    showNormal();
    raise();
    activateWindow();
    SetSurveyInterval(interval);
}

void MainWindow::OpenOptions()
{
    const int interval = surveyInterval();
    SetSurveyInterval(0);
    if (showOptionsDialog) {
        showOptionsDialog();
    } else {
        OptionsDialog options(this);
        options.setRelayout([this] { Relayout(); });
        options.exec();
    }
    // "Appliquer" with another database: every list moves to it at once.
    if (monitor && appValues().ConquestPath != conquestPath_) {
        ReopenDatabase(appValues().ConquestPath);
        return; // page 1 with the monitor running
    }
    SetSurveyInterval(interval);
}

void MainWindow::OpenAbout()
{
    const int interval = surveyInterval();
    SetSurveyInterval(0);
    AboutDialog about(this);
    about.exec();
    SetSurveyInterval(interval);
}

void MainWindow::QuitSequence()
{
    // The other windows first, then this one; a window that refuses is passed over.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    close();
    QCoreApplication::quit();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    popupMenu->close();
    monitorTimer.stop();
    blinkTimer.stop();
    dayTimer.stop();
    event->accept();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && !QApplication::activeModalWidget())
            return HandleKey(static_cast<QKeyEvent*>(event), widget);
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool right = mouse->button() == Qt::RightButton;
    if (watched == menuPicture || ((watched == noticeLabel || watched == pageTabs) && right)) {
        ShowPopupMenu(mouse->globalPosition().toPoint());
        return true;
    }
    if (watched == titlePicture && mouse->button() == Qt::LeftButton && !isMaximized() && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return false;
}

} // namespace vexa
