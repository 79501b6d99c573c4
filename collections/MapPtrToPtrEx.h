// MapPtrToPtrEx.h - CMapPtrToPtrEx, the thread-safe core of every
// scalar-keyed map: pointer-size keys to pointer-size values.
//
// Promises:
// - any thread may call any operation; readers (Lookup, iteration) run in
//   parallel, changes exclude everything else (MapLock.h);
// - the bucket count starts at 17 and grows along a list of primes
//   (53, 101, 211, ...) when a store finds the map half full; it never
//   shrinks, RemoveAll keeps it, InitHashTable is accepted and ignored;
// - iteration walks the calling thread's own snapshot: keys removed since it
//   was filled are skipped, keys added are not returned, values are as at
//   the fill. A POSITION is a 1-based index into that snapshot, valid in
//   its thread until the thread starts another iteration of the same map;
//   GetNextAssoc in a thread without a snapshot raises CInvalidArgException;
// - ownership: with m_bDeleteKeys a removed key is freed (DeleteKey), with
//   m_bDeleteValues a value is freed (DeleteValue) once no key holds it any
//   more; each pointer is freed once even when it is held several times or
//   as key and value. Frees run after the entry has left the table and the
//   lock is released, so a destructor may use the map. Slots loaded from an
//   archive as 32-bit numbers are never freed (see Serialize);
// - m_bNullRemoves: SetAt with a null value removes the key (without freeing
//   the key);
// - a map whose state another module's copy of this code created is
//   iterated through that module's export CMapPtrToPtrEx_GetStartPosition,
//   so the snapshot is made and kept by the owner; a missing export gives an
//   empty iteration. No exception crosses that boundary.
//
// Archive record (Serialize, here the scalar form; ObjectMaps.h has the
// others): version 16 bits (2), reserved 32 (0), delete-keys and
// delete-values 32 each (-1 or 0; absent below version 2), bucket count 32,
// count 32 signed, then per entry the key and the value, each as the low 32
// bits of its slot or as an object reference. Loading first runs RemoveAll.
//
// Performance: Lookup is one shared lock and one chained-bucket probe.
// Iterating an unchanged map reuses the thread's snapshot without a copy;
// after a change the first GetStartPosition copies the whole map. Each
// GetNextAssoc takes the shared lock and looks up the thread's snapshot, so
// a full walk costs about ten times a walk of a locked std::unordered_map.
// Replacing or removing an owned value asks a count of each value's
// holders, made by one scan the first time an owning map needs it and kept
// in step by every change after that (one more small hash table).
#pragma once

#include "Maps.h"

#include <atomic>

#ifdef _WIN32
#define MAPAPI WINAPI
#else
#define MAPAPI
#endif

struct CMapPtrToPtrExState;

class CMapPtrToPtrEx : public CObject
{
    DECLARE_SERIAL(CMapPtrToPtrEx)
public:
    CMapPtrToPtrEx() noexcept;
    ~CMapPtrToPtrEx() override;

    void Serialize(CArchive& ar) override;
    // Plain release: operator delete, no destructor.
    virtual void DeleteKey(void* key);
    virtual void DeleteValue(void* value);
    virtual void RemoveAll();

    // Without a state rValue is left untouched; otherwise it is null on a
    // miss.
    BOOL Lookup(void* key, void*& rValue) const;
    void SetAt(void* key, void* newValue);
    BOOL RemoveKey(void* key);
    INT_PTR GetCount() const;
    UINT GetHashTableSize() const;
    void InitHashTable(UINT nHashSize) noexcept {}

    POSITION GetStartPosition() const;
    void GetNextAssoc(POSITION& rNextPosition, void*& rKey, void*& rValue) const;

    // Set before other threads use the map: the flags are read unlocked.
    void SetOwnership(BOOL bDeleteKeys, BOOL bDeleteValues) noexcept;
    void SetNullRemoves(BOOL bNullRemoves) noexcept;

    // Signed one-bit fields: -1 when set.
    int m_bDeleteKeys : 1;
    int m_bDeleteValues : 1;
    int m_bNullRemoves : 1;

protected:
    // Set by the last load that put 32-bit numbers from an archive into the
    // key or value slots; while set, those slots are never freed.
    int m_bKeysFromArchive : 1;
    int m_bValuesFromArchive : 1;

    enum SlotForm
    {
        slotNumber, // the low 32 bits of the slot
        slotObject  // an object reference
    };
    void SerializeForm(CArchive& ar, SlotForm nKeyForm, SlotForm nValueForm);

    // For destructors of classes with their own DeleteKey/DeleteValue: the
    // base destructor would free with the base's rules. Never throws: when
    // there is no memory to sort out what is shared, owned items leak.
    void RemoveAllFromDestructor() noexcept;

private:
    BOOL FreesKeys() const noexcept { return m_bDeleteKeys && !m_bKeysFromArchive; }
    BOOL FreesValues() const noexcept { return m_bDeleteValues && !m_bValuesFromArchive; }
    // Under the exclusive lock; the first call makes the state's hold counts.
    static BOOL IsValueOfAnotherKey(CMapPtrToPtrExState& state, void* key, void* p);
    // Whether p, the value of key, must outlive key's entry.
    BOOL IsHeldElsewhere(CMapPtrToPtrExState& state, void* key, void* p) const;
    void GrowHashTable(CMapPtrToPtrExState& state, void* key, void* value);
    CMapPtrToPtrExState* EnsureState();
    POSITION StartOwnIteration(CMapPtrToPtrExState& state) const;
    POSITION StartForeignIteration(void* hOwner) const;
    void RemoveEverything(BOOL bKeys, BOOL bValues);

    std::atomic<CMapPtrToPtrExState*> m_pState;
};

// What another module's copy of this code calls to iterate a map whose
// state this module created (32-bit: exported as
// _CMapPtrToPtrEx_GetStartPosition@4). Never throws: when the snapshot
// cannot be made it returns MAP_POSITION_FAILED, which the forwarding copy
// turns back into CMemoryException and which any other caller's
// GetNextAssoc rejects with CInvalidArgException.
extern "C" POSITION MAPAPI CMapPtrToPtrEx_GetStartPosition(CMapPtrToPtrEx* pMap) noexcept;

#define MAP_POSITION_FAILED (reinterpret_cast<POSITION>(~static_cast<UINT_PTR>(0)))
