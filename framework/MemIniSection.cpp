#include "MemIniSection.h"

#include "Archive.h"

namespace
{
const WORD wRecordVersion = 1;
// An empty name's length byte and a 32-bit value.
const size_t nMinEntryBytes = 1 + 4;
} // namespace

IMPLEMENT_SERIAL(CMemIniSection, CObject, 1)

void CMemIniSection::Serialize(CArchive& ar)
{
    if (ar.IsStoring())
    {
        ar << wRecordVersion << static_cast<UINT>(m_intEntries.GetCount());
        CString strName;
        void* value;
        for (POSITION pos = m_intEntries.GetStartPosition(); pos != nullptr;)
        {
            m_intEntries.GetNextAssoc(pos, strName, value);
            ar << strName << static_cast<UINT>(reinterpret_cast<UINT_PTR>(value));
        }
    }
    else
    {
        WORD wVersion;
        UINT nEntries;
        ar >> wVersion >> nEntries;
        ar.EnsureAvailable(nEntries, nMinEntryBytes);
        m_intEntries.RemoveAll();
        m_intEntries.InitHashTable(2 * nEntries + 7, FALSE);
        for (UINT i = 0; i < nEntries; ++i)
        {
            CString strName;
            int nValue;
            ar >> strName >> nValue;
            m_intEntries[strName] = reinterpret_cast<void*>(static_cast<INT_PTR>(nValue));
        }
    }
    m_stringEntries.Serialize(ar);
}
