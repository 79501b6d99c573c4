#include "File.h"
#include "Exceptions.h"
#include "Memory.h"

#include <cstring>

ULONGLONG CFile::GetBytesRemaining() const
{
    ULONGLONG nLength = GetLength();
    ULONGLONG nPosition = GetPosition();
    return nPosition < nLength ? nLength - nPosition : 0;
}

CMemFile::CMemFile(UINT nGrowBytes) noexcept
    : m_pData(nullptr), m_pOwned(nullptr), m_nSize(0), m_nCapacity(0), m_nPosition(0),
      m_nGrowBytes(nGrowBytes != 0 ? nGrowBytes : 1024), m_bReadOnly(FALSE)
{
}

CMemFile::CMemFile(const BYTE* pData, size_t nSize) noexcept
    : m_pData(pData), m_pOwned(nullptr), m_nSize(nSize), m_nCapacity(nSize), m_nPosition(0),
      m_nGrowBytes(0), m_bReadOnly(TRUE)
{
}

CMemFile::~CMemFile()
{
    AfxFreeMemory(m_pOwned);
}

UINT CMemFile::Read(void* pBuffer, UINT nCount)
{
    if (m_nPosition >= m_nSize || nCount == 0)
        return 0;
    size_t nAvailable = m_nSize - m_nPosition;
    size_t nRead = nCount < nAvailable ? nCount : nAvailable;
    std::memcpy(pBuffer, m_pData + m_nPosition, nRead);
    m_nPosition += nRead;
    return static_cast<UINT>(nRead);
}

void CMemFile::Write(const void* pBuffer, UINT nCount)
{
    if (m_bReadOnly)
        AfxThrowFileException(CFileException::accessDenied);
    if (nCount == 0)
        return;
    if (nCount > SIZE_MAX - m_nPosition)
        AfxThrowMemoryException();
    size_t nEnd = m_nPosition + nCount;
    if (nEnd > m_nCapacity)
        Grow(nEnd);
    if (m_nPosition > m_nSize)
        std::memset(m_pOwned + m_nSize, 0, m_nPosition - m_nSize);
    std::memcpy(m_pOwned + m_nPosition, pBuffer, nCount);
    m_nPosition = nEnd;
    if (nEnd > m_nSize)
        m_nSize = nEnd;
}

ULONGLONG CMemFile::Seek(LONGLONG lOffset, UINT nFrom)
{
    LONGLONG lBase = 0;
    if (nFrom == current)
        lBase = static_cast<LONGLONG>(m_nPosition);
    else if (nFrom == end)
        lBase = static_cast<LONGLONG>(m_nSize);
    else if (nFrom != begin)
        AfxThrowInvalidArgException();
    if (lOffset < -lBase)
        AfxThrowFileException(CFileException::badSeek);
    ULONGLONG nTarget = static_cast<ULONGLONG>(lBase + lOffset);
    if (nTarget > SIZE_MAX)
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = static_cast<size_t>(nTarget);
    return m_nPosition;
}

BYTE* CMemFile::Detach() noexcept
{
    BYTE* pOwned = m_pOwned;
    m_pData = nullptr;
    m_pOwned = nullptr;
    m_nSize = 0;
    m_nCapacity = 0;
    m_nPosition = 0;
    return pOwned;
}

void CMemFile::Grow(size_t nNewSize)
{
    size_t nCapacity = m_nCapacity;
    while (nCapacity < nNewSize)
    {
        // At least double: stepping by m_nGrowBytes alone would copy a large
        // file once per step.
        size_t nStep = nCapacity > m_nGrowBytes ? nCapacity : m_nGrowBytes;
        nCapacity = nStep <= SIZE_MAX - nCapacity ? nCapacity + nStep : nNewSize;
    }
    BYTE* pNew = static_cast<BYTE*>(AfxAllocMemory(nCapacity));
    if (m_nSize > 0)
        std::memcpy(pNew, m_pOwned, m_nSize);
    AfxFreeMemory(m_pOwned);
    m_pOwned = pNew;
    m_pData = pNew;
    m_nCapacity = nCapacity;
}
