#include "frmWaitLoad.h"
#include "API.h"
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace vexa {

frmWaitLoad::frmWaitLoad(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , Message(new QLabel(DefaultMessage, this))
    , Progress(new QLabel(this))
    , ProgressBar(new QProgressBar(this))
{
    setObjectName(QStringLiteral("frmWaitLoad"));
    setWindowTitle(QStringLiteral("VexaDICOM"));
    Message->setObjectName(QStringLiteral("Message"));
    Message->setWordWrap(true);
    Message->setAlignment(Qt::AlignCenter);
    Progress->setObjectName(QStringLiteral("Progress"));
    Progress->setAlignment(Qt::AlignCenter);
    ProgressBar->setTextVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Message);
    layout->addWidget(Progress);
    layout->addWidget(ProgressBar);
    Progress->hide();
    ProgressBar->hide();
    setMinimumWidth(360);
}

void frmWaitLoad::setMessage(const QString& text)
{
    Message->setText(text);
}

QString frmWaitLoad::message() const
{
    return Message->text();
}

void frmWaitLoad::setProgress(int done, int total)
{
    const bool counting = total > 0;
    Progress->setVisible(counting);
    ProgressBar->setVisible(counting);
    if (!counting)
        return;
    Progress->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
    ProgressBar->setRange(0, total);
    ProgressBar->setValue(std::clamp(done, 0, total));
}

QString frmWaitLoad::progressText() const
{
    return Progress->isVisibleTo(this) ? Progress->text() : QString();
}

void frmWaitLoad::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    SetWindowTopmost(this);
}

// Brought back on top whenever it is activated, like at its first showing.
void frmWaitLoad::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        SetWindowTopmost(this);
}

} // namespace vexa
