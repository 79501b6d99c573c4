// ComRef.h - CComInit and CComRef: COM on the calling thread, and one
// interface pointer that is released when it goes.
//
// CComInit initialises COM for its lifetime. Succeeded() is true for S_OK and
// for S_FALSE (already initialised on this thread); both must be balanced
// by CoUninitialize, which the destructor does exactly then.
#pragma once

#include "Types.h"

#include <objbase.h>

class CComInit
{
public:
    CComInit() : m_hr(::CoInitialize(nullptr)) {}
    ~CComInit()
    {
        if (Succeeded())
            ::CoUninitialize();
    }
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;

    BOOL Succeeded() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};

template <class T>
class CComRef
{
public:
    CComRef() = default;
    ~CComRef()
    {
        if (m_p != nullptr)
            m_p->Release();
    }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    T* operator->() const { return m_p; }
    BOOL IsNull() const { return m_p == nullptr; }
    // For the out argument of CoCreateInstance and QueryInterface; the
    // pointer must be empty.
    void** Out() { return reinterpret_cast<void**>(&m_p); }

private:
    T* m_p = nullptr;
};
