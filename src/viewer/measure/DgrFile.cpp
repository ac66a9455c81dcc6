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

void putInt16(char* at, int16_t value)
{
    qToLittleEndian<qint16>(value, at);
}

int16_t getInt16(const char* at)
{
    return qFromLittleEndian<qint16>(at);
}

// Trailing blanks are padding; NULs are accepted as padding too.
QString decodeLabel(const char* at)
{
    int length = MeasurementLabelLength;
    while (length > 0 && (at[length - 1] == ' ' || at[length - 1] == '\0'))
        --length;
    return fromWindows1252(QByteArray(at, length));
}

void encodeRecord(const MeasurementRecord& record, char* out)
{
    const int16_t numbers[] = {static_cast<int16_t>(record.kind), record.x1, record.y1, record.x2, record.y2,
        record.x3, record.y3, record.x4, record.y4};
    for (size_t i = 0; i < std::size(numbers); ++i)
        putInt16(out + 2 * i, numbers[i]);
    for (size_t i = 0; i < record.reserved.size(); ++i)
        putInt16(out + 18 + 2 * i, record.reserved[i]);
    const bool unchanged = record.storedLabel.size() == MeasurementLabelLength
        && decodeLabel(record.storedLabel.constData()) == record.label;
    const QByteArray label = unchanged ? record.storedLabel
                                       : toWindows1252(record.label.left(MeasurementLabelLength))
                                             .leftJustified(MeasurementLabelLength, ' ', true);
    std::copy(label.begin(), label.end(), out + LabelOffset);
    putInt16(out + TailOffset, record.tail);
}

bool isKnownKind(int16_t kind)
{
    return kind >= static_cast<int16_t>(MeasurementKind::Free)
        && kind <= static_cast<int16_t>(MeasurementKind::Text);
}

MeasurementRecord decodeRecord(const char* in)
{
    MeasurementRecord record;
    const int16_t kind = getInt16(in);
    if (!isKnownKind(kind))
        return record;
    record.kind = static_cast<MeasurementKind>(kind);
    int16_t* points[]
        = {&record.x1, &record.y1, &record.x2, &record.y2, &record.x3, &record.y3, &record.x4, &record.y4};
    for (size_t i = 0; i < std::size(points); ++i)
        *points[i] = getInt16(in + 2 + 2 * i);
    for (size_t i = 0; i < record.reserved.size(); ++i)
        record.reserved[i] = getInt16(in + 18 + 2 * i);
    record.label = decodeLabel(in + LabelOffset);
    record.storedLabel = QByteArray(in + LabelOffset, MeasurementLabelLength);
    record.tail = getInt16(in + TailOffset);
    return record;
}

} // namespace

QString measurementFilePath(const QString& imagePath)
{
    return imagePath + QStringLiteral(".dgr");
}

QByteArray encodeMeasurementTable(const MeasurementTable& table)
{
    QByteArray bytes(DgrFileSize, '\0');
    for (int i = 1; i <= MeasurementTable::Size; ++i)
        encodeRecord(table[i], bytes.data() + (i - 1) * DgrRecordSize);
    return bytes;
}

MeasurementTable decodeMeasurementTable(const QByteArray& bytes)
{
    MeasurementTable table;
    const int complete
        = static_cast<int>(std::min<qsizetype>(bytes.size() / DgrRecordSize, MeasurementTable::Size));
    for (int i = 1; i <= complete; ++i)
        table[i] = decodeRecord(bytes.constData() + (i - 1) * DgrRecordSize);
    return table;
}

MeasurementTable readMeasurementFile(const QString& imagePath)
{
    // A FIFO, device or socket in its place would block the read or never end.
    QFile file(measurementFilePath(imagePath));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        return {};
    // Whatever lies past the 50th record is not ours to read.
    return decodeMeasurementTable(file.read(DgrFileSize));
}

bool writeMeasurementFile(const QString& imagePath, const MeasurementTable& table)
{
    const QFileInfo existing(measurementFilePath(imagePath));
    if (existing.exists() && !existing.isFile())
        return false; // never written through a FIFO or a device
    QSaveFile file(existing.filePath());
    // A folder where no temporary file can be made (read-only image store)
    // may still hold a writable file: it is then overwritten in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = encodeMeasurementTable(table);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace vexa
