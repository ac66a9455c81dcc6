#include "reports/editor/FormatRuler.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace vexa {

namespace {

constexpr double PixelsPerCm = 96.0 / 2.54;
constexpr double GrabDistance = 5;

QTextBlockFormat currentBlockFormat(const QTextEdit* editor)
{
    return editor->textCursor().blockFormat();
}

void setBlockFormat(QTextEdit* editor, const QTextBlockFormat& format)
{
    QTextCursor cursor = editor->textCursor();
    cursor.setBlockFormat(format);
    editor->setTextCursor(cursor);
}

} // namespace

FormatRuler::FormatRuler(QTextEdit* editor, QWidget* parent)
    : QWidget(parent)
    , editor_(editor)
{
    setObjectName(QStringLiteral("TXRuler1"));
    setMouseTracking(false);
    connect(editor_, &QTextEdit::cursorPositionChanged, this, qOverload<>(&QWidget::update));
    connect(editor_->horizontalScrollBar(), &QScrollBar::valueChanged, this, qOverload<>(&QWidget::update));
}

QSize FormatRuler::sizeHint() const
{
    return {400, 24};
}

double FormatRuler::textLeft() const
{
    const QPoint viewport = mapFromGlobal(editor_->viewport()->mapToGlobal(QPoint(0, 0)));
    return viewport.x() + editor_->document()->documentMargin() - editor_->horizontalScrollBar()->value();
}

double FormatRuler::textWidth() const
{
    const double width = editor_->document()->textWidth();
    return width > 0 ? width - 2 * editor_->document()->documentMargin()
                     : editor_->viewport()->width() - 2 * editor_->document()->documentMargin();
}

double FormatRuler::firstLineIndent() const
{
    const QTextBlockFormat format = currentBlockFormat(editor_);
    return format.leftMargin() + format.textIndent();
}

double FormatRuler::leftIndent() const
{
    return currentBlockFormat(editor_).leftMargin();
}

double FormatRuler::rightIndent() const
{
    return currentBlockFormat(editor_).rightMargin();
}

QList<double> FormatRuler::tabStops() const
{
    QList<double> stops;
    for (const QTextOption::Tab& tab : currentBlockFormat(editor_).tabPositions())
        stops << tab.position;
    return stops;
}

void FormatRuler::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    const double left = textLeft();
    const double width = textWidth();
    const QRectF scale(left, 3, width, height() - 8);
    painter.fillRect(scale, Qt::white);
    painter.setPen(palette().color(QPalette::WindowText));
    QFont small = font();
    small.setPointSizeF(7);
    painter.setFont(small);
    for (int mm = 0; mm * PixelsPerCm / 10 <= width; mm += 5) {
        const double x = left + mm * PixelsPerCm / 10;
        if (mm % 10 == 0 && mm > 0)
            painter.drawText(
                QRectF(x - 10, scale.top(), 20, scale.height()), Qt::AlignCenter, QString::number(mm / 10));
        else
            painter.drawLine(QPointF(x, scale.center().y() - 2), QPointF(x, scale.center().y() + 2));
    }
    const auto triangle = [&](double x, bool down, const QColor& colour) {
        const double y = down ? scale.top() : scale.bottom();
        const double tip = down ? y + 5 : y - 5;
        const QPointF points[3] = {{x - 4, y}, {x + 4, y}, {x, tip}};
        painter.setBrush(colour);
        painter.drawPolygon(points, 3);
    };
    triangle(left + firstLineIndent(), true, Qt::gray);
    triangle(left + leftIndent(), false, Qt::gray);
    triangle(left + width - rightIndent(), false, Qt::gray);
    painter.setPen(QPen(Qt::black, 2));
    for (double tab : tabStops()) {
        const double x = left + tab;
        painter.drawLine(QPointF(x, scale.bottom() - 6), QPointF(x, scale.bottom()));
        painter.drawLine(QPointF(x, scale.bottom()), QPointF(x + 5, scale.bottom()));
    }
}

FormatRuler::Grab FormatRuler::markerAt(double x, double y) const
{
    const double left = textLeft();
    const bool top = y < height() / 2.0;
    const QList<double> tabs = tabStops();
    for (int i = 0; i < tabs.size(); ++i)
        if (std::abs(left + tabs[i] - x) <= GrabDistance && !top)
            return {Marker::Tab, i};
    if (top && std::abs(left + firstLineIndent() - x) <= GrabDistance)
        return {Marker::FirstLine, -1};
    if (std::abs(left + leftIndent() - x) <= GrabDistance)
        return {Marker::Left, -1};
    if (std::abs(left + textWidth() - rightIndent() - x) <= GrabDistance)
        return {Marker::Right, -1};
    return {};
}

void FormatRuler::moveMarker(const Grab& grab, double x, bool remove)
{
    const double width = textWidth();
    const double at = std::clamp(x - textLeft(), 0.0, width);
    QTextBlockFormat format = currentBlockFormat(editor_);
    switch (grab.marker) {
    case Marker::FirstLine:
        format.setTextIndent(at - format.leftMargin());
        break;
    case Marker::Left: {
        const double first = format.leftMargin() + format.textIndent();
        format.setLeftMargin(std::min(at, width - format.rightMargin()));
        format.setTextIndent(first - format.leftMargin());
        break;
    }
    case Marker::Right:
        format.setRightMargin(std::clamp(width - at, 0.0, width - format.leftMargin()));
        break;
    case Marker::Tab: {
        QList<QTextOption::Tab> tabs = format.tabPositions();
        if (grab.tabIndex < 0 || grab.tabIndex >= tabs.size())
            return;
        if (remove)
            tabs.removeAt(grab.tabIndex);
        else
            tabs[grab.tabIndex].position = at;
        std::sort(tabs.begin(), tabs.end(),
            [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
        format.setTabPositions(tabs);
        break;
    }
    case Marker::None:
        return;
    }
    setBlockFormat(editor_, format);
    update();
}

void FormatRuler::addTab(double x)
{
    const double at = x - textLeft();
    if (at <= 0 || at >= textWidth())
        return;
    QTextBlockFormat format = currentBlockFormat(editor_);
    QList<QTextOption::Tab> tabs = format.tabPositions();
    tabs << QTextOption::Tab(at, QTextOption::LeftTab);
    std::sort(tabs.begin(), tabs.end(),
        [](const QTextOption::Tab& a, const QTextOption::Tab& b) { return a.position < b.position; });
    format.setTabPositions(tabs);
    setBlockFormat(editor_, format);
    update();
}

void FormatRuler::dragMarker(QPointF from, QPointF to)
{
    const Grab grab = markerAt(from.x(), from.y());
    if (grab.marker == Marker::None) {
        addTab(from.x());
        return;
    }
    moveMarker(grab, to.x(), grab.marker == Marker::Tab && (to.y() < -10 || to.y() > height() + 10));
}

void FormatRuler::mousePressEvent(QMouseEvent* event)
{
    grab_ = markerAt(event->position().x(), event->position().y());
    if (grab_.marker == Marker::None)
        addTab(event->position().x());
}

void FormatRuler::mouseMoveEvent(QMouseEvent* event)
{
    if (grab_.marker != Marker::None && grab_.marker != Marker::Tab)
        moveMarker(grab_, event->position().x(), false);
}

void FormatRuler::mouseReleaseEvent(QMouseEvent* event)
{
    if (grab_.marker != Marker::None) {
        const double y = event->position().y();
        moveMarker(
            grab_, event->position().x(), grab_.marker == Marker::Tab && (y < -10 || y > height() + 10));
    }
    grab_ = {};
}

} // namespace vexa
