#include "viewer/measure/DgrFile.h"
#include "base/core/Windows1252.h"
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace vexa {

namespace {

constexpr int LabelOffset = 34;
constexpr int TailOffset = LabelOffset + MeasurementLabelLength;

void PutInt16(char* at, int16_t value)
{
    qToLittleEndian<qint16>(value, at);
}

int16_t GetInt16(const char* at)
{
    return qFromLittleEndian<qint16>(at);
}

// Trailing blanks are padding; NULs are accepted as padding too.
QString DecodeLabel(const char* at)
{
    int length = MeasurementLabelLength;
    while (length > 0 && (at[length - 1] == ' ' || at[length - 1] == '\0'))
        --length;
    return FromWindows1252(QByteArray(at, length));
}

void EncodeRecord(const MeasurementRecord& record, char* out)
{
    const int16_t numbers[] = {static_cast<int16_t>(record.Kind), record.X1, record.Y1, record.X2, record.Y2,
        record.X3, record.Y3, record.X4, record.Y4};
    for (size_t i = 0; i < std::size(numbers); ++i)
        PutInt16(out + 2 * i, numbers[i]);
    for (size_t i = 0; i < record.Reserved.size(); ++i)
        PutInt16(out + 18 + 2 * i, record.Reserved[i]);
    const bool unchanged = record.StoredLabel.size() == MeasurementLabelLength
        && DecodeLabel(record.StoredLabel.constData()) == record.Label;
    const QByteArray label = unchanged ? record.StoredLabel
                                       : ToWindows1252(record.Label.left(MeasurementLabelLength))
                                             .leftJustified(MeasurementLabelLength, ' ', true);
    std::copy(label.begin(), label.end(), out + LabelOffset);
    PutInt16(out + TailOffset, record.Tail);
}

bool IsKnownKind(int16_t kind)
{
    return kind >= static_cast<int16_t>(MeasurementKind::Free)
        && kind <= static_cast<int16_t>(MeasurementKind::Text);
}

MeasurementRecord DecodeRecord(const char* in)
{
    MeasurementRecord record;
    const int16_t kind = GetInt16(in);
    if (!IsKnownKind(kind))
        return record;
    record.Kind = static_cast<MeasurementKind>(kind);
    int16_t* points[]
        = {&record.X1, &record.Y1, &record.X2, &record.Y2, &record.X3, &record.Y3, &record.X4, &record.Y4};
    for (size_t i = 0; i < std::size(points); ++i)
        *points[i] = GetInt16(in + 2 + 2 * i);
    for (size_t i = 0; i < record.Reserved.size(); ++i)
        record.Reserved[i] = GetInt16(in + 18 + 2 * i);
    record.Label = DecodeLabel(in + LabelOffset);
    record.StoredLabel = QByteArray(in + LabelOffset, MeasurementLabelLength);
    record.Tail = GetInt16(in + TailOffset);
    return record;
}

} // namespace

QString MeasurementFilePath(const QString& imagePath)
{
    return imagePath + QStringLiteral(".dgr");
}

QByteArray EncodeMeasurementTable(const MeasurementTable& table)
{
    QByteArray bytes(DgrFileSize, '\0');
    for (int i = 1; i <= MeasurementTable::Size; ++i)
        EncodeRecord(table[i], bytes.data() + (i - 1) * DgrRecordSize);
    return bytes;
}

MeasurementTable DecodeMeasurementTable(const QByteArray& bytes)
{
    MeasurementTable table;
    const int complete
        = static_cast<int>(std::min<qsizetype>(bytes.size() / DgrRecordSize, MeasurementTable::Size));
    for (int i = 1; i <= complete; ++i)
        table[i] = DecodeRecord(bytes.constData() + (i - 1) * DgrRecordSize);
    return table;
}

MeasurementTable ReadMeasurementFile(const QString& imagePath)
{
    // A FIFO, device or socket in its place would block the read or never end.
    QFile file(MeasurementFilePath(imagePath));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    // Whatever lies past the 50th record is not ours to read.
    return DecodeMeasurementTable(file.read(DgrFileSize));
}

bool WriteMeasurementFile(const QString& imagePath, const MeasurementTable& table)
{
    const QFileInfo existing(MeasurementFilePath(imagePath));
    if (existing.exists() && !existing.isFile())
        return false; // never written through a FIFO or a device
    QSaveFile file(existing.filePath());
    // A folder where no temporary file can be made (read-only image store)
    // may still hold a writable file: it is then overwritten in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = EncodeMeasurementTable(table);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vexa
