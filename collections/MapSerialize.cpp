// The archive record shared by the whole scalar-keyed family: one header,
// then key and value per entry, each slot as a 32-bit number or an object
// reference.
#include "MapPtrToPtrEx.h"
#include "Archive.h"
#include "Arrays.h"

namespace
{
const WORD g_nMapArchiveVersion = 2;

void StoreSlot(CArchive& ar, void* p, BOOL bObject)
{
    if (bObject)
        ar.WriteObject(static_cast<CObject*>(p));
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
        void* value = LoadSlot(ar, bValueObjects);
        // An owning map that held itself would destroy itself while it is
        // being destroyed.
        if ((key == this && FreesKeys()) || (value == this && FreesValues()))
            AfxThrowArchiveException(CArchiveException::badIndex);
        SetAt(key, value);
    }
}
