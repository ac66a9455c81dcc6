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

    // What a press at `x` (widget pixels) grabs, then moving it to `to`.
    void dragMarker(double fromX, double toX, double toY = 0);

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

    double TextLeft() const; // widget x of the text's left edge
    double TextWidth() const;
    Grab MarkerAt(double x, double y) const;
    void MoveMarker(const Grab& grab, double x, bool remove);
    void AddTab(double x);

    QTextEdit* editor_;
    Grab grab_;
};

} // namespace vexa
