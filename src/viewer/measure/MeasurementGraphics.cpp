#include "viewer/measure/MeasurementGraphics.h"

namespace vexa {

namespace {

QPointF p1(const MeasurementRecord& r)
{
    return {double(r.x1), double(r.y1)};
}
QPointF p2(const MeasurementRecord& r)
{
    return {double(r.x2), double(r.y2)};
}
QPointF p3(const MeasurementRecord& r)
{
    return {double(r.x3), double(r.y3)};
}
QPointF p4(const MeasurementRecord& r)
{
    return {double(r.x4), double(r.y4)};
}

// Redrawn segments of distances and angles sit one pixel to the left, as the
// handles do, so line and squares meet.
ScenePoint redrawn(QPointF image)
{
    return ScenePoint::at(image, {-1.0, 0.0});
}

} // namespace

void MeasurementGraphics::load(const MeasurementTable& table)
{
    deleteAllGraphics();
    records_ = table;
    redrawAllGraphics();
}

void MeasurementGraphics::placeHandle(
    int index, HandleArray array, QPointF image, int pointNumber, double leftShift, Colour colour)
{
    overlay_.placeHandle(index, array,
        SceneHandle{QStringLiteral("%1_%2").arg(index).arg(pointNumber), image, leftShift, colour, true});
}

void MeasurementGraphics::redrawGraphic(int index)
{
    if (MeasurementTable::isValidIndex(index))
        drawRecord(index, records_[index]);
}

void MeasurementGraphics::drawRecord(int index, const MeasurementRecord& record)
{
    drawHandles(index, record);
    drawShapes(index, record);
}

void MeasurementGraphics::drawHandles(int index, const MeasurementRecord& r)
{
    switch (r.kind) {
    case MeasurementKind::Free:
        return;
    case MeasurementKind::Text:
        placeHandle(index, HandleArray::L11, p1(r), 1, LeftHandleShift, TextHandleGrey);
        return;
    case MeasurementKind::HeightDifference:
        // Both squares stand on the vertical line, aligned on the first one.
        placeHandle(index, HandleArray::L11, p1(r), 1, LeftHandleShift);
        placeHandle(index, HandleArray::L12, p2(r), 2, LeftHandleShift);
        return;
    case MeasurementKind::Distance:
    case MeasurementKind::VertexAngle:
    case MeasurementKind::LinesAngle:
        break;
    }
    placeHandle(index, HandleArray::L11, p1(r), 1, LeftHandleShift);
    placeHandle(index, HandleArray::L12, p2(r), 2, RightHandleShift);
    if (r.kind == MeasurementKind::VertexAngle)
        placeHandle(index, HandleArray::L22, p4(r), 3, RightHandleShift);
    if (r.kind == MeasurementKind::LinesAngle) {
        placeHandle(index, HandleArray::L21, p3(r), 3, LeftHandleShift);
        placeHandle(index, HandleArray::L22, p4(r), 4, RightHandleShift);
    }
}

void MeasurementGraphics::drawShapes(int index, const MeasurementRecord& r)
{
    const QString label = r.label.trimmed();
    switch (r.kind) {
    case MeasurementKind::Free:
        return;
    case MeasurementKind::Distance:
        overlay_.drawSegment(index, 1, redrawn(p1(r)), redrawn(p2(r)));
        overlay_.drawText(index, label, ScenePoint::at(p2(r), LabelShift), MeasureLabelSize);
        return;
    case MeasurementKind::VertexAngle:
    case MeasurementKind::LinesAngle:
        overlay_.drawSegment(index, 1, redrawn(p1(r)), redrawn(p2(r)));
        overlay_.drawSegment(index, 2, redrawn(p3(r)), redrawn(p4(r)));
        overlay_.drawText(index, label, ScenePoint::at(p4(r), LabelShift), MeasureLabelSize);
        return;
    case MeasurementKind::HeightDifference: {
        const QPointF foot(r.x1, r.y2);
        overlay_.drawSegment(index, 1, ScenePoint::displayLeft(r.y1), ScenePoint::at(p1(r)));
        overlay_.drawSegment(index, 3, ScenePoint::at(p1(r)), ScenePoint::at(foot));
        overlay_.drawSegment(
            index, 2, ScenePoint::at(foot), ScenePoint::at({double(imageColumns_), foot.y()}));
        const QPointF middle(r.x1, r.y2 + (r.y1 - r.y2) / 2.0);
        overlay_.drawText(index, label, ScenePoint::at(middle, LabelShift), MeasureLabelSize);
        return;
    }
    case MeasurementKind::Text:
        overlay_.drawText(index, label, ScenePoint::at(p1(r), LabelShift), r.x2);
        return;
    }
}

void MeasurementGraphics::redrawAllGraphics()
{
    for (int i = 1; i <= MeasurementTable::Size; ++i) {
        if (records_[i].isUsed() && i != tool_.currentSlot)
            redrawGraphic(i);
    }
}

void MeasurementGraphics::deleteGraphics(int index)
{
    if (!MeasurementTable::isValidIndex(index))
        return;
    overlay_.unloadHandles(index);
    overlay_.removeDrawing(index);
    records_[index] = MeasurementRecord{};
}

void MeasurementGraphics::deleteAllGraphics()
{
    tool_.currentSlot = 0;
    for (int i = 1; i <= MeasurementTable::Size; ++i) {
        if (records_[i].isUsed())
            deleteGraphics(i);
    }
    overlay_.clear(); // guide lines of a graphic not yet started go too
}

void MeasurementGraphics::deleteLastGraphics()
{
    deleteGraphics(isPlacing() ? tool_.currentSlot : records_.lastUsedSlot());
    resetToolState();
    tool_.currentSlot = 0;
}

void MeasurementGraphics::hideGraphics(int index)
{
    overlay_.setHandlesVisible(index, false);
}

void MeasurementGraphics::hideAllGraphics()
{
    tool_.currentSlot = 0;
    for (int i = 1; i <= MeasurementTable::Size; ++i) {
        if (records_[i].isUsed())
            hideGraphics(i);
    }
}

bool MeasurementGraphics::isPlacing() const
{
    return tool_.step > 0 && MeasurementTable::isValidIndex(tool_.currentSlot)
        && records_[tool_.currentSlot].isUsed();
}

void MeasurementGraphics::resetToolState()
{
    if (MeasurementTable::isValidIndex(tool_.currentSlot) && !records_[tool_.currentSlot].isUsed())
        overlay_.removeDrawing(tool_.currentSlot);
    tool_.tool = MeasureTool::None;
    tool_.step = 0;
}

} // namespace vexa
