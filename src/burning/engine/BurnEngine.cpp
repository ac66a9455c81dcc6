#include "BurnEngine.h"
