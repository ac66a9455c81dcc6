#pragma once
// The button's enumerations, with the names and values the library publishes
// (stored designs hold these numbers).

namespace brixel {

enum BtnBackStyle : int { Transparent = 0, Opaque = 1 };
enum BtnAppearance : int { Flat = 0, HalfRaised = 1, Raised = 2 };
enum BtnContentEffects : int { bceYes = 0, bceNo = 1 };
enum BtnSunkenEffects : int { bseYes = 0, bseNo = 1 };
enum picAutoFit : int { pafYes = 0, pafNo = 1 };
enum picDefaultArrange : int { pdaLeft = 0, pdaTop = 1 };

// Drawn border style beyond the published ones: the pressed or sunken edge.
constexpr int SunkenStyle = 3;

} // namespace brixel
