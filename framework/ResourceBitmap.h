// ResourceBitmap.h - CResourceBitmap, a serialisable holder of one GDI bitmap
// (Windows only).
//
// An instance holds nothing, its own bitmap (m_bOwnBitmap TRUE; made by
// AttachHandle, which a load with content calls), or a bitmap shared through
// the class-wide caches, one keyed by resource name and one by 16-bit
// resource identifier. Invariant the release rules rely on: every cached
// object has an entry in s_useCounts under its handle that counts the
// instances holding it with m_bOwnBitmap FALSE, and stands in one cache entry
// only. ReleaseBitmap lowers that count; the last holder removes the entry
// and deletes the object. When the last instance goes, it deletes every
// cached object, held or not, and empties the caches and counts, so nothing
// can reach those objects again.
//
// Nothing in the product fills the caches (no bitmap is loaded by resource
// name or identifier); the protected ...ForTest hooks do, keeping the
// invariant, so that derived test classes can exercise the shared rules.
//
// Record, little-endian, the same in 32- and 64-bit builds:
//   pixel data size n    32 bits   0: no bitmap, and the record ends here
//   type, width, height, bytes per line    32 bits each, signed
//   planes, bits per pixel                 16 bits each
//   bits                 32 bits   always written 0 (an address means nothing
//                                  in a file); ignored on loading
//   pixels               n bytes   a 24-bit DIB: rows bottom-up, blue green
//                                  red, each row padded to 4 bytes
// Loading makes a monochrome bitmap when the stored bits per pixel is 1, else
// one in the screen's format (the stored planes, bits per pixel and bytes per
// line then go unused); the bitmap's GDI dimension is its pixel size.
//
// Loading first releases what the instance held, then refuses, before it
// allocates anything:
// - a field cut short: endOfFile;
// - with n > 0, a width or height below 1 or above 65535: genericException;
// - n smaller than the rows need, ((3 * width + 3) & ~3) * height: endOfFile.
//   Short data is not padded with zeros: a record this class writes is never
//   short, and padding would let a few bytes ask for gigabytes of bitmap;
// - n more than the archive still holds: endOfFile.
// Bytes beyond what the rows need are read and ignored. Storing refuses
// (genericException, nothing written) a bitmap wider or taller than 65535 or
// whose pixel data would exceed 4 GiB: the record cannot carry it.
//
// GDI results are not examined: a bitmap GDI cannot make leaves the own object
// without a handle, and the instance then stores as empty.
//
// Threads: only the live-instance count is locked (s_lock); the caches are
// used unlocked, from one thread. The first construction widens the three
// tables to 100 buckets, but only on the application object's thread; one on
// any other thread gives the widening up for good. Instances constructed
// while the module's static constructors have not yet built the class-wide
// state are counted without the lock (only the loader's thread runs then)
// and do not give the widening up.
#pragma once

#include "Bitmap.h"
#include "CriticalSection.h"
#include "Maps.h"

class CResourceBitmap : public CObject
{
    DECLARE_SERIAL(CResourceBitmap)

public:
    CResourceBitmap();
    ~CResourceBitmap() override;

    void Serialize(CArchive& ar) override;

    // Drops the hold on the bitmap: an own bitmap loses its GDI handle (the
    // object stays, empty); a shared one is counted down. Always TRUE.
    virtual BOOL ReleaseBitmap();
    // Makes hBitmap the handle of the instance's own bitmap object, creating
    // that object (and releasing a shared bitmap) first if needed, and
    // deleting the handle it had. A null handle leaves the object empty.
    // Always TRUE.
    BOOL AttachHandle(HBITMAP hBitmap);
    // Sets the held bitmap's GDI dimension to its size in pixels. Always TRUE.
    BOOL UpdateDimension();

protected:
    // Caches hBitmap under nID or pszName with a use count of 0; the new
    // cached object owns the handle. Null (the caller keeps the handle) when
    // the handle is null or already cached, or the key is taken.
    static CBitmap* CacheBitmapForTest(WORD nID, HBITMAP hBitmap);
    static CBitmap* CacheBitmapForTest(LPCSTR pszName, HBITMAP hBitmap);
    // Releases what the instance holds, then holds the cached pBitmap as
    // shared and counts it. FALSE when pBitmap is not cached or already has
    // 0xFFFF holders.
    BOOL HoldCachedBitmapForTest(CBitmap* pBitmap);
    // Back to the state after module start-up: caches empty (their objects
    // deleted) with 17 buckets, the widening not yet done. FALSE, and nothing
    // changed, while instances live.
    static BOOL ResetClassStateForTest();

    BOOL m_bOwnBitmap;
    CBitmap* m_pBitmap;

    static CCriticalSection s_lock;
    static CMapStringToOb s_bitmapsByName;
    static CMapWordToOb s_bitmapsById;
    static CMapPtrToWord s_useCounts; // bitmap handle -> holders
    static int s_nInstances;          // guarded by s_lock
    static BOOL s_bFirstConstruction;

private:
    void StoreRecord(CArchive& ar) const;
    void LoadRecord(CArchive& ar);
    // Deletes every cached object and empties the caches and counts.
    static void DeleteCachedBitmaps();
};

// A zero-filled BITMAPINFO (header and one colour entry, 44 bytes) for a
// 24-bit bottom-up DIB of nWidth x nHeight with BI_RGB and an image size of
// ((3 * nWidth + 3) & ~3) * nHeight in unsigned 32-bit arithmetic (it wraps
// above 4 GiB). From AfxAllocMemory; the caller frees it with AfxFreeMemory.
BITMAPINFO* MakeBitmapInfo(WORD nWidth, WORD nHeight);
