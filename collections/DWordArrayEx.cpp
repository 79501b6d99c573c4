#include "DWordArrayEx.h"

IMPLEMENT_SERIAL(CDWordArrayEx, CObject, 1)

CDWordArrayEx::~CDWordArrayEx()
{
    RemoveAll();
}

CDWordArray* CDWordArrayEx::Storage()
{
    if (m_pArray == nullptr)
        m_pArray = new CDWordArray;
    return m_pArray;
}

void CDWordArrayEx::DropStorageIfEmpty() noexcept
{
    if (m_pArray != nullptr && m_pArray->GetSize() == 0)
    {
        delete m_pArray;
        m_pArray = nullptr;
    }
}

INT_PTR CDWordArrayEx::Add(DWORD nValue)
{
    try
    {
        return Storage()->Add(nValue);
    }
    catch (...)
    {
        DropStorageIfEmpty();
        throw;
    }
}

void CDWordArrayEx::RemoveAll() noexcept
{
    if (m_pArray != nullptr)
        m_pArray->RemoveAll();
    DropStorageIfEmpty();
}

void CDWordArrayEx::Serialize(CArchive& ar)
{
    try
    {
        Storage()->Serialize(ar);
    }
    catch (...)
    {
        DropStorageIfEmpty();
        throw;
    }
    DropStorageIfEmpty();
}
