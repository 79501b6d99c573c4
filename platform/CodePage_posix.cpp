#include "CodePage.h"
#include "Exceptions.h"

#include <climits>
#include <utility>

// Windows-1252 bytes 0x80..0x9F; 0 marks the five unassigned bytes.
static const WORD s_awCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

static char ToCp1252(WORD wch)
{
    if (wch < 0x80 || (wch >= 0xA0 && wch <= 0xFF))
        return static_cast<char>(wch);
    for (int i = 0; i < 32; ++i)
    {
        if (s_awCp1252High[i] == wch)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

UINT AfxGetAnsiCodePage()
{
    return 1252;
}

void AfxWideToAnsi(const WORD* pwch, size_t nChars, CString& strOut)
{
    if (nChars > static_cast<size_t>(INT_MAX - 1))
        AfxThrowMemoryException();
    CString strResult;
    LPSTR pszOut = strResult.GetBuffer(static_cast<int>(nChars));
    int nOut = 0;
    for (size_t i = 0; i < nChars; ++i)
    {
        WORD wch = pwch[i];
        BOOL bHighSurrogate = wch >= 0xD800 && wch <= 0xDBFF;
        if (bHighSurrogate && i + 1 < nChars && pwch[i + 1] >= 0xDC00 && pwch[i + 1] <= 0xDFFF)
            ++i;
        pszOut[nOut++] = ToCp1252(wch);
    }
    strResult.ReleaseBuffer(nOut);
    strOut = std::move(strResult);
}
