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
    , messageLabel_(new QLabel(DefaultMessage, this))
    , progressLabel_(new QLabel(this))
    , progressBar_(new QProgressBar(this))
{
    setObjectName(QStringLiteral("WaitWindow"));
    setWindowTitle(QStringLiteral("VexaDICOM"));
    messageLabel_->setObjectName(QStringLiteral("Message"));
    messageLabel_->setWordWrap(true);
    messageLabel_->setAlignment(Qt::AlignCenter);
    progressLabel_->setObjectName(QStringLiteral("Progress"));
    progressLabel_->setAlignment(Qt::AlignCenter);
    progressBar_->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(messageLabel_);
    layout->addWidget(progressLabel_);
    layout->addWidget(progressBar_);
    progressLabel_->hide();
    progressBar_->hide();
    setMinimumWidth(360);
}

void WaitWindow::setMessage(const QString& text)
{
    messageLabel_->setText(text);
}

QString WaitWindow::message() const
{
    return messageLabel_->text();
}

void WaitWindow::setProgress(int done, int total)
{
    const bool counting = total > 0;
    const bool grows = counting && !progressBar_->isVisibleTo(this);
    progressLabel_->setVisible(counting);
    progressBar_->setVisible(counting);
    if (!counting)
        return;
    progressLabel_->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
    progressBar_->setRange(0, total);
    progressBar_->setValue(std::clamp(done, 0, total));
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
    return progressLabel_->isVisibleTo(this) ? progressLabel_->text() : QString();
}

void WaitWindow::showEvent(QShowEvent* event)
{
    placeOverOwner();
    QWidget::showEvent(event);
    setWindowTopmost(this);
}

// Brought back on top whenever it is activated, like at its first showing.
void WaitWindow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        setWindowTopmost(this);
}

} // namespace vexa
