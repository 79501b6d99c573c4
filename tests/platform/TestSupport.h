// Shared fixtures for the platform tests: a byte builder for hand-made
// archives, store/load helpers over CMemFile, a few serialisable test
// classes, and a fixture that fails a test which leaks platform blocks.
#pragma once

#include "Archive.h"
#include "Arrays.h"
#include "Maps.h"
#include "Memory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

typedef std::vector<BYTE> CByteVector;

// Little-endian byte builder: Bytes().U16(0xFFFF).Str("abc").
class Bytes
{
public:
    Bytes& U8(unsigned n);
    Bytes& U16(unsigned n);
    Bytes& U32(unsigned long n);
    Bytes& U64(unsigned long long n);
    Bytes& Raw(const std::string& str);
    Bytes& Fill(size_t nCount, BYTE by);
    operator CByteVector() const { return m_bytes; }
    const CByteVector& Get() const { return m_bytes; }

private:
    CByteVector m_bytes;
};

CByteVector Concat(CByteVector first, const CByteVector& second);

// Runs fn on a storing archive over a CMemFile and returns what it wrote.
CByteVector StoreBytes(const std::function<void(CArchive&)>& fn);

// A loading archive over a copy of the given bytes.
class CLoader
{
public:
    explicit CLoader(const CByteVector& bytes);
    CArchive& Ar() { return m_ar; }
    ULONGLONG Remaining() const { return m_file.GetBytesRemaining(); }

private:
    CByteVector m_bytes;
    CMemFile m_file;
    CArchive m_ar;
};

// Record: name (string), value (32 bits).
class CTestItem : public CObject
{
    DECLARE_SERIAL(CTestItem)
public:
    CTestItem() = default;
    CTestItem(LPCSTR pszName, DWORD nValue) : m_strName(pszName), m_nValue(nValue) {}
    void Serialize(CArchive& ar) override;

    CString m_strName;
    DWORD m_nValue = 0;
};

// Owns its items; m_pAlias is a reference into the archive (not owned).
// Record: title, item count, item references, alias reference, a string
// map record, a DWORD array record.
class CTestBag : public CObject
{
    DECLARE_SERIAL(CTestBag)
public:
    CTestBag() = default;
    ~CTestBag() override;
    void Serialize(CArchive& ar) override;

    CString m_strTitle;
    CPtrArray m_aItems;
    CObject* m_pAlias = nullptr;
    CMapStringToString m_mapStrings;
    CDWordArray m_aValues;
};

// Record: one byte, 1 when written; loading throws genericException when
// it is non-zero.
class CTestFailing : public CTestItem
{
    DECLARE_SERIAL(CTestFailing)
public:
    void Serialize(CArchive& ar) override;
};

// Known to IsKindOf, but not serialisable and not registered.
class CTestDynamic : public CTestItem
{
    DECLARE_DYNAMIC(CTestDynamic)
};

// Archive bytes of a bag with three items (one class entry, two class
// back-references), an alias that back-references the second item, and map
// and array content.
CByteVector MakeBagArchive();

// Fails the test if platform blocks allocated during it are still live at
// its end, and disarms the allocation-failure hook.
class CPlatformTest : public ::testing::Test
{
protected:
    void SetUp() override { m_nLiveAtStart = AfxLiveAllocationCount(); }
    void TearDown() override
    {
        AfxFailAllocationAfter(-1);
        EXPECT_EQ(m_nLiveAtStart, AfxLiveAllocationCount()) << "platform blocks leaked";
    }

private:
    INT_PTR m_nLiveAtStart = 0;
};

// Runs fn and returns the CArchiveException cause it raised, or -1.
int ArchiveCauseOf(const std::function<void()>& fn);
