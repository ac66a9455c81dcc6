#include "PrintMark.h"

#include "ExamChecks.h"
#include "PacsConnection.h"
#include "QueryCatalogue.h"
#include "SqlExec.h"

namespace vexa {

bool MarkImagePrinted(const QString& conquestPath, const QString& sopInstance, const QDate& day)
{
    if (sopInstance.isEmpty() || !ImageStillThere(conquestPath, sopInstance))
        return false;
    QSqlDatabase db = PacsConnection(conquestPath);
    return db.isOpen() && !ExecJet(db, Sql::MarkImagePrinted(sopInstance, day)).isValid();
}

} // namespace vexa
