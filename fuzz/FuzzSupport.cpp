#include "FuzzSupport.h"

#include "Exceptions.h"

#include <set>

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
