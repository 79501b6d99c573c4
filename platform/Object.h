// Object.h - CObject and run-time class records.
//
// Every platform container and every serialisable class derives from
// CObject. A class declared with DECLARE_DYNAMIC can answer IsKindOf; one
// declared with DECLARE_SERIAL also has a creation function and is entered
// in this module's class list at static initialisation, so an archive can
// re-create it from the name it finds in the data.
//
// The list head is a constant-initialised pointer, so registrations may run
// in any order relative to other static constructors. Limit: a class whose
// object file nothing else references can be dropped by the linker from a
// static library, and with it its registration; link such libraries whole.
//
// CObject allocates through AfxAllocMemory: running out of memory in `new`
// raises CMemoryException like every other platform allocation.
#pragma once

#include "Types.h"

#include <new>

class CArchive;
class CObject;

struct CRuntimeClass
{
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema; // 0xFFFF: not serialisable
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;
    const CRuntimeClass* m_pNextClass; // this module's class list

    // Null when the class has no creation function.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;

    // Registered (serialisable) classes only; null when unknown.
    static const CRuntimeClass* FromName(LPCSTR lpszClassName);
    static CObject* CreateObject(LPCSTR lpszClassName);
};

// Links one class into the module's class list; IMPLEMENT_SERIAL makes one.
struct CClassInit
{
    explicit CClassInit(CRuntimeClass* pNewClass);
};

class CObject
{
public:
    virtual ~CObject() = default;
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;

    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual void Serialize(CArchive& ar);

    BOOL IsKindOf(const CRuntimeClass* pClass) const;
    BOOL IsSerializable() const;

    static void* operator new(size_t nSize);
    static void operator delete(void* p) noexcept;
    static void* operator new(size_t, void* p) noexcept { return p; }
    static void operator delete(void*, void*) noexcept {}

    static CRuntimeClass s_classCObject;

protected:
    CObject() = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::s_class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                \
public:                                                                                            \
    static CRuntimeClass s_class##class_name;                                                      \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_SERIAL(class_name)                                                                 \
    DECLARE_DYNAMIC(class_name)                                                                    \
    static CObject* CreateObject();                                                                \
    friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, pfnNew)                       \
    CRuntimeClass class_name::s_class##class_name = {                                              \
        #class_name, static_cast<int>(sizeof(class_name)), wSchema,                                \
        pfnNew,      RUNTIME_CLASS(base_class_name),       nullptr};                               \
    CRuntimeClass* class_name::GetRuntimeClass() const                                             \
    {                                                                                              \
        return RUNTIME_CLASS(class_name);                                                          \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                             \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

// The translation unit must include Archive.h.
#define IMPLEMENT_SERIAL(class_name, base_class_name, wSchema)                                     \
    CObject* class_name::CreateObject()                                                            \
    {                                                                                              \
        return new class_name;                                                                     \
    }                                                                                              \
    IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, wSchema, class_name::CreateObject)         \
    static const CClassInit s_init##class_name(RUNTIME_CLASS(class_name));                         \
    CArchive& operator>>(CArchive& ar, class_name*& pOb)                                           \
    {                                                                                              \
        pOb = static_cast<class_name*>(ar.ReadObject(RUNTIME_CLASS(class_name)));                  \
        return ar;                                                                                 \
    }
