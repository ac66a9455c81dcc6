#pragma once
// A transparent widget of the display's size, laid over it, that paints the
// segments, texts and handles of an OverlayScene. It takes the display's
// image-to-screen mapping as a function, so it follows zoom and pan without
// knowing the display; mouse events pass through to the display.
#include "viewer/measure/OverlayScene.h"
#include <QPointer>
#include <QWidget>

namespace vexa {

class MeasurementOverlay : public QWidget {
    Q_OBJECT
public:
    explicit MeasurementOverlay(QWidget* parent = nullptr);

    void setScene(OverlayScene* scene);
    // Called with image pixels, answers widget pixels. Call update() (or
    // mappingChanged()) when the display zooms or pans.
    void setMapping(ImageToScreen imageToScreen);
    void mappingChanged() { update(); }
    // Lays the overlay over the display as its child, covering it and
    // following its size.
    void attachTo(QWidget* display);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void paintGraphic(QPainter& painter, const SceneGraphic& graphic) const;

    QPointer<OverlayScene> model_;
    QMetaObject::Connection sceneConnection_;
    ImageToScreen toScreen_;
};

} // namespace vexa
