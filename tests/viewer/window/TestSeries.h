#pragma once
// A small exam on disk for the viewer's tests and benchmark: synthetic
// radiographs written as DICOM files under an image root, and a Conquest
// SQLite database (upgraded) holding their image rows.
#include <QSize>
#include <QString>
#include <QStringList>

namespace vexa {

struct TestSeries {
    QString imageRoot;
    QString databasePath;
    QString seriesUid;
    QStringList objectFiles; // relative to imageRoot, in Compteur order
    QString error; // empty when everything was written

    QString imagePath(int index) const { return imageRoot + QLatin1Char('/') + objectFiles.value(index); }
};

// `count` images of `size` pixels, `spacing` millimetres per pixel, each with
// a bright disc and a bar so contrast and position show.
TestSeries makeTestSeries(const QString& folder, int count, QSize size, double spacing = 0.2);
// The same with different millimetres between rows and between columns, so a
// measurement that swaps them shows.
TestSeries makeTestSeries(
    const QString& folder, int count, QSize size, double rowSpacing, double columnSpacing);

// Makes a file slow to read without making it bigger on screen: `count`
// private elements of two bytes each go in before its pixels (a modality
// that stores its raw data that way). Returns "" or what failed.
QString addPrivateElements(const QString& path, int count);

} // namespace vexa
