#include "burning/engine/BurnEngine.h"
