#pragma once

// The window model the dialog pages are written against: MFC's CObject run-time
// classes, message maps for control notifications and CWnd. A window here is a
// plain object holding the state a Windows control holds (id, style, text,
// position, children); a back end (headless or Qt) shows it and feeds the
// user's actions back through CZrUiInput.

#include "platform/ZrExport.h"
#include "platform/ZrString.h"
#include "platform/ui/ZrUiTypes.h"

#include <memory>
#include <vector>

class CObject;
class CZrImage;
class CDC;
class CDataExchange;

// ---------------------------------------------------------------------------
// Run-time classes (DECLARE_DYNAMIC / DECLARE_DYNCREATE).
// ---------------------------------------------------------------------------
struct ZRPRJ_API CRuntimeClass {
    LPCTSTR m_lpszClassName;
    CObject* (*m_pfnCreateObject)();
    const CRuntimeClass* m_pBaseClass;

    CObject* CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }
    BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

#define DECLARE_DYNAMIC(class_name)                                                                          \
public:                                                                                                      \
    static const CRuntimeClass class##class_name;                                                            \
    const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name)                                                                        \
    DECLARE_DYNAMIC(class_name)                                                                              \
    static CObject* CreateObject();

#define IMPLEMENT_RUNTIMECLASS_(class_name, base_class_name, pfnNew)                                         \
    const CRuntimeClass class_name::class##class_name = {#class_name, pfnNew,                                \
                                                         RUNTIME_CLASS(base_class_name)};                    \
    const CRuntimeClass* class_name::GetRuntimeClass() const {                                               \
        return RUNTIME_CLASS(class_name);                                                                    \
    }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name)                                                       \
    IMPLEMENT_RUNTIMECLASS_(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)                                                     \
    CObject* class_name::CreateObject() {                                                                    \
        return new class_name;                                                                               \
    }                                                                                                        \
    IMPLEMENT_RUNTIMECLASS_(class_name, base_class_name, class_name::CreateObject)

class ZRPRJ_API CObject {
public:
    static const CRuntimeClass classCObject;

    virtual ~CObject() = default;
    virtual const CRuntimeClass* GetRuntimeClass() const;
    BOOL IsKindOf(const CRuntimeClass* pClass) const;
};

// ---------------------------------------------------------------------------
// Message maps: control notifications (WM_COMMAND) routed to handlers.
// ---------------------------------------------------------------------------
typedef void (CWnd::*ZR_PMSG)();

struct ZR_MSGMAP_ENTRY {
    UINT nCode;
    int nID;
    ZR_PMSG pfn;
};

struct ZR_MSGMAP {
    const ZR_MSGMAP* (*pfnGetBaseMap)();
    const ZR_MSGMAP_ENTRY* lpEntries;
};

#define DECLARE_MESSAGE_MAP()                                                                                \
protected:                                                                                                   \
    static const ZR_MSGMAP* GetThisMessageMap();                                                             \
    const ZR_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                               \
    const ZR_MSGMAP* theClass::GetMessageMap() const {                                                       \
        return GetThisMessageMap();                                                                          \
    }                                                                                                        \
    const ZR_MSGMAP* theClass::GetThisMessageMap() {                                                         \
        typedef theClass ThisClass;                                                                          \
        typedef baseClass TheBaseClass;                                                                      \
        static const ZR_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                                                    \
    { 0, 0, nullptr }                                                                                        \
    }                                                                                                        \
    ;                                                                                                        \
    static const ZR_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]};             \
    return &messageMap;                                                                                      \
    }

#define ON_CONTROL(wNotifyCode, id, memberFxn)                                                               \
    {(UINT)(wNotifyCode), (int)(id), static_cast<ZR_PMSG>(&ThisClass::memberFxn)},
