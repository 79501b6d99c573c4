#include "Archive.h"
#include "Arrays.h"
#include "Maps.h"

#include <cstring>
#include <memory>

// Object references: the tag forms and the index tables on both sides.
namespace
{
const WORD wNullTag = 0x0000;
const WORD wNewClassTag = 0xFFFF;
const WORD wClassTag = 0x8000;
const WORD wBigObjectTag = 0x7FFF;
const DWORD dwBigClassTag = 0x80000000;
const DWORD nMaxMapCount = 0x7FFFFFFE;

// Load-table entries are tagged in their low bit: classes and objects are
// both at least pointer-aligned, and badIndex needs to tell them apart.
const UINT_PTR nClassBit = 1;

WORD ReadWord(CArchive& ar)
{
    WORD w;
    ar >> w;
    return w;
}

DWORD ReadDWord(CArchive& ar)
{
    DWORD n;
    ar >> n;
    return n;
}
} // namespace

void CArchive::WriteIndexTag(DWORD nIndex, BOOL bClass)
{
    if (nIndex < wBigObjectTag)
    {
        *this << static_cast<WORD>(bClass ? (wClassTag | nIndex) : nIndex);
        return;
    }
    *this << wBigObjectTag;
    *this << static_cast<DWORD>(bClass ? (dwBigClassTag | nIndex) : nIndex);
}

DWORD CArchive::NextStoreIndex(const void* pKey)
{
    if (m_nMapCount > nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex);
    // Keep chains short as the table fills: archives of many objects look
    // up every pointer once per reference.
    if (static_cast<ULONGLONG>(m_pStoreMap->GetCount()) > 2ull * m_pStoreMap->GetHashTableSize())
        m_pStoreMap->InitHashTable(m_pStoreMap->GetHashTableSize() * 4 + 1);
    DWORD nIndex = m_nMapCount;
    m_pStoreMap->SetAt(const_cast<void*>(pKey),
                       reinterpret_cast<void*>(static_cast<UINT_PTR>(nIndex)));
    ++m_nMapCount;
    return nIndex;
}

void CArchive::WriteClass(const CRuntimeClass* pClass)
{
    void* pIndex;
    if (m_pStoreMap->Lookup(const_cast<CRuntimeClass*>(pClass), pIndex))
    {
        WriteIndexTag(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pIndex)), TRUE);
        return;
    }
    size_t nNameLength = std::strlen(pClass->m_lpszClassName);
    if (nNameLength > 0xFFFF)
        AfxThrowArchiveException(CArchiveException::badClass);
    NextStoreIndex(pClass);
    *this << wNewClassTag;
    *this << static_cast<WORD>(pClass->m_wSchema);
    *this << static_cast<WORD>(nNameLength);
    Write(pClass->m_lpszClassName, static_cast<UINT>(nNameLength));
}

void CArchive::WriteObject(const CObject* pOb)
{
    CheckStoring();
    if (pOb == nullptr)
    {
        *this << wNullTag;
        return;
    }
    if (m_pStoreMap == nullptr)
        m_pStoreMap = new CMapPtrToPtr;
    void* pIndex;
    if (m_pStoreMap->Lookup(const_cast<CObject*>(pOb), pIndex))
    {
        WriteIndexTag(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pIndex)), FALSE);
        return;
    }
    const CRuntimeClass* pClass = pOb->GetRuntimeClass();
    if (pClass->m_wSchema == 0xFFFF)
        AfxThrowArchiveException(CArchiveException::badClass);
    WriteClass(pClass);
    NextStoreIndex(pOb);
    const_cast<CObject*>(pOb)->Serialize(*this);
}

DWORD CArchive::AddLoaded(const void* p, BOOL bClass)
{
    if (m_pLoadArray == nullptr)
    {
        m_pLoadArray = new CPtrArray;
        m_pLoadArray->Add(nullptr); // index 0 is the null reference
    }
    if (m_nMapCount > nMaxMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex);
    UINT_PTR nTagged = reinterpret_cast<UINT_PTR>(p) | (bClass ? nClassBit : 0);
    m_pLoadArray->Add(reinterpret_cast<void*>(nTagged));
    return m_nMapCount++;
}

