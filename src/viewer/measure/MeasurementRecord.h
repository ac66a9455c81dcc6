#pragma once
// One measurement graphic as it is held in memory and in the ".dgr" file.
// Points are image pixels (X column, Y row), 16-bit like the file.
#include <QByteArray>
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
    MeasurementKind kind = MeasurementKind::Free;
    int16_t x1 = 0, y1 = 0;
    int16_t x2 = 0, y2 = 0; // kind Text: X2 holds the text size
    int16_t x3 = 0, y3 = 0; // kind VertexAngle: copy of point 2, the vertex
    int16_t x4 = 0, y4 = 0;
    std::array<int16_t, 8> reserved{};
    QString label; // kinds 1-4: the formatted result; kind 5: the text
    int16_t tail = 0;
    // The label's 128 bytes as read from the file, padding included. They are
    // written back unchanged while Label still reads the same, so a label
    // padded by another workstation keeps its padding.
    QByteArray storedLabel;

    bool isUsed() const { return kind != MeasurementKind::Free; }
    // Records compare by what they hold, not by how their label was padded.
    bool operator==(const MeasurementRecord& other) const
    {
        return kind == other.kind && x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2
            && x3 == other.x3 && y3 == other.y3 && x4 == other.x4 && y4 == other.y4
            && reserved == other.reserved && label == other.label && tail == other.tail;
    }
};

} // namespace vexa
