#pragma once

// Dialogs made from templates, property pages and the property sheet in
// wizard mode, with the navigation of the Windows property sheet:
//
// - Back and Next first ask the active page (OnWizardBack, OnWizardNext): -1
//   stays, 0 moves to the page before or after the active one as it is after
//   the handler ran, any other value is the template id of the page to show.
//   A target outside the page list stays.
// - Leaving a page asks it OnKillActive (data exchange with validation); FALSE
//   stays. The page shown is created on first use (OnInitDialog) and then
//   asked OnSetActive; FALSE skips on in the same direction.
// - Finish asks OnWizardFinish only (no OnKillActive, as under Windows) and
//   ends the sheet with ID_WIZFINISH when it returns nonzero.
// - Cancel asks OnQueryCancel, then OnReset of every created page, and ends
//   the sheet with IDCANCEL.
// - A removed page loses its window; when it is added again it is created
//   afresh, so its OnInitDialog runs again.

#include "platform/ZrString.h"
#include "platform/ui/ZrWnd.h"

class CDataExchange;

class ZRPRJ_API CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)

public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    int GetWndClass() const override { return ZRWC_DIALOG; }

    UINT GetTemplateId() const { return m_nIDTemplate; }
    // Creates the window and its controls from the registered template (a
    // template that is not registered gives an empty dialog), then runs
    // OnInitDialog.
    BOOL CreateIndirect(CWnd* pParentWnd);
    void MapDialogRect(LPRECT lpRect) const;

    // MFC's defaults: OnInitDialog moves the data to the controls and returns
    // TRUE; UpdateData runs DoDataExchange and returns FALSE when it failed
    // (or when there is no window).
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX);
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

protected:
    UINT m_nIDTemplate = 0;
    CWnd* m_pParentWnd = nullptr;
};

class ZRPRJ_API CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)

public:
    CPropertyPage() = default;
    // nIDCaption: a string resource replacing the template's caption.
    explicit CPropertyPage(UINT nIDTemplate, UINT nIDCaption = 0);

    CString GetCaption() const;

    // MFC's defaults: OnSetActive moves the data to the controls on every
    // activation but the first and returns TRUE; OnKillActive returns the
    // result of UpdateData(TRUE); the wizard handlers return 0 (Back, Next)
    // and TRUE (Finish); OnQueryCancel returns TRUE; OnReset calls OnCancel.
    virtual BOOL OnSetActive();
    virtual BOOL OnKillActive();
    virtual LRESULT OnWizardBack();
    virtual LRESULT OnWizardNext();
    virtual BOOL OnWizardFinish();
    virtual BOOL OnQueryCancel();
    virtual void OnReset();
    virtual void OnCancel();
    virtual void OnOK();

private:
    friend class CPropertySheet;
    UINT m_nIDCaption = 0;
    BOOL m_bFirstSetActive = TRUE;
};

struct ZRPROPSHEETHEADER {
    DWORD dwFlags;
    UINT nStartPage;
};

class ZRPRJ_API CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)

public:
    CPropertySheet();
    explicit CPropertySheet(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CPropertySheet() override;
    int GetWndClass() const override { return ZRWC_SHEET; }

    ZRPROPSHEETHEADER m_psh = {0, 0};

    void AddPage(CPropertyPage* pPage);
    void RemovePage(CPropertyPage* pPage);
    void RemovePage(int nPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const;
    // While the sheet runs: leaves the active page (OnKillActive may refuse)
    // and shows the other one. Before DoModal: chooses the start page.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage);

    void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
    BOOL IsWizardMode() const { return (m_psh.dwFlags & PSH_WIZARD) != 0; }
    void SetTitle(LPCTSTR lpszText, UINT nStyle = 0);
    CString GetTitle() const { return m_strCaption; }

    // Posts PSM_SETWIZBUTTONS: PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH,
    // PSWIZB_DISABLEDFINISH. Finish replaces Next while either finish flag is
    // set.
    void SetWizardButtons(DWORD dwFlags);
    DWORD GetWizardButtons() const { return m_dwWizButtons; }
    BOOL IsButtonShown(int nButton) const;
    BOOL IsButtonEnabled(int nButton) const;
    // The button Enter presses, as in a Windows wizard: Finish while it is
    // shown (the last page), else Next.
    int GetDefaultButton() const;
    // Presses PSBTN_BACK, PSBTN_NEXT, PSBTN_FINISH or PSBTN_CANCEL whatever
    // the buttons show (PSM_PRESSBUTTON).
    BOOL PressButton(int nButton);

    // Runs the sheet through the back end; ID_WIZFINISH (IDOK outside wizard
    // mode) or IDCANCEL, -1 when there is no page or it already runs.
    virtual INT_PTR DoModal();
    void EndDialog(int nEndID);
    BOOL IsRunning() const { return m_bRunning; }
    BOOL HasEnded() const { return m_bEnded; }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CommonConstruct(CWnd* pParentWnd, UINT iSelectPage);
    BOOL ActivatePage(int nIndex, int nSkip, bool bAskActive);
    BOOL EnsurePageWindow(CPropertyPage* pPage);
    void DoBack();
    void DoNext();
    void DoFinish();
    void DoCancel();
    int FindPageByTemplate(LRESULT nID) const;

    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;
    std::vector<CPropertyPage*> m_pages;
    CPropertyPage* m_pActive = nullptr;
    DWORD m_dwWizButtons = PSWIZB_BACK | PSWIZB_NEXT;
    bool m_bRunning = false;
    bool m_bEnded = false;
    int m_nResult = 0;
};
