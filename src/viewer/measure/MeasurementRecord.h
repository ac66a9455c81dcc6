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
    MeasurementKind Kind = MeasurementKind::Free;
    int16_t X1 = 0, Y1 = 0;
    int16_t X2 = 0, Y2 = 0; // kind Text: X2 holds the text size
    int16_t X3 = 0, Y3 = 0; // kind VertexAngle: copy of point 2, the vertex
    int16_t X4 = 0, Y4 = 0;
    std::array<int16_t, 8> Reserved{};
    QString Label; // kinds 1-4: the formatted result; kind 5: the text
    int16_t Tail = 0;
    // The label's 128 bytes as read from the file, padding included. They are
    // written back unchanged while Label still reads the same, so a label
    // padded by another workstation keeps its padding.
    QByteArray StoredLabel;

    bool isUsed() const { return Kind != MeasurementKind::Free; }
    // Records compare by what they hold, not by how their label was padded.
    bool operator==(const MeasurementRecord& other) const
    {
        return Kind == other.Kind && X1 == other.X1 && Y1 == other.Y1 && X2 == other.X2 && Y2 == other.Y2
            && X3 == other.X3 && Y3 == other.Y3 && X4 == other.X4 && Y4 == other.Y4
            && Reserved == other.Reserved && Label == other.Label && Tail == other.Tail;
    }
};

} // namespace vexa
