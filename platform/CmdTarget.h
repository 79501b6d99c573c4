// CmdTarget.h - CCmdTarget and message maps.
//
// A message map is a static table per class, searched from the most derived
// class to its bases, so an entry in a derived class hides the base's entry
// for the same message, code and id. Handlers are stored as member pointers
// of CCmdTarget together with a signature tag and cast back before the call.
//
// Only what the programs here route: commands (WM_COMMAND by control id and
// notification code) and WM_DRAWITEM.
#pragma once

#include "Object.h"

class CCmdTarget;
class CWnd;
typedef void (CCmdTarget::*AFX_PMSG)();
typedef void (CWnd::*AFX_PMSG_DRAWITEM)(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

enum AfxSig
{
    AfxSig_end = 0,
    AfxSig_vv,       // void ()
    AfxSig_vDrawItem // void (int nIDCtl, LPDRAWITEMSTRUCT)
};

struct AFX_MSGMAP_ENTRY
{
    UINT nMessage;
    UINT nCode; // notification code; commands: 0, the same as BN_CLICKED
    UINT nID;   // control or command id; 0 for window messages
    int nSig;
    AFX_PMSG pfn;                  // AfxSig_vv
    AFX_PMSG_DRAWITEM pfnDrawItem; // AfxSig_vDrawItem
};

struct AFX_MSGMAP
{
    const AFX_MSGMAP* (*pfnGetBaseMap)(); // null for CCmdTarget
    const AFX_MSGMAP_ENTRY* lpEntries;
};

class CCmdTarget : public CObject
{
public:
    CCmdTarget() = default;

    // Calls the handler of this command if the class's map has one.
    virtual BOOL OnCmdMsg(UINT nID, UINT nCode);
    virtual const AFX_MSGMAP* GetMessageMap() const;

    // Shows the hourglass until the matching EndWaitCursor; not nested.
    void BeginWaitCursor();
    void EndWaitCursor();

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    // The first entry for this message, code and id, or null.
    const AFX_MSGMAP_ENTRY* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;

private:
    HCURSOR m_hPrevCursor = nullptr;
};

#define DECLARE_MESSAGE_MAP()                                                                      \
protected:                                                                                         \
    static const AFX_MSGMAP* GetThisMessageMap();                                                  \
                                                                                                   \
public:                                                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                     \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                              \
    {                                                                                              \
        return GetThisMessageMap();                                                                \
    }                                                                                              \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                \
    {                                                                                              \
        using ThisClass [[maybe_unused]] = theClass;                                               \
        using TheBaseClass [[maybe_unused]] = baseClass;                                           \
        static const AFX_MSGMAP_ENTRY s_entries[] = {

#define END_MESSAGE_MAP()                                                                          \
    {                                                                                              \
        0, 0, 0, AfxSig_end, nullptr, nullptr                                                      \
    }                                                                                              \
    }                                                                                              \
    ;                                                                                              \
    static const AFX_MSGMAP s_map = {&TheBaseClass::GetThisMessageMap, s_entries};                 \
    return &s_map;                                                                                 \
    }

#define ON_COMMAND(id, memberFxn)                                                                  \
    {WM_COMMAND,                                                                                   \
     0,                                                                                            \
     static_cast<UINT>(id),                                                                        \
     AfxSig_vv,                                                                                    \
     static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(memberFxn)),                         \
     nullptr},
#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                     \
    {WM_COMMAND,                                                                                   \
     static_cast<UINT>(wNotifyCode),                                                               \
     static_cast<UINT>(id),                                                                        \
     AfxSig_vv,                                                                                    \
     static_cast<AFX_PMSG>(static_cast<void (ThisClass::*)()>(memberFxn)),                         \
     nullptr},
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
// The handler is the class's OnDrawItem(int, LPDRAWITEMSTRUCT).
#define ON_WM_DRAWITEM()                                                                           \
    {WM_DRAWITEM,                                                                                  \
     0,                                                                                            \
     0,                                                                                            \
     AfxSig_vDrawItem,                                                                             \
     nullptr,                                                                                      \
     static_cast<AFX_PMSG_DRAWITEM>(                                                               \
         static_cast<void (ThisClass::*)(int, LPDRAWITEMSTRUCT)>(&ThisClass::OnDrawItem))},
