#include "Archive.h"
#include "Arrays.h"
#include "CodePage.h"
#include "Maps.h"

#include <cstring>
#include <memory>

namespace
{
struct CWideBufferDeleter
{
    void operator()(WORD* p) const noexcept { AfxFreeMemory(p); }
};
} // namespace

CArchive::CArchive(CFile* pFile, UINT nMode) noexcept
    : m_pFile(pFile), m_bLoading((nMode & load) != 0), m_nMapCount(1), m_pStoreMap(nullptr),
      m_pLoadArray(nullptr), m_pClaims(nullptr)
{
}

CArchive::~CArchive()
{
    delete m_pStoreMap;
    delete m_pLoadArray;
    delete m_pClaims;
}

void CArchive::CheckLoading() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException);
    if (!m_bLoading)
        AfxThrowArchiveException(CArchiveException::writeOnly);
}

void CArchive::CheckStoring() const
{
    if (m_pFile == nullptr)
        AfxThrowArchiveException(CArchiveException::genericException);
    if (m_bLoading)
        AfxThrowArchiveException(CArchiveException::readOnly);
}

UINT CArchive::Read(void* pBuffer, UINT nCount)
{
    CheckLoading();
    BYTE* pb = static_cast<BYTE*>(pBuffer);
    UINT nTotal = 0;
    while (nTotal < nCount)
    {
        UINT nRead = m_pFile->Read(pb + nTotal, nCount - nTotal);
        if (nRead == 0)
            break;
        nTotal += nRead;
    }
    return nTotal;
}

