#include "MapPtrToPtrEx.h"
#include "Archive.h"
#include "Arrays.h"
#include "MapHoldCounts.h"
#include "MapLock.h"

#include <memory>

// Every entry but the first is prime and about twice its predecessor; the
// leading 0 is never chosen.
static const int g_aMapHashSizes[] = {0,       53,       101,      211,      401,      809,
                                      1601,    3203,     6449,     12809,    25601,    50021,
                                      100003,  200003,   400009,   800011,   1600033,  3200069,
                                      6400139, 12800279, 25600567, 51201149, 102402341};

// Blocks of the platform allocator, so test leak checks see them.
struct CMapBlock
{
    static void* operator new(size_t nSize) { return AfxAllocMemory(nSize); }
    static void operator delete(void* p) noexcept { AfxFreeMemory(p); }
};

struct CMapPtrToPtrExSnapshot : CMapBlock
{
    CPtrArray m_aKeys;
    CPtrArray m_aValues;
    ULONGLONG m_nVersion = 0; // m_nModCount at the fill
};

struct CMapLockBlock : CMapBlock
{
    CMapLockWord m_nWord{0};
};

struct CMapPtrToPtrExState : CMapBlock
{
    ~CMapPtrToPtrExState()
    {
        if (m_pSnapshots != nullptr)
        {
            POSITION pos = m_pSnapshots->GetStartPosition();
            while (pos != nullptr)
            {
                void* nThread;
                void* pSnapshot;
                m_pSnapshots->GetNextAssoc(pos, nThread, pSnapshot);
                delete static_cast<CMapPtrToPtrExSnapshot*>(pSnapshot);
            }
        }
        delete m_pSnapshots;
        delete m_pHolds;
        delete m_pTable;
        delete m_pLock;
    }

    CMapPtrToPtr* m_pTable = nullptr;
    CMapLockBlock* m_pLock = nullptr;
    CMapPtrToPtr* m_pSnapshots = nullptr; // thread id -> snapshot
    ULONGLONG m_nModCount = 0;
    void* m_hOwner = nullptr;
    // Made when an owning map first asks who else holds a value; from then
    // on kept in step with m_pTable, or dropped when that needs memory
    // there is none of (the next question rebuilds it).
    CMapHoldCounts* m_pHolds = nullptr;

    void DropHolds() noexcept
    {
        delete m_pHolds;
        m_pHolds = nullptr;
    }
    // After the key that held oldValue (when bHad) now holds newValue.
    void NoteReplaced(BOOL bHad, void* oldValue, void* newValue) noexcept
    {
        if (m_pHolds == nullptr)
            return;
        if (bHad)
            m_pHolds->Release(oldValue);
        try
        {
            m_pHolds->Add(newValue);
        }
        catch (const CMemoryException&)
        {
            DropHolds();
        }
    }
};

namespace
{
inline POSITION PositionFromIndex(UINT_PTR nIndex)
{
    return reinterpret_cast<POSITION>(nIndex);
}

inline void* ThreadKey()
{
    return reinterpret_cast<void*>(MapCurrentThreadId());
}

// Owned pointers collected under the lock and freed after it.
enum
{
    ownedAsKey = 1,
    ownedAsValue = 2
};
} // namespace

IMPLEMENT_SERIAL(CMapPtrToPtrEx, CObject, 1)

CMapPtrToPtrEx::CMapPtrToPtrEx() noexcept
    : m_bDeleteKeys(0), m_bDeleteValues(0), m_bNullRemoves(0), m_bKeysFromArchive(0),
      m_bValuesFromArchive(0), m_pState(nullptr)
{
}

CMapPtrToPtrEx::~CMapPtrToPtrEx()
{
    RemoveAllFromDestructor();
    delete m_pState.load(std::memory_order_acquire);
}

void CMapPtrToPtrEx::SetOwnership(BOOL bDeleteKeys, BOOL bDeleteValues) noexcept
{
    m_bDeleteKeys = bDeleteKeys ? -1 : 0;
    m_bDeleteValues = bDeleteValues ? -1 : 0;
}

void CMapPtrToPtrEx::SetNullRemoves(BOOL bNullRemoves) noexcept
{
    m_bNullRemoves = bNullRemoves ? -1 : 0;
}

void CMapPtrToPtrEx::DeleteKey(void* key)
{
    ::operator delete(key);
}

void CMapPtrToPtrEx::DeleteValue(void* value)
{
    ::operator delete(value);
}

