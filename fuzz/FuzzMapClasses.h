// The classes of the scalar-keyed map family that fuzz_map_family loads,
// picked by the first byte of its input, and how each holds its slots: the
// four record forms are scalar, object-value, object-key and
// object-key-and-value.
#pragma once

#include <cstddef>

struct CFuzzMapClass
{
    const char* m_pszName;
    bool m_bObjectKeys;
    bool m_bObjectValues;
};

inline constexpr CFuzzMapClass g_aFuzzMapClasses[] = {
    {"CMapPtrToPtrEx", false, false},
    {"CMapPtrToBool", false, false},
    {"CMapPtr", false, false},
    {"CMapPtrToDWord", false, false},
    {"CMapPtrToPoint", false, false},
    {"CMapPtrToSize", false, false},
    {"CMapPtrToRect", false, false},
    {"CMapDWordToPtr", false, false},
    {"CMapPointToPtr", false, false},
    {"CMapPointToBool", false, false},
    {"CMapPoint", false, false},
    {"CMapDWordToBool", false, false},
    {"CMapDWord", false, false},
    {"CMapDWordToDWord", false, false},
    {"CMapDWordToWord", false, false},
    {"CMapDWordToByte", false, false},
    {"CMapDWordToCount", false, false},
    {"CMapDWordToSize", false, false},
    {"CMapPtrToOb", false, true},
    {"CMapDWordToOb", false, true},
    {"CMapObToPtr", true, false},
    {"CMapObToBool", true, false},
    {"CMapOb", true, false},
    {"CMapObToDWord", true, false},
    {"CMapObToCount", true, false},
    {"CMapObToOb", true, true},
};

inline constexpr size_t g_nFuzzMapClasses =
    sizeof(g_aFuzzMapClasses) / sizeof(g_aFuzzMapClasses[0]);
