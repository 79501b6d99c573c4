#include "Controls.h"

int CListBox::GetCount() const
{
    return static_cast<int>(SendMessage(LB_GETCOUNT));
}

int CListBox::AddString(LPCSTR pszItem)
{
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(pszItem)));
}

int CListBox::DeleteString(UINT nIndex)
{
    return static_cast<int>(SendMessage(LB_DELETESTRING, nIndex));
}

int CListBox::GetText(int nIndex, CString& rString) const
{
    int nLength = static_cast<int>(SendMessage(LB_GETTEXTLEN, nIndex));
    if (nLength == LB_ERR)
    {
        rString.Empty();
        return LB_ERR;
    }
    nLength = static_cast<int>(
        SendMessage(LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(rString.GetBuffer(nLength))));
    rString.ReleaseBuffer(nLength == LB_ERR ? 0 : nLength);
    return nLength;
}

DWORD_PTR CListBox::GetItemData(int nIndex) const
{
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, nIndex));
}

int CListBox::SetItemData(int nIndex, DWORD_PTR dwItemData)
{
    return static_cast<int>(SendMessage(LB_SETITEMDATA, nIndex, static_cast<LPARAM>(dwItemData)));
}

int CListBox::GetSel(int nIndex) const
{
    return static_cast<int>(SendMessage(LB_GETSEL, nIndex));
}

int CListBox::GetSelCount() const
{
    return static_cast<int>(SendMessage(LB_GETSELCOUNT));
}

BOOL CListBox::SetTabStops(const int& nEachStop)
{
    return static_cast<BOOL>(SendMessage(LB_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&nEachStop)));
}

void CListBox::SetHorizontalExtent(int nExtent)
{
    SendMessage(LB_SETHORIZONTALEXTENT, nExtent);
}

int CListBox::GetHorizontalExtent() const
{
    return static_cast<int>(SendMessage(LB_GETHORIZONTALEXTENT));
}