CMapPtrToPtrExState* CMapPtrToPtrEx::EnsureState()
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState != nullptr)
        return pState;
    std::unique_ptr<CMapPtrToPtrExState> pNew(new CMapPtrToPtrExState);
    pNew->m_pTable = new CMapPtrToPtr(10);
    pNew->m_pLock = new CMapLockBlock;
    pNew->m_hOwner = MapThisModule();
    CMapPtrToPtrExState* pExpected = nullptr;
    if (m_pState.compare_exchange_strong(pExpected, pNew.get(), std::memory_order_acq_rel))
        return pNew.release();
    return pExpected; // another thread published first; ours goes
}

BOOL CMapPtrToPtrEx::IsValueOfAnotherKey(CMapPtrToPtrExState& state, void* key, void* p)
{
    const CMapPtrToPtr& table = *state.m_pTable;
    if (state.m_pHolds == nullptr)
    {
        try
        {
            state.m_pHolds = new CMapHoldCounts(table);
        }
        catch (const CMemoryException&)
        {
            // Without the counts the answer still comes from a scan.
        }
    }
    if (state.m_pHolds != nullptr)
    {
        UINT_PTR nHolders = state.m_pHolds->GetHolders(p);
        void* value;
        if (table.Lookup(key, value) && value == p)
            --nHolders;
        return nHolders > 0;
    }
    POSITION pos = table.GetStartPosition();
    while (pos != nullptr)
    {
        void* otherKey;
        void* otherValue;
        table.GetNextAssoc(pos, otherKey, otherValue);
        if (otherKey != key && otherValue == p)
            return TRUE;
    }
    return FALSE;
}

BOOL CMapPtrToPtrEx::IsHeldElsewhere(CMapPtrToPtrExState& state, void* key, void* p) const
{
    // An owned key that is also a value stays alive while it is a key.
    void* value;
    if (FreesKeys() && (p == key || state.m_pTable->Lookup(p, value)))
        return TRUE;
    return IsValueOfAnotherKey(state, key, p);
}

void CMapPtrToPtrEx::GrowHashTable(CMapPtrToPtrExState& state, void* key, void* value)
{
    CMapPtrToPtr& table = *state.m_pTable;
    int nCount = static_cast<int>(table.GetCount());
    int nSize = static_cast<int>(table.GetHashTableSize());
    if (nCount < nSize / 2)
        return;
    int nNewSize = 0;
    for (int nCandidate : g_aMapHashSizes)
    {
        if (nCandidate > nSize)
        {
            nNewSize = nCandidate;
            break;
        }
    }
    if (nNewSize == 0)
        return;
    void* current;
    if (table.Lookup(key, current) && current == value)
        return;
    // Re-hashing in place moves each entry once and allocates only the new
    // bucket array, so a failure leaves the table as it was.
    table.InitHashTable(static_cast<UINT>(nNewSize), TRUE);
    if (state.m_pHolds != nullptr)
    {
        try
        {
            state.m_pHolds->Resize(static_cast<UINT>(nNewSize));
        }
        catch (const CMemoryException&)
        {
            state.DropHolds();
        }
    }
}

BOOL CMapPtrToPtrEx::Lookup(void* key, void*& rValue) const
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
        return FALSE;
    rValue = nullptr;
    CMapReadLock lock(pState->m_pLock->m_nWord);
    return pState->m_pTable->Lookup(key, rValue);
}

void CMapPtrToPtrEx::SetAt(void* key, void* newValue)
{
    BOOL bRemove = m_bNullRemoves && newValue == nullptr;
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
    {
        if (bRemove)
            return;
        pState = EnsureState();
    }
    void* pFree = nullptr;
    {
        CMapWriteLock lock(pState->m_pLock->m_nWord);
        GrowHashTable(*pState, key, newValue);
        CMapPtrToPtr& table = *pState->m_pTable;
        void* oldValue = nullptr;
        BOOL bHad = (FreesValues() || pState->m_pHolds != nullptr) && table.Lookup(key, oldValue);
        if (FreesValues() && bHad && oldValue != nullptr && oldValue != newValue &&
            !IsHeldElsewhere(*pState, key, oldValue))
            pFree = oldValue;
        if (bRemove)
        {
            table.RemoveKey(key);
            if (bHad && pState->m_pHolds != nullptr)
                pState->m_pHolds->Release(oldValue);
        }
        else
        {
            table[key] = newValue;
            pState->NoteReplaced(bHad, oldValue, newValue);
        }
        ++pState->m_nModCount;
    }
    if (pFree != nullptr)
        DeleteValue(pFree);
}

