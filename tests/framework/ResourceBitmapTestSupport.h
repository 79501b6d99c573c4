// Helpers for the CResourceBitmap tests: a derived class that opens the
// protected state and test hooks, GDI bitmaps with known pixels, and the
// record's header bytes. Needs a display (Xvfb under Wine).
#pragma once

#include "ResourceBitmap.h"

#include "RecordTestSupport.h"

#include <vector>

class CTestBitmap : public CResourceBitmap
{
public:
    using CResourceBitmap::CacheBitmapForTest;
    using CResourceBitmap::HoldCachedBitmapForTest;
    using CResourceBitmap::ResetClassStateForTest;
    using CResourceBitmap::s_bFirstConstruction;
    using CResourceBitmap::s_bitmapsById;
    using CResourceBitmap::s_bitmapsByName;
    using CResourceBitmap::s_nInstances;
    using CResourceBitmap::s_useCounts;

    CBitmap* Bitmap() const { return m_pBitmap; }
    BOOL OwnsBitmap() const { return m_bOwnBitmap; }
    HBITMAP Handle() const { return m_pBitmap != nullptr ? m_pBitmap->GetSafeHandle() : nullptr; }
    // -1 when the handle has no count entry.
    static int UseCount(HBITMAP hBitmap);
};

// Pixels as 0x00RRGGBB, rows top-down.
typedef std::vector<DWORD> CPixels;

// A bitmap in the screen's format holding the given pixels.
HBITMAP MakeScreenBitmap(int nWidth, int nHeight, const CPixels& pixels);
// A 1-bit bitmap; pixels must be black or white.
HBITMAP MakeMonoBitmap(int nWidth, int nHeight, const CPixels& pixels);
// What GDI reports for the bitmap, through a 32-bit DIB.
CPixels ReadPixels(HBITMAP hBitmap);
BITMAP BitmapInfoOf(HBITMAP hBitmap);
// The 24-bit bottom-up rows the record carries for these pixels.
CByteVector DibRows(int nWidth, int nHeight, const CPixels& pixels);
int ScreenBitsPerPixel();
// GetObjectType says a handle still names a live bitmap.
bool IsLiveBitmap(HBITMAP hBitmap);

// Fields 1 to 8 of a record.
CByteVector RecordHeader(DWORD nDataSize, int nType, int nWidth, int nHeight, int nWidthBytes,
                         WORD nPlanes, WORD nBitsPixel, DWORD nBits);
