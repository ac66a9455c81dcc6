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

QLabel* pictureLabel(const QString& name, const QString& resource, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(resource));
    return label;
}

void colour(brixel::Button* button, QColor back, QColor over, QColor down)
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
    keepModalWindowsOnTop();
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(16, 24, 48));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    imagesToPrintPictures[0] = QImage(QStringLiteral(":/app/icons/print_new.png"));
    imagesToPrintPictures[1] = QImage(QStringLiteral(":/app/icons/print_none.png"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(titleBar());
    layout->addWidget(noticeBar());
    buildPages();
    layout->addWidget(pageTabs);
    layout->addWidget(pageStack, 1);
    buildMenu();
    connectPages();
    connectActions();
    setRealActions();
    connect(&monitorTimer, &QTimer::timeout, this, &MainWindow::monitorTick);
    connect(&blinkTimer, &QTimer::timeout, this, [this] {
        if (monitor && noticeBlinkInterval(monitor->notice()) != 0)
            receivingPicture->setVisible(receivingPicture->isHidden());
    });
    connect(&dayTimer, &QTimer::timeout, this, [this] { dayTick(today()); });
    qApp->installEventFilter(this);
}

MainWindow::~MainWindow()
{
    qApp->removeEventFilter(this);
}

QWidget* MainWindow::titleBar()
{
    const brixel::DesignFile design = loadDesign(QStringLiteral(":/app/MainWindow.design"));
    auto* bar = new QWidget(this);
    menuPicture = pictureLabel(QStringLiteral("Image2"), QStringLiteral(":/app/icons/menu.png"), bar);
    titlePicture = pictureLabel(QStringLiteral("Image1"), QStringLiteral(":/app/icons/title.png"), bar);
    minimiseButton = makeDesignButton(design, QStringLiteral("Button4"), bar);
    closeButton = makeDesignButton(design, QStringLiteral("Button2"), bar);
    imagesToPrintButton = makeDesignButton(design, QStringLiteral("Button7"), this);
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

QWidget* MainWindow::noticeBar()
{
    auto* bar = new QWidget(this);
    receivingPicture = pictureLabel(QStringLiteral("Image5"), QStringLiteral(":/app/icons/notice.png"), bar);
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

void MainWindow::buildPages()
{
    pageTabs = new QTabBar(this);
    pageTabs->setObjectName(QStringLiteral("VexaTab1"));
    for (const QString& text :
        {QStringLiteral("Rechercher un patient..."), QStringLiteral("Visualiser, editer... un examen"),
            QStringLiteral("Outils..."), QStringLiteral("Configuration...")})
        pageTabs->addTab(text);
    pageStack = new QStackedWidget(this);
    const brixel::DesignFile design = loadDesign(QStringLiteral(":/app/MainWindow.design"));
    searchPage = new SearchPage(sets, design, pageStack);
    examPage = new ExamPage(sets, design, pageStack);
    toolsPage = new ToolsPage(design, pageStack);
    pageStack->addWidget(searchPage);
    pageStack->addWidget(examPage);
    pageStack->addWidget(toolsPage);
    auto* empty = new QWidget(pageStack); // the options dialog opens instead
    empty->setObjectName(QStringLiteral("Fond(4)"));
    pageStack->addWidget(empty);
    connect(pageTabs, &QTabBar::currentChanged, this, &MainWindow::pageChanged);
}

void MainWindow::buildMenu()
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
    add(QStringLiteral("mnuHelp"), QStringLiteral("&? Aide..."), &MainWindow::helpAction);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuAfficher"), QStringLiteral("&Afficher ..."), &MainWindow::bringToFront);
    add(QStringLiteral("mnuOutils"), QStringLiteral("&Outils..."), &MainWindow::dayListAction);
    add(QStringLiteral("mnuConfig"), QStringLiteral("&Configurer"), &MainWindow::openOptions);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuAbout"), QStringLiteral("A &propos..."), &MainWindow::openAbout);
    popupMenu->addSeparator();
    add(QStringLiteral("mnuQuit"), QStringLiteral("&Quitter..."), &MainWindow::quitSequence);
}

void MainWindow::applyButtonColours()
{
    const QColor black(0, 0, 0), darkGrey(32, 32, 32), lightBlue(128, 128, 255), darkBlue(0, 0, 64);
    colour(examPage->deleteImageButton, black, black, black);
    const ExamPage& exam = *examPage;
    const ToolsPage& tools = *toolsPage;
    for (brixel::Button* button : {imagesToPrintButton, exam.viewExamButton, exam.printExamButton,
             exam.printLabelButton, exam.burnExamButton, exam.markBurnedButton, exam.examReportButton,
             exam.deleteExamButton, exam.closeExamButton, tools.dayListButton, tools.markAllBurnedButton,
             tools.reportTemplateButton, tools.letterheadButton, tools.updateButton, tools.helpButton})
        colour(button, darkGrey, darkGrey, darkGrey);
    colour(minimiseButton, lightBlue, lightBlue, QColor(0, 0, 255));
    searchPage->setViewButtonColour(darkBlue);
    colour(tools.worklistButton, darkBlue, darkBlue, darkBlue);
}

void MainWindow::relayout()
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
    relayout();
}

void MainWindow::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
        relayout();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        searchPage->focusPatientName();
    QWidget::changeEvent(event);
}

void MainWindow::showPopupMenu(const QPoint& globalPosition)
{
    popupMenu->popup(globalPosition);
}

void MainWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        showPopupMenu(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void MainWindow::bringToFront()
{
    const int interval = surveyInterval();
    setSurveyInterval(0);
    showNormal();
    raise();
    activateWindow();
    setSurveyInterval(interval);
}

void MainWindow::openOptions()
{
    const int interval = surveyInterval();
    setSurveyInterval(0);
    if (showOptionsDialog) {
        showOptionsDialog();
    } else {
        OptionsDialog options(this);
        options.setRelayout([this] { relayout(); });
        options.exec();
    }
    // "Appliquer" with another database: every list moves to it at once.
    if (monitor && appValues().conquestPath != conquestPath_) {
        reopenDatabase(appValues().conquestPath);
        return; // page 1 with the monitor running
    }
    setSurveyInterval(interval);
}

void MainWindow::openAbout()
{
    const int interval = surveyInterval();
    setSurveyInterval(0);
    AboutDialog about(this);
    about.exec();
    setSurveyInterval(interval);
}

void MainWindow::quitSequence()
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
            return handleKey(static_cast<QKeyEvent*>(event), widget);
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool right = mouse->button() == Qt::RightButton;
    if (watched == menuPicture || ((watched == noticeLabel || watched == pageTabs) && right)) {
        showPopupMenu(mouse->globalPosition().toPoint());
        return true;
    }
    if (watched == titlePicture && mouse->button() == Qt::LeftButton && !isMaximized() && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return false;
}

} // namespace vexa
