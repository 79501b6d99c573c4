#include "CmdTarget.h"

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY s_entries[] = {{0, 0, 0, AfxSig_end, nullptr, nullptr}};
    static const AFX_MSGMAP s_map = {nullptr, s_entries};
    return &s_map;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const AFX_MSGMAP_ENTRY* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap != nullptr;
         pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr)
    {
        for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->nSig != AfxSig_end; ++pEntry)
        {
            if (pEntry->nMessage == nMessage && pEntry->nCode == nCode && pEntry->nID == nID)
                return pEntry;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, UINT nCode)
{
    const AFX_MSGMAP_ENTRY* pEntry = FindMessageEntry(WM_COMMAND, nCode, nID);
    if (pEntry == nullptr || pEntry->nSig != AfxSig_vv)
        return FALSE;
    (this->*pEntry->pfn)();
    return TRUE;
}

void CCmdTarget::BeginWaitCursor()
{
    m_hPrevCursor = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
}

void CCmdTarget::EndWaitCursor()
{
    ::SetCursor(m_hPrevCursor);
    m_hPrevCursor = nullptr;
}
