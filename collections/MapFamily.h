// MapFamily.h - how the scalar-keyed family declares its members.
//
// Every member has exactly CMapPtrToPtrEx's fields; members differ only in
// what their slots stand for, how they free owned keys and values, and
// their archive form. A member that changes how it frees must also empty
// itself in its own destructor: by the time the core's destructor runs, the
// member's DeleteKey/DeleteValue are gone.
#pragma once

#include "MapPtrToPtrEx.h"

// How an owned slot is freed.
struct CMapFree
{
    // Plain release: operator delete, no destructor.
    static void Plain(void* p) { ::operator delete(p); }
    // A number (DWORD, WORD, BYTE, BOOL, count, packed point or size) was
    // never heap memory, whatever the ownership flags say.
    static void Nothing(void*) {}
    // Through the virtual destructor; null is ignored.
    static void Object(void* p) { delete static_cast<CObject*>(p); }
};

// A member that only renames what its base's slots stand for.
#define DECLARE_MAP_CLASS(class_name, base_class)                                                  \
    class class_name : public base_class                                                           \
    {                                                                                              \
        DECLARE_SERIAL(class_name)                                                                 \
    };

#define DECLARE_MAP_FREEING(class_name, key_free, value_free)                                      \
public:                                                                                            \
    ~class_name() override                                                                         \
    {                                                                                              \
        RemoveAllFromDestructor();                                                                 \
    }                                                                                              \
    void DeleteKey(void* key) override                                                             \
    {                                                                                              \
        CMapFree::key_free(key);                                                                   \
    }                                                                                              \
    void DeleteValue(void* value) override                                                         \
    {                                                                                              \
        CMapFree::value_free(value);                                                               \
    }

// A member with its own rule for freeing keys and values.
#define DECLARE_MAP_CLASS_FREEING(class_name, base_class, key_free, value_free)                    \
    class class_name : public base_class                                                           \
    {                                                                                              \
        DECLARE_SERIAL(class_name)                                                                 \
        DECLARE_MAP_FREEING(class_name, key_free, value_free)                                      \
    };
