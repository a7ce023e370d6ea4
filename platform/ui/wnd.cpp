#include "platform/ui/ZrWnd.h"

#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrUiBackend.h"
#include "platform/ui/uistate_p.h"

#include <algorithm>
#include <cstring>

// Button face: what an owner-drawn control shows before its first drawing.
static const COLORREF kButtonFace = RGB(240, 240, 240);

// ---------------------------------------------------------------------------
// Run-time classes
// ---------------------------------------------------------------------------
const CRuntimeClass CObject::classCObject = {"CObject", nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const {
    return &classCObject;
}

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* pBaseClass) const {
    for (const CRuntimeClass* p = this; p; p = p->m_pBaseClass)
        if (p == pBaseClass) return TRUE;
    return FALSE;
}

BOOL CObject::IsKindOf(const CRuntimeClass* pClass) const {
    return GetRuntimeClass()->IsDerivedFrom(pClass);
}

IMPLEMENT_DYNAMIC(CWnd, CObject)

// ---------------------------------------------------------------------------
// Thread state
// ---------------------------------------------------------------------------
ZrUiThreadState& ZrUiState() {
    thread_local ZrUiThreadState state;
    return state;
}

void ZrUiForget(CWnd* wnd) {
    ZrUiThreadState& s = ZrUiState();
    s.posted.erase(std::remove_if(s.posted.begin(), s.posted.end(),
                                  [wnd](const ZrPostedMessage& m) { return m.target == wnd; }),
                   s.posted.end());
    s.invalid.erase(std::remove(s.invalid.begin(), s.invalid.end(), wnd), s.invalid.end());
    if (s.focus == wnd) s.focus = nullptr;
    if (s.told == wnd) s.told = nullptr;
}

