#include "platform/ui/ZrPropertySheet.h"

#include "platform/ui/ZrDataExchange.h"
#include "platform/ui/ZrDialogTemplate.h"
#include "platform/ui/ZrUiBackend.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

// ---------------------------------------------------------------------------
// CDialog
// ---------------------------------------------------------------------------
CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

BOOL CDialog::CreateIndirect(CWnd* pParentWnd) {
    if (IsWindow()) return TRUE;
    const CZrDialogTemplate* tmpl = ZrFindDialogTemplate(m_nIDTemplate);
    RECT rect = {0, 0, tmpl ? tmpl->cx : 0, tmpl ? tmpl->cy : 0};
    ZrMapDialogRect(&rect);
    CString caption = tmpl && tmpl->caption ? tmpl->caption : "";
    if (auto* page = dynamic_cast<CPropertyPage*>(this)) caption = page->GetCaption();
    // Created hidden: the sheet shows its active page.
    CreateWnd(caption, WS_CHILD, rect, pParentWnd ? pParentWnd : m_pParentWnd, 0, FALSE);
    if (tmpl) ZrCreateTemplateControls(*this, *tmpl);
    OnInitDialog();
    if (IsWindow()) ZrUiNotify(*this, ZRUI_CREATED);
    return IsWindow();
}

void CDialog::MapDialogRect(LPRECT lpRect) const {
    ZrMapDialogRect(lpRect);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (!IsWindow()) return FALSE;
    CDataExchange dx(this, bSaveAndValidate);
    DoDataExchange(&dx);
    return !dx.HasFailed();
}

// ---------------------------------------------------------------------------
// CPropertyPage
// ---------------------------------------------------------------------------
CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption)
    : CDialog(nIDTemplate), m_nIDCaption(nIDCaption) {}

CString CPropertyPage::GetCaption() const {
    CString caption;
    if (m_nIDCaption && caption.LoadString(m_nIDCaption)) return caption;
    const CZrDialogTemplate* tmpl = ZrFindDialogTemplate(m_nIDTemplate);
    return tmpl && tmpl->caption ? CString(tmpl->caption) : CString();
}

