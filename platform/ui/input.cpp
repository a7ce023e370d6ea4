#include "platform/ui/ZrUiBackend.h"

#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrHeadlessBackend.h"
#include "platform/ui/ZrPropertySheet.h"
#include "platform/ui/uistate_p.h"
#include "platform/ZrCodePage.h"

#include <algorithm>
#include <cstring>

// A handler that keeps posting to itself would otherwise hang the flush; a
// Windows message loop would spin the same way, but a test must end.
static const int kMaxMessagesPerFlush = 100000;

// ---------------------------------------------------------------------------
// Back-end registry
// ---------------------------------------------------------------------------
static CZrUiBackend* g_backend = nullptr;

CZrUiBackend::~CZrUiBackend() {
    if (g_backend == this) g_backend = nullptr;
}

void CZrUiBackend::OnUiEvent(CWnd&, int) {}

void CZrUiBackend::SetClipboardText(const CString& text) {
    m_clipboard = text;
}

CString CZrUiBackend::GetClipboardText() {
    return m_clipboard;
}

void ZrSetClipboardText(const CString& text) {
    ZrGetUiBackend()->SetClipboardText(text);
}

CString ZrGetClipboardText() {
    return ZrGetUiBackend()->GetClipboardText();
}

CZrUiBackend* ZrGetUiBackend() {
    return g_backend ? g_backend : &CZrHeadlessBackend::Default();
}

CZrUiBackend* ZrSetUiBackend(CZrUiBackend* pBackend) {
    CZrUiBackend* previous = ZrGetUiBackend();
    g_backend = pBackend;
    return previous;
}

void ZrUiNotify(CWnd& wnd, int nEvent) {
    ZrGetUiBackend()->OnUiEvent(wnd, nEvent);
}

// ---------------------------------------------------------------------------
// The user's actions
// ---------------------------------------------------------------------------
BOOL CZrUiInput::CanInteract(const CWnd& wnd) {
    for (const CWnd* p = &wnd; p; p = p->GetParent()) {
        if (!p->IsWindow() || !(p->GetStyle() & WS_VISIBLE) || (p->GetStyle() & WS_DISABLED)) return FALSE;
    }
    return TRUE;
}

BOOL CZrUiInput::Focus(CWnd& wnd) {
    if (!CanInteract(wnd)) return FALSE;
    CWnd::MoveFocus(&wnd);
    Flush();
    // A kill-focus handler that failed validation pulls the focus back.
    return CWnd::GetFocus() == &wnd;
}

// The children of a dialog that form the group around the child at index:
// from the nearest control at or before it with WS_GROUP up to the next
// control with WS_GROUP. [first, end) as child indices.
static void GroupAround(const CWnd& parent, int index, int& first, int& end) {
    first = index;
    while (first > 0 && !(parent.GetChild(first)->GetStyle() & WS_GROUP))
        --first;
    end = first + 1;
    while (end < parent.GetChildCount() && !(parent.GetChild(end)->GetStyle() & WS_GROUP))
        ++end;
}

static CButton* RadioAt(const CWnd& parent, int index) {
    auto* radio = dynamic_cast<CButton*>(parent.GetChild(index));
    return radio && radio->IsRadio() ? radio : nullptr;
}

static void UncheckGroupSiblings(CButton& button) {
    CWnd* parent = button.GetParent();
    if (!parent) return;
    int first, end;
    GroupAround(*parent, parent->GetChildIndex(&button), first, end);
    for (int i = first; i < end; ++i) {
        CButton* radio = RadioAt(*parent, i);
        if (radio && radio != &button) radio->SetCheck(BST_UNCHECKED);
    }
}

BOOL CZrUiInput::Click(CWnd& wnd) {
    auto* button = dynamic_cast<CButton*>(&wnd);
    if (!button || button->IsGroupBox() || !CanInteract(wnd)) return FALSE;
    if (!Focus(wnd)) return FALSE;
    switch (button->GetButtonStyle()) {
    case BS_AUTOCHECKBOX:
        button->SetCheck(button->GetCheck() == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED);
        break;
    case BS_AUTO3STATE:
        button->SetCheck((button->GetCheck() + 1) % 3);
        break;
    case BS_AUTORADIOBUTTON:
        UncheckGroupSiblings(*button);
        button->SetCheck(BST_CHECKED);
        break;
    default:
        break;
    }
    button->NotifyParent(BN_CLICKED);
    Flush();
    return TRUE;
}

BOOL CZrUiInput::Select(CComboBox& combo, int nIndex) {
    if (nIndex < 0 || nIndex >= combo.GetCount() || !CanInteract(combo)) return FALSE;
    if (!Focus(combo)) return FALSE;
    combo.SetCurSel(nIndex);
    combo.NotifyParent(CBN_SELCHANGE);
    Flush();
    return TRUE;
}

