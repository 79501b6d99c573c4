// String.h - CString, an 8-bit (ANSI code page) string with value semantics.
//
// The length is authoritative: a string may hold NUL bytes (archives can
// carry them), and comparison, concatenation and the archive form all use
// the full length. The buffer is always NUL-terminated past the length, so
// LPCSTR conversion works for strings without embedded NULs.
//
// Differences from a std::string: lengths and indexes are int; an index out
// of range raises CInvalidArgException; storage comes from AfxAllocMemory,
// so exhaustion raises CMemoryException. Mutators give the strong guarantee.
// CompareNoCase folds ASCII letters only, independent of the C locale.
#pragma once

#include "Types.h"

#include <cstdarg>

class CString
{
public:
    CString() noexcept;
    CString(LPCSTR psz);
    CString(LPCSTR pch, int nLength);
    CString(char ch, int nRepeat);
    CString(const CString& str);
    CString(CString&& str) noexcept;
    ~CString();

    CString& operator=(const CString& str);
    CString& operator=(CString&& str) noexcept;
    CString& operator=(LPCSTR psz);

    CString& operator+=(const CString& str);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);

    int GetLength() const noexcept { return m_nLength; }
    BOOL IsEmpty() const noexcept { return m_nLength == 0; }
    void Empty() noexcept;

    char GetAt(int nIndex) const;
    char operator[](int nIndex) const { return GetAt(nIndex); }
    void SetAt(int nIndex, char ch);
    operator LPCSTR() const noexcept;

    // Byte-wise, unsigned, length-aware: <0, 0 or >0.
    int Compare(const CString& str) const noexcept;
    int Compare(LPCSTR psz) const noexcept;
    int CompareNoCase(const CString& str) const noexcept;

    // Room for at least nMinBufLength characters plus a terminator; the
    // current content is kept. ReleaseBuffer(-1) takes the length up to the
    // first NUL.
    LPSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

    void Format(LPCSTR pszFormat, ...);
    void FormatV(LPCSTR pszFormat, va_list args);

    // -1 when not found.
    int Find(char ch, int nStart = 0) const noexcept;
    int Find(LPCSTR pszSub, int nStart = 0) const noexcept;
    int ReverseFind(char ch) const noexcept;

    // Counts and starts are clamped to the string, as callers slicing
    // parsed text expect.
    CString Left(int nCount) const;
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Right(int nCount) const;

    friend CString operator+(const CString& a, const CString& b);
    friend CString operator+(const CString& a, LPCSTR b);
    friend CString operator+(LPCSTR a, const CString& b);
    friend CString operator+(const CString& a, char b);

private:
    void Assign(LPCSTR pch, int nLength);
    void Append(LPCSTR pch, int nLength);
    // Replaces the buffer with one of at least nCapacity characters keeping
    // the first nKeep; the old buffer is freed only after the new one exists.
    void Reallocate(int nCapacity, int nKeep);

    char* m_pchData; // null while nothing was ever allocated
    int m_nLength;
    int m_nCapacity; // characters, excluding the terminator
};

inline bool operator==(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) == 0;
}
inline bool operator!=(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) != 0;
}
inline bool operator<(const CString& a, const CString& b) noexcept
{
    return a.Compare(b) < 0;
}
inline bool operator==(const CString& a, LPCSTR b) noexcept
{
    return a.Compare(b) == 0;
}
inline bool operator==(LPCSTR a, const CString& b) noexcept
{
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, LPCSTR b) noexcept
{
    return a.Compare(b) != 0;
}
inline bool operator!=(LPCSTR a, const CString& b) noexcept
{
    return b.Compare(a) != 0;
}
