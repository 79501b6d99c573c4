#include "DWord64Array.h"

IMPLEMENT_SERIAL(CDWord64Array, CObject, 1)
