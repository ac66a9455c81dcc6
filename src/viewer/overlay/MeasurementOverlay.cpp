#include "viewer/overlay/MeasurementOverlay.h"
#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace vexa {

MeasurementOverlay::MeasurementOverlay(QWidget* parent)
    : QWidget(parent)
    , toScreen_([](QPointF image) { return image; })
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void MeasurementOverlay::setScene(OverlayScene* scene)
{
    disconnect(sceneConnection_);
    model_ = scene;
    if (scene)
        sceneConnection_ = connect(scene, &OverlayScene::changed, this, qOverload<>(&QWidget::update));
    update();
}

void MeasurementOverlay::setMapping(ImageToScreen imageToScreen)
{
    toScreen_ = std::move(imageToScreen);
    update();
}

void MeasurementOverlay::attachTo(QWidget* display)
{
    setParent(display);
    setGeometry(display->rect());
    display->installEventFilter(this);
    raise();
    show();
}

bool MeasurementOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize)
        setGeometry(parentWidget()->rect());
    return QWidget::eventFilter(watched, event);
}

void MeasurementOverlay::paintEvent(QPaintEvent*)
{
    if (!model_)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& [index, graphic] : model_->graphics())
        paintGraphic(painter, graphic);
}

void MeasurementOverlay::paintGraphic(QPainter& painter, const SceneGraphic& graphic) const
{
    // Lines and labels get a thin dark outline so they read on bright and
    // inverted images alike.
    const QColor outline(0, 0, 0, 200);
    for (const auto& segment : graphic.segments) {
        if (!segment)
            continue;
        const QLineF line(segment->from.toScreen(toScreen_), segment->to.toScreen(toScreen_));
        painter.setPen(QPen(outline, 3, Qt::SolidLine, Qt::SquareCap));
        painter.drawLine(line);
        painter.setPen(QPen(toQColor(segment->colour), 1));
        painter.drawLine(line);
    }
    if (graphic.text && !graphic.text->text.isEmpty()) {
        QFont font(QStringLiteral("Liberation Sans"));
        // A size read from a damaged file must not ask for a giant font.
        font.setPointSize(std::clamp(graphic.text->size, 1, 200));
        font.setBold(true);
        QPainterPath glyphs;
        glyphs.addText(graphic.text->at.toScreen(toScreen_), font, graphic.text->text);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.strokePath(glyphs, QPen(outline, 2));
        painter.fillPath(glyphs, toQColor(graphic.text->colour));
        painter.restore();
    }
    for (const auto& handle : graphic.handles) {
        if (!handle || !handle->visible)
            continue;
        const QRectF square = handle->rect(toScreen_);
        painter.fillRect(square, toQColor(handle->backColour));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(square.adjusted(0, 0, -1, -1));
    }
}

} // namespace vexa