BOOL CMapPtrToPtrEx::RemoveKey(void* key)
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
        return FALSE;
    void* pFreeKey = nullptr;
    void* pFreeValue = nullptr;
    BOOL bRemoved;
    {
        // The emptiness test too runs under the lock: a growth may replace
        // the table under an unlocked reader.
        CMapWriteLock lock(pState->m_pLock->m_nWord);
        CMapPtrToPtr& table = *pState->m_pTable;
        if (table.GetCount() == 0)
            return FALSE;
        void* value = nullptr;
        BOOL bHad = (FreesKeys() || FreesValues() || pState->m_pHolds != nullptr) &&
                    table.Lookup(key, value);
        if (bHad && FreesKeys() && key != nullptr &&
            !(FreesValues() && IsValueOfAnotherKey(*pState, key, key)))
            pFreeKey = key;
        if (bHad && FreesValues() && value != nullptr)
        {
            // A value that is its own key was decided by the key rule when
            // keys are owned.
            if (value == key ? !FreesKeys() && !IsValueOfAnotherKey(*pState, key, value)
                             : !IsHeldElsewhere(*pState, key, value))
                pFreeValue = value;
        }
        bRemoved = table.RemoveKey(key);
        if (bHad && pState->m_pHolds != nullptr)
            pState->m_pHolds->Release(value);
        ++pState->m_nModCount;
    }
    if (pFreeKey != nullptr)
        DeleteKey(pFreeKey);
    if (pFreeValue != nullptr)
        DeleteValue(pFreeValue);
    return bRemoved;
}

void CMapPtrToPtrEx::RemoveAll()
{
    RemoveEverything(FreesKeys(), FreesValues());
}

void CMapPtrToPtrEx::RemoveAllFromDestructor() noexcept
{
    try
    {
        RemoveAll();
    }
    catch (...)
    {
        RemoveEverything(FALSE, FALSE);
    }
}

void CMapPtrToPtrEx::RemoveEverything(BOOL bKeys, BOOL bValues)
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
        return;
    CMapPtrToPtr owned(10); // pointer -> ownedAsKey or ownedAsValue, each once
    {
        CMapWriteLock lock(pState->m_pLock->m_nWord);
        CMapPtrToPtr& table = *pState->m_pTable;
        if ((bKeys || bValues) && table.GetCount() > 0)
        {
            owned.InitHashTable(static_cast<UINT>(2 * table.GetCount() + 1), TRUE);
            POSITION pos = table.GetStartPosition();
            while (pos != nullptr)
            {
                void* key;
                void* value;
                table.GetNextAssoc(pos, key, value);
                void* seen;
                if (bKeys && key != nullptr && !owned.Lookup(key, seen))
                    owned[key] = reinterpret_cast<void*>(ownedAsKey);
                if (bValues && value != nullptr && !owned.Lookup(value, seen))
                    owned[value] = reinterpret_cast<void*>(ownedAsValue);
            }
        }
        table.RemoveAll();
        if (pState->m_pHolds != nullptr)
            pState->m_pHolds->RemoveAll();
        ++pState->m_nModCount;
    }
    POSITION pos = owned.GetStartPosition();
    while (pos != nullptr)
    {
        void* p;
        void* role;
        owned.GetNextAssoc(pos, p, role);
        if (role == reinterpret_cast<void*>(ownedAsKey))
            DeleteKey(p);
        else
            DeleteValue(p);
    }
}

INT_PTR CMapPtrToPtrEx::GetCount() const
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
        return 0;
    CMapReadLock lock(pState->m_pLock->m_nWord);
    return pState->m_pTable->GetCount();
}

UINT CMapPtrToPtrEx::GetHashTableSize() const
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
        return CMapPtrToPtr::nDefaultHashTableSize;
    CMapReadLock lock(pState->m_pLock->m_nWord);
    return pState->m_pTable->GetHashTableSize();
}

POSITION CMapPtrToPtrEx::GetStartPosition() const
{
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr || GetCount() == 0)
        return nullptr;
    static void* const s_hThisModule = MapThisModule();
    if (pState->m_hOwner != s_hThisModule)
        return StartForeignIteration(pState->m_hOwner);
    return StartOwnIteration(*pState);
}