BOOL CPropertyPage::OnSetActive() {
    // The first activation follows OnInitDialog, which already moved the data.
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

LRESULT CPropertyPage::OnWizardBack() {
    return 0;
}

LRESULT CPropertyPage::OnWizardNext() {
    return 0;
}

BOOL CPropertyPage::OnWizardFinish() {
    return TRUE;
}

BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

void CPropertyPage::OnReset() {
    OnCancel();
}

void CPropertyPage::OnCancel() {}

void CPropertyPage::OnOK() {}

// ---------------------------------------------------------------------------
// CPropertySheet: pages
// ---------------------------------------------------------------------------
CPropertySheet::CPropertySheet() {
    CommonConstruct(nullptr, 0);
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) {
    m_strCaption.LoadString(nIDCaption);
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_strCaption(pszCaption ? pszCaption : "") {
    CommonConstruct(pParentWnd, iSelectPage);
}

CPropertySheet::~CPropertySheet() {
    // The pages are usually members of a derived sheet and already gone; they
    // took themselves out of the children as they went.
    m_pages.clear();
    m_pActive = nullptr;
}

void CPropertySheet::CommonConstruct(CWnd* pParentWnd, UINT iSelectPage) {
    m_pParentWnd = pParentWnd;
    m_psh.nStartPage = iSelectPage;
}

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (!pPage || GetPageIndex(pPage) >= 0) return;
    m_pages.push_back(pPage);
    if (m_bRunning) ZrUiNotify(*this, ZRUI_SHEET_PAGES);
}

void CPropertySheet::RemovePage(CPropertyPage* pPage) {
    RemovePage(GetPageIndex(pPage));
}

void CPropertySheet::RemovePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return;
    CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
    m_pages.erase(m_pages.begin() + nPage);
    bool wasActive = page == m_pActive;
    if (wasActive) m_pActive = nullptr;
    // A removed page loses its window; it is made afresh when shown again.
    if (page->IsWindow()) page->DestroyWindow();
    if (!m_bRunning) return;
    if (wasActive && !m_pages.empty()) ActivatePage(std::min(nPage, GetPageCount() - 1), 0, false);
    ZrUiNotify(*this, ZRUI_SHEET_PAGES);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return (nPage >= 0 && nPage < GetPageCount()) ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const {
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (m_pages[i] == pPage) return static_cast<int>(i);
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return m_bRunning ? m_pActive : GetPage(static_cast<int>(m_psh.nStartPage));
}

int CPropertySheet::GetActiveIndex() const {
    return GetPageIndex(GetActivePage());
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (nPage < 0 || nPage >= GetPageCount()) return FALSE;
    if (!m_bRunning) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    return ActivatePage(nPage, 0, true);
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* pPage) {
    return SetActivePage(GetPageIndex(pPage));
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT) {
    m_strCaption = lpszText ? lpszText : "";
    if (IsWindow()) SetWindowText(m_strCaption);
}

BOOL CPropertySheet::EnsurePageWindow(CPropertyPage* pPage) {
    if (pPage->IsWindow()) return TRUE;
    pPage->m_bFirstSetActive = TRUE;
    return pPage->CreateIndirect(this);
}

BOOL CPropertySheet::ActivatePage(int nIndex, int nSkip, bool bAskActive) {
    if (nIndex < 0 || nIndex >= GetPageCount()) return FALSE;
    CPropertyPage* old = m_pActive;
    CPropertyPage* target = m_pages[static_cast<size_t>(nIndex)];
    if (bAskActive && old && old != target && old->IsWindow() && !old->OnKillActive()) return FALSE;

    for (;;) {
        target = m_pages[static_cast<size_t>(nIndex)];
        EnsurePageWindow(target);
        m_pActive = target;
        if (target->OnSetActive() || nSkip == 0) break;
        // The page declined; the next one in the same direction is tried. A
        // page's OnSetActive may have changed the page list, so the index is
        // taken afresh.
        int next = GetPageIndex(target) + nSkip;
        if (next < 0 || next >= GetPageCount()) break;
        nIndex = next;
    }
    if (m_pActive != target) return FALSE;
    if (old && old != target && old->IsWindow()) old->ShowWindow(SW_HIDE);
    target->ShowWindow(SW_SHOW);
    ZrUiNotify(*this, ZRUI_SHEET_PAGES);
    return TRUE;
}

int CPropertySheet::FindPageByTemplate(LRESULT nID) const {
    for (size_t i = 0; i < m_pages.size(); ++i)
        if (static_cast<LRESULT>(m_pages[i]->GetTemplateId()) == nID) return static_cast<int>(i);
    return -1;
}

// ---------------------------------------------------------------------------
// CPropertySheet: wizard buttons and navigation
// ---------------------------------------------------------------------------
void CPropertySheet::SetWizardButtons(DWORD dwFlags) {
    if (m_bRunning)
        PostMessage(PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(dwFlags));
    else
        m_dwWizButtons = dwFlags;
}

BOOL CPropertySheet::IsButtonShown(int nButton) const {
    bool finish = (m_dwWizButtons & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
    switch (nButton) {
    case PSBTN_BACK:
    case PSBTN_CANCEL:
        return TRUE;
    case PSBTN_NEXT:
        return !finish;
    case PSBTN_FINISH:
        return finish;
    default:
        return FALSE;
    }
}

int CPropertySheet::GetDefaultButton() const {
    return IsButtonShown(PSBTN_FINISH) ? PSBTN_FINISH : PSBTN_NEXT;
}

BOOL CPropertySheet::IsButtonEnabled(int nButton) const {
    switch (nButton) {
    case PSBTN_BACK:
        return (m_dwWizButtons & PSWIZB_BACK) != 0;
    case PSBTN_NEXT:
        return (m_dwWizButtons & PSWIZB_NEXT) != 0;
    case PSBTN_FINISH:
        return (m_dwWizButtons & PSWIZB_FINISH) != 0;
    case PSBTN_CANCEL:
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CPropertySheet::PressButton(int nButton) {
    if (!m_bRunning || m_bEnded) return FALSE;
    switch (nButton) {
    case PSBTN_BACK:
        DoBack();
        return TRUE;
    case PSBTN_NEXT:
        DoNext();
        return TRUE;
    case PSBTN_FINISH:
        DoFinish();
        return TRUE;
    case PSBTN_CANCEL:
        DoCancel();
        return TRUE;
    default:
        return FALSE;
    }
}

void CPropertySheet::DoBack() {
    if (!m_pActive) return;
    LRESULT result = m_pActive->OnWizardBack();
    if (result == -1) return;
    // The handler may have moved the sheet itself; "the page before" is the
    // one before the page active now.
    int target = result == 0 ? GetActiveIndex() - 1 : FindPageByTemplate(result);
    ActivatePage(target, -1, true);
}

void CPropertySheet::DoNext() {
    if (!m_pActive) return;
    LRESULT result = m_pActive->OnWizardNext();
    if (result == -1) return;
    int target = result == 0 ? GetActiveIndex() + 1 : FindPageByTemplate(result);
    ActivatePage(target, 1, true);
}

void CPropertySheet::DoFinish() {
    if (!m_pActive) return;
    if (m_pActive->OnWizardFinish()) EndDialog(IsWizardMode() ? ID_WIZFINISH : IDOK);
}

void CPropertySheet::DoCancel() {
    if (m_pActive && !m_pActive->OnQueryCancel()) return;
    for (CPropertyPage* page : std::vector<CPropertyPage*>(m_pages))
        if (page->IsWindow()) page->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::EndDialog(int nEndID) {
    if (!m_bRunning || m_bEnded) return;
    m_nResult = nEndID;
    m_bEnded = true;
    ZrUiNotify(*this, ZRUI_SHEET_ENDED);
}

LRESULT CPropertySheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case PSM_SETWIZBUTTONS:
        m_dwWizButtons = static_cast<DWORD>(lParam);
        ZrUiNotify(*this, ZRUI_SHEET_BUTTONS);
        return 0;
    case PSM_PRESSBUTTON:
        return PressButton(static_cast<int>(wParam));
    case PSM_SETCURSEL:
        return lParam ? SetActivePage(reinterpret_cast<CPropertyPage*>(lParam))
                      : SetActivePage(static_cast<int>(wParam));
    default:
        return CWnd::WindowProc(message, wParam, lParam);
    }
}

// ---------------------------------------------------------------------------
// CPropertySheet: the modal run
// ---------------------------------------------------------------------------
INT_PTR CPropertySheet::DoModal() {
    if (m_pages.empty() || m_bRunning) return -1;
    m_bRunning = true;
    m_bEnded = false;
    m_nResult = 0;

    // The sheet is as large as its largest page.
    RECT size = {0, 0, 0, 0};
    for (CPropertyPage* page : m_pages) {
        if (const CZrDialogTemplate* tmpl = ZrFindDialogTemplate(page->GetTemplateId())) {
            size.right = std::max(size.right, static_cast<int>(tmpl->cx));
            size.bottom = std::max(size.bottom, static_cast<int>(tmpl->cy));
        }
    }
    ZrMapDialogRect(&size);
    CreateWnd(m_strCaption, WS_VISIBLE, size, nullptr, 0);

    int start = std::min(static_cast<int>(m_psh.nStartPage), GetPageCount() - 1);
    ActivatePage(start, 1, false);
    CZrUiInput::Flush();

    ZrGetUiBackend()->RunSheet(*this);
    if (!m_bEnded) {
        DoCancel();
        // A page that refuses the cancel cannot keep a sheet whose user has gone.
        if (!m_bEnded) EndDialog(IDCANCEL);
    }

    m_pActive = nullptr;
    for (CPropertyPage* page : std::vector<CPropertyPage*>(m_pages))
        if (page->IsWindow()) page->DestroyWindow();
    DestroyWindow();
    m_bRunning = false;
    return m_nResult;
}
