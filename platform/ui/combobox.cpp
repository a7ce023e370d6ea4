#include "platform/ui/ZrControls.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

namespace {

// Prefix test without regard to ASCII case.
bool StartsWithNoCase(const char* text, const char* prefix) {
    for (; *prefix; ++text, ++prefix) {
        unsigned char a = static_cast<unsigned char>(*text), b = static_cast<unsigned char>(*prefix);
        if (a >= 'A' && a <= 'Z') a = static_cast<unsigned char>(a + ('a' - 'A'));
        if (b >= 'A' && b <= 'Z') b = static_cast<unsigned char>(b + ('a' - 'A'));
        if (a != b) return false;
    }
    return true;
}

} // namespace

BOOL CComboBox::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID) {
    return CreateWnd("", dwStyle, rect, pParentWnd, nID);
}

void CComboBox::ItemsChanged() {
    ++m_nItemsVersion;
    SyncText();
    NotifyChanged();
}

void CComboBox::SyncText() {
    CString text =
        (m_nCurSel >= 0 && m_nCurSel < GetCount()) ? m_items[static_cast<size_t>(m_nCurSel)].text : CString();
    if (text != GetText()) {
        // The list's own text follows its selection; no EN_CHANGE for lists.
        CWnd::SetWindowText(text);
    }
}

int CComboBox::AddString(LPCTSTR lpszString) {
    CString text(lpszString ? lpszString : "");
    size_t pos = m_items.size();
    if (IsSorted()) {
        pos = 0;
        while (pos < m_items.size() && ZrStrICmp(m_items[pos].text, text) <= 0)
            ++pos;
    }
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(pos), Item{text, 0});
    if (m_nCurSel >= static_cast<int>(pos)) ++m_nCurSel;
    ItemsChanged();
    return static_cast<int>(pos);
}

int CComboBox::InsertString(int nIndex, LPCTSTR lpszString) {
    if (nIndex < -1 || nIndex > GetCount()) return CB_ERR;
    size_t pos = nIndex == -1 ? m_items.size() : static_cast<size_t>(nIndex);
    m_items.insert(m_items.begin() + static_cast<std::ptrdiff_t>(pos), Item{CString(lpszString), 0});
    if (m_nCurSel >= static_cast<int>(pos)) ++m_nCurSel;
    ItemsChanged();
    return static_cast<int>(pos);
}

int CComboBox::DeleteString(UINT nIndex) {
    if (nIndex >= m_items.size()) return CB_ERR;
    m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(nIndex));
    int index = static_cast<int>(nIndex);
    if (m_nCurSel == index)
        m_nCurSel = CB_ERR;
    else if (m_nCurSel > index)
        --m_nCurSel;
    ItemsChanged();
    return GetCount();
}

void CComboBox::ResetContent() {
    m_items.clear();
    m_nCurSel = CB_ERR;
    ItemsChanged();
}

int CComboBox::SetCurSel(int nSelect) {
    int sel = (nSelect >= 0 && nSelect < GetCount()) ? nSelect : CB_ERR;
    if (sel != m_nCurSel) {
        m_nCurSel = sel;
        SyncText();
        NotifyChanged();
    }
    return sel;
}

DWORD_PTR CComboBox::GetItemData(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return static_cast<DWORD_PTR>(CB_ERR);
    return m_items[static_cast<size_t>(nIndex)].data;
}

int CComboBox::SetItemData(int nIndex, DWORD_PTR dwItemData) {
    if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
    m_items[static_cast<size_t>(nIndex)].data = dwItemData;
    return 0;
}

int CComboBox::GetLBText(int nIndex, CString& rString) const {
    if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
    rString = m_items[static_cast<size_t>(nIndex)].text;
    return rString.GetLength();
}

int CComboBox::GetLBTextLen(int nIndex) const {
    if (nIndex < 0 || nIndex >= GetCount()) return CB_ERR;
    return m_items[static_cast<size_t>(nIndex)].text.GetLength();
}

int CComboBox::Find(int nStartAfter, LPCTSTR lpszString, bool bExact) const {
    int count = GetCount();
    if (count == 0) return CB_ERR;
    const char* wanted = lpszString ? lpszString : "";
    if (nStartAfter < -1 || nStartAfter >= count) nStartAfter = -1;
    for (int k = 1; k <= count; ++k) {
        int i = (nStartAfter + k) % count;
        const CString& text = m_items[static_cast<size_t>(i)].text;
        if (bExact ? ZrStrICmp(text, wanted) == 0 : StartsWithNoCase(text, wanted)) return i;
    }
    return CB_ERR;
}

int CComboBox::FindString(int nStartAfter, LPCTSTR lpszString) const {
    return Find(nStartAfter, lpszString, false);
}

int CComboBox::FindStringExact(int nIndexStart, LPCTSTR lpszFind) const {
    return Find(nIndexStart, lpszFind, true);
}

int CComboBox::SelectString(int nStartAfter, LPCTSTR lpszString) {
    int index = FindString(nStartAfter, lpszString);
    if (index == CB_ERR) return CB_ERR;
    return SetCurSel(index);
}

void CComboBox::CopyStateFrom(const CWnd& other) {
    CWnd::CopyStateFrom(other);
    if (auto* c = dynamic_cast<const CComboBox*>(&other)) {
        m_items = c->m_items;
        m_nCurSel = c->m_nCurSel;
        ++m_nItemsVersion;
    }
}
