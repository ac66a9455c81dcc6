#pragma once
// One measurement graphic as it is held in memory and in the ".dgr" file.
// Points are image pixels (X column, Y row), 16-bit like the file.
#include <QString>
#include <array>
#include <cstdint>

namespace vexa {

enum class MeasurementKind : int16_t {
    Free = 0,
    Distance = 1,
    VertexAngle = 2,
    LinesAngle = 3,
    HeightDifference = 4,
    Text = 5,
};

constexpr int MeasurementLabelLength = 128;

struct MeasurementRecord {
    MeasurementKind Kind = MeasurementKind::Free;
    int16_t X1 = 0, Y1 = 0;
    int16_t X2 = 0, Y2 = 0; // kind Text: X2 holds the text size
    int16_t X3 = 0, Y3 = 0; // kind VertexAngle: copy of point 2, the vertex
    int16_t X4 = 0, Y4 = 0;
    std::array<int16_t, 8> Reserved{};
    QString Label; // kinds 1-4: the formatted result; kind 5: the text
    int16_t Tail = 0;

    bool isUsed() const { return Kind != MeasurementKind::Free; }
    bool operator==(const MeasurementRecord&) const = default;
};

} // namespace vexa
