#include "ResourceBitmap.h"

#include "Archive.h"
#include "WinApp.h"

#include <cstring>
#include <memory>
#include <optional>

namespace
{

static_assert(sizeof(BITMAPINFO) == 44, "a header and one colour entry");

const int nMaxSide = 0xFFFF;      // what the 16-bit header fields carry
const UINT nScaledHashSize = 100; // the tables' size after the first construction

// Set by the object defined after the class-wide members, so TRUE exactly
// while they are constructed. Constant-initialised: readable from static
// constructors of other files that run before this one's.
BOOL g_bClassStateBuilt = FALSE;

struct CClassStateMark
{
    CClassStateMark() { g_bClassStateBuilt = TRUE; }
    ~CClassStateMark() { g_bClassStateBuilt = FALSE; }
};

struct CFreeBlock
{
    void operator()(void* p) const noexcept { AfxFreeMemory(p); }
};
typedef std::unique_ptr<BYTE, CFreeBlock> CPixelBlock;
typedef std::unique_ptr<BITMAPINFO, CFreeBlock> CInfoBlock;

// The screen's device context, released when the object goes.
class CScreenDC
{
public:
    CScreenDC() : m_hDC(::GetDC(nullptr)) {}
    ~CScreenDC()
    {
        if (m_hDC != nullptr)
            ::ReleaseDC(nullptr, m_hDC);
    }
    CScreenDC(const CScreenDC&) = delete;
    CScreenDC& operator=(const CScreenDC&) = delete;

    HDC GetSafeHdc() const { return m_hDC; }

private:
    HDC m_hDC;
};

// Bytes of 24-bit rows for a width and height of at most 65535: at most
// about 12.9 GB, so 64 bits never wrap.
ULONGLONG PixelDataSize(LONG nWidth, LONG nHeight)
{
    return ((3ull * static_cast<ULONGLONG>(nWidth) + 3) & ~3ull) * static_cast<ULONGLONG>(nHeight);
}

// Removes the first entry (in iteration order) whose bitmap has hBitmap and
// returns its object; null when there is none.
template <class KEY, class MAP>
CObject* RemoveEntryWithHandle(MAP& map, HBITMAP hBitmap)
{
    KEY key;
    CObject* pOb;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, pOb);
        if (static_cast<CBitmap*>(pOb)->GetSafeHandle() == hBitmap)
        {
            map.RemoveKey(key);
            return pOb;
        }
    }
    return nullptr;
}

template <class KEY, class MAP>
void DeleteValues(MAP& map)
{
    KEY key;
    CObject* pOb;
    for (POSITION pos = map.GetStartPosition(); pos != nullptr;)
    {
        map.GetNextAssoc(pos, key, pOb);
        delete pOb;
    }
    map.RemoveAll();
}

template <class MAP, class KEY>
CBitmap* AddCachedBitmap(MAP& map, KEY key, CMapPtrToWord& useCounts, HBITMAP hBitmap)
{
    CObject* pOb;
    WORD nCount;
    if (hBitmap == nullptr || useCounts.Lookup(hBitmap, nCount) || map.Lookup(key, pOb))
        return nullptr;
    std::unique_ptr<CBitmap> pBitmap(new CBitmap);
    useCounts[hBitmap] = 0;
    try
    {
        map[key] = pBitmap.get();
    }
    catch (const CMemoryException&)
    {
        useCounts.RemoveKey(hBitmap);
        throw;
    }
    pBitmap->Attach(hBitmap);
    return pBitmap.release();
}

} // namespace

IMPLEMENT_SERIAL(CResourceBitmap, CObject, 1)

// Built in this order, destroyed in the reverse one.
CCriticalSection CResourceBitmap::s_lock;
CMapStringToOb CResourceBitmap::s_bitmapsByName(10);
CMapWordToOb CResourceBitmap::s_bitmapsById(10);
CMapPtrToWord CResourceBitmap::s_useCounts(10);
int CResourceBitmap::s_nInstances = 0;
BOOL CResourceBitmap::s_bFirstConstruction = TRUE;
static const CClassStateMark g_classStateMark;

CResourceBitmap::CResourceBitmap() : m_bOwnBitmap(FALSE), m_pBitmap(nullptr)
{
    if (s_bFirstConstruction && g_bClassStateBuilt)
    {
        s_bFirstConstruction = FALSE;
        // The tables are not locked: only the thread that runs the
        // application may re-create them.
        CWinApp* pApp = AfxGetApp();
        if (pApp != nullptr && pApp->m_nThreadID == ::GetCurrentThreadId())
        {
            s_bitmapsByName.InitHashTable(nScaledHashSize, FALSE);
            s_bitmapsById.InitHashTable(nScaledHashSize, FALSE);
            s_useCounts.InitHashTable(nScaledHashSize, FALSE);
        }
    }
    std::optional<CCriticalSectionLock> lock;
    if (g_bClassStateBuilt)
        lock.emplace(s_lock);
    ++s_nInstances;
}

