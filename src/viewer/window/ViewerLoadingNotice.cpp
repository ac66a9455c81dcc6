#include "viewer/window/ViewerLoadingNotice.h"

#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace vexa {

ViewerLoadingNotice::ViewerLoadingNotice(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , messageLabel(new QLabel(Text, this))
{
    setObjectName(QStringLiteral("ViewerLoadingNotice"));
    setWindowTitle(QStringLiteral("VexaDICOM"));
    setAttribute(Qt::WA_ShowWithoutActivating, true);
    messageLabel->setObjectName(QStringLiteral("messageLabel"));
    messageLabel->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 20);
    layout->addWidget(messageLabel);
}

// Back on top whenever it is activated.
void ViewerLoadingNotice::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        raise();
}

} // namespace vexa