CObject* CArchive::LoadedObjectAt(DWORD nIndex) const
{
    if (m_pLoadArray == nullptr || nIndex >= m_nMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex);
    UINT_PTR nTagged = reinterpret_cast<UINT_PTR>(m_pLoadArray->GetAt(nIndex));
    if (nTagged == 0 || (nTagged & nClassBit) != 0)
        AfxThrowArchiveException(CArchiveException::badIndex);
    return reinterpret_cast<CObject*>(nTagged);
}

const CRuntimeClass* CArchive::LoadedClassAt(DWORD nIndex) const
{
    if (m_pLoadArray == nullptr || nIndex >= m_nMapCount)
        AfxThrowArchiveException(CArchiveException::badIndex);
    UINT_PTR nTagged = reinterpret_cast<UINT_PTR>(m_pLoadArray->GetAt(nIndex));
    if ((nTagged & nClassBit) == 0)
        AfxThrowArchiveException(CArchiveException::badIndex);
    return reinterpret_cast<const CRuntimeClass*>(nTagged & ~nClassBit);
}

void CArchive::ForgetObjectsFrom(DWORD nIndex) noexcept
{
    // Classes stay: they are static and later references to them are valid.
    for (INT_PTR i = nIndex; i < m_pLoadArray->GetSize(); ++i)
    {
        void*& pEntry = m_pLoadArray->ElementAt(i);
        if ((reinterpret_cast<UINT_PTR>(pEntry) & nClassBit) == 0)
            pEntry = nullptr;
    }
}

const CRuntimeClass* CArchive::ReadNewClass()
{
    WORD nSchema = ReadWord(*this);
    WORD nNameLength = ReadWord(*this);
    EnsureAvailable(nNameLength);
    CString strName;
    ReadExact(strName.GetBuffer(nNameLength), nNameLength);
    strName.ReleaseBuffer(nNameLength);
    // A NUL inside the name would otherwise match a registered prefix.
    if (std::strlen(strName) != nNameLength)
        AfxThrowArchiveException(CArchiveException::badClass);
    const CRuntimeClass* pClass = CRuntimeClass::FromName(strName);
    if (pClass == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass);
    if (pClass->m_wSchema != nSchema)
        AfxThrowArchiveException(CArchiveException::badSchema);
    AddLoaded(pClass, TRUE);
    return pClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* pClassRequested)
{
    CheckLoading();
    WORD nTag = ReadWord(*this);
    const CRuntimeClass* pClass;
    if (nTag == wNewClassTag)
    {
        pClass = ReadNewClass();
    }
    else
    {
        DWORD nObTag = nTag == wBigObjectTag
                           ? ReadDWord(*this)
                           : (static_cast<DWORD>(nTag & wClassTag) << 16) | (nTag & 0x7FFFu);
        if ((nObTag & dwBigClassTag) == 0)
        {
            if (nObTag == 0)
                return nullptr;
            CObject* pOb = LoadedObjectAt(nObTag);
            if (pClassRequested != nullptr && !pOb->IsKindOf(pClassRequested))
                AfxThrowArchiveException(CArchiveException::badClass);
            return pOb;
        }
        pClass = LoadedClassAt(nObTag & ~dwBigClassTag);
    }
    if (pClassRequested != nullptr && !pClass->IsDerivedFrom(pClassRequested))
        AfxThrowArchiveException(CArchiveException::badClass);
    std::unique_ptr<CObject> pOb(pClass->CreateObject());
    if (pOb == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass);
    DWORD nIndex = AddLoaded(pOb.get(), FALSE);
    try
    {
        pOb->Serialize(*this);
    }
    catch (...)
    {
        ForgetObjectsFrom(nIndex);
        throw;
    }
    return pOb.release();
}

CArchive& operator<<(CArchive& ar, const CObject* pOb)
{
    ar.WriteObject(pOb);
    return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& pOb)
{
    pOb = ar.ReadObject(nullptr);
    return ar;
}
