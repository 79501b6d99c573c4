#include "DiskFile.h"
#include "Exceptions.h"

// The 64-bit stdio positioning calls have different names per C library.
#ifdef _WIN32
#define SEEK64 _fseeki64
#define TELL64 _ftelli64
#else
#define SEEK64 fseeko
#define TELL64 ftello
#endif

CDiskFile::CDiskFile() noexcept : m_pStream(nullptr), m_bLastWasWrite(FALSE) {}

CDiskFile::~CDiskFile()
{
    Close();
}

BOOL CDiskFile::Open(LPCSTR pszFileName, UINT nOpenFlags)
{
    Close();
    BOOL bCreate = (nOpenFlags & modeCreate) != 0;
    LPCSTR pszMode = "rb";
    if (nOpenFlags & modeReadWrite)
        pszMode = bCreate ? "w+b" : "r+b";
    else if (nOpenFlags & modeWrite)
        pszMode = bCreate ? "wb" : "r+b";
    m_pStream = std::fopen(pszFileName, pszMode);
    m_bLastWasWrite = FALSE;
    return m_pStream != nullptr;
}

void CDiskFile::Close() noexcept
{
    if (m_pStream != nullptr)
        std::fclose(m_pStream);
    m_pStream = nullptr;
}

UINT CDiskFile::Read(void* pBuffer, UINT nCount)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::genericException);
    SwitchDirection(FALSE);
    return static_cast<UINT>(std::fread(pBuffer, 1, nCount, m_pStream));
}

void CDiskFile::Write(const void* pBuffer, UINT nCount)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::genericException);
    SwitchDirection(TRUE);
    if (std::fwrite(pBuffer, 1, nCount, m_pStream) != nCount)
        AfxThrowFileException(CFileException::diskFull);
}

ULONGLONG CDiskFile::Seek(LONGLONG lOffset, UINT nFrom)
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::genericException);
    int nOrigin = nFrom == begin ? SEEK_SET : (nFrom == current ? SEEK_CUR : SEEK_END);
    if (SEEK64(m_pStream, lOffset, nOrigin) != 0)
        AfxThrowFileException(CFileException::badSeek);
    return GetPosition();
}

ULONGLONG CDiskFile::GetPosition() const
{
    if (m_pStream == nullptr)
        AfxThrowFileException(CFileException::genericException);
    LONGLONG lPosition = TELL64(m_pStream);
    if (lPosition < 0)
        AfxThrowFileException(CFileException::badSeek);
    return static_cast<ULONGLONG>(lPosition);
}

ULONGLONG CDiskFile::GetLength() const
{
    ULONGLONG nPosition = GetPosition();
    if (SEEK64(m_pStream, 0, SEEK_END) != 0)
        AfxThrowFileException(CFileException::badSeek);
    LONGLONG lLength = TELL64(m_pStream);
    if (SEEK64(m_pStream, static_cast<LONGLONG>(nPosition), SEEK_SET) != 0 || lLength < 0)
        AfxThrowFileException(CFileException::badSeek);
    return static_cast<ULONGLONG>(lLength);
}

void CDiskFile::Flush()
{
    if (m_pStream != nullptr && std::fflush(m_pStream) != 0)
        AfxThrowFileException(CFileException::diskFull);
}

void CDiskFile::SwitchDirection(BOOL bWriting)
{
    if (bWriting != m_bLastWasWrite)
    {
        std::fseek(m_pStream, 0, SEEK_CUR);
        m_bLastWasWrite = bWriting;
    }
}
