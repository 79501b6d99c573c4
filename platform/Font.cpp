#include "Font.h"

CFont::~CFont()
{
    DeleteObject();
}

BOOL CFont::CreateFontIndirect(const LOGFONTA* pLogFont)
{
    DeleteObject();
    m_hObject = ::CreateFontIndirectA(pLogFont);
    return m_hObject != nullptr;
}

BOOL CFont::DeleteObject()
{
    if (m_hObject == nullptr)
        return FALSE;
    ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    return TRUE;
}
