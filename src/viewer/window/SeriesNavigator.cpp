#include "viewer/window/SeriesNavigator.h"

#include "base/core/Dates.h"
#include "base/core/DialogService.h"
#include "pacsdb/ConquestColumns.h"
#include "pacsdb/ImageFiles.h"
#include "pacsdb/ImageRows.h"
#include "pacsdb/RecordSet.h"

namespace vexa {

const QString SeriesNavigator::LastImageQuestion = QStringLiteral(
    "   Vous êtes à la dernière image de la série.  \r\nVoulez-vous revisionner les clichés ?");
const QString SeriesNavigator::FirstImageNotice
    = QStringLiteral("   Vous-êtes à la première image de la série.     ");

SeriesNavigator::SeriesNavigator(RecordSet& images, QString imageRoot)
    : images(images)
    , imageRoot(std::move(imageRoot))
{
}

std::optional<SeriesImage> SeriesNavigator::move(SeriesMove step)
{
    if (images.count() == 0 || !stepThrough(step))
        return std::nullopt;
    return currentImage();
}

// Moves by the step; false when the user leaves at the end of the series.
bool SeriesNavigator::stepThrough(SeriesMove step)
{
    switch (step) {
    case SeriesMove::First:
        images.moveFirst();
        break;
    case SeriesMove::Last:
        images.moveLast();
        break;
    case SeriesMove::Next:
        images.moveNext();
        break;
    case SeriesMove::Previous:
        images.movePrevious();
        break;
    }
    if (images.eof()) {
        if (MsgBox(LastImageQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
                MsgResult::No)
            != MsgResult::Yes)
            return false;
        images.moveFirst();
    }
    if (images.bof() && step != SeriesMove::First) {
        MsgBox(FirstImageNotice, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        images.moveFirst();
    }
    return true;
}

SeriesImage SeriesNavigator::currentImage() const
{
    return {StoredImagePath(imageRoot, images.fieldText(Col::ObjectFile)), images.fieldText(Col::SopInstance),
        images.fieldText(Col::PatientName), ExamDayOfImage(images), images.fieldBool(Col::Printed)};
}

} // namespace vexa
