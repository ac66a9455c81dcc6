#pragma once
// The graphics of the current image: the table of 50 records, what the
// overlay shows of them, and the tool state the redraw and delete operations
// share with the measuring tools.
#include "viewer/measure/MeasurementTable.h"
#include "viewer/measure/OverlayScene.h"

namespace vexa {

// MeasureTool values: none, or the kind of graphic the armed tool makes.
enum class MeasureTool {
    None = 0,
    Distance = 1,
    VertexAngle = 2,
    LinesAngle = 3,
    HeightDifference = 4,
    Text = 5
};

struct ToolState {
    MeasureTool tool = MeasureTool::None;
    int step = 0; // points already placed for the graphic being drawn
    int currentSlot = 0; // graphic being drawn or next one's slot; 0 none, -1 none free
};

class MeasurementGraphics {
public:
    MeasurementTable& table() { return records_; }
    const MeasurementTable& table() const { return records_; }
    OverlayScene& scene() { return overlay_; }
    ToolState& state() { return tool_; }
    const ToolState& state() const { return tool_; }

    // Width of the image, where height-difference guides end.
    void setImageColumns(int columns) { imageColumns_ = columns; }
    int columns() const { return imageColumns_; }

    // Replaces the table (an image was loaded) and shows every graphic.
    void load(const MeasurementTable& table);

    void redrawGraphic(int index);
    // Shows a record that differs from the stored one (a handle being dragged).
    void drawRecord(int index, const MeasurementRecord& record);
    void redrawAllGraphics();
    void deleteGraphics(int index);
    void deleteAllGraphics();
    void deleteLastGraphics();
    void hideGraphics(int index);
    void hideAllGraphics();
    int nextFreeSlot() const { return records_.nextFreeSlot(); }

    // A graphic has points placed and is not finished.
    bool isPlacing() const;
    // Tool and step back to 0; a half-made graphic's guide lines go away.
    void resetToolState();

    // Handles of a graphic: image point, tag suffix and square placement.
    void placeHandle(int index, HandleArray array, QPointF image, int pointNumber, double leftShift,
        Colour colour = HandleColour);

private:
    void drawHandles(int index, const MeasurementRecord& record);
    void drawShapes(int index, const MeasurementRecord& record);

    MeasurementTable records_;
    OverlayScene overlay_;
    ToolState tool_;
    int imageColumns_ = 0;
};

// Screen shifts of the drawing conventions.
constexpr double LeftHandleShift = -5.0; // L1_1, L2_1
constexpr double RightHandleShift = -3.0; // L1_2, L2_2
constexpr QPointF LabelShift{5.0, -5.0};
constexpr int MeasureLabelSize = 12;

} // namespace vexa
