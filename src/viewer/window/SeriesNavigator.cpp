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
    : images_(images)
    , imageRoot_(std::move(imageRoot))
{
}

std::optional<SeriesImage> SeriesNavigator::move(SeriesMove step)
{
    if (images_.count() == 0 || !stepThrough(step))
        return std::nullopt;
    return currentImage();
}

// Moves by the step; false when the user leaves at the end of the series.
bool SeriesNavigator::stepThrough(SeriesMove step)
{
    switch (step) {
    case SeriesMove::First:
        images_.moveFirst();
        break;
    case SeriesMove::Last:
        images_.moveLast();
        break;
    case SeriesMove::Next:
        images_.moveNext();
        break;
    case SeriesMove::Previous:
        images_.movePrevious();
        break;
    }
    if (images_.eof()) {
        if (msgBox(LastImageQuestion, MsgIcon::Question, MsgButtons::YesNo, QStringLiteral("VexaDICOM"),
                MsgResult::No)
            != MsgResult::Yes)
            return false;
        images_.moveFirst();
    }
    if (images_.bof() && step != SeriesMove::First) {
        msgBox(FirstImageNotice, MsgIcon::Information, MsgButtons::Ok, QStringLiteral("VexaDICOM"));
        images_.moveFirst();
    }
    return true;
}

SeriesImage SeriesNavigator::currentImage() const
{
    return {storedImagePath(imageRoot_, images_.fieldText(col::ObjectFile)),
        images_.fieldText(col::SopInstance), images_.fieldText(col::PatientName), examDayOfImage(images_),
        images_.fieldBool(col::Printed)};
}

} // namespace vexa
