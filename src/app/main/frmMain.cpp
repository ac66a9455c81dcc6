#include "frmMain.h"

#include "API.h"
#include "AppValues.h"
#include "DesignButtons.h"
#include "ExamPage.h"
#include "Misc.h"
#include "SearchPage.h"
#include "StartupSteps.h"
#include "frmAbout.h"
#include "frmOptions.h"

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

frmMain::frmMain(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmMain"));
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(16, 24, 48));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    Picture1[0] = QImage(QStringLiteral(":/app/icons/print_new.png"));
    Picture1[1] = QImage(QStringLiteral(":/app/icons/print_none.png"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TitleBar());
    layout->addWidget(NoticeBar());
    BuildPages();
    layout->addWidget(VexaTab1);
    layout->addWidget(Fonds, 1);
    BuildMenu();
    ConnectPages();
    connect(&TimerSurvey, &QTimer::timeout, this, &frmMain::MonitorTick);
    connect(&TimerMessage, &QTimer::timeout, this, [this] {
        if (!monitor)
            return;
        monitor->blink();
        Image5->setVisible(monitor->image5Visible());
    });
    connect(&TimerDay, &QTimer::timeout, this, [this] { DayTick(today()); });
    qApp->installEventFilter(this);
}

frmMain::~frmMain()
{
    qApp->removeEventFilter(this);
}

QWidget* frmMain::TitleBar()
{
    const brixel::DesignFile design = LoadDesign(QStringLiteral(":/app/frmMain.design"));
    auto* bar = new QWidget(this);
    Image2 = PictureLabel(QStringLiteral("Image2"), QStringLiteral(":/app/icons/menu.png"), bar);
    Image1 = PictureLabel(QStringLiteral("Image1"), QStringLiteral(":/app/icons/title.png"), bar);
    Button4 = MakeDesignButton(design, QStringLiteral("Button4"), bar);
    Button2 = MakeDesignButton(design, QStringLiteral("Button2"), bar);
    Button7 = MakeDesignButton(design, QStringLiteral("Button7"), this);
    connect(Button2, &brixel::Button::Click, this, &QWidget::close);
    connect(Button4, &brixel::Button::Click, this, &QWidget::showMinimized);
    // Button4 sits 20 units of the design left of Button2, at the right edge.
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(4, 2, 0, 2);
    layout->addWidget(Image2);
    layout->addWidget(Image1);
    layout->addStretch(1);
    layout->addWidget(Button4);
    layout->addSpacing(20 / 15 + 1);
    layout->addWidget(Button2);
    return bar;
}

QWidget* frmMain::NoticeBar()
{
    auto* bar = new QWidget(this);
    Image5 = PictureLabel(QStringLiteral("Image5"), QStringLiteral(":/app/icons/notice.png"), bar);
    Image5->hide();
    Label1 = new QLabel(bar);
    Label1->setObjectName(QStringLiteral("Label1"));
    lblVersion = new QLabel(bar);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    auto* layout = new QHBoxLayout(bar);
    layout->addWidget(Image5);
    layout->addWidget(Label1, 1);
    layout->addWidget(Button7);
    layout->addWidget(lblVersion);
    return bar;
}

void frmMain::BuildPages()
{
    VexaTab1 = new QTabBar(this);
    VexaTab1->setObjectName(QStringLiteral("VexaTab1"));
    for (const QString& text :
        {QStringLiteral("Rechercher un patient..."), QStringLiteral("Visualiser, editer... un examen"),
            QStringLiteral("Outils..."), QStringLiteral("Configuration...")})
        VexaTab1->addTab(text);
    Fonds = new QStackedWidget(this);
    const brixel::DesignFile design = LoadDesign(QStringLiteral(":/app/frmMain.design"));
    Page1 = new SearchPage(sets, design, Fonds);
    Page2 = new ExamPage(sets, design, Fonds);
    Fonds->addWidget(Page1);
    Fonds->addWidget(Page2);
    for (int n : {3, 4}) {
        auto* empty = new QWidget(Fonds);
        empty->setObjectName(QStringLiteral("Fond(%1)").arg(n));
        Fonds->addWidget(empty);
    }
    connect(VexaTab1, &QTabBar::currentChanged, this, &frmMain::PageChanged);
}

