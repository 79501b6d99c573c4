// Helpers for the record tests of the string-keyed maps, the integer arrays
// and the in-memory INI section: load a fresh object from bytes, and cut a
// record at every offset.
#pragma once

#include "TestSupport.h"

#include <memory>

// A fresh T loaded from bytes, which it must consume whole.
template <class T>
std::unique_ptr<T> LoadRecord(const CByteVector& bytes)
{
    std::unique_ptr<T> pOb(new T);
    CLoader loader(bytes);
    pOb->Serialize(loader.Ar());
    EXPECT_EQ(0u, loader.Remaining());
    return pOb;
}

template <class T>
CByteVector StoreRecord(T& ob)
{
    return StoreBytes([&](CArchive& ar) { ob.Serialize(ar); });
}

// Every proper prefix of a record loads into a fresh T with endOfFile, and
// whatever the failed load built is released with the object.
template <class T>
void ExpectEveryTruncationFails(const CByteVector& record)
{
    for (size_t nLength = 0; nLength < record.size(); ++nLength)
    {
        INT_PTR nLiveBefore = AfxLiveAllocationCount();
        {
            T ob;
            CLoader loader(CByteVector(record.begin(), record.begin() + nLength));
            EXPECT_EQ(CArchiveException::endOfFile,
                      ArchiveCauseOf([&] { ob.Serialize(loader.Ar()); }))
                << "cut after " << nLength << " of " << record.size() << " bytes";
        }
        EXPECT_EQ(nLiveBefore, AfxLiveAllocationCount()) << "cut after " << nLength;
    }
}