BOOL CZrUiInput::Type(CEdit& edit, LPCTSTR lpszText) {
    if (!CanInteract(edit) || !Focus(edit)) return FALSE;
    if (edit.GetStyle() & ES_READONLY) return FALSE;
    BOOL allAccepted = TRUE;
    // The first keystroke replaces the selected content.
    CString content;
    if (edit.IsAcceptable(""))
        edit.SetWindowText("");
    else
        content = edit.GetText();
    const char* p = lpszText ? lpszText : "";
    const char* const end = p + std::strlen(p);
    while (*p) {
        // One keystroke per character; a byte that begins none is one of its own.
        int n = std::max(1, CZrCodePage::Utf8CharLength(p, size_t(end - p)));
        CString candidate = content + CString(p, n);
        if (edit.IsAcceptable(candidate)) {
            content = candidate;
            edit.SetWindowText(content);
        } else {
            allAccepted = FALSE;
        }
        for (int k = 0; k < n && *p; ++k)
            ++p;
    }
    Flush();
    return allAccepted;
}

BOOL CZrUiInput::Edit(CEdit& edit, LPCTSTR lpszCandidate) {
    if (!CanInteract(edit)) return FALSE;
    if (CWnd::GetFocus() != &edit && !Focus(edit)) return FALSE;
    if (!edit.IsAcceptable(lpszCandidate)) return FALSE;
    edit.SetWindowText(lpszCandidate);
    Flush();
    return TRUE;
}

BOOL CZrUiInput::PressWizardButton(CPropertySheet& sheet, int nButton) {
    if (!sheet.IsRunning() || sheet.HasEnded()) return FALSE;
    if (nButton != PSBTN_CANCEL && !(sheet.IsButtonShown(nButton) && sheet.IsButtonEnabled(nButton)))
        return FALSE;
    // The button takes the focus; a field that fails its check on losing it
    // takes the focus back and the press is lost, as under Windows. Cancel
    // leaves the focus where it is: Windows sends IDCANCEL for Escape and the
    // close box without moving it, so a field the user cannot make valid never
    // traps them in the sheet.
    if (nButton != PSBTN_CANCEL) {
        CWnd::MoveFocus(&sheet);
        Flush();
        if (CWnd::GetFocus() != &sheet) return FALSE;
    }
    sheet.PressButton(nButton);
    Flush();
    return TRUE;
}

BOOL CZrUiInput::PressEnter(CPropertySheet& sheet) {
    if (!sheet.IsRunning() || sheet.HasEnded()) return FALSE;
    auto* button = dynamic_cast<CButton*>(CWnd::GetFocus());
    CPropertyPage* page = sheet.GetActivePage();
    if (button && page && button->GetParent() == page &&
        (button->GetButtonStyle() == BS_PUSHBUTTON || button->GetButtonStyle() == BS_DEFPUSHBUTTON))
        return Click(*button);
    return PressWizardButton(sheet, sheet.GetDefaultButton());
}

BOOL CZrUiInput::IsTabStop(const CWnd& wnd) {
    const auto* button = dynamic_cast<const CButton*>(&wnd);
    CWnd* parent = wnd.GetParent();
    if (!button || !button->IsRadio() || !parent) return (wnd.GetStyle() & WS_TABSTOP) != 0;
    int first, end;
    GroupAround(*parent, parent->GetChildIndex(&wnd), first, end);
    const CButton* stop = nullptr;
    for (int i = first; i < end; ++i) {
        const CButton* radio = RadioAt(*parent, i);
        if (!radio || !radio->IsWindowEnabled()) continue;
        if (radio->GetCheck() == BST_CHECKED) {
            stop = radio;
            break;
        }
        if (!stop) stop = radio;
    }
    return stop == button;
}

BOOL CZrUiInput::MoveInGroup(CButton& radio, int nStep) {
    CWnd* parent = radio.GetParent();
    if (!parent || !radio.IsRadio() || nStep == 0) return FALSE;
    int first, end;
    const int index = parent->GetChildIndex(&radio);
    GroupAround(*parent, index, first, end);
    const int size = end - first;
    const int step = nStep > 0 ? 1 : -1;
    for (int k = 1; k < size; ++k) {
        const int i = first + ((index - first + step * k) % size + size) % size;
        CButton* next = RadioAt(*parent, i);
        if (next && CanInteract(*next)) return Click(*next);
    }
    return FALSE;
}

BOOL CZrUiInput::TypeInList(CComboBox& combo, LPCTSTR lpszTyped) {
    if (!lpszTyped || !*lpszTyped || !CanInteract(combo)) return FALSE;
    const CString typed(lpszTyped);
    const int current = combo.GetCurSel();
    int start = -1;
    if (typed.GetLength() == 1 && current >= 0 && combo.FindString(current - 1, typed) == current)
        start = current;
    const int found = combo.FindString(start, typed);
    if (found == CB_ERR) return FALSE;
    if (found == current) return Focus(combo);
    return Select(combo, found);
}

void CZrUiInput::Flush() {
    ZrUiThreadState& s = ZrUiState();
    for (int budget = kMaxMessagesPerFlush; budget > 0; --budget) {
        if (!s.posted.empty()) {
            ZrPostedMessage m = s.posted.front();
            s.posted.pop_front();
            m.target->SendMessage(m.message, m.wParam, m.lParam);
        } else if (!s.invalid.empty()) {
            s.invalid.front()->PaintNow();
        } else {
            return;
        }
    }
}
