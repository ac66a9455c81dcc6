#include "viewer/measure/MeasurementGraphics.h"

namespace vexa {

namespace {

QPointF P1(const MeasurementRecord& r)
{
    return {double(r.X1), double(r.Y1)};
}
QPointF P2(const MeasurementRecord& r)
{
    return {double(r.X2), double(r.Y2)};
}
QPointF P3(const MeasurementRecord& r)
{
    return {double(r.X3), double(r.Y3)};
}
QPointF P4(const MeasurementRecord& r)
{
    return {double(r.X4), double(r.Y4)};
}

// Redrawn segments of distances and angles sit one pixel to the left, as the
// handles do, so line and squares meet.
ScenePoint Redrawn(QPointF image)
{
    return ScenePoint::at(image, {-1.0, 0.0});
}

} // namespace

void MeasurementGraphics::load(const MeasurementTable& table)
{
    DeleteAllGraphics();
    records = table;
    RedrawAllGraphics();
}

void MeasurementGraphics::placeHandle(
    int index, HandleArray array, QPointF image, int pointNumber, double leftShift, Colour colour)
{
    overlay.placeHandle(index, array,
        SceneHandle{QStringLiteral("%1_%2").arg(index).arg(pointNumber), image, leftShift, colour, true});
}

void MeasurementGraphics::RedrawGraphic(int index)
{
    if (MeasurementTable::isValidIndex(index))
        drawRecord(index, records[index]);
}

void MeasurementGraphics::drawRecord(int index, const MeasurementRecord& record)
{
    drawHandles(index, record);
    drawShapes(index, record);
}

void MeasurementGraphics::drawHandles(int index, const MeasurementRecord& r)
{
    switch (r.Kind) {
    case MeasurementKind::Free:
        return;
    case MeasurementKind::Text:
        placeHandle(index, HandleArray::L1_1, P1(r), 1, LeftHandleShift, TextHandleGrey);
        return;
    case MeasurementKind::HeightDifference:
        // Both squares stand on the vertical line, aligned on the first one.
        placeHandle(index, HandleArray::L1_1, P1(r), 1, LeftHandleShift);
        placeHandle(index, HandleArray::L1_2, P2(r), 2, LeftHandleShift);
        return;
    case MeasurementKind::Distance:
    case MeasurementKind::VertexAngle:
    case MeasurementKind::LinesAngle:
        break;
    }
    placeHandle(index, HandleArray::L1_1, P1(r), 1, LeftHandleShift);
    placeHandle(index, HandleArray::L1_2, P2(r), 2, RightHandleShift);
    if (r.Kind == MeasurementKind::VertexAngle)
        placeHandle(index, HandleArray::L2_2, P4(r), 3, RightHandleShift);
    if (r.Kind == MeasurementKind::LinesAngle) {
        placeHandle(index, HandleArray::L2_1, P3(r), 3, LeftHandleShift);
        placeHandle(index, HandleArray::L2_2, P4(r), 4, RightHandleShift);
    }
}

void MeasurementGraphics::drawShapes(int index, const MeasurementRecord& r)
{
    const QString label = r.Label.trimmed();
    switch (r.Kind) {
    case MeasurementKind::Free:
        return;
    case MeasurementKind::Distance:
        overlay.drawSegment(index, 1, Redrawn(P1(r)), Redrawn(P2(r)));
        overlay.drawText(index, label, ScenePoint::at(P2(r), LabelShift), MeasureLabelSize);
        return;
    case MeasurementKind::VertexAngle:
    case MeasurementKind::LinesAngle:
        overlay.drawSegment(index, 1, Redrawn(P1(r)), Redrawn(P2(r)));
        overlay.drawSegment(index, 2, Redrawn(P3(r)), Redrawn(P4(r)));
        overlay.drawText(index, label, ScenePoint::at(P4(r), LabelShift), MeasureLabelSize);
        return;
    case MeasurementKind::HeightDifference: {
        const QPointF foot(r.X1, r.Y2);
        overlay.drawSegment(index, 1, ScenePoint::displayLeft(r.Y1), ScenePoint::at(P1(r)));
        overlay.drawSegment(index, 3, ScenePoint::at(P1(r)), ScenePoint::at(foot));
        overlay.drawSegment(index, 2, ScenePoint::at(foot), ScenePoint::at({double(imageColumns), foot.y()}));
        const QPointF middle(r.X1, r.Y2 + (r.Y1 - r.Y2) / 2.0);
        overlay.drawText(index, label, ScenePoint::at(middle, LabelShift), MeasureLabelSize);
        return;
    }
    case MeasurementKind::Text:
        overlay.drawText(index, label, ScenePoint::at(P1(r), LabelShift), r.X2);
        return;
    }
}

void MeasurementGraphics::RedrawAllGraphics()
{
    for (int i = 1; i <= MeasurementTable::Size; ++i) {
        if (records[i].isUsed() && i != tool.currentSlot)
            RedrawGraphic(i);
    }
}

void MeasurementGraphics::DeleteGraphics(int index)
{
    if (!MeasurementTable::isValidIndex(index))
        return;
    overlay.unloadHandles(index);
    overlay.removeDrawing(index);
    records[index] = MeasurementRecord{};
}

void MeasurementGraphics::DeleteAllGraphics()
{
    tool.currentSlot = 0;
    for (int i = 1; i <= MeasurementTable::Size; ++i) {
        if (records[i].isUsed())
            DeleteGraphics(i);
    }
    overlay.clear(); // guide lines of a graphic not yet started go too
}

void MeasurementGraphics::DeleteLastGraphics()
{
    DeleteGraphics(isPlacing() ? tool.currentSlot : records.lastUsedSlot());
    resetToolState();
    tool.currentSlot = 0;
}

void MeasurementGraphics::HideGraphics(int index)
{
    overlay.setHandlesVisible(index, false);
}

void MeasurementGraphics::HideAllGraphics()
{
    tool.currentSlot = 0;
    for (int i = 1; i <= MeasurementTable::Size; ++i) {
        if (records[i].isUsed())
            HideGraphics(i);
    }
}

bool MeasurementGraphics::isPlacing() const
{
    return tool.step > 0 && MeasurementTable::isValidIndex(tool.currentSlot)
        && records[tool.currentSlot].isUsed();
}

void MeasurementGraphics::resetToolState()
{
    if (MeasurementTable::isValidIndex(tool.currentSlot) && !records[tool.currentSlot].isUsed())
        overlay.removeDrawing(tool.currentSlot);
    tool.tool = MeasureTool::None;
    tool.step = 0;
}

} // namespace vexa
