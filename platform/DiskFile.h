// DiskFile.h - CDiskFile, a CFile over a C stdio stream.
//
// Paths are 8-bit strings in the ANSI code page. Open reports failure by
// result; once open, a short write raises CFileException(diskFull) and a
// failed seek CFileException(badSeek). Positions and lengths are 64-bit on
// every build.
#pragma once

#include "File.h"

#include <cstdio>

class CDiskFile : public CFile
{
public:
    enum OpenFlags
    {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        modeCreate = 0x1000 // create, or truncate an existing file
    };

    CDiskFile() noexcept;
    ~CDiskFile() override;

    BOOL Open(LPCSTR pszFileName, UINT nOpenFlags);
    void Close() noexcept;
    BOOL IsOpen() const noexcept { return m_pStream != nullptr; }

    UINT Read(void* pBuffer, UINT nCount) override;
    void Write(const void* pBuffer, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOffset, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void Flush() override;

private:
    // stdio needs a seek between a write and a following read (and back).
    void SwitchDirection(BOOL bWriting);

    std::FILE* m_pStream;
    BOOL m_bLastWasWrite;
};
