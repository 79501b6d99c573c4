#include "MapTestSupport.h"

IMPLEMENT_SERIAL(CMapProbe, CObject, 1)

int CMapProbe::s_nLive = 0;

void CMapProbe::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
        ar << m_nId;
    else
        ar >> m_nId;
}

std::vector<std::pair<void*, void*>> Walk(const CMapPtrToPtrEx& map)
{
    std::vector<std::pair<void*, void*>> entries;
    POSITION pos = map.GetStartPosition();
    while (pos != nullptr)
    {
        void* key;
        void* value;
        map.GetNextAssoc(pos, key, value);
        entries.emplace_back(key, value);
    }
    return entries;
}
