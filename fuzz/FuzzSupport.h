// Shared pieces of the fuzz targets: running a reader over the fuzzer's
// bytes, and a serialisable node type for object-reference graphs.
//
// A reader may end only in a platform exception (CArchiveException,
// CMemoryException, CInvalidArgException); anything else - a crash, a
// sanitizer report, a leak, another exception type - is a finding.
#pragma once

#include "Archive.h"
#include "File.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Loads from the given bytes with fn and swallows platform exceptions.
void FuzzLoad(const uint8_t* pData, size_t nSize, const std::function<void(CArchive&)>& fn);

// A graph node: a name, a number and two references to other nodes, read
// with ReadObject, so back-references, cycles and self-references occur.
// Nodes do not own each other; every live node is tracked so a target can
// free whatever a load created, however far it got.
class CFuzzNode : public CObject
{
    DECLARE_SERIAL(CFuzzNode)
public:
    CFuzzNode();
    ~CFuzzNode() override;
    void Serialize(CArchive& ar) override;

    static void DeleteAll();

    CString m_strName;
    DWORD m_nValue = 0;
    CFuzzNode* m_pLeft = nullptr;
    CFuzzNode* m_pRight = nullptr;
};
