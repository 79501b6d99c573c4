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

// Load-table entries are tagged in their low bits: classes and objects are
// both at least pointer-aligned, and badIndex needs to tell them apart. An
// object entry also records whether a back-reference has handed it out, so
// ReleaseLoadedObject knows whether anyone but its first reader holds it.
const UINT_PTR nClassBit = 1;
const UINT_PTR nReferencedBit = 2;

// The claim an object holds on itself while its Serialize runs.
const char g_chLoadingClaim = 0;
void* const g_pLoadingClaim = const_cast<char*>(&g_chLoadingClaim);

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
    return reinterpret_cast<CObject*>(nTagged & ~nReferencedBit);
}

void CArchive::SetClaim(const CObject* pOb, const void* pOwner)
{
    if (m_pClaims == nullptr)
        m_pClaims = new CMapPtrToPtr;
    // The platform map never grows by itself; an archive may claim one
    // object per entry of every owning map in it.
    if (static_cast<ULONGLONG>(m_pClaims->GetCount()) > 2ull * m_pClaims->GetHashTableSize())
        m_pClaims->InitHashTable(m_pClaims->GetHashTableSize() * 4 + 1);
    m_pClaims->SetAt(const_cast<CObject*>(pOb), const_cast<void*>(pOwner));
}

BOOL CArchive::ClaimLoadedObject(const CObject* pOb, const void* pOwner, BOOL bOnce)
{
    if (pOb == nullptr)
        return TRUE;
    void* pClaimant;
    if (m_pClaims != nullptr && m_pClaims->Lookup(const_cast<CObject*>(pOb), pClaimant))
        return !bOnce && pClaimant == pOwner;
    SetClaim(pOb, pOwner);
    return TRUE;
}

BOOL CArchive::ReleaseLoadedObject(const CObject* pOb) noexcept
{
    if (m_pLoadArray == nullptr || pOb == nullptr)
        return TRUE;
    // From the newest entry back: the objects a record replaces or abandons
    // are usually the ones it read last.
    INT_PTR nIndex = m_pLoadArray->GetSize();
    while (--nIndex > 0)
    {
        UINT_PTR nTagged = reinterpret_cast<UINT_PTR>(m_pLoadArray->GetAt(nIndex));
        if ((nTagged & nClassBit) == 0 &&
            (nTagged & ~nReferencedBit) == reinterpret_cast<UINT_PTR>(pOb))
            break;
    }
    if (nIndex == 0)
        return TRUE;
    for (INT_PTR i = nIndex; i < m_pLoadArray->GetSize(); ++i)
    {
        UINT_PTR nTagged = reinterpret_cast<UINT_PTR>(m_pLoadArray->GetAt(i));
        if ((nTagged & nClassBit) == 0 && (nTagged & nReferencedBit) != 0)
            return FALSE;
    }
    ForgetObjectsFrom(static_cast<DWORD>(nIndex));
    return TRUE;
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
            void*& pEntry = m_pLoadArray->ElementAt(nObTag);
            pEntry = reinterpret_cast<void*>(reinterpret_cast<UINT_PTR>(pEntry) | nReferencedBit);
            return pOb;
        }
        pClass = LoadedClassAt(nObTag & ~dwBigClassTag);
    }
    if (pClassRequested != nullptr && !pClass->IsDerivedFrom(pClassRequested))
        AfxThrowArchiveException(CArchiveException::badClass);
    std::unique_ptr<CObject> pOb(pClass->CreateObject());
    if (pOb == nullptr)
        AfxThrowArchiveException(CArchiveException::badClass);
    // Set, not claimed: a claim left by an object that lived at this
    // address before is void.
    SetClaim(pOb.get(), g_pLoadingClaim);
    DWORD nIndex = 0;
    try
    {
        nIndex = AddLoaded(pOb.get(), FALSE);
        pOb->Serialize(*this);
    }
    catch (...)
    {
        if (nIndex != 0)
            ForgetObjectsFrom(nIndex);
        m_pClaims->RemoveKey(pOb.get());
        throw;
    }
    m_pClaims->RemoveKey(pOb.get());
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
