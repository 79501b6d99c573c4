#include "FileIdentity.h"

#include "AutoHandle.h"

#include <cstring>

BOOL IsPathPattern(LPCSTR pszPath)
{
    return std::strpbrk(pszPath, "*?") != nullptr;
}

BOOL CFileIdentity::Read(LPCSTR pszPath)
{
    if (*pszPath == '\0' || IsPathPattern(pszPath))
        return FALSE;
    // Backup semantics so that a folder opens too.
    CAutoHandle file(::CreateFileA(pszPath, FILE_READ_ATTRIBUTES,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.IsValid())
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    // Some file systems give no index (0); the long path then decides.
    m_bHasIndex = ::GetFileInformationByHandle(file, &info) &&
                  (info.nFileIndexHigh != 0 || info.nFileIndexLow != 0);
    if (m_bHasIndex)
    {
        m_nVolume = info.dwVolumeSerialNumber;
        m_nIndex = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        return TRUE;
    }
    // The long form costs a folder search per component: only without an
    // index.
    char szFull[MAX_PATH];
    char szLong[MAX_PATH];
    DWORD nFull = ::GetFullPathNameA(pszPath, MAX_PATH, szFull, nullptr);
    DWORD nLong = nFull > 0 && nFull < MAX_PATH ? ::GetLongPathNameA(szFull, szLong, MAX_PATH) : 0;
    m_strLongPath = nLong > 0 && nLong < MAX_PATH ? szLong : "";
    return !m_strLongPath.IsEmpty();
}

BOOL CFileIdentity::IsSameFile(const CFileIdentity& other) const
{
    if (m_bHasIndex && other.m_bHasIndex)
        return m_nVolume == other.m_nVolume && m_nIndex == other.m_nIndex;
    return !m_strLongPath.IsEmpty() && !other.m_strLongPath.IsEmpty() &&
           PathsEqual(m_strLongPath, other.m_strLongPath);
}

void CFileIdentitySet::Add(const CFileIdentity& identity)
{
    if (identity.m_bHasIndex)
        m_indexes.insert({identity.m_nVolume, identity.m_nIndex});
    if (!identity.m_strLongPath.IsEmpty())
        m_longPaths.Add(identity.m_strLongPath);
}

BOOL CFileIdentitySet::Contains(const CFileIdentity& identity) const
{
    if (identity.m_bHasIndex &&
        m_indexes.find({identity.m_nVolume, identity.m_nIndex}) != m_indexes.end())
        return TRUE;
    // A file without an index may still be listed by its long path.
    return !identity.m_strLongPath.IsEmpty() && m_longPaths.Contains(identity.m_strLongPath);
}
