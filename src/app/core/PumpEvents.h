#pragma once
// Letting pending events run during long actions, so windows are drawn.

namespace vexa {

// Lets pending events run n + 1 times in a row (PumpEvents(20) runs them 21 times).
void PumpEvents(int n);

} // namespace vexa
