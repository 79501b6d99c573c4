// CWinApp's profile operations: a private profile file, or the current
// user's registry when the application names a registry key.
#include "RegKey.h"
#include "WinApp.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace
{

// The key HKCU\software\<key>\<profile>\<section>, or null. Every key below
// "software" is created when missing, for reads too, so a read leaves the
// path in place for a later write.
HKEY OpenSectionKey(LPCSTR pszRegistryKey, LPCSTR pszProfileName, LPCSTR pszSection)
{
    HKEY hSoftware = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "software", 0, KEY_WRITE | KEY_READ, &hSoftware) !=
        ERROR_SUCCESS)
        return nullptr;
    CRegKey parent(hSoftware);
    for (LPCSTR pszName : {pszRegistryKey, pszProfileName, pszSection})
    {
        HKEY hChild = nullptr;
        DWORD dwDisposition;
        if (pszName == nullptr ||
            ::RegCreateKeyExA(parent, pszName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_WRITE | KEY_READ, nullptr, &hChild,
                              &dwDisposition) != ERROR_SUCCESS)
            return nullptr;
        parent.Reset(hChild);
    }
    return parent.Detach();
}

} // namespace

UINT CWinApp::GetProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nDefault)
{
    if (m_pszRegistryKey == nullptr)
        return ::GetPrivateProfileIntA(pszSection, pszEntry, nDefault, m_pszProfileName);

    CRegKey key(OpenSectionKey(m_pszRegistryKey, m_pszProfileName, pszSection));
    DWORD dwValue = 0;
    DWORD dwType = 0;
    DWORD nSize = sizeof(dwValue);
    if (key == nullptr ||
        ::RegQueryValueExA(key, pszEntry, nullptr, &dwType, reinterpret_cast<BYTE*>(&dwValue),
                           &nSize) != ERROR_SUCCESS ||
        dwType != REG_DWORD || nSize != sizeof(dwValue))
        return static_cast<UINT>(nDefault);
    return dwValue;
}

CString CWinApp::GetProfileString(LPCSTR pszSection, LPCSTR pszEntry, LPCSTR pszDefault)
{
    if (pszDefault == nullptr)
        pszDefault = "";
    if (m_pszRegistryKey == nullptr)
    {
        // The reader cuts silently and then returns the room minus one.
        CString strValue;
        for (DWORD nSize = 256;; nSize *= 2)
        {
            DWORD nLength = ::GetPrivateProfileStringA(pszSection, pszEntry, pszDefault,
                                                       strValue.GetBuffer(static_cast<int>(nSize)),
                                                       nSize, m_pszProfileName);
            if (nLength + 1 < nSize || nSize >= 0x10000)
            {
                strValue.ReleaseBuffer(static_cast<int>(nLength));
                return strValue;
            }
        }
    }

    CRegKey key(OpenSectionKey(m_pszRegistryKey, m_pszProfileName, pszSection));
    DWORD dwType = 0;
    DWORD nSize = 0;
    if (key == nullptr ||
        ::RegQueryValueExA(key, pszEntry, nullptr, &dwType, nullptr, &nSize) != ERROR_SUCCESS ||
        dwType != REG_SZ)
        return pszDefault;
    CString strValue;
    // One byte more than asked, so a value stored without its terminator
    // still ends inside the buffer.
    LPSTR pszBuffer = strValue.GetBuffer(static_cast<int>(nSize) + 1);
    if (::RegQueryValueExA(key, pszEntry, nullptr, &dwType, reinterpret_cast<BYTE*>(pszBuffer),
                           &nSize) != ERROR_SUCCESS ||
        dwType != REG_SZ)
        return pszDefault;
    pszBuffer[nSize] = '\0';
    strValue.ReleaseBuffer();
    return strValue;
}

BOOL CWinApp::WriteProfileInt(LPCSTR pszSection, LPCSTR pszEntry, int nValue)
{
    if (m_pszRegistryKey == nullptr)
    {
        char szValue[16];
        std::snprintf(szValue, sizeof(szValue), "%d", nValue);
        return ::WritePrivateProfileStringA(pszSection, pszEntry, szValue, m_pszProfileName);
    }
    CRegKey key(OpenSectionKey(m_pszRegistryKey, m_pszProfileName, pszSection));
    DWORD dwValue = static_cast<DWORD>(nValue);
    return key != nullptr &&
           ::RegSetValueExA(key, pszEntry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dwValue),
                            sizeof(dwValue)) == ERROR_SUCCESS;
}

BOOL CWinApp::WriteProfileString(LPCSTR pszSection, LPCSTR pszEntry, LPCSTR pszValue)
{
    if (m_pszRegistryKey == nullptr)
        return ::WritePrivateProfileStringA(pszSection, pszEntry, pszValue, m_pszProfileName);
    CRegKey key(OpenSectionKey(m_pszRegistryKey, m_pszProfileName, pszSection));
    if (key == nullptr)
        return FALSE;
    // A null value removes the entry, as it does in a profile file.
    if (pszValue == nullptr)
    {
        LONG lResult = ::RegDeleteValueA(key, pszEntry);
        return lResult == ERROR_SUCCESS || lResult == ERROR_FILE_NOT_FOUND;
    }
    return ::RegSetValueExA(key, pszEntry, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszValue),
                            static_cast<DWORD>(std::strlen(pszValue) + 1)) == ERROR_SUCCESS;
}
