// Font.h - CFont, the owner of one GDI font handle.
//
// An empty CFont holds no handle; the destructor deletes a held font.
#pragma once

#include "Types.h"

class CFont
{
public:
    CFont() = default;
    ~CFont();
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    BOOL CreateFontIndirect(const LOGFONTA* pLogFont);
    // Deletes the held font, if any; FALSE when there was none.
    BOOL DeleteObject();

    HFONT GetSafeHandle() const { return m_hObject; }

private:
    HFONT m_hObject = nullptr;
};
