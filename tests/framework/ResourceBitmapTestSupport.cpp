#include "ResourceBitmapTestSupport.h"

int CTestBitmap::UseCount(HBITMAP hBitmap)
{
    WORD nCount;
    return s_useCounts.Lookup(hBitmap, nCount) ? nCount : -1;
}

namespace
{

BITMAPINFO TopDown32(int nWidth, int nHeight)
{
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = nWidth;
    info.bmiHeader.biHeight = -nHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void SetPixels(HBITMAP hBitmap, int nWidth, int nHeight, const CPixels& pixels)
{
    BITMAPINFO info = TopDown32(nWidth, nHeight);
    HDC hDC = ::GetDC(nullptr);
    ::SetDIBits(hDC, hBitmap, 0, nHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hDC);
}

} // namespace

HBITMAP MakeScreenBitmap(int nWidth, int nHeight, const CPixels& pixels)
{
    HDC hDC = ::GetDC(nullptr);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, nWidth, nHeight);
    ::ReleaseDC(nullptr, hDC);
    SetPixels(hBitmap, nWidth, nHeight, pixels);
    return hBitmap;
}

HBITMAP MakeMonoBitmap(int nWidth, int nHeight, const CPixels& pixels)
{
    HBITMAP hBitmap = ::CreateBitmap(nWidth, nHeight, 1, 1, nullptr);
    SetPixels(hBitmap, nWidth, nHeight, pixels);
    return hBitmap;
}

CPixels ReadPixels(HBITMAP hBitmap)
{
    BITMAP bm = BitmapInfoOf(hBitmap);
    BITMAPINFO info = TopDown32(bm.bmWidth, bm.bmHeight);
    CPixels pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    HDC hDC = ::GetDC(nullptr);
    ::GetDIBits(hDC, hBitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hDC);
    for (DWORD& nPixel : pixels)
        nPixel &= 0x00FFFFFF;
    return pixels;
}

BITMAP BitmapInfoOf(HBITMAP hBitmap)
{
    BITMAP bm = {};
    EXPECT_EQ(static_cast<int>(sizeof bm), ::GetObjectA(hBitmap, sizeof bm, &bm));
    return bm;
}

CByteVector DibRows(int nWidth, int nHeight, const CPixels& pixels)
{
    CByteVector rows;
    for (int y = nHeight - 1; y >= 0; --y)
    {
        size_t nRowStart = rows.size();
        for (int x = 0; x < nWidth; ++x)
        {
            DWORD nPixel = pixels[static_cast<size_t>(y) * nWidth + x];
            rows.push_back(static_cast<BYTE>(nPixel));
            rows.push_back(static_cast<BYTE>(nPixel >> 8));
            rows.push_back(static_cast<BYTE>(nPixel >> 16));
        }
        while ((rows.size() - nRowStart) % 4 != 0)
            rows.push_back(0);
    }
    return rows;
}

int ScreenBitsPerPixel()
{
    HDC hDC = ::GetDC(nullptr);
    int nBits = ::GetDeviceCaps(hDC, BITSPIXEL) * ::GetDeviceCaps(hDC, PLANES);
    ::ReleaseDC(nullptr, hDC);
    return nBits;
}

bool IsLiveBitmap(HBITMAP hBitmap)
{
    return ::GetObjectType(hBitmap) == OBJ_BITMAP;
}

CByteVector RecordHeader(DWORD nDataSize, int nType, int nWidth, int nHeight, int nWidthBytes,
                         WORD nPlanes, WORD nBitsPixel, DWORD nBits)
{
    return Bytes()
        .U32(nDataSize)
        .U32(static_cast<DWORD>(nType))
        .U32(static_cast<DWORD>(nWidth))
        .U32(static_cast<DWORD>(nHeight))
        .U32(static_cast<DWORD>(nWidthBytes))
        .U16(nPlanes)
        .U16(nBitsPixel)
        .U32(nBits);
}
