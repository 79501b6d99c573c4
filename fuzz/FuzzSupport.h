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
#include <string>

// Loads from the given bytes with fn and swallows platform exceptions.
void FuzzLoad(const uint8_t* pData, size_t nSize, const std::function<void(CArchive&)>& fn);

// The stricter contract of a class's own record: a load that fails must end
// in CArchiveException or CMemoryException; any other exception escapes to
// libFuzzer as a finding.
//
// FuzzRecord drives one reader: a fresh object from fnCreate loads the
// bytes; if that succeeded, it is stored, the stored bytes load into a
// second fresh object, which must consume them whole, describe itself the
// same (fnDescribe) and store again. Either way the objects are destroyed,
// and nodes nobody owned are freed after them. A describer of a hash map
// sorts its entries: a reload may iterate in another order.
void FuzzRecord(const uint8_t* pData, size_t nSize, const std::function<CObject*()>& fnCreate,
                const std::function<std::string(CObject&)>& fnDescribe);

// Reports a broken promise that no sanitizer sees, and stops the run.
[[noreturn]] void FuzzFinding(const char* pszWhat);

// What an object reference in a record stands for: "-" for null, else the
// node's name and number. Other classes cannot occur (FuzzOnlyNodesByName).
std::string FuzzDescribeObject(const CObject* pOb);

// Lets an archive create only CFuzzNode by name. Nodes are tracked and
// freed whoever holds them; any other class that a record left unowned
// (a non-owning map nested in a map, say) would leak with no way for the
// target to find it, so records naming one fail with badClass instead.
// Call once, before the first load.
void FuzzOnlyNodesByName();

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
