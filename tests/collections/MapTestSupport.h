// Fixtures shared by the scalar-keyed map tests: slot helpers, a probe
// object that counts its destructions, and a core map that records what it
// frees.
#pragma once

#include "MapPtrToPtrEx.h"
#include "TestSupport.h"

#include <vector>

inline void* Slot(UINT_PTR n)
{
    return reinterpret_cast<void*>(n);
}

inline UINT_PTR Num(void* p)
{
    return reinterpret_cast<UINT_PTR>(p);
}

// Record: its id (32 bits).
class CMapProbe : public CObject
{
    DECLARE_SERIAL(CMapProbe)
public:
    CMapProbe() { ++s_nLive; }
    explicit CMapProbe(DWORD nId) : m_nId(nId) { ++s_nLive; }
    ~CMapProbe() override { --s_nLive; }
    void Serialize(CArchive& ar) override;

    DWORD m_nId = 0;
    static int s_nLive;
};

// Frees like the core and remembers every pointer it freed.
class CRecordingMap : public CMapPtrToPtrEx
{
public:
    ~CRecordingMap() override { RemoveAllFromDestructor(); }
    void DeleteKey(void* key) override
    {
        m_aFreedKeys.push_back(key);
        ::operator delete(key);
    }
    void DeleteValue(void* value) override
    {
        m_aFreedValues.push_back(value);
        ::operator delete(value);
    }

    std::vector<void*> m_aFreedKeys;
    std::vector<void*> m_aFreedValues;
};

// Every (key, value) pair one full iteration returns, in order.
std::vector<std::pair<void*, void*>> Walk(const CMapPtrToPtrEx& map);

// Fails the test if platform blocks or probes outlive it.
class CMapTest : public CPlatformTest
{
protected:
    void SetUp() override
    {
        CPlatformTest::SetUp();
        m_nProbesAtStart = CMapProbe::s_nLive;
    }
    void TearDown() override
    {
        EXPECT_EQ(m_nProbesAtStart, CMapProbe::s_nLive) << "probe objects leaked";
        CPlatformTest::TearDown();
    }

private:
    int m_nProbesAtStart = 0;
};
