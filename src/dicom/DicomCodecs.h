#pragma once
// Decoders for compressed transfer syntaxes (JPEG, JPEG-LS, RLE) are process
// wide in DCMTK; every loading path calls this first, registration runs once.

namespace vexa {

void registerDicomCodecs();

} // namespace vexa
