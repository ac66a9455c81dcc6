#pragma once
// Data of the measurement panel: the text sizes offered and the preset texts
// of "Préselection", each with the size it is placed at.
#include <QString>
#include <QStringList>
#include <array>

namespace vexa {

struct PresetText {
    const char* caption; // UTF-8
    int size;
};

constexpr std::array<PresetText, 23> PresetTexts = {{
    {"D", 20},
    {"G", 20},
    {"Droite", 16},
    {"Gauche", 16},
    {"Debout", 18},
    {"En Charge", 18},
    {"Couché", 18},
    {"OAD", 20},
    {"OAG", 20},
    {"Face", 18},
    {"Profil", 18},
    {"Extension", 14},
    {"Flexion", 14},
    {"Flexion 30°", 14},
    {"30°", 20},
    {"45°", 20},
    {"60°", 20},
    {"90°", 20},
    {"Schuss", 18},
    {"Rotation Ext", 14},
    {"Rotation Int", 14},
    {"Rotation Indif.", 14},
    {"Leclercq", 14},
}};

// The list of the size box; its first entry is the initial size.
QStringList textSizeChoices();

constexpr int DefaultTextSize = 10;
// The size a text graphic gets from what the size box holds: the number
// rounded half to even when it lies in 10..72, else 10.
int16_t textSizeFrom(const QString& sizeText);

} // namespace vexa
