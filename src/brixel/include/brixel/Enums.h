#pragma once
// The button's enumerations, with the names and values the library publishes
// (stored designs hold these numbers). They are registered with Qt's meta
// object system so that form designers offer them by name.
#include <QObject>

namespace brixel {
Q_NAMESPACE

enum BtnBackStyle : int { Transparent = 0, Opaque = 1 };
Q_ENUM_NS(BtnBackStyle)
enum BtnAppearance : int { Flat = 0, HalfRaised = 1, Raised = 2 };
Q_ENUM_NS(BtnAppearance)
enum BtnContentEffects : int { bceYes = 0, bceNo = 1 };
Q_ENUM_NS(BtnContentEffects)
enum BtnSunkenEffects : int { bseYes = 0, bseNo = 1 };
Q_ENUM_NS(BtnSunkenEffects)
enum picAutoFit : int { pafYes = 0, pafNo = 1 };
Q_ENUM_NS(picAutoFit)
enum picDefaultArrange : int { pdaLeft = 0, pdaTop = 1 };
Q_ENUM_NS(picDefaultArrange)

// Drawn border style beyond the published ones: the pressed or sunken edge.
constexpr int SunkenStyle = 3;

} // namespace brixel