CResourceBitmap::~CResourceBitmap()
{
    CResourceBitmap::ReleaseBitmap();
    if (m_bOwnBitmap)
    {
        delete m_pBitmap;
        m_pBitmap = nullptr;
        m_bOwnBitmap = FALSE;
    }
    std::optional<CCriticalSectionLock> lock;
    if (g_bClassStateBuilt)
        lock.emplace(s_lock);
    if (--s_nInstances == 0 && g_bClassStateBuilt)
        DeleteCachedBitmaps();
}

void CResourceBitmap::DeleteCachedBitmaps()
{
    DeleteValues<CString>(s_bitmapsByName);
    DeleteValues<WORD>(s_bitmapsById);
    s_useCounts.RemoveAll();
}

BOOL CResourceBitmap::ReleaseBitmap()
{
    if (m_pBitmap == nullptr)
        return TRUE;
    if (m_bOwnBitmap)
    {
        m_pBitmap->DeleteObject();
        return TRUE;
    }
    HBITMAP hBitmap = m_pBitmap->GetSafeHandle();
    if (hBitmap == nullptr)
        return TRUE;
    if (s_useCounts.IsEmpty())
    {
        delete m_pBitmap;
        m_pBitmap = nullptr;
        m_bOwnBitmap = FALSE;
        return TRUE;
    }
    WORD nCount = 0;
    s_useCounts.Lookup(hBitmap, nCount);
    if (nCount == 0)
        return TRUE;
    if (nCount > 1)
    {
        s_useCounts[hBitmap] = static_cast<WORD>(nCount - 1);
        m_pBitmap = nullptr;
        return TRUE;
    }
    s_useCounts.RemoveKey(hBitmap);
    CObject* pCached = RemoveEntryWithHandle<WORD>(s_bitmapsById, hBitmap);
    if (pCached == nullptr)
        pCached = RemoveEntryWithHandle<CString>(s_bitmapsByName, hBitmap);
    if (pCached != nullptr)
    {
        delete pCached;
        m_pBitmap = nullptr;
    }
    return TRUE;
}

BOOL CResourceBitmap::AttachHandle(HBITMAP hBitmap)
{
    if (!m_bOwnBitmap)
    {
        // A shared bitmap replaced without a release would stay counted
        // for a holder that no longer exists.
        CResourceBitmap::ReleaseBitmap();
        m_pBitmap = new CBitmap;
        m_bOwnBitmap = TRUE;
    }
    m_pBitmap->DeleteObject();
    m_pBitmap->Attach(hBitmap);
    return UpdateDimension();
}

BOOL CResourceBitmap::UpdateDimension()
{
    BITMAP bm;
    if (m_pBitmap != nullptr && m_pBitmap->GetBitmap(&bm))
        m_pBitmap->SetBitmapDimension(bm.bmWidth, bm.bmHeight);
    return TRUE;
}

void CResourceBitmap::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        StoreRecord(ar);
    else
        LoadRecord(ar);
}

void CResourceBitmap::StoreRecord(CArchive& ar) const
{
    BITMAP bm;
    if (m_pBitmap == nullptr || !m_pBitmap->GetBitmap(&bm))
    {
        ar << static_cast<UINT>(0);
        return;
    }
    if (bm.bmWidth > nMaxSide || bm.bmHeight > nMaxSide)
        AfxThrowArchiveException(CArchiveException::genericException);
    const ULONGLONG nDataSize = PixelDataSize(bm.bmWidth, bm.bmHeight);
    if (nDataSize > 0xFFFFFFFFull)
        AfxThrowArchiveException(CArchiveException::genericException);

    CInfoBlock pInfo(MakeBitmapInfo(static_cast<WORD>(bm.bmWidth), static_cast<WORD>(bm.bmHeight)));
    CPixelBlock pPixels(static_cast<BYTE*>(AfxAllocMemory(static_cast<size_t>(nDataSize))));
    // What GDI does not fill must not carry stale heap bytes into the file.
    std::memset(pPixels.get(), 0, static_cast<size_t>(nDataSize));
    {
        CScreenDC dc;
        ::GetDIBits(dc.GetSafeHdc(), m_pBitmap->GetSafeHandle(), 0, static_cast<UINT>(bm.bmHeight),
                    pPixels.get(), pInfo.get(), DIB_RGB_COLORS);
    }
    // Field by field, so the 64-bit BITMAP keeps the 32-bit layout.
    ar << static_cast<UINT>(nDataSize) << static_cast<int>(bm.bmType)
       << static_cast<int>(bm.bmWidth) << static_cast<int>(bm.bmHeight)
       << static_cast<int>(bm.bmWidthBytes) << static_cast<WORD>(bm.bmPlanes)
       << static_cast<WORD>(bm.bmBitsPixel) << static_cast<UINT>(0);
    ar.Write(pPixels.get(), static_cast<UINT>(nDataSize));
}

