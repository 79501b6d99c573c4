// RegKey.h - CRegKey owns one open registry key and closes it when it goes
// (Windows builds only).
//
// Holds null when empty. It only owns: opening, creating and reading stay
// with the caller, which hands over the key an API call returned. Never
// holds a predefined root (HKEY_LOCAL_MACHINE, ...) that the caller did not
// open itself.
#pragma once

#include "Types.h"

class CRegKey
{
public:
    explicit CRegKey(HKEY hKey = nullptr) : m_hKey(hKey) {}
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;

    operator HKEY() const { return m_hKey; }

    // Closes the key held so far and takes hKey.
    void Reset(HKEY hKey)
    {
        Close();
        m_hKey = hKey;
    }
    // Gives the key up without closing it.
    HKEY Detach()
    {
        HKEY hKey = m_hKey;
        m_hKey = nullptr;
        return hKey;
    }

private:
    void Close()
    {
        if (m_hKey != nullptr)
            ::RegCloseKey(m_hKey);
    }

    HKEY m_hKey;
};
