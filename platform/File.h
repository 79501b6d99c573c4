// File.h - CFile, the byte stream an archive reads and writes, and CMemFile.
//
// Read returns the bytes it could deliver (0 at the end) and never raises at
// the end of data; Write delivers everything or raises CFileException.
// GetLength() - GetPosition() is what a reader can still get, and is what
// archive readers compare lengths against before allocating.
#pragma once

#include "Types.h"

class CFile
{
public:
    enum SeekPosition
    {
        begin = 0,
        current = 1,
        end = 2
    };

    virtual ~CFile() = default;

    virtual UINT Read(void* pBuffer, UINT nCount) = 0;
    virtual void Write(const void* pBuffer, UINT nCount) = 0;
    // Returns the new position; a position before the start raises badSeek.
    virtual ULONGLONG Seek(LONGLONG lOffset, UINT nFrom) = 0;
    virtual ULONGLONG GetPosition() const = 0;
    virtual ULONGLONG GetLength() const = 0;
    virtual void Flush() {}

    void SeekToBegin() { Seek(0, begin); }
    // Bytes between the position and the end; 0 when positioned past it.
    ULONGLONG GetBytesRemaining() const;

protected:
    CFile() = default;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
};

// A file in memory. Default construction gives an empty, growable file that
// owns its buffer; construction over caller bytes gives a read-only view
// that neither copies nor frees them (they must outlive the file). Writing
// past the end grows the buffer; a seek past the end followed by a write
// fills the gap with zeros.
class CMemFile : public CFile
{
public:
    explicit CMemFile(UINT nGrowBytes = 1024) noexcept;
    CMemFile(const BYTE* pData, size_t nSize) noexcept;
    ~CMemFile() override;

    UINT Read(void* pBuffer, UINT nCount) override;
    void Write(const void* pBuffer, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOffset, UINT nFrom) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    ULONGLONG GetLength() const override { return m_nSize; }

    const BYTE* GetData() const noexcept { return m_pData; }
    // Hands the owned buffer (free it with AfxFreeMemory) to the caller and
    // leaves the file empty; null for a view or an empty file.
    BYTE* Detach() noexcept;

private:
    void Grow(size_t nNewSize);

    const BYTE* m_pData;
    BYTE* m_pOwned; // == m_pData when the file owns its bytes, else null
    size_t m_nSize;
    size_t m_nCapacity;
    size_t m_nPosition;
    size_t m_nGrowBytes;
    BOOL m_bReadOnly;
};