void frmMain::BuildMenu()
{
    mnuSystray = new QMenu(this);
    mnuSystray->setObjectName(QStringLiteral("mnuSystray"));
    auto add = [this](const QString& name, const QString& caption, auto slot) {
        QAction* action = mnuSystray->addAction(caption);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(QStringLiteral("mnuTitle"), QStringLiteral("VexaDicom"), &frmMain::Afficher);
    mnuSystray->addSeparator();
    // Help and the day list belong to actions this build does not hold yet.
    add(QStringLiteral("mnuHelp"), QStringLiteral("&? Aide..."), [] {})->setEnabled(false);
    mnuSystray->addSeparator();
    add(QStringLiteral("mnuAfficher"), QStringLiteral("&Afficher ..."), &frmMain::Afficher);
    add(QStringLiteral("mnuOutils"), QStringLiteral("&Outils..."), [] {})->setEnabled(false);
    add(QStringLiteral("mnuConfig"), QStringLiteral("&Configurer"), &frmMain::OpenOptions);
    mnuSystray->addSeparator();
    add(QStringLiteral("mnuAbout"), QStringLiteral("A &propos..."), &frmMain::OpenAbout);
    mnuSystray->addSeparator();
    add(QStringLiteral("mnuQuit"), QStringLiteral("&Quitter..."), &frmMain::QuitSequence);
}

void frmMain::ApplyButtonColours()
{
    const QColor darkGrey(32, 32, 32), lightBlue(128, 128, 255), darkBlue(0, 0, 64);
    Colour(Button7, darkGrey, darkGrey, darkGrey);
    Colour(Page2->Button15, darkGrey, darkGrey, darkGrey);
    Colour(Button4, lightBlue, lightBlue, QColor(0, 0, 255));
    for (brixel::Button* button : Page1->Button8)
        Colour(button, darkBlue, darkBlue, darkBlue);
}

void frmMain::Relayout()
{
    if (windowState() & Qt::WindowMinimized) {
        setWindowTitle(QStringLiteral("VexaDicom"));
        return;
    }
    setWindowTitle(QString());
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect target = MainWindowRect(screen->geometry(), TaskbarHeight());
    if (geometry() != target)
        setGeometry(target);
}

void frmMain::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    Relayout();
}

void frmMain::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange)
        Relayout();
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Page1->Text1->setFocus();
    QWidget::changeEvent(event);
}

void frmMain::ShowPopupMenu(const QPoint& globalPosition)
{
    mnuSystray->popup(globalPosition);
}

void frmMain::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        ShowPopupMenu(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}

void frmMain::Afficher()
{
    const int interval = surveyInterval();
    SetSurveyInterval(0);
    showNormal();
    raise();
    activateWindow();
    SetSurveyInterval(interval);
}

void frmMain::OpenOptions()
{
    const int interval = surveyInterval();
    SetSurveyInterval(0);
    if (showOptionsDialog) {
        showOptionsDialog();
    } else {
        frmOptions options(this);
        options.setRelayout([this] { Relayout(); });
        options.exec();
    }
    SetSurveyInterval(interval);
}

void frmMain::OpenAbout()
{
    const int interval = surveyInterval();
    SetSurveyInterval(0);
    frmAbout about(this);
    about.exec();
    SetSurveyInterval(interval);
}

void frmMain::QuitSequence()
{
    // The other windows first, then this one; a window that refuses is passed over.
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    close();
    PumpEvents(20);
    QCoreApplication::quit();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    mnuSystray->close();
    TimerSurvey.stop();
    TimerMessage.stop();
    TimerDay.stop();
    event->accept();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == this && !QApplication::activeModalWidget())
            return HandleKey(static_cast<QKeyEvent*>(event));
        return false;
    }
    if (event->type() != QEvent::MouseButtonPress)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool right = mouse->button() == Qt::RightButton;
    if (watched == Image2 || ((watched == Label1 || watched == VexaTab1) && right)) {
        ShowPopupMenu(mouse->globalPosition().toPoint());
        return true;
    }
    if (watched == Image1 && mouse->button() == Qt::LeftButton && !isMaximized() && windowHandle()) {
        windowHandle()->startSystemMove();
        return true;
    }
    return false;
}

} // namespace vexa
