#pragma once
// The practitioners the worklist window offers: the file "Praticien.txt" in
// the per-user data folder, one name per line (Windows-1252), and the one
// chosen when the window last closed, kept while the program runs.
#include <QString>
#include <QStringList>

namespace vexa {

// <per-user data folder>/Praticien.txt
QString practitionerListFile();

// The names of the file in order; blank lines are skipped. A missing or
// unreadable file gives an empty list.
QStringList readPractitioners(const QString& path);
// Writes the names, one per line, through a temporary file renamed into
// place; the folder is created when missing. False on failure.
bool writePractitioners(const QString& path, const QStringList& names);

// The practitioner chosen at the last closing of the worklist window ("" before).
QString lastPractitioner();
void setLastPractitioner(const QString& name);

} // namespace vexa
