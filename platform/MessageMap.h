// Static message tables: each class lists the messages it handles and chains to its base's table.
#pragma once
#include <windows.h>

class CWnd;
class CPoint;

// How a handler wants its message decoded.
enum AfxSig {
    AfxSig_vv, // void ()
    AfxSig_vw, // void (UINT): a command of a range, given its id
    AfxSig_vwii, // void (UINT, int, int): WM_SIZE
    AfxSig_hv, // HCURSOR (): WM_QUERYDRAGICON
    AfxSig_vWp, // void (CWnd*, CPoint): WM_CONTEXTMENU
    AfxSig_notify, // void (NMHDR*, LRESULT*): WM_NOTIFY
    AfxSig_lwl, // LRESULT (WPARAM, LPARAM): the program's own messages
};

// One member per decoding, so handlers are stored without casts between unrelated types.
union AfxHandler {
    void (CWnd::*vv)();
    void (CWnd::*vw)(UINT);
    void (CWnd::*vwii)(UINT, int, int);
    HCURSOR (CWnd::*hv)();
    void (CWnd::*vWp)(CWnd*, CPoint);
    void (CWnd::*notify)(NMHDR*, LRESULT*);
    LRESULT (CWnd::*lwl)(WPARAM, LPARAM);
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode; // notification code of WM_COMMAND and WM_NOTIFY
    UINT nID; // control or command id of WM_COMMAND and WM_NOTIFY
    UINT nLastID; // the last id of a range of commands; nID for a single command
    AfxSig nSig;
    AfxHandler handler;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const AFX_MSGMAP* GetThisMessageMap();                                                            \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const AFX_MSGMAP* theClass::GetMessageMap() const                                                        \
    {                                                                                                        \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                                          \
    {                                                                                                        \
        [[maybe_unused]] typedef theClass ThisClass;                                                         \
        typedef baseClass TheBaseClass;                                                                      \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    {                                                                                                        \
        0, 0, 0, 0, AfxSig_vv,                                                                               \
        {                                                                                                    \
            .vv = nullptr                                                                                    \
        }                                                                                                    \
    }                                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    static const AFX_MSGMAP map = { &TheBaseClass::GetThisMessageMap, entries };                             \
    return &map;                                                                                             \
    }

#define AFX_HANDLER(sig, type, pfn)                                                                          \
    {                                                                                                        \
        .sig = static_cast<type>(pfn)                                                                        \
    }

#define ON_COMMAND(id, memberFxn)                                                                            \
    { WM_COMMAND, 0, (UINT)(id), (UINT)(id), AfxSig_vv, AFX_HANDLER(vv, void(CWnd::*)(), memberFxn) },
#define ON_COMMAND_RANGE(id, idLast, memberFxn)                                                              \
    { WM_COMMAND, 0, (UINT)(id), (UINT)(idLast), AfxSig_vw, AFX_HANDLER(vw, void(CWnd::*)(UINT), memberFxn) },
#define ON_BN_CLICKED(id, memberFxn)                                                                         \
    { WM_COMMAND, BN_CLICKED, (UINT)(id), (UINT)(id), AfxSig_vv, AFX_HANDLER(vv, void(CWnd::*)(), memberFxn) },
#define ON_NOTIFY(code, id, memberFxn)                                                                       \
    { WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_notify,                                        \
        AFX_HANDLER(notify, void(CWnd::*)(NMHDR*, LRESULT*), memberFxn) },
#define ON_WM_PAINT() { WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_HANDLER(vv, void(CWnd::*)(), &ThisClass::OnPaint) },
#define ON_WM_CLOSE() { WM_CLOSE, 0, 0, 0, AfxSig_vv, AFX_HANDLER(vv, void(CWnd::*)(), &ThisClass::OnClose) },
#define ON_WM_SIZE()                                                                                         \
    { WM_SIZE, 0, 0, 0, AfxSig_vwii, AFX_HANDLER(vwii, void(CWnd::*)(UINT, int, int), &ThisClass::OnSize) },
#define ON_WM_QUERYDRAGICON()                                                                                \
    { WM_QUERYDRAGICON, 0, 0, 0, AfxSig_hv, AFX_HANDLER(hv, HCURSOR(CWnd::*)(), &ThisClass::OnQueryDragIcon) },
#define ON_WM_CONTEXTMENU()                                                                                  \
    { WM_CONTEXTMENU, 0, 0, 0, AfxSig_vWp,                                                                   \
        AFX_HANDLER(vWp, void(CWnd::*)(CWnd*, CPoint), &ThisClass::OnContextMenu) },
#define ON_MESSAGE(message, memberFxn)                                                                       \
    { (UINT)(message), 0, 0, 0, AfxSig_lwl, AFX_HANDLER(lwl, LRESULT(CWnd::*)(WPARAM, LPARAM), memberFxn) },
