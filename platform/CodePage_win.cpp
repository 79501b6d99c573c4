#include "CodePage.h"
#include "Exceptions.h"

#include <climits>
#include <utility>

UINT AfxGetAnsiCodePage()
{
    return GetACP();
}

void AfxWideToAnsi(const WORD* pwch, size_t nChars, CString& strOut)
{
    if (nChars == 0)
    {
        strOut.Empty();
        return;
    }
    if (nChars > static_cast<size_t>(INT_MAX))
        AfxThrowMemoryException();
    LPCWSTR pszWide = reinterpret_cast<LPCWSTR>(pwch);
    int nWide = static_cast<int>(nChars);
    int nBytes = WideCharToMultiByte(CP_ACP, 0, pszWide, nWide, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0)
        AfxThrowArchiveException(CArchiveException::genericException);
    CString strResult;
    LPSTR pszOut = strResult.GetBuffer(nBytes);
    nBytes = WideCharToMultiByte(CP_ACP, 0, pszWide, nWide, pszOut, nBytes, nullptr, nullptr);
    strResult.ReleaseBuffer(nBytes > 0 ? nBytes : 0);
    strOut = std::move(strResult);
}
