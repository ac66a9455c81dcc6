#pragma once
// Shared pieces of the worklist tests: an upgraded test database with its
// counter tables, and counters seeded at a chosen value.
#include "PacsTestDb.h"

namespace vexa::test {

// A fresh database of the test's backend, upgraded so the counter tables exist.
class WorklistDbTest : public BackendTest {
protected:
    void SetUp() override;
};

// Makes the next number drawn from `table` (DICOMCompteur, DICOMWLCompteur) last + 1.
void seedCounter(PacsTestDb& pacs, const QString& table, qint64 last);

// The lines of a text, CR LF or LF ended.
QStringList linesOf(const QByteArray& bytes);

} // namespace vexa::test