// ---------------------------------------------------------------------------
// Message map of the base: no entries.
// ---------------------------------------------------------------------------
const ZR_MSGMAP* CWnd::GetThisMessageMap() {
    static const ZR_MSGMAP_ENTRY entries[] = {{0, 0, nullptr}};
    static const ZR_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

const ZR_MSGMAP* CWnd::GetMessageMap() const {
    return GetThisMessageMap();
}

// ---------------------------------------------------------------------------
// Life
// ---------------------------------------------------------------------------
CWnd::CWnd() = default;

CWnd::~CWnd() {
    if (m_bCreated) DestroyWindow();
    ZrUiForget(this);
}

BOOL CWnd::CreateWnd(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID,
                     BOOL bNotify) {
    if (m_bCreated) return FALSE;
    m_strText = lpszText ? lpszText : "";
    m_dwStyle = dwStyle;
    m_rect = rect;
    m_nID = nID;
    m_bCreated = true;
    if (pParentWnd) {
        m_pParent = pParentWnd;
        pParentWnd->m_children.push_back(this);
    }
    if (bNotify) ZrUiNotify(*this, ZRUI_CREATED);
    if (IsOwnerDrawn()) Invalidate();
    return TRUE;
}

void CWnd::AdoptOwnedChild(std::unique_ptr<CWnd> child) {
    if (!child) return;
    if (child->m_pParent) {
        auto& list = child->m_pParent->m_children;
        list.erase(std::remove(list.begin(), list.end(), child.get()), list.end());
    }
    child->m_pParent = this;
    m_children.push_back(child.get());
    m_owned.push_back(std::move(child));
}

BOOL CWnd::DestroyWindow() {
    if (!m_bCreated || m_bDestroying) return FALSE;
    m_bDestroying = true;
    OnDestroyWindow();
    ZrUiNotify(*this, ZRUI_DESTROYED);

    std::vector<CWnd*> children;
    children.swap(m_children);
    for (CWnd* child : children) {
        child->m_pParent = nullptr;
        child->DestroyWindow();
    }
    m_owned.clear();

    if (m_pParent) {
        auto& list = m_pParent->m_children;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        m_pParent = nullptr;
    }
    ZrUiForget(this);
    m_dc.reset();
    m_surface.reset();
    m_bCreated = false;
    m_bDestroying = false;
    return TRUE;
}

void CWnd::CopyStateFrom(const CWnd& other) {
    m_nID = other.m_nID;
    m_dwStyle = other.m_dwStyle;
    m_strText = other.m_strText;
    m_rect = other.m_rect;
}

// ---------------------------------------------------------------------------
// Identity and family
// ---------------------------------------------------------------------------
int CWnd::SetDlgCtrlID(int nID) {
    int old = m_nID;
    m_nID = nID;
    return old;
}

CWnd* CWnd::GetDlgItem(int nID) const {
    for (CWnd* child : m_children)
        if (child->m_nID == nID) return child;
    return nullptr;
}

CWnd* CWnd::GetChild(int index) const {
    return (index >= 0 && index < GetChildCount()) ? m_children[static_cast<size_t>(index)] : nullptr;
}

int CWnd::GetChildIndex(const CWnd* pChild) const {
    for (size_t i = 0; i < m_children.size(); ++i)
        if (m_children[i] == pChild) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------------------
// Style and state
// ---------------------------------------------------------------------------
BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd) {
    DWORD style = (m_dwStyle & ~dwRemove) | dwAdd;
    if (style == m_dwStyle) return FALSE;
    bool shown = !(m_dwStyle & WS_VISIBLE) && (style & WS_VISIBLE);
    m_dwStyle = style;
    NotifyChanged();
    if (shown) InvalidateOwnerDrawn();
    return TRUE;
}

BOOL CWnd::EnableWindow(BOOL bEnable) {
    BOOL wasDisabled = (m_dwStyle & WS_DISABLED) != 0;
    if (bEnable)
        ModifyStyle(WS_DISABLED, 0);
    else
        ModifyStyle(0, WS_DISABLED);
    return wasDisabled;
}

BOOL CWnd::ShowWindow(int nCmdShow) {
    BOOL wasVisible = (m_dwStyle & WS_VISIBLE) != 0;
    if (nCmdShow == SW_HIDE)
        ModifyStyle(WS_VISIBLE, 0);
    else
        ModifyStyle(0, WS_VISIBLE);
    return wasVisible;
}

BOOL CWnd::IsWindowVisible() const {
    for (const CWnd* p = this; p; p = p->m_pParent)
        if (!p->m_bCreated || !(p->m_dwStyle & WS_VISIBLE)) return FALSE;
    return TRUE;
}

void CWnd::SetWindowText(LPCTSTR lpszString) {
    CString text(lpszString ? lpszString : "");
    if (text == m_strText) return;
    m_strText = text;
    NotifyChanged();
    if (GetWndClass() == ZRWC_EDIT) NotifyParent(EN_CHANGE);
}

int CWnd::GetWindowText(LPTSTR lpszStringBuf, int nMaxCount) const {
    if (!lpszStringBuf || nMaxCount <= 0) return 0;
    int n = std::min(m_strText.GetLength(), nMaxCount - 1);
    std::memcpy(lpszStringBuf, m_strText.c_str(), static_cast<size_t>(n));
    lpszStringBuf[n] = '\0';
    return n;
}

// ---------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------
void CWnd::GetClientRect(LPRECT lpRect) const {
    if (lpRect) *lpRect = RECT{0, 0, m_rect.Width(), m_rect.Height()};
}

void CWnd::GetWindowRect(LPRECT lpRect) const {
    if (lpRect) *lpRect = m_rect;
}

void CWnd::MoveWindow(int x, int y, int nWidth, int nHeight, BOOL bRepaint) {
    m_rect = CRect(x, y, x + nWidth, y + nHeight);
    NotifyChanged();
    if (bRepaint) Invalidate();
}

// ---------------------------------------------------------------------------
// Dialog items
// ---------------------------------------------------------------------------
void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString) {
    if (CWnd* item = GetDlgItem(nID)) item->SetWindowText(lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    CWnd* item = GetDlgItem(nID);
    rString = item ? item->m_strText : CString();
    return rString.GetLength();
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    if (auto* button = dynamic_cast<CButton*>(GetDlgItem(nIDButton)))
        button->SetCheck(static_cast<int>(nCheck));
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    auto* button = dynamic_cast<CButton*>(GetDlgItem(nIDButton));
    return button ? static_cast<UINT>(button->GetCheck()) : 0u;
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    for (CWnd* child : m_children) {
        int id = child->m_nID;
        if (id < nIDFirstButton || id > nIDLastButton) continue;
        if (auto* button = dynamic_cast<CButton*>(child))
            button->SetCheck(id == nIDCheckButton ? BST_CHECKED : BST_UNCHECKED);
    }
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const {
    for (CWnd* child : m_children) {
        int id = child->m_nID;
        if (id < nIDFirstButton || id > nIDLastButton) continue;
        auto* button = dynamic_cast<CButton*>(child);
        if (button && button->IsRadio() && button->GetCheck()) return id;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Focus
// ---------------------------------------------------------------------------
static void NotifyFocus(CWnd* wnd, bool gained) {
    int code;
    switch (wnd->GetWndClass()) {
    case ZRWC_EDIT:
        code = gained ? EN_SETFOCUS : EN_KILLFOCUS;
        break;
    case ZRWC_COMBOBOX:
        code = gained ? CBN_SETFOCUS : CBN_KILLFOCUS;
        break;
    default:
        return;
    }
    if (CWnd* parent = wnd->GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(wnd->GetDlgCtrlID(), code), reinterpret_cast<LPARAM>(wnd));
}

void CWnd::MoveFocus(CWnd* pNew) {
    ZrUiThreadState& s = ZrUiState();
    CWnd* old = s.focus;
    if (old == pNew) return;
    // As under Windows, the focus has already moved when the old control
    // hears of losing it. Only a control that heard it had the focus hears
    // that it lost it: when the old control's kill-focus check fails and
    // pulls the focus back, the control the user was moving to never had
    // it, and must not run the check a second time (MFC shows the same
    // message twice there).
    s.focus = pNew;
    if (old && old == s.told) {
        s.told = nullptr;
        if (old->m_bCreated) NotifyFocus(old, false);
    }
    if (pNew && s.focus == pNew && pNew->m_bCreated) {
        s.told = pNew;
        ZrUiNotify(*pNew, ZRUI_FOCUS);
        NotifyFocus(pNew, true);
    }
}

CWnd* CWnd::SetFocus() {
    CWnd* old = ZrUiState().focus;
    if (m_bCreated) MoveFocus(this);
    return old;
}

CWnd* CWnd::GetFocus() {
    return ZrUiState().focus;
}

// ---------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------
LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return WindowProc(message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!m_bCreated) return FALSE;
    ZrUiState().posted.push_back(ZrPostedMessage{this, message, wParam, lParam});
    return TRUE;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) return OnCommand(wParam, lParam);
    return 0;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM) {
    return OnCmdMsg(LOWORD(wParam), HIWORD(wParam));
}

BOOL CWnd::OnCmdMsg(int nID, int nCode) {
    for (const ZR_MSGMAP* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const ZR_MSGMAP_ENTRY* e = map->lpEntries; e && e->pfn; ++e) {
            if (static_cast<int>(e->nCode) == nCode && (e->nID & 0xFFFF) == nID) {
                (this->*(e->pfn))();
                return TRUE;
            }
        }
    }
    return FALSE;
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    // Left to the control itself, as MFC reflects the message.
    if (!lpDrawItemStruct) return;
    if (auto* button = dynamic_cast<CButton*>(lpDrawItemStruct->hwndItem)) button->DrawItem(lpDrawItemStruct);
}

void CWnd::NotifyParent(int nCode) {
    if (m_pParent && m_bCreated)
        m_pParent->SendMessage(WM_COMMAND, MAKEWPARAM(m_nID, nCode), reinterpret_cast<LPARAM>(this));
}

void CWnd::NotifyChanged() {
    if (m_bCreated) ZrUiNotify(*this, ZRUI_CHANGED);
}

// ---------------------------------------------------------------------------
// Painting
// ---------------------------------------------------------------------------
BOOL CWnd::IsOwnerDrawn() const {
    return GetWndClass() == ZRWC_BUTTON && (m_dwStyle & BS_TYPEMASK) == BS_OWNERDRAW;
}

void CWnd::Invalidate(BOOL) {
    if (!m_bCreated || !IsOwnerDrawn()) return;
    auto& invalid = ZrUiState().invalid;
    if (std::find(invalid.begin(), invalid.end(), this) == invalid.end()) invalid.push_back(this);
}

void CWnd::InvalidateOwnerDrawn() {
    Invalidate();
    for (CWnd* child : m_children)
        child->InvalidateOwnerDrawn();
}

void CWnd::UpdateWindow() {
    auto& invalid = ZrUiState().invalid;
    if (std::find(invalid.begin(), invalid.end(), this) != invalid.end()) PaintNow();
}

CDC* CWnd::GetDC() {
    int width = m_rect.Width(), height = m_rect.Height();
    if (!m_surface) m_surface = std::make_unique<CZrImage>();
    if (m_surface->GetWidth() != std::max(width, 0) || m_surface->GetHeight() != std::max(height, 0))
        m_surface->Create(width, height, kButtonFace);
    if (!m_dc) m_dc = std::make_unique<CDC>();
    m_dc->AttachImage(m_surface.get());
    return m_dc.get();
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC || pDC != m_dc.get()) return 0;
    m_dc->SelectClipRgn(nullptr);
    ZrUiNotify(*this, ZRUI_SURFACE);
    return 1;
}

void CWnd::PaintNow() {
    auto& invalid = ZrUiState().invalid;
    invalid.erase(std::remove(invalid.begin(), invalid.end(), this), invalid.end());
    // A hidden control is painted when it is shown again.
    if (!IsWindowVisible()) return;
    CDC* dc = GetDC();
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_BUTTON;
    dis.CtlID = static_cast<UINT>(m_nID);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.hwndItem = this;
    dis.hDC = dc;
    GetClientRect(&dis.rcItem);
    if (m_pParent)
        m_pParent->OnDrawItem(m_nID, &dis);
    else
        OnDrawItem(m_nID, &dis);
    ReleaseDC(dc);
}