#define ON_COMMAND(id, memberFxn) ON_CONTROL(0, id, memberFxn)
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_KILLFOCUS(id, memberFxn) ON_CONTROL(CBN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
// Owner drawing reaches the virtual CWnd::OnDrawItem; the entry is kept so that
// message maps read as they do under MFC.
#define ON_WM_DRAWITEM()

// The window classes a back end tells apart.
enum ZrWndClass {
    ZRWC_WINDOW = 0,
    ZRWC_BUTTON,
    ZRWC_EDIT,
    ZRWC_STATIC,
    ZRWC_COMBOBOX,
    ZRWC_DIALOG,
    ZRWC_SHEET,
};

class ZRPRJ_API CWnd : public CObject {
    DECLARE_DYNAMIC(CWnd)

public:
    CWnd();
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Existence: a window exists between its creation and DestroyWindow.
    BOOL IsWindow() const { return m_bCreated; }
    void* GetSafeHwnd() const { return m_bCreated ? const_cast<CWnd*>(this) : nullptr; }
    virtual BOOL DestroyWindow();
    virtual int GetWndClass() const { return ZRWC_WINDOW; }

    // Identity and family.
    int GetDlgCtrlID() const { return m_nID; }
    int SetDlgCtrlID(int nID);
    CWnd* GetParent() const { return m_pParent; }
    CWnd* GetDlgItem(int nID) const;
    int GetChildCount() const { return static_cast<int>(m_children.size()); }
    CWnd* GetChild(int index) const;
    int GetChildIndex(const CWnd* pChild) const;

    // Style, enabling and visibility (WS_DISABLED and WS_VISIBLE).
    DWORD GetStyle() const { return m_dwStyle; }
    BOOL ModifyStyle(DWORD dwRemove, DWORD dwAdd);
    BOOL EnableWindow(BOOL bEnable = TRUE);
    BOOL IsWindowEnabled() const { return (m_dwStyle & WS_DISABLED) == 0; }
    BOOL ShowWindow(int nCmdShow);
    // Visible when this window and all its parents are.
    BOOL IsWindowVisible() const;

    // Text.
    void SetWindowText(LPCTSTR lpszString);
    void GetWindowText(CString& rString) const { rString = m_strText; }
    int GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const;
    int GetWindowTextLength() const { return m_strText.GetLength(); }
    const CString& GetText() const { return m_strText; }

    // Geometry in pixels: the client rectangle starts at (0, 0); the window
    // rectangle is given in the parent's client coordinates.
    void GetClientRect(LPRECT lpRect) const;
    void GetWindowRect(LPRECT lpRect) const;
    void MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint = TRUE);

    // Dialog-item helpers.
    void SetDlgItemText(int nID, LPCTSTR lpszString);
    int GetDlgItemText(int nID, CString& rString) const;
    void CheckDlgButton(int nIDButton, UINT nCheck);
    UINT IsDlgButtonChecked(int nIDButton) const;
    void CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
    int GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const;

    // Focus: moving it sends the kill-focus notification of the old control
    // and the set-focus notification of the new one to their parents.
    CWnd* SetFocus();
    static CWnd* GetFocus();

    // Messages. PostMessage queues until CZrUiInput::Flush (the back ends
    // flush after every user action, as the Windows message loop would).
    LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL OnCmdMsg(int nID, int nCode);

    // Painting. Every window has an RGB surface of its client size; GetDC
    // draws into it. Owner-drawn controls are painted through their parent's
    // OnDrawItem when they are invalid and visible.
    void Invalidate(BOOL bErase = TRUE);
    void UpdateWindow();
    CDC* GetDC();
    int ReleaseDC(CDC* pDC);
    const CZrImage* GetSurface() const { return m_surface.get(); }
    BOOL IsOwnerDrawn() const;

    // Takes a child this window owns (the controls made from a template).
    void AdoptOwnedChild(std::unique_ptr<CWnd> child);

protected:
    static const ZR_MSGMAP* GetThisMessageMap();
    virtual const ZR_MSGMAP* GetMessageMap() const;

    // Makes this object a window: a child of pParentWnd when given (the
    // parent does not own it). bNotify FALSE leaves telling the back end to
    // the caller (a dialog tells it once its controls are initialised).
    BOOL CreateWnd(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID,
                   BOOL bNotify = TRUE);
    // Copies the window state of a control made from a template into the
    // member object that a page binds to it (DDX_Control).
    virtual void CopyStateFrom(const CWnd& other);
    // Tells the parent (WM_COMMAND) and the back end.
    void NotifyParent(int nCode);
    void NotifyChanged();
    // Called before the children are destroyed.
    virtual void OnDestroyWindow() {}

    friend ZRPRJ_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
    friend class CZrUiInput;
    friend class CPropertySheet;

private:
    void PaintNow();
    void InvalidateOwnerDrawn();
    // Moves the focus (nullptr: to no control) with the notifications.
    static void MoveFocus(CWnd* pNew);

    int m_nID = 0;
    DWORD m_dwStyle = 0;
    CString m_strText;
    CRect m_rect;
    CWnd* m_pParent = nullptr;
    bool m_bCreated = false;
    bool m_bDestroying = false;
    std::vector<CWnd*> m_children;
    std::vector<std::unique_ptr<CWnd>> m_owned;
    std::unique_ptr<CZrImage> m_surface;
    std::unique_ptr<CDC> m_dc;
};
