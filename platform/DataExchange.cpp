#include "DataExchange.h"

#include "Dialog.h"

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    rControl.Attach(::GetDlgItem(pDX->m_pDlgWnd->GetSafeHwnd(), nIDC));
}
