#include "FuzzSupport.h"

#include "Exceptions.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <set>
#include <vector>

namespace
{
std::set<CFuzzNode*>& LiveNodes()
{
    static std::set<CFuzzNode*> s_nodes;
    return s_nodes;
}
} // namespace

void FuzzLoad(const uint8_t* pData, size_t nSize, const std::function<void(CArchive&)>& fn)
{
    CMemFile file(pData, nSize);
    CArchive ar(&file, CArchive::load);
    try
    {
        fn(ar);
    }
    catch (CException&)
    {
    }
}

IMPLEMENT_SERIAL(CFuzzNode, CObject, 1)

CFuzzNode::CFuzzNode()
{
    LiveNodes().insert(this);
}

CFuzzNode::~CFuzzNode()
{
    LiveNodes().erase(this);
}

void CFuzzNode::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << m_strName << m_nValue;
        ar.WriteObject(m_pLeft);
        ar.WriteObject(m_pRight);
        return;
    }
    ar >> m_strName >> m_nValue;
    m_pLeft = static_cast<CFuzzNode*>(ar.ReadObject(RUNTIME_CLASS(CFuzzNode)));
    m_pRight = static_cast<CFuzzNode*>(ar.ReadObject(RUNTIME_CLASS(CFuzzNode)));
}

void CFuzzNode::DeleteAll()
{
    while (!LiveNodes().empty())
        delete *LiveNodes().begin();
}

namespace
{
// Runs fn over a loading archive; TRUE when it returned normally.
BOOL LoadStrictly(const BYTE* pData, size_t nSize, const std::function<void(CArchive&)>& fn,
                  ULONGLONG& rnLeft)
{
    CMemFile file(pData, nSize);
    CArchive ar(&file, CArchive::load);
    try
    {
        fn(ar);
    }
    catch (CArchiveException&)
    {
        return FALSE;
    }
    catch (CMemoryException&)
    {
        return FALSE;
    }
    rnLeft = ar.GetBytesAvailable();
    return TRUE;
}

std::vector<BYTE> Store(CObject& ob)
{
    CMemFile file;
    CArchive ar(&file, CArchive::store);
    ob.Serialize(ar);
    ar.Close();
    return std::vector<BYTE>(file.GetData(), file.GetData() + file.GetLength());
}
} // namespace

void FuzzFinding(const char* pszWhat)
{
    std::fprintf(stderr, "fuzz finding: %s\n", pszWhat);
    std::abort();
}

void FuzzRecord(const uint8_t* pData, size_t nSize, const std::function<CObject*()>& fnCreate,
                const std::function<std::string(CObject&)>& fnDescribe)
{
    {
        std::unique_ptr<CObject> pFirst(fnCreate());
        ULONGLONG nLeft = 0;
        if (LoadStrictly(
                pData, nSize, [&](CArchive& ar) { pFirst->Serialize(ar); }, nLeft))
        {
            const std::vector<BYTE> stored = Store(*pFirst);
            std::unique_ptr<CObject> pSecond(fnCreate());
            if (!LoadStrictly(
                    stored.data(), stored.size(), [&](CArchive& ar) { pSecond->Serialize(ar); },
                    nLeft))
                FuzzFinding("a stored record does not load");
            if (nLeft != 0)
                FuzzFinding("a stored record is longer than its load reads");
            if (fnDescribe(*pFirst) != fnDescribe(*pSecond))
                FuzzFinding("a stored record loads with other content");
            Store(*pSecond);
        }
    }
    CFuzzNode::DeleteAll();
}

std::string FuzzDescribeObject(const CObject* pOb)
{
    if (pOb == nullptr)
        return "-";
    const CFuzzNode* pNode = dynamic_cast<const CFuzzNode*>(pOb);
    if (pNode == nullptr)
        FuzzFinding("an object of an unexpected class");
    return "node(" +
           std::string(static_cast<LPCSTR>(pNode->m_strName), pNode->m_strName.GetLength()) + "," +
           std::to_string(pNode->m_nValue) + ")";
}

void FuzzOnlyNodesByName()
{
    // Registering one more record makes it the head of the class list, the
    // one way to reach every registered class from here.
    static CRuntimeClass s_classListHead = {"", 0, 0xFFFF, nullptr, nullptr, nullptr};
    static const CClassInit s_init(&s_classListHead);
    for (const CRuntimeClass* pClass = s_classListHead.m_pNextClass; pClass != nullptr;
         pClass = pClass->m_pNextClass)
    {
        if (pClass != RUNTIME_CLASS(CFuzzNode))
            const_cast<CRuntimeClass*>(pClass)->m_pfnCreateObject = nullptr;
    }
}
