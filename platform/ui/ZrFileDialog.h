#pragma once

// The common file dialog and the message box, answered by the back end.

#include "platform/ZrString.h"
#include "platform/ui/ZrUiTypes.h"

#include <vector>

class CWnd;

class ZRPRJ_API CFileDialog {
public:
    // lpszFilter: pairs of description and pattern, each ended by '|', the
    // whole ended by a second '|' ("XML (*.xml)|*.xml||").
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with a chosen path, or IDCANCEL.
    virtual INT_PTR DoModal();

    CString GetPathName() const { return m_strPath; }
    // The name after the last folder separator.
    CString GetFileName() const;
    // The text after the last dot of the name, without the dot ("" when none).
    CString GetFileExt() const;
    // The name without its extension.
    CString GetFileTitle() const;

    // What the back end shows.
    BOOL IsOpenDialog() const { return m_bOpen; }
    const CString& GetDefExt() const { return m_strDefExt; }
    const CString& GetInitialFileName() const { return m_strInitialName; }
    DWORD GetFlags() const { return m_dwFlags; }
    const CString& GetFilterText() const { return m_strFilter; }
    int GetFilterCount() const { return static_cast<int>(m_filters.size()); }
    CString GetFilterName(int nIndex) const;
    CString GetFilterPattern(int nIndex) const;
    // 1-based index of the chosen filter (0: none chosen).
    int GetFilterIndex() const { return m_nFilterIndex; }

    // The back end's answer. A name without an extension gets the default
    // extension, as the Windows dialog gives it.
    void SetResult(LPCTSTR lpszPath, int nFilterIndex = 0);

private:
    struct Filter {
        CString name;
        CString pattern;
    };
    BOOL m_bOpen;
    CString m_strDefExt;
    CString m_strInitialName;
    DWORD m_dwFlags;
    CString m_strFilter;
    std::vector<Filter> m_filters;
    CString m_strPath;
    int m_nFilterIndex = 0;
};

// Shows a message box through the back end and returns the button pressed.
ZRPRJ_API int AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is the string resource nIDPrompt.
ZRPRJ_API int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
