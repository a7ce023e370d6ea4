#include "platform/ui/ZrControls.h"

#include <cstdlib>

IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CZrNumEdit, CEdit)

// ---------------------------------------------------------------------------
// CStatic
// ---------------------------------------------------------------------------
BOOL CStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID) {
    return CreateWnd(lpszText, dwStyle, rect, pParentWnd, nID);
}

void CStatic::SetImageId(UINT nImageId) {
    if (m_nImageId == nImageId) return;
    m_nImageId = nImageId;
    NotifyChanged();
}

void CStatic::CopyStateFrom(const CWnd& other) {
    CWnd::CopyStateFrom(other);
    if (auto* s = dynamic_cast<const CStatic*>(&other)) m_nImageId = s->m_nImageId;
}

// ---------------------------------------------------------------------------
// CButton
// ---------------------------------------------------------------------------
BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID) {
    return CreateWnd(lpszCaption, dwStyle, rect, pParentWnd, nID);
}

void CButton::SetCheck(int nCheck) {
    if (nCheck < BST_UNCHECKED || nCheck > BST_INDETERMINATE) nCheck = BST_CHECKED;
    if (m_nCheck == nCheck) return;
    m_nCheck = nCheck;
    NotifyChanged();
}

void CButton::SetButtonStyle(UINT nStyle, BOOL bRedraw) {
    ModifyStyle(BS_TYPEMASK, nStyle & BS_TYPEMASK);
    if (bRedraw) Invalidate();
}

BOOL CButton::IsRadio() const {
    UINT style = GetButtonStyle();
    return style == BS_RADIOBUTTON || style == BS_AUTORADIOBUTTON;
}

BOOL CButton::IsCheckBox() const {
    UINT style = GetButtonStyle();
    return style == BS_CHECKBOX || style == BS_AUTOCHECKBOX || style == BS_3STATE || style == BS_AUTO3STATE;
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CButton::CopyStateFrom(const CWnd& other) {
    CWnd::CopyStateFrom(other);
    if (auto* b = dynamic_cast<const CButton*>(&other)) m_nCheck = b->m_nCheck;
}

// ---------------------------------------------------------------------------
// CEdit and CZrNumEdit
// ---------------------------------------------------------------------------
BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID) {
    return CreateWnd("", dwStyle, rect, pParentWnd, nID);
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly) {
    if (bReadOnly)
        ModifyStyle(0, ES_READONLY);
    else
        ModifyStyle(ES_READONLY, 0);
    return TRUE;
}

BOOL CEdit::IsAcceptable(LPCTSTR lpszCandidate) const {
    if (GetStyle() & ES_READONLY) return FALSE;
    CString candidate(lpszCandidate);
    return m_nLimitText == 0 || static_cast<UINT>(candidate.GetLength()) <= m_nLimitText;
}

void CEdit::CopyStateFrom(const CWnd& other) {
    CWnd::CopyStateFrom(other);
    if (auto* e = dynamic_cast<const CEdit*>(&other)) m_nLimitText = e->m_nLimitText;
}

void CZrNumEdit::SetLimit(double dMax, double dMin) {
    m_dMax = dMax;
    m_dMin = dMin;
    m_bLimited = true;
}

BOOL CZrNumEdit::GetLimit(double& dMax, double& dMin) const {
    dMax = m_dMax;
    dMin = m_dMin;
    return m_bLimited;
}

BOOL CZrNumEdit::IsAcceptable(LPCTSTR lpszCandidate) const {
    if (!CEdit::IsAcceptable(lpszCandidate)) return FALSE;
    if (m_nNumberType != NUMBER_INTEGER && m_nNumberType != NUMBER_REAL) return TRUE;
    const char* p = lpszCandidate ? lpszCandidate : "";
    if (*p == '\0') return TRUE;

    bool negative = false;
    if (*p == '-') {
        if (m_bLimited && m_dMin >= 0.0) return FALSE;
        negative = true;
        ++p;
    }
    bool digits = false, point = false;
    for (const char* q = p; *q; ++q) {
        if (*q >= '0' && *q <= '9') {
            digits = true;
        } else if (*q == '.' && m_nNumberType == NUMBER_REAL && !point) {
            point = true;
        } else {
            return FALSE;
        }
    }
    if (!digits || !m_bLimited) return TRUE;

    // Appending digits moves a positive entry up and a negative one down, so
    // only those bounds can refuse a keystroke.
    double value = std::strtod(lpszCandidate, nullptr);
    if (!negative && value > m_dMax) return FALSE;
    if (negative && value < m_dMin) return FALSE;
    return TRUE;
}

void CZrNumEdit::CopyStateFrom(const CWnd& other) {
    CEdit::CopyStateFrom(other);
    if (auto* n = dynamic_cast<const CZrNumEdit*>(&other)) {
        m_nNumberType = n->m_nNumberType;
        m_bLimited = n->m_bLimited;
        m_dMax = n->m_dMax;
        m_dMin = n->m_dMin;
    }
}
