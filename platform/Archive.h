// Archive.h - CArchive, the little-endian binary stream that records are
// written to and read from.
//
// Widths are fixed whatever the build: BYTE/char 8 bits, short/WORD 16,
// int/UINT/LONG/DWORD 32, LONGLONG/ULONGLONG 64, float/double IEEE 32/64.
// On hosts where long is 64 bits there is deliberately no operator for long;
// use the fixed names. Strings, counts and object references use the forms
// below, byte for byte the same in 32- and 64-bit builds.
//
// Failures are CArchiveException: a store into a loading archive is
// readOnly (2), a load from a storing archive writeOnly (4), data ending
// before a field endOfFile (3). Read() alone is a bulk read that returns
// fewer bytes at the end of the data and raises nothing.
//
// String form: length < 255 in one byte; else 0xFF and a 16-bit length
// below 0xFFFE; else 0xFF, 0xFFFF and a 32-bit length below 0xFFFFFFFF;
// else 0xFF, 0xFFFF, 0xFFFFFFFF and a 64-bit length (only ever read: a
// CString is never that long); then the bytes. A
// reader also accepts a wide string: 0xFF, 0xFFFE, then a length (in
// characters) in the same form and 16-bit characters, converted to the ANSI
// code page. Every length is checked against the bytes still in the file
// before anything is allocated.
//
// Count form: 16 bits below 0xFFFF; else 0xFFFF and 32 bits below
// 0xFFFFFFFF; else 0xFFFF, 0xFFFFFFFF and 64 bits. A count that does not fit
// DWORD_PTR in this build reads as endOfFile.
//
// Object references: see WriteObject/ReadObject. Objects and classes share
// one index counter per archive, starting at 1; 0 is the null reference.
//
// There is no buffering: every field goes straight to the CFile. Close()
// flushes and detaches the file; any later transfer raises genericException.
#pragma once

#include "File.h"
#include "Object.h"
#include "String.h"

#include <climits>

class CMapPtrToPtr;
class CPtrArray;

class CArchive
{
public:
    enum Mode
    {
        store = 0,
        load = 1
    };

    CArchive(CFile* pFile, UINT nMode) noexcept;
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const noexcept { return m_bLoading; }
    BOOL IsStoring() const noexcept { return !m_bLoading; }
    CFile* GetFile() const noexcept { return m_pFile; }

    UINT Read(void* pBuffer, UINT nCount);
    // Raises endOfFile unless all nCount bytes arrive.
    void ReadExact(void* pBuffer, UINT nCount);
    void Write(const void* pBuffer, UINT nCount);

    ULONGLONG GetBytesAvailable() const;
    // Raises endOfFile unless nCount items of nItemSize bytes can still be
    // read; the product cannot overflow.
    void EnsureAvailable(ULONGLONG nCount, size_t nItemSize = 1) const;

    void WriteCount(ULONGLONG nCount);
    DWORD_PTR ReadCount();

    // Null: tag 0. An object already written: its index (below 0x7FFF in 16
    // bits, else 0x7FFF and 32 bits). A new object: its class, then the
    // object's own Serialize output. A class already written: 0x8000 | index
    // in 16 bits (else 0x7FFF and 0x80000000 | index in 32 bits); a new one:
    // 0xFFFF, schema (16), name length (16), name bytes. The object's class
    // must be serialisable (badClass otherwise).
    void WriteObject(const CObject* pOb);
    // pClassRequested null accepts any class. Unknown class name or a class
    // not derived from pClassRequested: badClass; schema differs from the
    // registered one: badSchema; a reference to an index not loaded, or to
    // a class where an object belongs (or the reverse): badIndex. A new
    // object is indexed before its Serialize runs, so it may refer to
    // itself; if that Serialize throws, the object and everything loaded
    // during it leave the index table, the object is deleted, and the
    // exception propagates. The caller owns what is returned.
    CObject* ReadObject(const CRuntimeClass* pClassRequested);

    // Ownership of loaded objects, for containers that own what they read
    // (a record can name one object from several places, and with owning
    // containers nested in each other). An owner claims each object before
    // it keeps it: FALSE when another owner holds the claim (both would
    // destroy it) or when the object's own load is still running (it
    // encloses the claimant, so the owners would form a cycle). The same
    // owner may claim an object again unless bOnce says it holds each
    // object once. Null is always TRUE.
    BOOL ClaimLoadedObject(const CObject* pOb, const void* pOwner, BOOL bOnce = FALSE);
    // For an owner about to destroy an object it loaded from this archive
    // before the load is over (a record that replaces an owned object, or an
    // entry that failed after its object was read). The object, and with it
    // everything loaded after it (which includes whatever it owns), leaves
    // the index table, so later references raise badIndex; TRUE, and the
    // caller may destroy it. FALSE, with nothing changed, when a reference
    // back to any of them was read already: its reader may still hold it.
    // An object this archive never loaded gives TRUE.
    BOOL ReleaseLoadedObject(const CObject* pOb) noexcept;

    void Flush();
    void Close();

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(char ch);
    CArchive& operator<<(short n);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(int n);
    CArchive& operator<<(UINT n);
    CArchive& operator<<(LONGLONG n);
    CArchive& operator<<(ULONGLONG n);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(const CString& str);

    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(short& n);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(int& n);
    CArchive& operator>>(UINT& n);
    CArchive& operator>>(LONGLONG& n);
    CArchive& operator>>(ULONGLONG& n);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(CString& str);

#if LONG_MAX == 2147483647L
    // Where long is 32 bits (Windows), LONG and DWORD are long types.
    CArchive& operator<<(long n)
    {
        return *this << static_cast<int>(n);
    }
    CArchive& operator<<(unsigned long n)
    {
        return *this << static_cast<UINT>(n);
    }
    CArchive& operator>>(long& n);
    CArchive& operator>>(unsigned long& n);
#endif

private:
    template <class T>
    void WriteLE(T nValue);
    template <class T>
    T ReadLE();

    void CheckLoading() const;
    void CheckStoring() const;
    // CString lengths are int, so writing never needs the 64-bit form.
    void WriteStringLength(int nLength);
    ULONGLONG ReadStringLength(BOOL& bWide);
    void ReadWideString(ULONGLONG nChars, CString& str);

    void WriteClass(const CRuntimeClass* pClass);
    void WriteIndexTag(DWORD nIndex, BOOL bClass);
    DWORD NextStoreIndex(const void* pKey);
    const CRuntimeClass* ReadNewClass();
    DWORD AddLoaded(const void* p, BOOL bClass);
    CObject* LoadedObjectAt(DWORD nIndex) const;
    const CRuntimeClass* LoadedClassAt(DWORD nIndex) const;
    void ForgetObjectsFrom(DWORD nIndex) noexcept;
    void SetClaim(const CObject* pOb, const void* pOwner);

    CFile* m_pFile;
    BOOL m_bLoading;
    DWORD m_nMapCount;         // next index to hand out
    CMapPtrToPtr* m_pStoreMap; // object or class -> index, while storing
    CPtrArray* m_pLoadArray;   // index -> tagged object or class, while loading
    CMapPtrToPtr* m_pClaims;   // object -> owner (a marker while its load runs)
};

CArchive& operator<<(CArchive& ar, const CObject* pOb);
CArchive& operator>>(CArchive& ar, CObject*& pOb);
