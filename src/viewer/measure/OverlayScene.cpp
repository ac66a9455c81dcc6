#include "viewer/measure/OverlayScene.h"
#include <algorithm>

namespace vexa {

namespace {

size_t SlotIndex(int slot)
{
    return static_cast<size_t>(std::clamp(slot, 1, SegmentSlots) - 1);
}

bool IsEmpty(const SceneGraphic& graphic)
{
    const auto none = [](const auto& item) { return !item.has_value(); };
    return std::ranges::all_of(graphic.segments, none) && !graphic.text
        && std::ranges::all_of(graphic.handles, none);
}

// Handles are easier to catch with a pixel of margin around the 5 x 5 square.
constexpr double HitMargin = 2.0;

} // namespace

QPointF ScenePoint::toScreen(const ImageToScreen& map) const
{
    QPointF screen = map(image);
    if (atDisplayLeft)
        screen.setX(0.0);
    return screen + shift;
}

QRectF SceneHandle::rect(const ImageToScreen& map) const
{
    const QPointF point = map(image);
    return {point.x() + leftShift, point.y() - 3.0, HandleSide, HandleSide};
}

void OverlayScene::drawSegment(int index, int slot, ScenePoint from, ScenePoint to, Colour colour)
{
    items[index].segments[SlotIndex(slot)] = SceneSegment{from, to, colour};
    emit changed();
}

void OverlayScene::drawText(int index, const QString& text, ScenePoint at, int size, Colour colour)
{
    items[index].text = SceneText{text, at, colour, size};
    emit changed();
}

void OverlayScene::removeSegment(int index, int slot)
{
    if (!items.contains(index))
        return;
    items[index].segments[SlotIndex(slot)].reset();
    dropIfEmpty(index);
    emit changed();
}

void OverlayScene::removeDrawing(int index)
{
    if (!items.contains(index))
        return;
    SceneGraphic& graphic = items[index];
    graphic.segments = {};
    graphic.text.reset();
    dropIfEmpty(index);
    emit changed();
}

void OverlayScene::placeHandle(int index, HandleArray array, const SceneHandle& handle)
{
    items[index].handles[static_cast<size_t>(array)] = handle;
    emit changed();
}

void OverlayScene::setHandlesVisible(int index, bool visible)
{
    if (!items.contains(index))
        return;
    for (auto& handle : items[index].handles) {
        if (handle)
            handle->visible = visible;
    }
    emit changed();
}

void OverlayScene::unloadHandles(int index)
{
    if (!items.contains(index))
        return;
    items[index].handles = {};
    dropIfEmpty(index);
    emit changed();
}

void OverlayScene::clear()
{
    items.clear();
    emit changed();
}

const SceneGraphic* OverlayScene::graphic(int index) const
{
    const auto found = items.find(index);
    return found == items.end() ? nullptr : &found->second;
}

const SceneHandle* OverlayScene::handle(HandleRef ref) const
{
    const SceneGraphic* found = graphic(ref.index);
    if (!found)
        return nullptr;
    const auto& handle = found->handles[static_cast<size_t>(ref.array)];
    return handle ? &*handle : nullptr;
}

std::optional<HandleRef> OverlayScene::handleAt(
    QPointF screen, const ImageToScreen& map, int ignoredIndex) const
{
    for (auto item = items.rbegin(); item != items.rend(); ++item) {
        if (item->first == ignoredIndex)
            continue;
        for (const HandleArray array : AllHandleArrays) {
            const auto& handle = item->second.handles[static_cast<size_t>(array)];
            if (handle && handle->visible
                && handle->rect(map).adjusted(-HitMargin, -HitMargin, HitMargin, HitMargin).contains(screen))
                return HandleRef{item->first, array};
        }
    }
    return std::nullopt;
}

void OverlayScene::dropIfEmpty(int index)
{
    if (IsEmpty(items[index]))
        items.erase(index);
}

} // namespace vexa
