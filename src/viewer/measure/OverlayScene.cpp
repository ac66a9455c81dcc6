#include "viewer/measure/OverlayScene.h"
#include <algorithm>

namespace vexa {

namespace {

size_t slotIndex(int slot)
{
    return static_cast<size_t>(std::clamp(slot, 1, SegmentSlots) - 1);
}

bool isEmpty(const SceneGraphic& graphic)
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
    items_[index].segments[slotIndex(slot)] = SceneSegment{from, to, colour};
    emit changed();
}

void OverlayScene::drawText(int index, const QString& text, ScenePoint at, int size, Colour colour)
{
    items_[index].text = SceneText{text, at, colour, size};
    emit changed();
}

void OverlayScene::removeSegment(int index, int slot)
{
    if (!items_.contains(index))
        return;
    items_[index].segments[slotIndex(slot)].reset();
    dropIfEmpty(index);
    emit changed();
}

void OverlayScene::removeDrawing(int index)
{
    if (!items_.contains(index))
        return;
    SceneGraphic& graphic = items_[index];
    graphic.segments = {};
    graphic.text.reset();
    dropIfEmpty(index);
    emit changed();
}

void OverlayScene::placeHandle(int index, HandleArray array, const SceneHandle& handle)
{
    items_[index].handles[static_cast<size_t>(array)] = handle;
    emit changed();
}

void OverlayScene::setHandlesVisible(int index, bool visible)
{
    if (!items_.contains(index))
        return;
    for (auto& handle : items_[index].handles) {
        if (handle)
            handle->visible = visible;
    }
    emit changed();
}

void OverlayScene::unloadHandles(int index)
{
    if (!items_.contains(index))
        return;
    items_[index].handles = {};
    dropIfEmpty(index);
    emit changed();
}

void OverlayScene::clear()
{
    items_.clear();
    emit changed();
}

const SceneGraphic* OverlayScene::graphic(int index) const
{
    const auto found = items_.find(index);
    return found == items_.end() ? nullptr : &found->second;
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
    for (auto item = items_.rbegin(); item != items_.rend(); ++item) {
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
    if (isEmpty(items_[index]))
        items_.erase(index);
}

} // namespace vexa
