#include "viewer/measure/MeasurementController.h"
#include "base/core/DialogService.h"
#include "base/core/Numeric.h"
#include "viewer/measure/DgrFile.h"
#include "viewer/measure/MeasurePresets.h"
#include <limits>

namespace vexa {

namespace {

int16_t toInt16(double value)
{
    const auto rounded = roundHalfEven(value);
    return static_cast<int16_t>(std::clamp<int64_t>(
        rounded, std::numeric_limits<int16_t>::min(), std::numeric_limits<int16_t>::max()));
}

// Stored points are the pointer position rounded half to even.
QPoint rounded(QPointF image)
{
    return {toInt16(image.x()), toInt16(image.y())};
}

void setP1(MeasurementRecord& r, QPoint p)
{
    r.x1 = int16_t(p.x());
    r.y1 = int16_t(p.y());
}
void setP2(MeasurementRecord& r, QPoint p)
{
    r.x2 = int16_t(p.x());
    r.y2 = int16_t(p.y());
}
void setP3(MeasurementRecord& r, QPoint p)
{
    r.x3 = int16_t(p.x());
    r.y3 = int16_t(p.y());
}
void setP4(MeasurementRecord& r, QPoint p)
{
    r.x4 = int16_t(p.x());
    r.y4 = int16_t(p.y());
}

QPointF p(int16_t x, int16_t y)
{
    return {double(x), double(y)};
}

const QString OverloadedText = QStringLiteral("Votre image est surchargée ! Veuillez supprimer des mesures.");
const QString DeleteAllQuestion = QStringLiteral("Etes-vous sur de vouloir effacer toutes les mesures ? ");

} // namespace

MeasurementController::MeasurementController(QObject* parent)
    : QObject(parent)
    , toScreen_([](QPointF image) { return image; })
{
}

void MeasurementController::setMapping(ImageToScreen imageToScreen)
{
    toScreen_ = std::move(imageToScreen);
}

void MeasurementController::setImage(QSize imageSize, const PixelSpacing& imageSpacing)
{
    model_.setImageColumns(imageSize.width());
    spacing_ = imageSpacing;
}

void MeasurementController::loadMeasurements(const QString& imagePath)
{
    drag_.reset();
    model_.resetToolState();
    model_.load(readMeasurementFile(imagePath));
}

bool MeasurementController::saveMeasurements(const QString& imagePath)
{
    cancelPlacement(); // a half-made graphic has no meaning on disk
    return writeMeasurementFile(imagePath, model_.table());
}

void MeasurementController::leaveImage()
{
    drag_.reset();
    cancelPlacement();
    model_.hideAllGraphics();
    setCursor(Qt::ArrowCursor);
}

void MeasurementController::setCursor(Qt::CursorShape shape)
{
    if (shape == pointer_)
        return;
    pointer_ = shape;
    emit cursorChanged(shape);
}

void MeasurementController::cancelPlacement()
{
    if (model_.isPlacing())
        model_.deleteGraphics(model_.state().currentSlot);
    model_.resetToolState();
}

bool MeasurementController::choose(PanelCommand command)
{
    switch (command) {
    case PanelCommand::DeleteLast:
        model_.deleteLastGraphics(); // the graphic being placed, if any, else the highest
        setCursor(Qt::ArrowCursor);
        return true;
    case PanelCommand::DeleteAll:
        cancelPlacement();
        if (msgBox(DeleteAllQuestion, MsgIcon::Question, MsgButtons::YesNo,
                QStringLiteral("Effacer les mesures..."), MsgResult::Yes)
            == MsgResult::Yes)
            model_.deleteAllGraphics();
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
    ToolState& state = model_.state();
    state.currentSlot = model_.nextFreeSlot();
    if (state.currentSlot < 1) {
        msgBox(OverloadedText, MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Mesures..."));
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
    textToPlace_ = QString::fromUtf8(preset.caption);
    textSize_ = QString::number(preset.size);
    cancelPlacement();
    ToolState& state = model_.state();
    state.currentSlot = model_.nextFreeSlot();
    if (state.currentSlot > 0) {
        state.step = 0;
        state.tool = MeasureTool::Text;
        setCursor(Qt::CrossCursor);
    }
}

QString MeasurementController::labelFor(const MeasurementRecord& r) const
{
    switch (r.kind) {
    case MeasurementKind::Distance:
    case MeasurementKind::HeightDifference:
        return measureDistanceText(p(r.x1, r.y1), p(r.x2, r.y2), spacing_, numbers_);
    case MeasurementKind::VertexAngle:
        return angleText(angleAtVertex(r.x1, r.y1, r.x2, r.y2, r.x4, r.y4), numbers_);
    case MeasurementKind::LinesAngle:
        return angleText(angleBetweenLines(r.x1, r.y1, r.x2, r.y2, r.x3, r.y3, r.x4, r.y4), numbers_);
    case MeasurementKind::Free:
    case MeasurementKind::Text:
        break;
    }
    return r.label;
}

// ---- clicks on the image ----

void MeasurementController::click(QPointF image, Qt::MouseButton button)
{
    if (button == Qt::RightButton) {
        cancelByRightClick();
        return;
    }
    const ToolState& state = model_.state();
    if (button != Qt::LeftButton || state.tool == MeasureTool::None)
        return;
    if (!MeasurementTable::isValidIndex(state.currentSlot)) {
        // The tool stayed armed after the 50th graphic: say why nothing is placed.
        model_.resetToolState();
        setCursor(Qt::ArrowCursor);
        msgBox(OverloadedText, MsgIcon::Exclamation, MsgButtons::Ok, QStringLiteral("Mesures..."));
        return;
    }
    placePoint(rounded(image));
}

void MeasurementController::cancelByRightClick()
{
    ToolState& state = model_.state();
    if (state.step > 0 || state.tool == MeasureTool::HeightDifference)
        model_.deleteGraphics(state.currentSlot);
    model_.resetToolState();
    state.currentSlot = model_.nextFreeSlot();
    setCursor(Qt::ArrowCursor);
}

void MeasurementController::placePoint(QPoint c)
{
    MeasurementRecord& r = model_.table()[model_.state().currentSlot];
    switch (model_.state().tool) {
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
    r.kind = kind;
    setP1(r, c);
    model_.placeHandle(model_.state().currentSlot, HandleArray::L11, c, 1, LeftHandleShift,
        kind == MeasurementKind::Text ? TextHandleGrey : HandleColour);
    model_.state().step = 1;
}

void MeasurementController::drawLabelAt(QPointF at, const QString& label)
{
    model_.scene().drawText(
        model_.state().currentSlot, label, ScenePoint::at(at, LabelShift), MeasureLabelSize);
}

void MeasurementController::finishGraphic(bool keepTool)
{
    ToolState& state = model_.state();
    state.step = 0;
    state.currentSlot = model_.nextFreeSlot();
    if (!keepTool) {
        state.tool = MeasureTool::None;
        setCursor(Qt::ArrowCursor);
    }
}

void MeasurementController::placeDistance(QPoint c, MeasurementRecord& r)
{
    const int slot = model_.state().currentSlot;
    if (model_.state().step == 0)
        return startRecord(c, r, MeasurementKind::Distance);
    model_.placeHandle(slot, HandleArray::L12, c, 2, RightHandleShift);
    setP2(r, c);
    r.label = labelFor(r);
    model_.scene().drawSegment(slot, 1, ScenePoint::at(p(r.x1, r.y1)), ScenePoint::at(c));
    drawLabelAt(c, r.label);
    finishGraphic(true);
}

void MeasurementController::placeVertexAngle(QPoint c, MeasurementRecord& r)
{
    const int slot = model_.state().currentSlot;
    switch (model_.state().step) {
    case 0:
        return startRecord(c, r, MeasurementKind::VertexAngle);
    case 1:
        model_.placeHandle(slot, HandleArray::L12, c, 2, RightHandleShift);
        model_.scene().drawSegment(slot, 1, ScenePoint::at(p(r.x1, r.y1)), ScenePoint::at(c));
        setP2(r, c);
        setP3(r, c);
        model_.state().step = 2;
        return;
    default:
        model_.placeHandle(slot, HandleArray::L22, c, 3, RightHandleShift);
        setP4(r, c);
        r.label = labelFor(r);
        model_.scene().drawSegment(slot, 2, ScenePoint::at(p(r.x3, r.y3)), ScenePoint::at(c));
        drawLabelAt(c, r.label);
        finishGraphic(true);
    }
}

void MeasurementController::placeLinesAngle(QPoint c, MeasurementRecord& r)
{
    const int slot = model_.state().currentSlot;
    switch (model_.state().step) {
    case 0:
        return startRecord(c, r, MeasurementKind::LinesAngle);
    case 1:
        model_.placeHandle(slot, HandleArray::L12, c, 2, RightHandleShift);
        model_.scene().drawSegment(slot, 1, ScenePoint::at(p(r.x1, r.y1)), ScenePoint::at(c));
        setP2(r, c);
        model_.state().step = 2;
        return;
    case 2:
        model_.placeHandle(slot, HandleArray::L21, c, 3, LeftHandleShift);
        setP3(r, c);
        model_.state().step = 3;
        return;
    default:
        model_.placeHandle(slot, HandleArray::L22, c, 4, RightHandleShift);
        setP4(r, c);
        r.label = labelFor(r);
        model_.scene().drawSegment(slot, 2, ScenePoint::at(p(r.x3, r.y3)), ScenePoint::at(c));
        drawLabelAt(c, r.label);
        finishGraphic(true);
    }
}

void MeasurementController::placeHeightDifference(QPoint c, MeasurementRecord& r)
{
    const int slot = model_.state().currentSlot;
    if (model_.state().step == 0)
        return startRecord(c, r, MeasurementKind::HeightDifference);
    const QPointF foot(r.x1, c.y());
    model_.placeHandle(slot, HandleArray::L12, foot, 2, LeftHandleShift); // aligned on L1_1
    r.x2 = r.x1;
    r.y2 = int16_t(c.y());
    r.label = labelFor(r);
    model_.scene().drawSegment(slot, 3, ScenePoint::at(p(r.x1, r.y1)), ScenePoint::at(foot));
    model_.scene().drawSegment(
        slot, 2, ScenePoint::at(foot), ScenePoint::at({double(model_.columns()), foot.y()}));
    drawLabelAt({foot.x(), c.y() + (r.y1 - c.y()) / 2.0}, r.label);
    finishGraphic(false);
}

void MeasurementController::placeText(QPoint c, MeasurementRecord& r)
{
    startRecord(c, r, MeasurementKind::Text);
    r.label = textToPlace_.left(MeasurementLabelLength);
    r.x2 = textSizeFrom(textSize_);
    model_.scene().drawText(model_.state().currentSlot, r.label, ScenePoint::at(c, LabelShift), r.x2);
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
    const ToolState& state = model_.state();
    if (!MeasurementTable::isValidIndex(state.currentSlot))
        return;
    const MeasurementRecord& r = model_.table()[state.currentSlot];
    const QPointF p1 = p(r.x1, r.y1);
    const QPointF p3 = p(r.x3, r.y3);
    OverlayScene& scene = model_.scene();
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
            ScenePoint::at({double(model_.columns()), pointer.y()}));
}

void MeasurementController::move(QPointF image, Qt::MouseButtons buttons)
{
    if (drag_) {
        if (buttons & Qt::LeftButton)
            dragTo(image, false);
        return;
    }
    drawRubberBand(image);
}

// ---- handle drags ----

bool MeasurementController::press(QPointF image, Qt::MouseButton button)
{
    if (drag_)
        return true;
    // The points of the graphic being placed are not handles yet.
    const int placing = model_.isPlacing() ? model_.state().currentSlot : 0;
    const auto hit = model_.scene().handleAt(toScreen_(image), toScreen_, placing);
    if (!hit)
        return false;
    if (button == Qt::LeftButton)
        drag_ = Drag{*hit, image - model_.scene().handle(*hit)->image};
    return true;
}

bool MeasurementController::release(QPointF image, Qt::MouseButton button)
{
    if (!drag_)
        return false;
    if (button == Qt::LeftButton)
        dragTo(image, true);
    return true;
}

MeasurementRecord MeasurementController::moved(
    const MeasurementRecord& record, HandleArray array, QPoint p) const
{
    MeasurementRecord r = record;
    const bool height = r.kind == MeasurementKind::HeightDifference;
    switch (array) {
    case HandleArray::L11:
        setP1(r, p);
        if (height)
            r.x2 = r.x1;
        break;
    case HandleArray::L12:
        if (height) {
            r.y2 = int16_t(p.y()); // the foot stays under the first point
            break;
        }
        setP2(r, p);
        if (r.kind == MeasurementKind::VertexAngle)
            setP3(r, p);
        break;
    case HandleArray::L21:
        setP3(r, p);
        break;
    case HandleArray::L22:
        setP4(r, p);
        break;
    }
    r.label = labelFor(r);
    return r;
}

void MeasurementController::dragTo(QPointF image, bool commit)
{
    const int index = drag_->handle.index;
    MeasurementRecord& stored = model_.table()[index];
    const MeasurementRecord next = moved(stored, drag_->handle.array, rounded(image - drag_->grab));
    if (!commit) {
        setCursor(Qt::CrossCursor);
        model_.drawRecord(index, next);
        return;
    }
    stored = next;
    drag_.reset();
    setCursor(Qt::ArrowCursor);
    model_.redrawGraphic(index);
}

} // namespace vexa
