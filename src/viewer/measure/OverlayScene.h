#pragma once
// What the measurement overlay shows: per graphic index, up to three segments
// (slots 1-3), one text, and the handle squares of its points (arrays L1_1,
// L1_2, L2_1, L2_2). Geometry is kept in image pixels plus small screen
// shifts, so the overlay maps it at paint time and follows zoom and pan.
#include <QColor>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

namespace vexa {

// Image pixels to screen pixels of the display widget.
using ImageToScreen = std::function<QPointF(QPointF)>;

// Colours are 24-bit values with red in the low byte.
using Colour = uint32_t;
constexpr Colour MeasureYellow = 65535;
constexpr Colour TextHandleGrey = 12632256;
constexpr Colour HandleColour = 255; // red squares for the points of a measurement

inline QColor toQColor(Colour colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

constexpr int SegmentSlots = 3;
constexpr double HandleSide = 5.0; // 75 twips

struct ScenePoint {
    QPointF image;
    QPointF shift; // screen pixels added after mapping
    bool atDisplayLeft = false; // x is the left edge of the display, whatever the pan

    static ScenePoint at(QPointF image, QPointF shift = {}) { return {image, shift, false}; }
    static ScenePoint displayLeft(double imageY, QPointF shift = {}) { return {{0.0, imageY}, shift, true}; }
    QPointF toScreen(const ImageToScreen& map) const;
    bool operator==(const ScenePoint&) const = default;
};

struct SceneSegment {
    ScenePoint from, to;
    Colour colour = MeasureYellow;
    bool operator==(const SceneSegment&) const = default;
};

struct SceneText {
    QString text;
    ScenePoint at; // left end of the baseline
    Colour colour = MeasureYellow;
    int size = 12; // points
    bool operator==(const SceneText&) const = default;
};

enum class HandleArray { L11, L12, L21, L22 };
constexpr std::array<HandleArray, 4> AllHandleArrays
    = {HandleArray::L11, HandleArray::L12, HandleArray::L21, HandleArray::L22};

struct SceneHandle {
    QString tag; // "<index>_<point number>"
    QPointF image;
    double leftShift = -5.0; // the square's left edge from the point, screen pixels
    Colour backColour = HandleColour;
    bool visible = true;

    QRectF rect(const ImageToScreen& map) const;
};

struct HandleRef {
    int index = 0;
    HandleArray array = HandleArray::L11;
    bool operator==(const HandleRef&) const = default;
};

struct SceneGraphic {
    std::array<std::optional<SceneSegment>, SegmentSlots> segments;
    std::optional<SceneText> text;
    std::array<std::optional<SceneHandle>, 4> handles;
};

class OverlayScene : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Drawing a slot or the text replaces what it showed before. slot is 1..3.
    void drawSegment(int index, int slot, ScenePoint from, ScenePoint to, Colour colour = MeasureYellow);
    void drawText(int index, const QString& text, ScenePoint at, int size, Colour colour = MeasureYellow);
    void removeSegment(int index, int slot);
    // Segments and text of the index; its handles stay.
    void removeDrawing(int index);

    void placeHandle(int index, HandleArray array, const SceneHandle& handle);
    void setHandlesVisible(int index, bool visible);
    void unloadHandles(int index);
    void clear();

    const std::map<int, SceneGraphic>& graphics() const { return items_; }
    const SceneGraphic* graphic(int index) const;
    const SceneHandle* handle(HandleRef ref) const;
    // The visible handle under a screen position, the last drawn first.
    std::optional<HandleRef> handleAt(QPointF screen, const ImageToScreen& map, int ignoredIndex = 0) const;

signals:
    void changed();

private:
    void dropIfEmpty(int index);
    std::map<int, SceneGraphic> items_;
};

} // namespace vexa