POSITION CMapPtrToPtrEx::StartOwnIteration(CMapPtrToPtrExState& state) const
{
    CMapLockWord& nLock = state.m_pLock->m_nWord;
    CMapPtrToPtrExSnapshot* pSnapshot = nullptr;
    ULONGLONG nVersion;
    {
        CMapReadLock lock(nLock);
        void* p;
        if (state.m_pSnapshots != nullptr && state.m_pSnapshots->Lookup(ThreadKey(), p))
            pSnapshot = static_cast<CMapPtrToPtrExSnapshot*>(p);
        nVersion = state.m_nModCount;
    }
    if (pSnapshot == nullptr)
    {
        std::unique_ptr<CMapPtrToPtrExSnapshot> pNew(new CMapPtrToPtrExSnapshot);
        CMapWriteLock lock(nLock);
        if (state.m_pSnapshots == nullptr)
            state.m_pSnapshots = new CMapPtrToPtr(10);
        (*state.m_pSnapshots)[ThreadKey()] = pNew.get();
        pSnapshot = pNew.release();
    }
    if (pSnapshot->m_nVersion >= nVersion)
        return PositionFromIndex(1);
    // The arrays are sized under the lock from the count they are filled
    // from, so a writer between the two cannot make the fill overrun them.
    CMapReadLock lock(nLock);
    const CMapPtrToPtr& table = *state.m_pTable;
    INT_PTR nCount = table.GetCount();
    try
    {
        pSnapshot->m_aKeys.SetSize(nCount);
        pSnapshot->m_aValues.SetSize(nCount);
    }
    catch (...)
    {
        pSnapshot->m_aKeys.RemoveAll();
        pSnapshot->m_aValues.RemoveAll();
        pSnapshot->m_nVersion = 0;
        throw;
    }
    void** pKeys = pSnapshot->m_aKeys.GetData();
    void** pValues = pSnapshot->m_aValues.GetData();
    POSITION pos = table.GetStartPosition();
    for (INT_PTR i = 0; pos != nullptr; ++i)
        table.GetNextAssoc(pos, pKeys[i], pValues[i]);
    pSnapshot->m_nVersion = state.m_nModCount;
    return PositionFromIndex(1);
}

namespace
{
typedef POSITION(MAPAPI* PFNMAPGETSTARTPOSITION)(CMapPtrToPtrEx*);

#if defined(_WIN32) && !defined(_WIN64)
const char g_szStartPositionExport[] = "_CMapPtrToPtrEx_GetStartPosition@4";
#else
const char g_szStartPositionExport[] = "CMapPtrToPtrEx_GetStartPosition";
#endif

// Per thread, so that no lock guards the cache: the last owner module whose
// export was resolved, and that export.
thread_local void* s_hForwardOwner = nullptr;
thread_local PFNMAPGETSTARTPOSITION s_pfnForwardGetStartPosition = nullptr;
} // namespace

POSITION CMapPtrToPtrEx::StartForeignIteration(void* hOwner) const
{
    if (s_pfnForwardGetStartPosition == nullptr || s_hForwardOwner != hOwner)
    {
        s_pfnForwardGetStartPosition = reinterpret_cast<PFNMAPGETSTARTPOSITION>(
            MapFindExport(hOwner, g_szStartPositionExport));
        if (s_pfnForwardGetStartPosition == nullptr)
            return nullptr;
        s_hForwardOwner = hOwner;
    }
    POSITION pos = s_pfnForwardGetStartPosition(const_cast<CMapPtrToPtrEx*>(this));
    if (pos == MAP_POSITION_FAILED)
        AfxThrowMemoryException();
    return pos;
}

void CMapPtrToPtrEx::GetNextAssoc(POSITION& rNextPosition, void*& rKey, void*& rValue) const
{
    int32_t i =
        static_cast<int32_t>(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(rNextPosition)));
    if (i <= 0)
        AfxThrowInvalidArgException();
    --i;
    CMapPtrToPtrExState* pState = m_pState.load(std::memory_order_acquire);
    if (pState == nullptr)
        AfxThrowInvalidArgException();
    CMapReadLock lock(pState->m_pLock->m_nWord);
    void* p;
    if (pState->m_pSnapshots == nullptr || !pState->m_pSnapshots->Lookup(ThreadKey(), p))
        AfxThrowInvalidArgException(); // no iteration of this map began in this thread
    const CMapPtrToPtrExSnapshot& snapshot = *static_cast<CMapPtrToPtrExSnapshot*>(p);
    const CMapPtrToPtr& table = *pState->m_pTable;
    const INT_PTR nSize = snapshot.m_aKeys.GetSize();
    void* const* pKeys = snapshot.m_aKeys.GetData();
    void* const* pValues = snapshot.m_aValues.GetData();
    const BOOL bStale = snapshot.m_nVersion < pState->m_nModCount;
    auto skipRemoved = [&]()
    {
        void* value;
        while (bStale && i < nSize && !table.Lookup(pKeys[i], value))
            ++i;
    };
    skipRemoved();
    if (i < nSize)
    {
        rKey = pKeys[i];
        rValue = pValues[i];
    }
    else
    {
        rKey = nullptr;
        rValue = nullptr;
    }
    ++i;
    skipRemoved();
    rNextPosition = i < nSize ? PositionFromIndex(static_cast<UINT_PTR>(i) + 1) : nullptr;
}

extern "C" POSITION MAPAPI CMapPtrToPtrEx_GetStartPosition(CMapPtrToPtrEx* pMap) noexcept
{
    if (pMap == nullptr)
        return nullptr;
    try
    {
        return pMap->GetStartPosition();
    }
    catch (...)
    {
        return MAP_POSITION_FAILED;
    }
}
