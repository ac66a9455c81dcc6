#pragma once
// The face colour of a new button, which a stored button without a colour also takes.
#include <QColor>

namespace brixel {

inline const QColor LightGrey(0xC0, 0xC0, 0xC0);

} // namespace brixel
