#pragma once
// Moving through the images of the exam's image record set: first, next,
// previous or last, asking at the ends of the series, and giving what the
// viewer shows next. No widget: the questions go through the dialog service.
#include <QString>
#include <optional>

namespace vexa {

class RecordSet;

struct SeriesImage {
    QString path;
    QString sopInstance; // SOPInstanc: the key the image's marks are written under
    QString patientName;
    QString examDate; // DD/MM/YYYY, or "" when the record has none
    bool printed = false;
};

enum class SeriesMove { First, Next, Previous, Last };

class SeriesNavigator {
public:
    SeriesNavigator(RecordSet& images, QString imageRoot);

    // The image to show after the move, or nothing when the user ends the
    // review at the last image or the series holds no image.
    std::optional<SeriesImage> move(SeriesMove step);

    static const QString LastImageQuestion;
    static const QString FirstImageNotice;

private:
    bool stepThrough(SeriesMove step);
    SeriesImage currentImage() const;

    RecordSet& images_;
    QString imageRoot_;
};

} // namespace vexa
