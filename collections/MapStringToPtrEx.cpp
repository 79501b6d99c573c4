#include "MapStringToPtrEx.h"

#include "StringMapRecord.h"

#include "Archive.h"

namespace
{
const WORD wRecordVersion = 1;
const int nDefaultBlockSize = 10;
// A block is allocated whole at the first insertion, so a stored size is
// trusted only up to this.
const int nMaxLoadedBlockSize = 65536;
// An empty key's length byte and a 32-bit value.
const size_t nMinEntryBytes = 1 + 4;
} // namespace

IMPLEMENT_SERIAL(CMapStringToPtrEx, CMapStringToPtr, 1)
IMPLEMENT_SERIAL(CMapStringToDWord, CMapStringToPtrEx, 1)
IMPLEMENT_SERIAL(CMapStringToBool, CMapStringToPtrEx, 1)
IMPLEMENT_SERIAL(CMapString, CMapStringToBool, 1)

CMapStringToPtrEx::CMapStringToPtrEx()
    : CMapStringToPtr(nDefaultBlockSize), m_bDeleteValues(FALSE), m_mapLoaded(nDefaultBlockSize)
{
}

CMapStringToPtrEx::~CMapStringToPtrEx()
{
    CMapStringToPtrEx::RemoveAll();
}

void CMapStringToPtrEx::FreeValue(const CString& key, void* value) const noexcept
{
    void* loadedValue;
    if (value == nullptr || (m_mapLoaded.Lookup(key, loadedValue) && loadedValue == value))
        return;
    ::operator delete(value);
}

void CMapStringToPtrEx::SetAt(const CString& key, void* newValue)
{
    void* oldValue;
    if (Lookup(key, oldValue) && oldValue != nullptr && oldValue == newValue)
        return;
    // The slot first: inserting is the one step that can throw, and it must
    // not come after the old value is gone.
    void*& rValue = (*this)[key];
    if (m_bDeleteValues)
        FreeValue(key, rValue);
    rValue = newValue;
}

void CMapStringToPtrEx::RemoveAll()
{
    if (m_bDeleteValues)
    {
        CString key;
        void* value;
        for (POSITION pos = GetStartPosition(); pos != nullptr;)
        {
            GetNextAssoc(pos, key, value);
            FreeValue(key, value);
        }
    }
    CMapStringToPtr::RemoveAll();
    m_mapLoaded.RemoveAll();
}

void CMapStringToPtrEx::LoadEntry(const CString& key, void* value)
{
    // Both slots exist before either is written, so a failed insertion
    // cannot leave a loaded number in the map without its mark.
    void*& rMark = m_mapLoaded[key];
    void*& rValue = (*this)[key];
    rValue = value;
    rMark = value;
}

void CMapStringToPtrEx::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << wRecordVersion << GetBlockSize() << GetHashTableSize()
           << static_cast<int>(GetCount());
        CString key;
        void* value;
        for (POSITION pos = GetStartPosition(); pos != nullptr;)
        {
            GetNextAssoc(pos, key, value);
            ar << key << static_cast<UINT>(reinterpret_cast<UINT_PTR>(value));
        }
        return;
    }
    RemoveAll();
    WORD wVersion;
    int nBlockSize;
    UINT nHashSize;
    ar >> wVersion >> nBlockSize >> nHashSize;
    BOOL bUsable = nBlockSize >= 1 && nBlockSize <= nMaxLoadedBlockSize;
    SetBlockSize(bUsable ? nBlockSize : nDefaultBlockSize);
    int nEntries = ReadStringMapEntryCount(ar, nMinEntryBytes);
    InitHashTable(LoadableHashTableSize(nHashSize, nEntries), FALSE);
    for (int i = 0; i < nEntries; ++i)
    {
        CString key;
        UINT nValue;
        ar >> key >> nValue;
        LoadEntry(key, reinterpret_cast<void*>(static_cast<UINT_PTR>(nValue)));
    }
}
