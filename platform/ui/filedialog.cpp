#include "platform/ui/ZrFileDialog.h"

#include "platform/ui/ZrUiBackend.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd*)
    : m_bOpen(bOpenFileDialog), m_strDefExt(lpszDefExt ? lpszDefExt : ""),
      m_strInitialName(lpszFileName ? lpszFileName : ""), m_dwFlags(dwFlags),
      m_strFilter(lpszFilter ? lpszFilter : "") {
    // "name|pattern|name|pattern||": pairs up to the empty field.
    CString rest = m_strFilter;
    for (;;) {
        int bar = rest.Find('|');
        if (bar <= 0) break;
        CString name = rest.Left(bar);
        rest = rest.Mid(bar + 1);
        bar = rest.Find('|');
        CString pattern = bar < 0 ? rest : rest.Left(bar);
        m_filters.push_back(Filter{name, pattern});
        if (bar < 0) break;
        rest = rest.Mid(bar + 1);
    }
}

INT_PTR CFileDialog::DoModal() {
    m_strPath.Empty();
    m_nFilterIndex = 0;
    int result = ZrGetUiBackend()->RunFileDialog(*this);
    if (result != IDOK || m_strPath.IsEmpty()) {
        m_strPath.Empty();
        return IDCANCEL;
    }
    return IDOK;
}

static int NameStart(const CString& path) {
    int slash = path.ReverseFind('/');
    int backslash = path.ReverseFind('\\');
    return (slash > backslash ? slash : backslash) + 1;
}

CString CFileDialog::GetFileName() const {
    return m_strPath.Mid(NameStart(m_strPath));
}

CString CFileDialog::GetFileExt() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const {
    CString name = GetFileName();
    int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFilterName(int nIndex) const {
    return (nIndex >= 0 && nIndex < GetFilterCount()) ? m_filters[static_cast<size_t>(nIndex)].name
                                                      : CString();
}

CString CFileDialog::GetFilterPattern(int nIndex) const {
    return (nIndex >= 0 && nIndex < GetFilterCount()) ? m_filters[static_cast<size_t>(nIndex)].pattern
                                                      : CString();
}

void CFileDialog::SetResult(LPCTSTR lpszPath, int nFilterIndex) {
    m_strPath = lpszPath ? lpszPath : "";
    m_nFilterIndex = nFilterIndex;
    CString name = GetFileName();
    if (!name.IsEmpty() && name.Find('.') < 0 && !m_strDefExt.IsEmpty()) {
        CString ext = m_strDefExt;
        ext.TrimLeft('.');
        m_strPath += "." + ext;
    }
}

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT) {
    return ZrGetUiBackend()->ShowMessageBox(lpszText ? lpszText : "", "", nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
    CString text;
    text.LoadString(nIDPrompt);
    return AfxMessageBox(text, nType, nIDHelp);
}
