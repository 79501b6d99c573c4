#include "MapStringToObEx.h"

#include "StringMapRecord.h"

#include "Archive.h"

namespace
{
const WORD wRecordVersion = 1;
// An empty key's length byte and a null reference's tag.
const size_t nMinEntryBytes = 1 + 2;
} // namespace

IMPLEMENT_SERIAL(CMapStringToObEx, CMapStringToOb, 1)

CMapStringToObEx::CMapStringToObEx() : CMapStringToOb(10), m_bDeleteValues(FALSE) {}

CMapStringToObEx::~CMapStringToObEx()
{
    CMapStringToObEx::RemoveAll();
}

void CMapStringToObEx::SetAt(const CString& key, CObject* newValue)
{
    CObject* oldValue;
    if (Lookup(key, oldValue) && oldValue != nullptr && oldValue == newValue)
        return;
    // The slot first: inserting is the one step that can throw, and it must
    // not come after the old object is gone.
    CObject*& rValue = (*this)[key];
    if (m_bDeleteValues)
        delete rValue;
    rValue = newValue;
}

void CMapStringToObEx::RemoveAll()
{
    if (m_bDeleteValues)
    {
        CString key;
        CObject* value;
        for (POSITION pos = GetStartPosition(); pos != nullptr;)
        {
            GetNextAssoc(pos, key, value);
            delete value;
        }
    }
    CMapStringToOb::RemoveAll();
}

void CMapStringToObEx::LoadEntry(CArchive& ar, const CString& key)
{
    CObject* oldValue = nullptr;
    BOOL bKnownKey = Lookup(key, oldValue);
    // Replacing an owned object would delete what the archive may still
    // reach.
    if (m_bDeleteValues && bKnownKey)
        AfxThrowArchiveException(CArchiveException::genericException);
    // The slot before the object, so an owned object is held the moment it
    // exists; without it, a failed insertion would leak the object.
    (*this)[key] = oldValue;
    CObject* pOb = nullptr;
    try
    {
        pOb = ar.ReadObject(nullptr);
        if (m_bDeleteValues && !ar.ClaimLoadedObject(pOb, this, TRUE))
            AfxThrowArchiveException(CArchiveException::badIndex);
    }
    catch (...)
    {
        if (!bKnownKey)
            RemoveKey(key);
        // A new object goes; one that a reference handed out stays with
        // whoever holds it.
        if (ar.ReleaseLoadedObject(pOb))
            delete pOb;
        throw;
    }
    // The key is present, so this finds its slot without allocating. An
    // owning map has no old object here; a non-owning one frees nothing.
    (*this)[key] = pOb;
}

void CMapStringToObEx::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << wRecordVersion << m_bDeleteValues << GetHashTableSize()
           << static_cast<int>(GetCount());
        CString key;
        CObject* value;
        for (POSITION pos = GetStartPosition(); pos != nullptr;)
        {
            GetNextAssoc(pos, key, value);
            ar << key;
            ar.WriteObject(value);
        }
        return;
    }
    RemoveAll();
    WORD wVersion;
    UINT nHashSize;
    ar >> wVersion >> m_bDeleteValues >> nHashSize;
    int nEntries = ReadStringMapEntryCount(ar, nMinEntryBytes);
    InitHashTable(LoadableHashTableSize(nHashSize, nEntries), FALSE);
    for (int i = 0; i < nEntries; ++i)
    {
        CString key;
        ar >> key;
        LoadEntry(ar, key);
    }
}
