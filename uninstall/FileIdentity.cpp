#include "FileIdentity.h"

#include "AutoHandle.h"

#include <winternl.h>

#include <cstring>

namespace
{

// Backup semantics so that a folder opens too.
HANDLE OpenForAttributes(LPCSTR pszPath)
{
    return ::CreateFileA(pszPath, FILE_READ_ATTRIBUTES,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

typedef NTSTATUS(NTAPI* PFN_QUERY_INFORMATION_FILE)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                    FILE_INFORMATION_CLASS);

// Looked up rather than imported: the programs import only the Win32 DLLs.
PFN_QUERY_INFORMATION_FILE QueryInformationFile()
{
    static const PFN_QUERY_INFORMATION_FILE s_pfnQuery =
        reinterpret_cast<PFN_QUERY_INFORMATION_FILE>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQueryInformationFile")));
    return s_pfnQuery;
}

// The index alone: GetFileInformationByHandle would also ask for the
// volume, which costs several times the rest; it serves only where the
// query is missing.
BOOL ReadFileIndex(HANDLE hFile, ULONGLONG& nIndex)
{
    PFN_QUERY_INFORMATION_FILE pfnQuery = QueryInformationFile();
    if (pfnQuery != nullptr)
    {
        IO_STATUS_BLOCK io;
        FILE_INTERNAL_INFORMATION info;
        if (pfnQuery(hFile, &io, &info, sizeof(info), FileInternalInformation) < 0)
            return FALSE;
        nIndex = static_cast<ULONGLONG>(info.IndexNumber.QuadPart);
        return TRUE;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(hFile, &info))
        return FALSE;
    nIndex = (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return TRUE;
}

} // namespace

BOOL IsPathPattern(LPCSTR pszPath)
{
    return std::strpbrk(pszPath, "*?") != nullptr;
}

BOOL CFileIdentity::Read(LPCSTR pszPath)
{
    if (*pszPath == '\0' || IsPathPattern(pszPath))
        return FALSE;
    CAutoHandle file(OpenForAttributes(pszPath));
    if (!file.IsValid())
        return FALSE;
    m_strPath = pszPath;
    // Some file systems give no index (0); the long path then decides.
    m_bHasIndex = ReadFileIndex(file, m_nIndex) && m_nIndex != 0;
    if (m_bHasIndex)
        return TRUE;
    // The long form costs a folder search per component: only without an
    // index.
    char szFull[MAX_PATH];
    char szLong[MAX_PATH];
    DWORD nFull = ::GetFullPathNameA(pszPath, MAX_PATH, szFull, nullptr);
    DWORD nLong = nFull > 0 && nFull < MAX_PATH ? ::GetLongPathNameA(szFull, szLong, MAX_PATH) : 0;
    m_strLongPath = nLong > 0 && nLong < MAX_PATH ? szLong : "";
    return !m_strLongPath.IsEmpty();
}

LONGLONG CFileIdentity::Volume()
{
    if (m_nVolume != -1)
        return m_nVolume;
    m_nVolume = c_nNoVolume;
    CAutoHandle file(OpenForAttributes(m_strPath));
    BY_HANDLE_FILE_INFORMATION info;
    // The path must still name the file whose index was read.
    if (file.IsValid() && ::GetFileInformationByHandle(file, &info) &&
        ((static_cast<ULONGLONG>(info.nFileIndexHigh) << 32) | info.nFileIndexLow) == m_nIndex)
        m_nVolume = info.dwVolumeSerialNumber;
    return m_nVolume;
}

BOOL CFileIdentity::IsOnSameVolume(CFileIdentity& other)
{
    LONGLONG nVolume = Volume();
    LONGLONG nOther = other.Volume();
    return nVolume == c_nNoVolume || nOther == c_nNoVolume || nVolume == nOther;
}

BOOL CFileIdentity::IsSameFile(CFileIdentity& other)
{
    if (m_bHasIndex && other.m_bHasIndex)
        return m_nIndex == other.m_nIndex && IsOnSameVolume(other);
    return !m_strLongPath.IsEmpty() && !other.m_strLongPath.IsEmpty() &&
           PathsEqual(m_strLongPath, other.m_strLongPath);
}

void CFileIdentitySet::Add(const CFileIdentity& identity)
{
    if (identity.m_bHasIndex)
        m_byIndex[identity.m_nIndex].push_back(identity);
    if (!identity.m_strLongPath.IsEmpty())
        m_longPaths.Add(identity.m_strLongPath);
}

BOOL CFileIdentitySet::Contains(CFileIdentity& identity)
{
    if (identity.m_bHasIndex)
    {
        auto it = m_byIndex.find(identity.m_nIndex);
        if (it != m_byIndex.end())
        {
            for (CFileIdentity& candidate : it->second)
            {
                if (identity.IsOnSameVolume(candidate))
                    return TRUE;
            }
        }
    }
    // A file without an index may still be listed by its long path.
    return !identity.m_strLongPath.IsEmpty() && m_longPaths.Contains(identity.m_strLongPath);
}