void CArchive::ReadExact(void* pBuffer, UINT nCount)
{
    if (Read(pBuffer, nCount) != nCount)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

void CArchive::Write(const void* pBuffer, UINT nCount)
{
    CheckStoring();
    m_pFile->Write(pBuffer, nCount);
}

ULONGLONG CArchive::GetBytesAvailable() const
{
    CheckLoading();
    return m_pFile->GetBytesRemaining();
}

void CArchive::EnsureAvailable(ULONGLONG nCount, size_t nItemSize) const
{
    ULONGLONG nAvailable = GetBytesAvailable();
    if (nItemSize != 0 && nCount > nAvailable / nItemSize)
        AfxThrowArchiveException(CArchiveException::endOfFile);
}

void CArchive::Flush()
{
    if (m_pFile != nullptr && !m_bLoading)
        m_pFile->Flush();
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

template <class T>
void CArchive::WriteLE(T nValue)
{
    BYTE ab[sizeof(T)];
    for (size_t i = 0; i < sizeof(T); ++i)
        ab[i] = static_cast<BYTE>(nValue >> (8 * i));
    Write(ab, sizeof(T));
}

template <class T>
T CArchive::ReadLE()
{
    BYTE ab[sizeof(T)];
    ReadExact(ab, sizeof(T));
    T nValue = 0;
    for (size_t i = 0; i < sizeof(T); ++i)
        nValue = static_cast<T>(nValue | static_cast<T>(static_cast<T>(ab[i]) << (8 * i)));
    return nValue;
}

CArchive& CArchive::operator<<(BYTE by)
{
    WriteLE<uint8_t>(by);
    return *this;
}

CArchive& CArchive::operator<<(char ch)
{
    WriteLE<uint8_t>(static_cast<uint8_t>(ch));
    return *this;
}

CArchive& CArchive::operator<<(short n)
{
    WriteLE<uint16_t>(static_cast<uint16_t>(n));
    return *this;
}

CArchive& CArchive::operator<<(WORD w)
{
    WriteLE<uint16_t>(w);
    return *this;
}

CArchive& CArchive::operator<<(int n)
{
    WriteLE<uint32_t>(static_cast<uint32_t>(n));
    return *this;
}

CArchive& CArchive::operator<<(UINT n)
{
    WriteLE<uint32_t>(n);
    return *this;
}

CArchive& CArchive::operator<<(LONGLONG n)
{
    WriteLE<uint64_t>(static_cast<uint64_t>(n));
    return *this;
}

CArchive& CArchive::operator<<(ULONGLONG n)
{
    WriteLE<uint64_t>(n);
    return *this;
}

CArchive& CArchive::operator<<(float f)
{
    static_assert(sizeof(float) == 4, "float must be IEEE single");
    uint32_t nBits;
    std::memcpy(&nBits, &f, sizeof nBits);
    WriteLE<uint32_t>(nBits);
    return *this;
}

CArchive& CArchive::operator<<(double d)
{
    static_assert(sizeof(double) == 8, "double must be IEEE double");
    uint64_t nBits;
    std::memcpy(&nBits, &d, sizeof nBits);
    WriteLE<uint64_t>(nBits);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by)
{
    by = ReadLE<uint8_t>();
    return *this;
}

CArchive& CArchive::operator>>(char& ch)
{
    ch = static_cast<char>(ReadLE<uint8_t>());
    return *this;
}

CArchive& CArchive::operator>>(short& n)
{
    n = static_cast<short>(ReadLE<uint16_t>());
    return *this;
}

CArchive& CArchive::operator>>(WORD& w)
{
    w = ReadLE<uint16_t>();
    return *this;
}

CArchive& CArchive::operator>>(int& n)
{
    n = static_cast<int>(ReadLE<uint32_t>());
    return *this;
}

CArchive& CArchive::operator>>(UINT& n)
{
    n = ReadLE<uint32_t>();
    return *this;
}

CArchive& CArchive::operator>>(LONGLONG& n)
{
    n = static_cast<LONGLONG>(ReadLE<uint64_t>());
    return *this;
}

CArchive& CArchive::operator>>(ULONGLONG& n)
{
    n = ReadLE<uint64_t>();
    return *this;
}

CArchive& CArchive::operator>>(float& f)
{
    uint32_t nBits = ReadLE<uint32_t>();
    std::memcpy(&f, &nBits, sizeof nBits);
    return *this;
}

CArchive& CArchive::operator>>(double& d)
{
    uint64_t nBits = ReadLE<uint64_t>();
    std::memcpy(&d, &nBits, sizeof nBits);
    return *this;
}

#if LONG_MAX == 2147483647L
CArchive& CArchive::operator>>(long& n)
{
    n = static_cast<long>(static_cast<int32_t>(ReadLE<uint32_t>()));
    return *this;
}

CArchive& CArchive::operator>>(unsigned long& n)
{
    n = ReadLE<uint32_t>();
    return *this;
}
#endif

void CArchive::WriteCount(ULONGLONG nCount)
{
    if (nCount < 0xFFFF)
    {
        WriteLE<uint16_t>(static_cast<uint16_t>(nCount));
        return;
    }
    WriteLE<uint16_t>(0xFFFF);
    if (nCount < 0xFFFFFFFF)
    {
        WriteLE<uint32_t>(static_cast<uint32_t>(nCount));
        return;
    }
    WriteLE<uint32_t>(0xFFFFFFFF);
    WriteLE<uint64_t>(nCount);
}

DWORD_PTR CArchive::ReadCount()
{
    uint16_t nShort = ReadLE<uint16_t>();
    if (nShort != 0xFFFF)
        return nShort;
    uint32_t nLong = ReadLE<uint32_t>();
    if (nLong != 0xFFFFFFFF)
        return nLong;
    uint64_t nHuge = ReadLE<uint64_t>();
    if (nHuge > static_cast<uint64_t>(static_cast<DWORD_PTR>(-1)))
        AfxThrowArchiveException(CArchiveException::endOfFile);
    return static_cast<DWORD_PTR>(nHuge);
}

void CArchive::WriteStringLength(int nLength)
{
    if (nLength < 0xFF)
    {
        WriteLE<uint8_t>(static_cast<uint8_t>(nLength));
        return;
    }
    WriteLE<uint8_t>(0xFF);
    if (nLength < 0xFFFE)
    {
        WriteLE<uint16_t>(static_cast<uint16_t>(nLength));
        return;
    }
    WriteLE<uint16_t>(0xFFFF);
    WriteLE<uint32_t>(static_cast<uint32_t>(nLength));
}

ULONGLONG CArchive::ReadStringLength(BOOL& bWide)
{
    uint8_t nByte = ReadLE<uint8_t>();
    if (nByte < 0xFF)
        return nByte;
    uint16_t nShort = ReadLE<uint16_t>();
    if (nShort == 0xFFFE)
    {
        // Only one wide marker may precede a length.
        if (bWide)
            AfxThrowArchiveException(CArchiveException::genericException);
        bWide = TRUE;
        return ReadStringLength(bWide);
    }
    if (nShort < 0xFFFE)
        return nShort;
    uint32_t nLong = ReadLE<uint32_t>();
    if (nLong < 0xFFFFFFFF)
        return nLong;
    return ReadLE<uint64_t>();
}

CArchive& CArchive::operator<<(const CString& str)
{
    CheckStoring();
    WriteStringLength(str.GetLength());
    Write(static_cast<LPCSTR>(str), static_cast<UINT>(str.GetLength()));
    return *this;
}

CArchive& CArchive::operator>>(CString& str)
{
    CheckLoading();
    BOOL bWide = FALSE;
    ULONGLONG nLength = ReadStringLength(bWide);
    if (bWide)
    {
        ReadWideString(nLength, str);
        return *this;
    }
    EnsureAvailable(nLength);
    if (nLength > static_cast<ULONGLONG>(INT_MAX - 1))
        AfxThrowMemoryException();
    CString strNew;
    int nChars = static_cast<int>(nLength);
    ReadExact(strNew.GetBuffer(nChars), static_cast<UINT>(nChars));
    strNew.ReleaseBuffer(nChars);
    str = std::move(strNew);
    return *this;
}

void CArchive::ReadWideString(ULONGLONG nChars, CString& str)
{
    EnsureAvailable(nChars, sizeof(WORD));
    if (nChars > static_cast<ULONGLONG>(INT_MAX - 1))
        AfxThrowMemoryException();
    size_t nCount = static_cast<size_t>(nChars);
    std::unique_ptr<WORD, CWideBufferDeleter> pWide(
        static_cast<WORD*>(AfxAllocArray(nCount, sizeof(WORD))));
    for (size_t i = 0; i < nCount; ++i)
        pWide.get()[i] = ReadLE<uint16_t>();
    AfxWideToAnsi(pWide.get(), nCount, str);
}
