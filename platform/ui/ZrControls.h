#pragma once

// The controls the pages use: static texts and pictures, buttons (push, check
// box, radio, owner-drawn), edits, the control library's numeric edit and
// combo boxes with item data.

#include "platform/ui/ZrWnd.h"

class ZRPRJ_API CStatic : public CWnd {
    DECLARE_DYNAMIC(CStatic)

public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID = IDC_STATIC);
    int GetWndClass() const override { return ZRWC_STATIC; }

    // The bitmap resource an SS_BITMAP picture shows (0: none).
    UINT GetImageId() const { return m_nImageId; }
    void SetImageId(UINT nImageId);

protected:
    void CopyStateFrom(const CWnd& other) override;

private:
    UINT m_nImageId = 0;
};

class ZRPRJ_API CButton : public CWnd {
    DECLARE_DYNAMIC(CButton)

public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID);
    int GetWndClass() const override { return ZRWC_BUTTON; }

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE. Setting the check of a
    // radio button leaves the other buttons of its group as they are, as
    // BM_SETCHECK does; only a click moves the group's check.
    int GetCheck() const { return m_nCheck; }
    void SetCheck(int nCheck);
    UINT GetButtonStyle() const { return GetStyle() & BS_TYPEMASK; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);

    BOOL IsRadio() const;
    BOOL IsCheckBox() const;
    BOOL IsGroupBox() const { return GetButtonStyle() == BS_GROUPBOX; }

    // Owner drawing, reached when the parent leaves WM_DRAWITEM to the base.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

protected:
    void CopyStateFrom(const CWnd& other) override;

private:
    int m_nCheck = BST_UNCHECKED;
};

class ZRPRJ_API CEdit : public CWnd {
    DECLARE_DYNAMIC(CEdit)

public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID);
    int GetWndClass() const override { return ZRWC_EDIT; }

    // Most characters a user may type (0: no limit).
    void SetLimitText(UINT nMax) { m_nLimitText = nMax; }
    void LimitText(int nChars = 0) { m_nLimitText = nChars > 0 ? static_cast<UINT>(nChars) : 0; }
    UINT GetLimitText() const { return m_nLimitText; }
    BOOL SetReadOnly(BOOL bReadOnly = TRUE);

    // Whether a user's edit may turn the content into this text. Programmatic
    // changes (SetWindowText, data exchange) are never filtered.
    virtual BOOL IsAcceptable(LPCTSTR lpszCandidate) const;

protected:
    void CopyStateFrom(const CWnd& other) override;

private:
    UINT m_nLimitText = 0;
};

// The numeric edit of the control library. Number type 0 takes any text, 1 an
// integer, 2 a real number. With limits set, a keystroke is refused when it
// takes the value beyond them in the direction further typing cannot undo:
// above the maximum for a positive entry, below the minimum for a negative
// one, and a minus sign when the minimum is not negative. A value below a
// positive minimum can still grow by typing, so it is left to range
// validation.
class ZRPRJ_API CZrNumEdit : public CEdit {
    DECLARE_DYNAMIC(CZrNumEdit)

public:
    enum { NUMBER_TEXT = 0, NUMBER_INTEGER = 1, NUMBER_REAL = 2 };

    void SetNumberType(int nType) { m_nNumberType = nType; }
    int GetNumberType() const { return m_nNumberType; }
    void SetLimit(double dMax, double dMin);
    BOOL GetLimit(double& dMax, double& dMin) const;
    void ClearLimit() { m_bLimited = false; }

    BOOL IsAcceptable(LPCTSTR lpszCandidate) const override;

protected:
    void CopyStateFrom(const CWnd& other) override;

private:
    int m_nNumberType = NUMBER_TEXT;
    bool m_bLimited = false;
    double m_dMax = 0.0;
    double m_dMin = 0.0;
};

class ZRPRJ_API CComboBox : public CWnd {
    DECLARE_DYNAMIC(CComboBox)

public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, int nID);
    int GetWndClass() const override { return ZRWC_COMBOBOX; }

    // Adds at the end, or in order when the list sorts (CBS_SORT: ASCII letters
    // without regard to case, then byte value; an entry equal to others goes
    // after them). Returns the new index.
    int AddString(LPCTSTR lpszString);
    // Inserts at nIndex (-1: at the end) without sorting; CB_ERR when nIndex
    // is beyond the end.
    int InsertString(int nIndex, LPCTSTR lpszString);
    // Returns the number of entries left, or CB_ERR.
    int DeleteString(UINT nIndex);
    void ResetContent();
    int GetCount() const { return static_cast<int>(m_items.size()); }

    int GetCurSel() const { return m_nCurSel; }
    // -1 or an index beyond the end clears the selection and returns CB_ERR.
    int SetCurSel(int nSelect);

    DWORD_PTR GetItemData(int nIndex) const;
    int SetItemData(int nIndex, DWORD_PTR dwItemData);
    int GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const;

    // Searches after nStartAfter (-1: from the top), wrapping round, without
    // regard to ASCII case: FindString for an entry that starts with the text,
    // FindStringExact for an equal one. CB_ERR when none matches.
    int FindString(int nStartAfter, LPCTSTR lpszString) const;
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const;
    int SelectString(int nStartAfter, LPCTSTR lpszString);

    BOOL IsSorted() const { return (GetStyle() & CBS_SORT) != 0; }
    // Counts changes of the entries, so a back end rebuilds its list only when
    // the entries changed.
    unsigned GetItemsVersion() const { return m_nItemsVersion; }

protected:
    void CopyStateFrom(const CWnd& other) override;

private:
    struct Item {
        CString text;
        DWORD_PTR data;
    };
    int Find(int nStartAfter, LPCTSTR lpszString, bool bExact) const;
    void SyncText();
    void ItemsChanged();

    std::vector<Item> m_items;
    int m_nCurSel = CB_ERR;
    unsigned m_nItemsVersion = 0;
};
