// CodePage.h - UTF-16 to the ANSI code page, for wide strings in archives.
//
// On Windows this is the system's conversion (CP_ACP, default flags, so
// best-fit mappings apply). Elsewhere the ANSI code page is taken to be
// Windows-1252: characters it cannot represent, and each surrogate pair or
// lone surrogate, become '?'; there is no best-fit mapping.
#pragma once

#include "String.h"

// The code page AfxWideToAnsi converts to (1252 off Windows).
UINT AfxGetAnsiCodePage();

// Replaces strOut with the conversion of nChars UTF-16 units (NULs kept).
void AfxWideToAnsi(const WORD* pwch, size_t nChars, CString& strOut);