void CResourceBitmap::LoadRecord(CArchive& ar)
{
    ReleaseBitmap();
    UINT nDataSize;
    ar >> nDataSize;
    if (nDataSize == 0)
        return;
    int nType, nWidth, nHeight, nWidthBytes;
    WORD nPlanes, nBitsPixel;
    UINT nBits;
    ar >> nType >> nWidth >> nHeight >> nWidthBytes >> nPlanes >> nBitsPixel >> nBits;
    if (nWidth < 1 || nWidth > nMaxSide || nHeight < 1 || nHeight > nMaxSide)
        AfxThrowArchiveException(CArchiveException::genericException);
    if (nDataSize < PixelDataSize(nWidth, nHeight))
        AfxThrowArchiveException(CArchiveException::endOfFile);
    ar.EnsureAvailable(nDataSize);

    CPixelBlock pPixels(static_cast<BYTE*>(AfxAllocMemory(nDataSize)));
    ar.ReadExact(pPixels.get(), nDataSize);
    CInfoBlock pInfo(MakeBitmapInfo(static_cast<WORD>(nWidth), static_cast<WORD>(nHeight)));

    CScreenDC dc;
    CBitmap bitmap;
    if (nBitsPixel == 1)
    {
        // The stored bits field is never an address here.
        BITMAP bm = {nType, nWidth, nHeight, nWidthBytes, nPlanes, nBitsPixel, nullptr};
        bitmap.CreateBitmapIndirect(&bm);
    }
    else
    {
        bitmap.CreateCompatibleBitmap(dc.GetSafeHdc(), nWidth, nHeight);
    }
    ::SetDIBits(dc.GetSafeHdc(), bitmap.GetSafeHandle(), 0, static_cast<UINT>(nHeight),
                pPixels.get(), pInfo.get(), DIB_RGB_COLORS);
    // The local object keeps the handle until the instance has taken it.
    AttachHandle(bitmap.GetSafeHandle());
    bitmap.Detach();
}

CBitmap* CResourceBitmap::CacheBitmapForTest(WORD nID, HBITMAP hBitmap)
{
    return AddCachedBitmap(s_bitmapsById, nID, s_useCounts, hBitmap);
}

CBitmap* CResourceBitmap::CacheBitmapForTest(LPCSTR pszName, HBITMAP hBitmap)
{
    return AddCachedBitmap(s_bitmapsByName, CString(pszName), s_useCounts, hBitmap);
}

BOOL CResourceBitmap::HoldCachedBitmapForTest(CBitmap* pBitmap)
{
    WORD nCount;
    if (pBitmap == nullptr || !s_useCounts.Lookup(pBitmap->GetSafeHandle(), nCount))
        return FALSE;
    if (!m_bOwnBitmap && m_pBitmap == pBitmap)
        return TRUE;
    if (nCount == 0xFFFF)
        return FALSE;
    CResourceBitmap::ReleaseBitmap();
    if (m_bOwnBitmap)
        delete m_pBitmap;
    m_bOwnBitmap = FALSE;
    m_pBitmap = pBitmap;
    s_useCounts[pBitmap->GetSafeHandle()] = static_cast<WORD>(nCount + 1);
    return TRUE;
}

BOOL CResourceBitmap::ResetClassStateForTest()
{
    if (s_nInstances != 0)
        return FALSE;
    DeleteCachedBitmaps();
    s_bitmapsByName.InitHashTable(CMapStringToOb::nDefaultHashTableSize, FALSE);
    s_bitmapsById.InitHashTable(CMapWordToOb::nDefaultHashTableSize, FALSE);
    s_useCounts.InitHashTable(CMapPtrToWord::nDefaultHashTableSize, FALSE);
    s_bFirstConstruction = TRUE;
    return TRUE;
}

BITMAPINFO* MakeBitmapInfo(WORD nWidth, WORD nHeight)
{
    BITMAPINFO* pInfo = static_cast<BITMAPINFO*>(AfxAllocMemory(sizeof(BITMAPINFO)));
    std::memset(pInfo, 0, sizeof(BITMAPINFO));
    BITMAPINFOHEADER& header = pInfo->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = nWidth;
    header.biHeight = nHeight;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = ((3u * nWidth + 3u) & ~3u) * nHeight;
    return pInfo;
}
