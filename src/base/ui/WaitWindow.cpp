#include "base/ui/WaitWindow.h"
#include "base/ui/WindowOrder.h"
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace vexa {

WaitWindow::WaitWindow(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , messageLabel(new QLabel(DefaultMessage, this))
    , progressLabel(new QLabel(this))
    , progressBar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("WaitWindow"));
    setWindowTitle(QStringLiteral("VexaDICOM"));
    messageLabel->setObjectName(QStringLiteral("Message"));
    messageLabel->setWordWrap(true);
    messageLabel->setAlignment(Qt::AlignCenter);
    progressLabel->setObjectName(QStringLiteral("Progress"));
    progressLabel->setAlignment(Qt::AlignCenter);
    progressBar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(messageLabel);
    layout->addWidget(progressLabel);
    layout->addWidget(progressBar);
    progressLabel->hide();
    progressBar->hide();
    setMinimumWidth(360);
}

void WaitWindow::setMessage(const QString& text)
{
    messageLabel->setText(text);
}

QString WaitWindow::message() const
{
    return messageLabel->text();
}

void WaitWindow::setProgress(int done, int total)
{
    const bool counting = total > 0;
    const bool grows = counting && !progressBar->isVisibleTo(this);
    progressLabel->setVisible(counting);
    progressBar->setVisible(counting);
    if (!counting)
        return;
    progressLabel->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
    progressBar->setRange(0, total);
    progressBar->setValue(std::clamp(done, 0, total));
    if (grows && isVisible())
        placeOverOwner();
}

// Centred on the window it waits for (else on the screen), at the size of
// what it shows, so that it is painted whole where the user looks.
void WaitWindow::placeOverOwner()
{
    adjustSize();
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    QRect area = owner && owner->isVisible() ? owner->frameGeometry() : QRect();
    if (area.isEmpty() && screen())
        area = screen()->availableGeometry();
    QRect placed(QPoint(), size());
    placed.moveCenter(area.center());
    move(placed.topLeft());
}

QString WaitWindow::progressText() const
{
    return progressLabel->isVisibleTo(this) ? progressLabel->text() : QString();
}

void WaitWindow::showEvent(QShowEvent* event)
{
    placeOverOwner();
    QWidget::showEvent(event);
    SetWindowTopmost(this);
}

// Brought back on top whenever it is activated, like at its first showing.
void WaitWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        SetWindowTopmost(this);
}

} // namespace vexa
