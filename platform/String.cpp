#include "String.h"
#include "Exceptions.h"
#include "Memory.h"

#include <climits>
#include <cstdio>
#include <cstring>

static int LengthOf(LPCSTR psz)
{
    if (psz == nullptr)
        return 0;
    size_t nLength = std::strlen(psz);
    if (nLength > static_cast<size_t>(INT_MAX - 1))
        AfxThrowMemoryException();
    return static_cast<int>(nLength);
}

static int CompareBytes(LPCSTR pchA, int nA, LPCSTR pchB, int nB) noexcept
{
    int nCommon = nA < nB ? nA : nB;
    int nResult = nCommon > 0 ? std::memcmp(pchA, pchB, static_cast<size_t>(nCommon)) : 0;
    if (nResult != 0)
        return nResult;
    return nA < nB ? -1 : (nA > nB ? 1 : 0);
}

CString::CString() noexcept : m_pchData(nullptr), m_nLength(0), m_nCapacity(0) {}

CString::CString(LPCSTR psz) : CString()
{
    Assign(psz, LengthOf(psz));
}

CString::CString(LPCSTR pch, int nLength) : CString()
{
    if (nLength < 0 || (pch == nullptr && nLength > 0))
        AfxThrowInvalidArgException();
    Assign(pch, nLength);
}

CString::CString(char ch, int nRepeat) : CString()
{
    if (nRepeat < 0)
        AfxThrowInvalidArgException();
    if (nRepeat == 0)
        return;
    Reallocate(nRepeat, 0);
    std::memset(m_pchData, ch, static_cast<size_t>(nRepeat));
    m_nLength = nRepeat;
    m_pchData[m_nLength] = '\0';
}

CString::CString(const CString& str) : CString()
{
    Assign(str.m_pchData, str.m_nLength);
}

CString::CString(CString&& str) noexcept
    : m_pchData(str.m_pchData), m_nLength(str.m_nLength), m_nCapacity(str.m_nCapacity)
{
    str.m_pchData = nullptr;
    str.m_nLength = 0;
    str.m_nCapacity = 0;
}

CString::~CString()
{
    AfxFreeMemory(m_pchData);
}

CString& CString::operator=(const CString& str)
{
    if (this != &str)
        Assign(str.m_pchData, str.m_nLength);
    return *this;
}

CString& CString::operator=(CString&& str) noexcept
{
    if (this != &str)
    {
        AfxFreeMemory(m_pchData);
        m_pchData = str.m_pchData;
        m_nLength = str.m_nLength;
        m_nCapacity = str.m_nCapacity;
        str.m_pchData = nullptr;
        str.m_nLength = 0;
        str.m_nCapacity = 0;
    }
    return *this;
}

CString& CString::operator=(LPCSTR psz)
{
    Assign(psz, LengthOf(psz));
    return *this;
}

CString& CString::operator+=(const CString& str)
{
    Append(str.m_pchData, str.m_nLength);
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    Append(psz, LengthOf(psz));
    return *this;
}

CString& CString::operator+=(char ch)
{
    Append(&ch, 1);
    return *this;
}

void CString::Empty() noexcept
{
    AfxFreeMemory(m_pchData);
    m_pchData = nullptr;
    m_nLength = 0;
    m_nCapacity = 0;
}

char CString::GetAt(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nLength)
        AfxThrowInvalidArgException();
    return m_pchData[nIndex];
}

void CString::SetAt(int nIndex, char ch)
{
    if (nIndex < 0 || nIndex >= m_nLength)
        AfxThrowInvalidArgException();
    m_pchData[nIndex] = ch;
}

CString::operator LPCSTR() const noexcept
{
    return m_pchData != nullptr ? m_pchData : "";
}

int CString::Compare(const CString& str) const noexcept
{
    return CompareBytes(m_pchData, m_nLength, str.m_pchData, str.m_nLength);
}

int CString::Compare(LPCSTR psz) const noexcept
{
    size_t nLength = psz != nullptr ? std::strlen(psz) : 0;
    // A C string longer than INT_MAX is longer than any CString.
    if (nLength > static_cast<size_t>(INT_MAX))
        return -1;
    return CompareBytes(m_pchData, m_nLength, psz, static_cast<int>(nLength));
}

int CString::CompareNoCase(const CString& str) const noexcept
{
    int nCommon = m_nLength < str.m_nLength ? m_nLength : str.m_nLength;
    for (int i = 0; i < nCommon; ++i)
    {
        unsigned char a = static_cast<unsigned char>(m_pchData[i]);
        unsigned char b = static_cast<unsigned char>(str.m_pchData[i]);
        if (a >= 'A' && a <= 'Z')
            a = static_cast<unsigned char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z')
            b = static_cast<unsigned char>(b - 'A' + 'a');
        if (a != b)
            return a < b ? -1 : 1;
    }
    return m_nLength < str.m_nLength ? -1 : (m_nLength > str.m_nLength ? 1 : 0);
}

LPSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < 0)
        AfxThrowInvalidArgException();
    if (m_pchData == nullptr || nMinBufLength > m_nCapacity)
        Reallocate(nMinBufLength > m_nLength ? nMinBufLength : m_nLength, m_nLength);
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (m_pchData == nullptr)
    {
        if (nNewLength > 0)
            AfxThrowInvalidArgException();
        return;
    }
    if (nNewLength < 0)
    {
        const void* pEnd = std::memchr(m_pchData, '\0', static_cast<size_t>(m_nCapacity));
        nNewLength = pEnd != nullptr ? static_cast<int>(static_cast<const char*>(pEnd) - m_pchData)
                                     : m_nCapacity;
    }
    if (nNewLength > m_nCapacity)
        AfxThrowInvalidArgException();
    m_nLength = nNewLength;
    m_pchData[m_nLength] = '\0';
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    try
    {
        FormatV(pszFormat, args);
    }
    catch (...)
    {
        va_end(args);
        throw;
    }
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // Formatted into a fresh string: an argument may be this string's own
    // buffer.
    va_list argsCopy;
    va_copy(argsCopy, args);
    int nLength = std::vsnprintf(nullptr, 0, pszFormat, argsCopy);
    va_end(argsCopy);
    if (nLength < 0)
        AfxThrowInvalidArgException();
    CString strResult;
    strResult.Reallocate(nLength, 0);
    std::vsnprintf(strResult.m_pchData, static_cast<size_t>(nLength) + 1, pszFormat, args);
    strResult.m_nLength = nLength;
    *this = std::move(strResult);
}

int CString::Find(char ch, int nStart) const noexcept
{
    if (nStart < 0 || nStart >= m_nLength)
        return -1;
    const void* p = std::memchr(m_pchData + nStart, ch, static_cast<size_t>(m_nLength - nStart));
    return p != nullptr ? static_cast<int>(static_cast<const char*>(p) - m_pchData) : -1;
}

int CString::Find(LPCSTR pszSub, int nStart) const noexcept
{
    if (pszSub == nullptr || nStart < 0 || nStart > m_nLength)
        return -1;
    size_t nSub = std::strlen(pszSub);
    if (nSub > static_cast<size_t>(m_nLength - nStart))
        return -1;
    int nLast = m_nLength - static_cast<int>(nSub);
    for (int i = nStart; i <= nLast; ++i)
    {
        if (std::memcmp(m_pchData + i, pszSub, nSub) == 0)
            return i;
    }
    return -1;
}

int CString::ReverseFind(char ch) const noexcept
{
    for (int i = m_nLength - 1; i >= 0; --i)
    {
        if (m_pchData[i] == ch)
            return i;
    }
    return -1;
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, m_nLength);
}

CString CString::Mid(int nFirst, int nCount) const
{
    if (nFirst < 0)
        nFirst = 0;
    if (nFirst > m_nLength)
        nFirst = m_nLength;
    if (nCount < 0)
        nCount = 0;
    if (nCount > m_nLength - nFirst)
        nCount = m_nLength - nFirst;
    return nCount > 0 ? CString(m_pchData + nFirst, nCount) : CString();
}

CString CString::Right(int nCount) const
{
    if (nCount < 0)
        nCount = 0;
    if (nCount > m_nLength)
        nCount = m_nLength;
    return Mid(m_nLength - nCount, nCount);
}

CString operator+(const CString& a, const CString& b)
{
    CString strResult(a);
    strResult += b;
    return strResult;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString strResult(a);
    strResult += b;
    return strResult;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString strResult(a);
    strResult += b;
    return strResult;
}

CString operator+(const CString& a, char b)
{
    CString strResult(a);
    strResult += b;
    return strResult;
}

void CString::Assign(LPCSTR pch, int nLength)
{
    if (nLength == 0)
    {
        m_nLength = 0;
        if (m_pchData != nullptr)
            m_pchData[0] = '\0';
        return;
    }
    if (m_pchData == nullptr || nLength > m_nCapacity)
    {
        // Fresh buffer first, so pch may point into the old one.
        CString strNew;
        strNew.Reallocate(nLength, 0);
        std::memcpy(strNew.m_pchData, pch, static_cast<size_t>(nLength));
        strNew.m_nLength = nLength;
        strNew.m_pchData[nLength] = '\0';
        *this = std::move(strNew);
        return;
    }
    std::memmove(m_pchData, pch, static_cast<size_t>(nLength));
    m_nLength = nLength;
    m_pchData[m_nLength] = '\0';
}

void CString::Append(LPCSTR pch, int nLength)
{
    if (nLength == 0)
        return;
    if (nLength > INT_MAX - 1 - m_nLength)
        AfxThrowMemoryException();
    int nNewLength = m_nLength + nLength;
    if (m_pchData == nullptr || nNewLength > m_nCapacity)
    {
        // Geometric growth keeps repeated += linear; pch may point into
        // the old buffer, which Reallocate frees only after copying.
        int nGrown = m_nCapacity < (INT_MAX - 1) / 2 ? m_nCapacity * 2 : INT_MAX - 1;
        char* pOld = m_pchData;
        char* pNew = static_cast<char*>(
            AfxAllocMemory(static_cast<size_t>(nNewLength > nGrown ? nNewLength : nGrown) + 1));
        if (m_nLength > 0)
            std::memcpy(pNew, pOld, static_cast<size_t>(m_nLength));
        std::memcpy(pNew + m_nLength, pch, static_cast<size_t>(nLength));
        m_pchData = pNew;
        m_nCapacity = nNewLength > nGrown ? nNewLength : nGrown;
        AfxFreeMemory(pOld);
    }
    else
    {
        std::memmove(m_pchData + m_nLength, pch, static_cast<size_t>(nLength));
    }
    m_nLength = nNewLength;
    m_pchData[m_nLength] = '\0';
}

void CString::Reallocate(int nCapacity, int nKeep)
{
    if (nCapacity > INT_MAX - 1)
        AfxThrowMemoryException();
    char* pNew = static_cast<char*>(AfxAllocMemory(static_cast<size_t>(nCapacity) + 1));
    if (nKeep > 0)
        std::memcpy(pNew, m_pchData, static_cast<size_t>(nKeep));
    pNew[nKeep] = '\0';
    AfxFreeMemory(m_pchData);
    m_pchData = pNew;
    m_nCapacity = nCapacity;
}
