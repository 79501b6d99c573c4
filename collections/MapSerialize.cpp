// The archive record shared by the whole scalar-keyed family: one header,
// then key and value per entry, each slot as a 32-bit number or an object
// reference.
#include "MapPtrToPtrEx.h"
#include "Archive.h"
#include "Arrays.h"

namespace
{
const WORD g_nMapArchiveVersion = 2;

CObject* AsObject(void* p)
{
    return static_cast<CObject*>(p);
}

void StoreSlot(CArchive& ar, void* p, BOOL bObject)
{
    if (bObject)
        ar.WriteObject(AsObject(p));
    else
        ar << static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p)); // low 32 bits
}

void* LoadSlot(CArchive& ar, BOOL bObject)
{
    if (bObject)
        return ar.ReadObject(nullptr);
    DWORD n;
    ar >> n;
    return reinterpret_cast<void*>(static_cast<UINT_PTR>(n));
}

// An object an entry read but could not store: nothing holds it unless a
// back-reference handed it out, and then it must stay alive, unowned.
void AbandonSlot(CArchive& ar, void* p, BOOL bObject) noexcept
{
    if (bObject && ar.ReleaseLoadedObject(AsObject(p)))
        delete AsObject(p);
}

// Whether an entry other than key's holds p, so replacing key's value
// leaves p alive (the core frees a value once no key holds it, and never
// an owned key).
BOOL IsHeldByAnotherEntry(const CMapPtrToPtrEx& map, void* key, void* p, BOOL bKeysOwned)
{
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        void* otherKey;
        void* otherValue;
        map.GetNextAssoc(pos, otherKey, otherValue);
        if ((otherKey != key && otherValue == p) || (bKeysOwned && otherKey == p))
            return TRUE;
    }
    return FALSE;
}
// Before an owning map's record replaces key's object with value: when the
// replacement destroys the old object, anything that read a reference back
// to it would be left dangling, so such a record is refused.
void ReleaseReplacedValue(CArchive& ar, const CMapPtrToPtrEx& map, void* key, void* value,
                          BOOL bKeysOwned)
{
    void* oldValue = nullptr;
    if (!map.Lookup(key, oldValue) || oldValue == nullptr || oldValue == value ||
        IsHeldByAnotherEntry(map, key, oldValue, bKeysOwned))
        return;
    if (!ar.ReleaseLoadedObject(AsObject(oldValue)))
        AfxThrowArchiveException(CArchiveException::genericException);
}
} // namespace

void CMapPtrToPtrEx::Serialize(CArchive& ar)
{
    SerializeForm(ar, slotNumber, slotNumber);
}

void CMapPtrToPtrEx::SerializeForm(CArchive& ar, SlotForm nKeyForm, SlotForm nValueForm)
{
    const BOOL bKeyObjects = nKeyForm == slotObject;
    const BOOL bValueObjects = nValueForm == slotObject;
    if (ar.IsStoring())
    {
        // The records come from this thread's snapshot and the count is
        // theirs, so a map changed meanwhile (or one whose owner module
        // cannot be iterated) still gives a record that reads back.
        CPtrArray aKeys;
        CPtrArray aValues;
        POSITION pos = GetStartPosition();
        while (pos != nullptr)
        {
            void* key;
            void* value;
            GetNextAssoc(pos, key, value);
            aKeys.Add(key);
            aValues.Add(value);
        }
        ar << g_nMapArchiveVersion << static_cast<DWORD>(0);
        ar << static_cast<int>(m_bDeleteKeys) << static_cast<int>(m_bDeleteValues);
        ar << static_cast<DWORD>(GetHashTableSize()) << static_cast<int>(aKeys.GetSize());
        for (INT_PTR i = 0; i < aKeys.GetSize(); ++i)
        {
            StoreSlot(ar, aKeys[i], bKeyObjects);
            StoreSlot(ar, aValues[i], bValueObjects);
        }
        return;
    }

    RemoveAll(); // under the flags the map had before
    WORD nVersion;
    DWORD nReserved;
    ar >> nVersion >> nReserved;
    if (nVersion >= 2)
    {
        int nFlag;
        ar >> nFlag;
        m_bDeleteKeys = (nFlag & 1) ? -1 : 0;
        ar >> nFlag;
        m_bDeleteValues = (nFlag & 1) ? -1 : 0;
    }
    DWORD nBuckets;
    ar >> nBuckets;
    InitHashTable(nBuckets);
    int nCount;
    ar >> nCount;
    // A number read from a file is no pointer: whatever the flags say, it is
    // never freed. The flags themselves stay as read, so storing the map
    // again writes them back.
    m_bKeysFromArchive = nCount > 0 && !bKeyObjects ? -1 : 0;
    m_bValuesFromArchive = nCount > 0 && !bValueObjects ? -1 : 0;
    for (int i = 0; i < nCount; ++i)
    {
        void* key = LoadSlot(ar, bKeyObjects);
        void* value = nullptr;
        try
        {
            value = LoadSlot(ar, bValueObjects);
            // An object with another owner would be destroyed twice, and
            // one enclosing this map (the map itself included) would destroy
            // this map while it is being destroyed.
            if ((bKeyObjects && FreesKeys() && !ar.ClaimLoadedObject(AsObject(key), this)) ||
                (bValueObjects && FreesValues() && !ar.ClaimLoadedObject(AsObject(value), this)))
                AfxThrowArchiveException(CArchiveException::badIndex);
            if (bValueObjects && FreesValues())
                ReleaseReplacedValue(ar, *this, key, value, FreesKeys());
            SetAt(key, value);
        }
        catch (...)
        {
            AbandonSlot(ar, value, bValueObjects);
            AbandonSlot(ar, key, bKeyObjects);
            throw;
        }
    }
}
