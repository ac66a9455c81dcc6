// The button's tooltip: a delay timer per button, one shared window.
#include <brixel/Button.h>

#include "ToolTipWindow.h"

#include <QTimer>

namespace brixel {

void Button::hideToolTip()
{
    m_toolTipTimer->stop();
    ToolTipWindow::closeShared();
}

void Button::requestToolTip(const QString& text)
{
    if (text.isEmpty())
        return hideToolTip();
    m_pendingToolTip = text;
    if (!m_toolTipTimer->isActive())
        m_toolTipTimer->start();
}

void Button::toolTipTick()
{
    if (m_tracking && isVisible())
        showToolTip(m_pendingToolTip);
    else
        hideToolTip();
}

void Button::showToolTip(const QString& text)
{
    const QRect onScreen(mapToGlobal(QPoint(0, 0)), size());
    ToolTipWindow::instance().showFor(onScreen, text, m_toolTipBack, m_toolTipFore);
}

} // namespace brixel
