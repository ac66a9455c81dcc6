#include "worklist/WorklistSentNotice.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace vexa {

WorklistSentNotice::WorklistSentNotice(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , messageLabel(new QLabel(Text, this))
    , closeTimer_(new QTimer(this))
{
    setObjectName(QStringLiteral("WorklistSentNotice"));
    setWindowTitle(QStringLiteral("WorkList"));
    messageLabel->setObjectName(QStringLiteral("messageLabel"));
    messageLabel->setAlignment(Qt::AlignCenter);
    QFont font = messageLabel->font();
    font.setBold(true);
    messageLabel->setFont(font);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(30, 24, 30, 24);
    layout->addWidget(messageLabel);
    closeTimer_->setSingleShot(true);
    closeTimer_->setInterval(CloseDelayMs);
    connect(closeTimer_, &QTimer::timeout, this, &QDialog::accept);
}

void WorklistSentNotice::setCloseDelay(int ms)
{
    closeTimer_->setInterval(ms);
}

int WorklistSentNotice::closeDelay() const
{
    return closeTimer_->interval();
}

void WorklistSentNotice::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    raise();
    closeTimer_->start();
}

} // namespace vexa
