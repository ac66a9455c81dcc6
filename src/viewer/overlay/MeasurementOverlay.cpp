#include "MeasurementOverlay.h"
#include <QEvent>
#include <QPainter>

namespace vexa {

MeasurementOverlay::MeasurementOverlay(QWidget* parent)
    : QWidget(parent)
    , toScreen([](QPointF image) { return image; })
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
}

void MeasurementOverlay::setScene(OverlayScene* scene)
{
    disconnect(sceneConnection);
    model = scene;
    if (scene)
        sceneConnection = connect(scene, &OverlayScene::changed, this, qOverload<>(&QWidget::update));
    update();
}

void MeasurementOverlay::setMapping(ImageToScreen imageToScreen)
{
    toScreen = std::move(imageToScreen);
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
    if (!model)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const auto& [index, graphic] : model->graphics())
        paintGraphic(painter, graphic);
}

void MeasurementOverlay::paintGraphic(QPainter& painter, const SceneGraphic& graphic) const
{
    for (const auto& segment : graphic.segments) {
        if (!segment)
            continue;
        painter.setPen(QPen(ToQColor(segment->colour), 1));
        painter.drawLine(segment->from.toScreen(toScreen), segment->to.toScreen(toScreen));
    }
    if (graphic.text && !graphic.text->text.isEmpty()) {
        QFont font(QStringLiteral("Liberation Sans"));
        // A size read from a damaged file must not ask for a giant font.
        font.setPointSize(std::clamp(graphic.text->size, 1, 200));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(ToQColor(graphic.text->colour));
        painter.drawText(graphic.text->at.toScreen(toScreen), graphic.text->text);
    }
    for (const auto& handle : graphic.handles) {
        if (!handle || !handle->visible)
            continue;
        const QRectF square = handle->rect(toScreen);
        painter.fillRect(square, ToQColor(handle->backColour));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(square.adjusted(0, 0, -1, -1));
    }
}

} // namespace vexa
