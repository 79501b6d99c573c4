#include "MapStringToStringEx.h"

#include "Archive.h"

IMPLEMENT_SERIAL(CMapStringToStringEx, CMapStringToString, 1)
IMPLEMENT_SERIAL(CMapDWordToString, CMapStringToStringEx, 1)
