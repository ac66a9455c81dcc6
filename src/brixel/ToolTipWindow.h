#pragma once
// The tooltip window shared by every button of the user-interface thread: a
// borderless window with one label 60 twips in from its left and top edges.
#include <QColor>
#include <QWidget>

class QLabel;

namespace brixel {

class ToolTipWindow : public QWidget {
    Q_OBJECT

public:
    // The shared window, created on first use.
    static ToolTipWindow& instance();
    // Closes the shared window if it exists, without creating it.
    static void closeShared();

    // The colours a new button takes for its tooltip (the system's tooltip
    // background and button-text colours).
    static QColor defaultBackColor();
    static QColor defaultForeColor();

    // Shows the text below (or above) the control's screen rectangle.
    void showFor(const QRect& controlOnScreen, const QString& text, const QColor& back, const QColor& fore);
    QString shownText() const;

private:
    ToolTipWindow();
    QLabel* m_label;
};

} // namespace brixel
