#include "TestSupport.h"

Bytes& Bytes::U8(unsigned n)
{
    m_bytes.push_back(static_cast<BYTE>(n));
    return *this;
}

Bytes& Bytes::U16(unsigned n)
{
    return U8(n & 0xFF).U8((n >> 8) & 0xFF);
}

Bytes& Bytes::U32(unsigned long n)
{
    return U16(n & 0xFFFF).U16((n >> 16) & 0xFFFF);
}

Bytes& Bytes::U64(unsigned long long n)
{
    return U32(static_cast<unsigned long>(n & 0xFFFFFFFFu))
        .U32(static_cast<unsigned long>(n >> 32));
}

Bytes& Bytes::Raw(const std::string& str)
{
    m_bytes.insert(m_bytes.end(), str.begin(), str.end());
    return *this;
}

Bytes& Bytes::Fill(size_t nCount, BYTE by)
{
    m_bytes.insert(m_bytes.end(), nCount, by);
    return *this;
}

CByteVector Concat(CByteVector first, const CByteVector& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

CByteVector StoreBytes(const std::function<void(CArchive&)>& fn)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    fn(ar);
    ar.Close();
    const BYTE* pData = file.GetData();
    return CByteVector(pData, pData + file.GetLength());
}

CLoader::CLoader(const CByteVector& bytes)
    : m_bytes(bytes), m_file(m_bytes.data(), m_bytes.size()), m_ar(&m_file, CArchive::load)
{
}

IMPLEMENT_SERIAL(CTestItem, CObject, 1)

void CTestItem::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_strName << m_nValue;
    else
        ar >> m_strName >> m_nValue;
}

IMPLEMENT_SERIAL(CTestBag, CObject, 2)

CTestBag::~CTestBag()
{
    for (INT_PTR i = 0; i < m_aItems.GetSize(); ++i)
        delete static_cast<CObject*>(m_aItems[i]);
}

void CTestBag::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << m_strTitle;
        ar.WriteCount(static_cast<ULONGLONG>(m_aItems.GetSize()));
        for (INT_PTR i = 0; i < m_aItems.GetSize(); ++i)
            ar << static_cast<CObject*>(m_aItems[i]);
        ar << m_pAlias;
    }
    else
    {
        ar >> m_strTitle;
        DWORD_PTR nCount = ar.ReadCount();
        for (DWORD_PTR i = 0; i < nCount; ++i)
        {
            // Room first, so the item read next is owned the moment it exists.
            INT_PTR nSlot = m_aItems.Add(nullptr);
            CTestItem* pItem;
            ar >> pItem;
            m_aItems[nSlot] = pItem;
        }
        m_pAlias = ar.ReadObject(nullptr);
    }
    m_mapStrings.Serialize(ar);
    m_aValues.Serialize(ar);
}

IMPLEMENT_SERIAL(CTestFailing, CTestItem, 1)

void CTestFailing::Serialize(CArchive& ar)
{
    if (ar.IsLoading())
    {
        BYTE bFail;
        ar >> bFail;
        if (bFail != 0)
            AfxThrowArchiveException(CArchiveException::genericException);
    }
    else
    {
        ar << static_cast<BYTE>(1);
    }
}

IMPLEMENT_DYNAMIC(CTestDynamic, CTestItem)

CByteVector MakeBagArchive()
{
    CTestBag bag;
    bag.m_strTitle = "bag";
    bag.m_aItems.Add(new CTestItem("one", 1));
    bag.m_aItems.Add(new CTestItem("two", 2));
    bag.m_aItems.Add(new CTestItem("three", 3));
    bag.m_pAlias = static_cast<CObject*>(bag.m_aItems[1]);
    bag.m_mapStrings["k1"] = "v1";
    bag.m_mapStrings["k2"] = "v2";
    bag.m_aValues.Add(7);
    bag.m_aValues.Add(8);
    return StoreBytes([&](CArchive& ar) { ar << &bag; });
}

int ArchiveCauseOf(const std::function<void()>& fn)
{
    try
    {
        fn();
    }
    catch (CArchiveException& e)
    {
        return e.m_cause;
    }
    return -1;
}
