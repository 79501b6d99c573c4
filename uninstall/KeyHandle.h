// KeyHandle.h - CKeyHandle owns one open registry key and closes it.
#pragma once

#include "Types.h"

class CKeyHandle
{
public:
    explicit CKeyHandle(HKEY hKey = nullptr) : m_hKey(hKey) {}
    ~CKeyHandle()
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
    }
    CKeyHandle(const CKeyHandle&) = delete;
    CKeyHandle& operator=(const CKeyHandle&) = delete;

    operator HKEY() const { return m_hKey; }
    // Closes the key held so far and takes hKey.
    void Reset(HKEY hKey)
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
        m_hKey = hKey;
    }
    HKEY Detach()
    {
        HKEY hKey = m_hKey;
        m_hKey = nullptr;
        return hKey;
    }

private:
    HKEY m_hKey;
};
