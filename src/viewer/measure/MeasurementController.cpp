#include "viewer/measure/MeasurementController.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "viewer/measure/DgrFile.h"
#include "viewer/measure/MeasurePresets.h"
#include <limits>

namespace vexa {

namespace {

int16_t ToInt16(double value)
{
    const auto rounded = RoundHalfEven(value);
    return static_cast<int16_t>(std::clamp<int64_t>(
        rounded, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// Stored points are the pointer position rounded half to even.
QPoint Rounded(QPointF image)
{
    return {ToInt16(image.x()), ToInt16(image.y())};
}

void SetP1(MeasurementRecord& r, QPoint p)
{
    r.X1 = int16_t(p.x());
    r.Y1 = int16_t(p.y());
}
void SetP2(MeasurementRecord& r, QPoint p)
{
    r.X2 = int16_t(p.x());
    r.Y2 = int16_t(p.y());
}
void SetP3(MeasurementRecord& r, QPoint p)
{
    r.X3 = int16_t(p.x());
    r.Y3 = int16_t(p.y());
}
void SetP4(MeasurementRecord& r, QPoint p)
{
    r.X4 = int16_t(p.x());
    r.Y4 = int16_t(p.y());
}

QPointF P(int16_t x, int16_t y)
{
    return {double(x), double(y)};
}

const QString OverloadedText = QStringLiteral("Votre image est surchargée ! Veuillez supprimer des mesures.");
const QString DeleteAllQuestion = QStringLiteral("Etes-vous sur de vouloir effacer toutes les mesures ? ");

} // namespace

MeasurementController::MeasurementController(QObject* parent)
    : QObject(parent)
    , toScreen([](QPointF image) { return image; })
{
}

void MeasurementController::setMapping(ImageToScreen imageToScreen)
{
    toScreen = std::move(imageToScreen);
}

void MeasurementController::setImage(QSize imageSize, const PixelSpacing& imageSpacing)
{
    model.setImageColumns(imageSize.width());
    spacing = imageSpacing;
}

void MeasurementController::loadMeasurements(const QString& imagePath)
{
    drag.reset();
    model.resetToolState();
    model.load(ReadMeasurementFile(imagePath));
}

bool MeasurementController::saveMeasurements(const QString& imagePath)
{
    cancelPlacement(); // a half-made graphic has no meaning on disk
    return WriteMeasurementFile(imagePath, model.table());
}

void MeasurementController::leaveImage()
{
    drag.reset();
    cancelPlacement();
    model.HideAllGraphics();
    setCursor(Qt::ArrowCursor);
}

void MeasurementController::setCursor(Qt::CursorShape shape)
{
    if (shape == pointer)
        return;
    pointer = shape;
    emit cursorChanged(shape);
}

void MeasurementController::cancelPlacement()
{
    if (model.isPlacing())
        model.DeleteGraphics(model.state().currentSlot);
    model.resetToolState();
}

bool MeasurementController::choose(PanelCommand command)
{
    switch (command) {
    case PanelCommand::DeleteLast:
        model.DeleteLastGraphics(); // the graphic being placed, if any, else the highest
        setCursor(Qt::ArrowCursor);
        return true;
    case PanelCommand::DeleteAll:
        cancelPlacement();
        if (MsgBox(DeleteAllQuestion, MsgIcon::Question, MsgButtons::YesNo,
                QStringLiteral("Effacer les mesures..."), MsgResult::Yes)
            == MsgResult::Yes)
            model.DeleteAllGraphics();
        setCursor(Qt::ArrowCursor);
        return true;
    case PanelCommand::Text:
        return armTool(MeasureTool::Text);
    case PanelCommand::Distance:
        return armTool(MeasureTool::Distance);
    case PanelCommand::LinesAngle:
        return armTool(MeasureTool::LinesAngle);
    case PanelCommand::HeightDifference:
        return armTool(MeasureTool::HeightDifference);
    case PanelCommand::VertexAngle:
        return armTool(MeasureTool::VertexAngle);
    }
    return false;
}

bool MeasurementController::armTool(MeasureTool tool)
{
    cancelPlacement();
    ToolState& state = model.state();
    state.currentSlot = model.nextFreeSlot();
    if (state.currentSlot < 1) {
        MsgBox(OverloadedText, MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Mesures..."));
        return false;
    }
    state.step = 0;
    state.tool = tool;
    setCursor(Qt::CrossCursor);
    return true;
}

void MeasurementController::choosePreset(int presetIndex)
{
    if (presetIndex < 0 || presetIndex >= int(PresetTexts.size()))
        return;
    const PresetText& preset = PresetTexts[size_t(presetIndex)];
    textToPlace = QString::fromUtf8(preset.caption);
    textSize = QString::number(preset.size);
    cancelPlacement();
    ToolState& state = model.state();
    state.currentSlot = model.nextFreeSlot();
    if (state.currentSlot > 0) {
        state.step = 0;
        state.tool = MeasureTool::Text;
        setCursor(Qt::CrossCursor);
    }
}

QString MeasurementController::labelFor(const MeasurementRecord& r) const
{
    switch (r.Kind) {
    case MeasurementKind::Distance:
    case MeasurementKind::HeightDifference:
        return MeasureDistanceText(P(r.X1, r.Y1), P(r.X2, r.Y2), spacing, numbers);
    case MeasurementKind::VertexAngle:
        return AngleText(AngleAtVertex(r.X1, r.Y1, r.X2, r.Y2, r.X4, r.Y4), numbers);
    case MeasurementKind::LinesAngle:
        return AngleText(AngleBetweenLines(r.X1, r.Y1, r.X2, r.Y2, r.X3, r.Y3, r.X4, r.Y4), numbers);
    case MeasurementKind::Free:
    case MeasurementKind::Text:
        break;
    }
    return r.Label;
}

// ---- clicks on the image ----

void MeasurementController::click(QPointF image, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        cancelByRightClick();
        return;
    }
    const ToolState& state = model.state();
    if (button != Qt::LeftButton || state.tool == MeasureTool::None)
        return;
    if (!MeasurementTable::isValidIndex(state.currentSlot)) {
        // The tool stayed armed after the 50th graphic: say why nothing is placed.
        model.resetToolState();
        setCursor(Qt::ArrowCursor);
        MsgBox(OverloadedText, MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Mesures..."));
        return;
    }
    placePoint(Rounded(image));
}

void MeasurementController::cancelByRightClick()
{
    ToolState& state = model.state();
    if (state.step > 0 || state.tool == MeasureTool::HeightDifference)
        model.DeleteGraphics(state.currentSlot);
    model.resetToolState();
    state.currentSlot = model.nextFreeSlot();
    setCursor(Qt::ArrowCursor);
}

void MeasurementController::placePoint(QPoint c)
{
    MeasurementRecord& r = model.table()[model.state().currentSlot];
    switch (model.state().tool) {
    case MeasureTool::Distance:
        return placeDistance(c, r);
    case MeasureTool::VertexAngle:
        return placeVertexAngle(c, r);
    case MeasureTool::LinesAngle:
        return placeLinesAngle(c, r);
    case MeasureTool::HeightDifference:
        return placeHeightDifference(c, r);
    case MeasureTool::Text:
        return placeText(c, r);
    case MeasureTool::None:
        return;
    }
}

void MeasurementController::startRecord(QPoint c, MeasurementRecord& r, MeasurementKind kind)
{
    r = MeasurementRecord{};
    r.Kind = kind;
    SetP1(r, c);
    model.placeHandle(model.state().currentSlot, HandleArray::L1_1, c, 1, LeftHandleShift,
        kind == MeasurementKind::Text ? TextHandleGrey : HandleColour);
    model.state().step = 1;
}

void MeasurementController::drawLabelAt(QPointF at, const QString& label)
{
    model.scene().drawText(
        model.state().currentSlot, label, ScenePoint::at(at, LabelShift), MeasureLabelSize);
}

void MeasurementController::finishGraphic(bool keepTool)
{
    ToolState& state = model.state();
    state.step = 0;
    state.currentSlot = model.nextFreeSlot();
    if (!keepTool) {
        state.tool = MeasureTool::None;
        setCursor(Qt::ArrowCursor);
    }
}

void MeasurementController::placeDistance(QPoint c, MeasurementRecord& r)
{
    const int slot = model.state().currentSlot;
    if (model.state().step == 0)
        return startRecord(c, r, MeasurementKind::Distance);
    model.placeHandle(slot, HandleArray::L1_2, c, 2, RightHandleShift);
    SetP2(r, c);
    r.Label = labelFor(r);
    model.scene().drawSegment(slot, 1, ScenePoint::at(P(r.X1, r.Y1)), ScenePoint::at(c));
    drawLabelAt(c, r.Label);
    finishGraphic(true);
}

void MeasurementController::placeVertexAngle(QPoint c, MeasurementRecord& r)
{
    const int slot = model.state().currentSlot;
    switch (model.state().step) {
    case 0:
        return startRecord(c, r, MeasurementKind::VertexAngle);
    case 1:
        model.placeHandle(slot, HandleArray::L1_2, c, 2, RightHandleShift);
        model.scene().drawSegment(slot, 1, ScenePoint::at(P(r.X1, r.Y1)), ScenePoint::at(c));
        SetP2(r, c);
        SetP3(r, c);
        model.state().step = 2;
        return;
    default:
        model.placeHandle(slot, HandleArray::L2_2, c, 3, RightHandleShift);
        SetP4(r, c);
        r.Label = labelFor(r);
        model.scene().drawSegment(slot, 2, ScenePoint::at(P(r.X3, r.Y3)), ScenePoint::at(c));
        drawLabelAt(c, r.Label);
        finishGraphic(true);
    }
}

void MeasurementController::placeLinesAngle(QPoint c, MeasurementRecord& r)
{
    const int slot = model.state().currentSlot;
    switch (model.state().step) {
    case 0:
        return startRecord(c, r, MeasurementKind::LinesAngle);
    case 1:
        model.placeHandle(slot, HandleArray::L1_2, c, 2, RightHandleShift);
        model.scene().drawSegment(slot, 1, ScenePoint::at(P(r.X1, r.Y1)), ScenePoint::at(c));
        SetP2(r, c);
        model.state().step = 2;
        return;
    case 2:
        model.placeHandle(slot, HandleArray::L2_1, c, 3, LeftHandleShift);
        SetP3(r, c);
        model.state().step = 3;
        return;
    default:
        model.placeHandle(slot, HandleArray::L2_2, c, 4, RightHandleShift);
        SetP4(r, c);
        r.Label = labelFor(r);
        model.scene().drawSegment(slot, 2, ScenePoint::at(P(r.X3, r.Y3)), ScenePoint::at(c));
        drawLabelAt(c, r.Label);
        finishGraphic(true);
    }
}

void MeasurementController::placeHeightDifference(QPoint c, MeasurementRecord& r)
{
    const int slot = model.state().currentSlot;
    if (model.state().step == 0)
        return startRecord(c, r, MeasurementKind::HeightDifference);
    const QPointF foot(r.X1, c.y());
    model.placeHandle(slot, HandleArray::L1_2, foot, 2, LeftHandleShift); // aligned on L1_1
    r.X2 = r.X1;
    r.Y2 = int16_t(c.y());
    r.Label = labelFor(r);
    model.scene().drawSegment(slot, 3, ScenePoint::at(P(r.X1, r.Y1)), ScenePoint::at(foot));
    model.scene().drawSegment(
        slot, 2, ScenePoint::at(foot), ScenePoint::at({double(model.columns()), foot.y()}));
    drawLabelAt({foot.x(), c.y() + (r.Y1 - c.y()) / 2.0}, r.Label);
    finishGraphic(false);
}

void MeasurementController::placeText(QPoint c, MeasurementRecord& r)
{
    startRecord(c, r, MeasurementKind::Text);
    r.Label = textToPlace.left(MeasurementLabelLength);
    r.X2 = TextSizeFrom(textSize);
    model.scene().drawText(model.state().currentSlot, r.Label, ScenePoint::at(c, LabelShift), r.X2);
    finishGraphic(false);
}

// ---- pointer moves: rubber bands ----

ScenePoint MeasurementController::rubberEnd(QPointF start, QPointF pointer) const
{
    // The end stays a few pixels off the pointer, on the side away from the start.
    const double ex = start.x() >= pointer.x() ? -1.0 : 4.0;
    const double ey = start.y() >= pointer.y() ? -1.0 : 2.0;
    return ScenePoint::at(pointer, {ex, ey});
}

void MeasurementController::drawRubberBand(QPointF pointer)
{
    const ToolState& state = model.state();
    if (!MeasurementTable::isValidIndex(state.currentSlot))
        return;
    const MeasurementRecord& r = model.table()[state.currentSlot];
    const QPointF p1 = P(r.X1, r.Y1);
    const QPointF p3 = P(r.X3, r.Y3);
    OverlayScene& scene = model.scene();
    const int slot = state.currentSlot;
    const auto tool = state.tool;
    const int step = state.step;
    if (tool == MeasureTool::Distance && step == 1)
        scene.drawSegment(slot, 1, ScenePoint::at(p1), rubberEnd(p1, pointer));
    else if ((tool == MeasureTool::VertexAngle || tool == MeasureTool::LinesAngle) && step == 1)
        scene.drawSegment(slot, 1, ScenePoint::at(p1, {-1.0, 0.0}), rubberEnd(p1, pointer));
    else if ((tool == MeasureTool::VertexAngle && step == 2)
        || (tool == MeasureTool::LinesAngle && step == 3))
        scene.drawSegment(slot, 2, ScenePoint::at(p3, {-1.0, 0.0}), rubberEnd(p3, pointer));
    else if (tool == MeasureTool::HeightDifference && step == 0)
        scene.drawSegment(
            slot, 1, ScenePoint::displayLeft(pointer.y()), ScenePoint::at(pointer, {-5.0, 0.0}));
    else if (tool == MeasureTool::HeightDifference && step == 1)
        scene.drawSegment(slot, 2, ScenePoint::at(pointer, {5.0, 0.0}),
            ScenePoint::at({double(model.columns()), pointer.y()}));
}

void MeasurementController::move(QPointF image, Qt::MouseButtons buttons)
{
    if (drag) {
        if (buttons & Qt::LeftButton)
            dragTo(image, false);
        return;
    }
    drawRubberBand(image);
}

// ---- handle drags ----

bool MeasurementController::press(QPointF image, Qt::MouseButton button)
{
    if (drag)
        return true;
    // The points of the graphic being placed are not handles yet.
    const int placing = model.isPlacing() ? model.state().currentSlot : 0;
    const auto hit = model.scene().handleAt(toScreen(image), toScreen, placing);
    if (!hit)
        return false;
    if (button == Qt::LeftButton)
        drag = Drag{*hit, image - model.scene().handle(*hit)->image};
    return true;
}

bool MeasurementController::release(QPointF image, Qt::MouseButton button)
{
    if (!drag)
        return false;
    if (button == Qt::LeftButton)
        dragTo(image, true);
    return true;
}

MeasurementRecord MeasurementController::moved(
    const MeasurementRecord& record, HandleArray array, QPoint p) const
{
    MeasurementRecord r = record;
    const bool height = r.Kind == MeasurementKind::HeightDifference;
    switch (array) {
    case HandleArray::L1_1:
        SetP1(r, p);
        if (height)
            r.X2 = r.X1;
        break;
    case HandleArray::L1_2:
        if (height) {
            r.Y2 = int16_t(p.y()); // the foot stays under the first point
            break;
        }
        SetP2(r, p);
        if (r.Kind == MeasurementKind::VertexAngle)
            SetP3(r, p);
        break;
    case HandleArray::L2_1:
        SetP3(r, p);
        break;
    case HandleArray::L2_2:
        SetP4(r, p);
        break;
    }
    r.Label = labelFor(r);
    return r;
}

void MeasurementController::dragTo(QPointF image, bool commit)
{
    const int index = drag->handle.index;
    MeasurementRecord& stored = model.table()[index];
    const MeasurementRecord next = moved(stored, drag->handle.array, Rounded(image - drag->grab));
    if (!commit) {
        setCursor(Qt::CrossCursor);
        model.drawRecord(index, next);
        return;
    }
    stored = next;
    drag.reset();
    setCursor(Qt::ArrowCursor);
    model.RedrawGraphic(index);
}

} // namespace vexa
