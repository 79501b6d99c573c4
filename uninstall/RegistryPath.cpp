#include "RegistryPath.h"

#include "RegKey.h"
#include "String.h"

#include <cstring>
#include <vector>

namespace
{

const REGSAM c_samReadWrite = KEY_READ | KEY_WRITE;

// Where the first component of the path ends, or null when it is the whole.
LPCSTR FindFirstSeparator(LPCSTR pszPath)
{
    LPCSTR pszSep = std::strchr(pszPath, '\\');
    return pszSep ? pszSep : std::strchr(pszPath, '/');
}

LPCSTR FindLastSeparator(LPCSTR pszPath)
{
    LPCSTR pszSep = std::strrchr(pszPath, '\\');
    return pszSep ? pszSep : std::strrchr(pszPath, '/');
}

HKEY OpenComponent(HKEY hParent, LPCSTR pszName, BOOL bCreate, REGSAM samDesired)
{
    HKEY hKey = nullptr;
    LONG nResult = bCreate
                       ? ::RegCreateKeyExA(hParent, pszName, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           c_samReadWrite, nullptr, &hKey, nullptr)
                       : ::RegOpenKeyExA(hParent, pszName, 0, samDesired, &hKey);
    return nResult == ERROR_SUCCESS ? hKey : nullptr;
}

} // namespace

HKEY OpenKeyPath(HKEY hRoot, LPCSTR pszPath, BOOL bCreate, REGSAM samDesired)
{
    if (pszPath == nullptr)
        return nullptr;
    // A loop rather than recursion, so a path of many separators cannot
    // exhaust the stack; each step opens below the key of the step before.
    CRegKey key;
    HKEY hCurrent = hRoot;
    for (;;)
    {
        LPCSTR pszSep = FindFirstSeparator(pszPath);
        // A separator at the very start does not end a component.
        CString strName = (pszSep && pszSep != pszPath)
                              ? CString(pszPath, static_cast<int>(pszSep - pszPath))
                              : CString(pszPath);
        HKEY hNext = OpenComponent(hCurrent, strName, bCreate, samDesired);
        if (hNext == nullptr)
            return nullptr;
        key.Reset(hNext);
        hCurrent = hNext;
        if (pszSep == nullptr)
            return key.Detach();
        pszPath = pszSep + 1;
    }
}

LONG ReadRegString(HKEY hRoot, LPCSTR pszPath, LPCSTR pszValueName, LPSTR pszBuffer, DWORD& nSize)
{
    CRegKey key(OpenKeyPath(hRoot, pszPath, FALSE, c_samReadWrite));
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    return ReadKeyString(key, pszValueName, pszBuffer, nSize);
}

LONG ReadKeyString(HKEY hKey, LPCSTR pszValueName, LPSTR pszBuffer, DWORD& nSize)
{
    if (hKey == nullptr || pszBuffer == nullptr || nSize == 0)
        return ERROR_INVALID_HANDLE;
    DWORD cbData = 0;
    if (::RegQueryValueExA(hKey, pszValueName, nullptr, nullptr, nullptr, &cbData) != ERROR_SUCCESS)
        return ERROR_INVALID_HANDLE;
    // One byte more than asked for, kept zero, so data without a NUL of
    // its own still ends inside the buffer.
    std::vector<char> data(static_cast<size_t>(cbData) + 1, '\0');
    DWORD cbRead = cbData;
    if (::RegQueryValueExA(hKey, pszValueName, nullptr, nullptr,
                           reinterpret_cast<BYTE*>(data.data()), &cbRead) != ERROR_SUCCESS)
        return ERROR_INVALID_HANDLE;

    size_t nLength = std::strlen(data.data());
    DWORD nCopy = nLength < nSize - 1 ? static_cast<DWORD>(nLength) : nSize - 1;
    std::memcpy(pszBuffer, data.data(), nCopy);
    pszBuffer[nCopy] = '\0';
    nSize = nCopy;
    return ERROR_SUCCESS;
}

LONG WriteRegString(HKEY hRoot, LPCSTR pszPath, LPCSTR pszValueName, LPCSTR pszText)
{
    if (pszText == nullptr)
        return ERROR_INVALID_HANDLE;
    CRegKey key(OpenKeyPath(hRoot, pszPath, TRUE, c_samReadWrite));
    if (key == nullptr)
        return ERROR_INVALID_HANDLE;
    ::RegSetValueExA(key, pszValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(pszText),
                     static_cast<DWORD>(std::strlen(pszText) + 1));
    return ERROR_SUCCESS;
}

LONG DeleteKeyPath(HKEY hRoot, LPCSTR pszPath)
{
    if (pszPath == nullptr)
        return ERROR_INVALID_HANDLE;
    LPCSTR pszSep = FindLastSeparator(pszPath);
    LPCSTR pszName = pszSep ? pszSep + 1 : pszPath;
    if (*pszName == '\0')
        return ERROR_INVALID_HANDLE;
    if (pszSep == nullptr)
        return ::RegDeleteKeyA(hRoot, pszName);

    CString strParent(pszPath, static_cast<int>(pszSep - pszPath));
    CRegKey parent(OpenKeyPath(hRoot, strParent, TRUE, c_samReadWrite));
    if (parent == nullptr)
        return ERROR_INVALID_HANDLE;
    return ::RegDeleteKeyA(parent, pszName);
}
