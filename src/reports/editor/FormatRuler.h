#pragma once
// The ruler above the report: centimetres across the text width, the first
// line, left and right indents of the current paragraph and its tab stops.
// Dragging a marker sets the indent; a click on the scale adds a left tab
// stop; a tab stop dragged off the ruler goes away.
#include <QWidget>

class QTextEdit;

namespace vexa {

class FormatRuler : public QWidget {
    Q_OBJECT
public:
    explicit FormatRuler(QTextEdit* editor, QWidget* parent = nullptr);

    QSize sizeHint() const override;

    // Positions in document pixels from the text's left edge.
    double firstLineIndent() const;
    double leftIndent() const;
    double rightIndent() const;
    QList<double> tabStops() const;

    // A press at `from` and a release at `to` (widget pixels), as the mouse
    // does: the first-line marker is in the top half, the left and right
    // indents and the tab stops in the bottom half; a press elsewhere on the
    // scale adds a tab stop; a tab stop released far off the ruler goes.
    void dragMarker(QPointF from, QPointF to);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    enum class Marker { None, FirstLine, Left, Right, Tab };
    struct Grab {
        Marker marker = Marker::None;
        int tabIndex = -1;
    };

    double textLeft() const; // widget x of the text's left edge
    double textWidth() const;
    Grab markerAt(double x, double y) const;
    void moveMarker(const Grab& grab, double x, bool remove);
    void addTab(double x);

    QTextEdit* editor_;
    Grab grab_;
};

} // namespace vexa
