// A module with its own copy of the collection code, loaded by the
// cross-module tests. Nothing it exports throws.
#include "MapPtrToPtrEx.h"

extern "C"
{
    // A map whose state this module creates: keys 1..nKeys, values key * 10.
    void* MapModule_CreateMap(int nKeys) noexcept
    {
        try
        {
            CMapPtrToPtrEx* pMap = new CMapPtrToPtrEx;
            for (int n = 1; n <= nKeys; ++n)
                pMap->SetAt(reinterpret_cast<void*>(static_cast<UINT_PTR>(n)),
                            reinterpret_cast<void*>(static_cast<UINT_PTR>(n * 10)));
            return pMap;
        }
        catch (...)
        {
            return nullptr;
        }
    }

    void MapModule_DestroyMap(void* pMap) noexcept
    {
        delete static_cast<CMapPtrToPtrEx*>(pMap);
    }

    // Entries one iteration with this module's code visits whose value is
    // key * 10; -1 when it raised.
    int MapModule_Walk(void* pMap) noexcept
    {
        try
        {
            const CMapPtrToPtrEx& map = *static_cast<CMapPtrToPtrEx*>(pMap);
            int nGood = 0;
            POSITION pos = map.GetStartPosition();
            while (pos != nullptr)
            {
                void* key;
                void* value;
                map.GetNextAssoc(pos, key, value);
                if (reinterpret_cast<UINT_PTR>(value) == reinterpret_cast<UINT_PTR>(key) * 10)
                    ++nGood;
            }
            return nGood;
        }
        catch (...)
        {
            return -1;
        }
    }

    INT_PTR MapModule_LiveAllocations() noexcept
    {
        return AfxLiveAllocationCount();
    }

    void MapModule_FailAllocationAfter(int nSucceed) noexcept
    {
        AfxFailAllocationAfter(nSucceed);
    }
}
