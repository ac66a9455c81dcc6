#pragma once
// A CT series for the CD benches: 512 x 512 slices stored as Conquest stores
// them (bare data sets, "sliceNNN.v2"), with their two pictures made as the
// opening of the exam makes them.
#include <QString>
#include <QStringList>

namespace vexa::bench {

// Writes `count` slices of series `seriesUid` (study `seriesUid`.1) into
// `folder`, made first if need be, slice i drawn at depth i * `depthStep`;
// the paths of the image files, in order.
QStringList writeCtSeries(const QString& folder, const QString& seriesUid, int count, int depthStep = 1);

} // namespace vexa::bench
