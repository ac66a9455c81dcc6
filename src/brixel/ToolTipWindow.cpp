#include "ToolTipWindow.h"

#include "ToolTipPlacement.h"
#include <brixel/Twips.h>

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>

namespace brixel {

namespace {
// Widgets live on the one user-interface thread; the window goes before the application.
QPointer<ToolTipWindow> sharedWindow;

void deleteSharedWindow()
{
    delete sharedWindow.data();
}

constexpr int LabelInsetPixels = 60 / TwipsPerPixel;
} // namespace

ToolTipWindow::ToolTipWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("ToolTipWindow"));
    m_label->setObjectName(QStringLiteral("lblToolTipText"));
    m_label->move(LabelInsetPixels, LabelInsetPixels);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    m_label->setAutoFillBackground(true);
    m_label->setTextFormat(Qt::PlainText);
}

ToolTipWindow& ToolTipWindow::instance()
{
    if (!sharedWindow) {
        sharedWindow = new ToolTipWindow();
        static bool cleanupRegistered = false;
        if (!cleanupRegistered) {
            qAddPostRoutine(deleteSharedWindow);
            cleanupRegistered = true;
        }
    }
    return *sharedWindow;
}

void ToolTipWindow::closeShared()
{
    if (sharedWindow)
        sharedWindow->hide();
}

QColor ToolTipWindow::defaultBackColor()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

QColor ToolTipWindow::defaultForeColor()
{
    return QApplication::palette().color(QPalette::ButtonText);
}

void ToolTipWindow::showFor(
    const QRect& controlOnScreen, const QString& text, const QColor& back, const QColor& fore)
{
    QScreen* screen = QGuiApplication::screenAt(controlOnScreen.center());
    if (screen == nullptr)
        screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return hide();
    const QRect screenRect = screen->geometry();
    const QFontMetrics metrics(m_label->font());
    const QString fitted = fitToolTipText(
        text, screenRect.width(), [&metrics](const QString& t) { return metrics.horizontalAdvance(t); });
    const QSize textSize(metrics.horizontalAdvance(fitted), metrics.height());

    QPalette colours = palette();
    colours.setColor(QPalette::Window, back);
    colours.setColor(QPalette::WindowText, fore);
    setPalette(colours);
    m_label->setPalette(colours);
    m_label->setText(fitted);
    m_label->resize(textSize);
    setGeometry(placeToolTip(controlOnScreen, textSize, screenRect));
    show();
    raise();
}

QString ToolTipWindow::shownText() const
{
    return isVisible() ? m_label->text() : QString();
}

} // namespace brixel
