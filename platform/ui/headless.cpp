#include "platform/ui/ZrHeadlessBackend.h"

#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrPropertySheet.h"

// ---------------------------------------------------------------------------
// CZrHeadlessDriver
// ---------------------------------------------------------------------------
CPropertyPage* CZrHeadlessDriver::ActivePage() const {
    return m_sheet.IsRunning() ? m_sheet.GetActivePage() : nullptr;
}

CWnd* CZrHeadlessDriver::Control(int nID) const {
    CPropertyPage* page = ActivePage();
    return page ? page->GetDlgItem(nID) : nullptr;
}

BOOL CZrHeadlessDriver::IsOpen() const {
    return m_sheet.IsRunning() && !m_sheet.HasEnded();
}

BOOL CZrHeadlessDriver::Click(int nID) {
    CWnd* ctl = Control(nID);
    return IsOpen() && ctl && CZrUiInput::Click(*ctl);
}

BOOL CZrHeadlessDriver::Select(int nID, int nIndex) {
    auto* combo = dynamic_cast<CComboBox*>(Control(nID));
    return IsOpen() && combo && CZrUiInput::Select(*combo, nIndex);
}

BOOL CZrHeadlessDriver::SelectText(int nID, LPCTSTR lpszText) {
    auto* combo = dynamic_cast<CComboBox*>(Control(nID));
    if (!IsOpen() || !combo) return FALSE;
    int index = combo->FindStringExact(-1, lpszText);
    return index != CB_ERR && CZrUiInput::Select(*combo, index);
}

BOOL CZrHeadlessDriver::Type(int nID, LPCTSTR lpszText) {
    auto* edit = dynamic_cast<CEdit*>(Control(nID));
    return IsOpen() && edit && CZrUiInput::Type(*edit, lpszText);
}

BOOL CZrHeadlessDriver::Focus(int nID) {
    CWnd* ctl = Control(nID);
    return IsOpen() && ctl && CZrUiInput::Focus(*ctl);
}

BOOL CZrHeadlessDriver::Back() {
    return CZrUiInput::PressWizardButton(m_sheet, PSBTN_BACK);
}

BOOL CZrHeadlessDriver::Next() {
    return CZrUiInput::PressWizardButton(m_sheet, PSBTN_NEXT);
}

BOOL CZrHeadlessDriver::Finish() {
    return CZrUiInput::PressWizardButton(m_sheet, PSBTN_FINISH);
}

BOOL CZrHeadlessDriver::Cancel() {
    return CZrUiInput::PressWizardButton(m_sheet, PSBTN_CANCEL);
}

BOOL CZrHeadlessDriver::Enter() {
    return CZrUiInput::PressEnter(m_sheet);
}

BOOL CZrHeadlessDriver::Arrow(int nID, int nStep) {
    auto* radio = dynamic_cast<CButton*>(Control(nID));
    return IsOpen() && radio && CWnd::GetFocus() == radio && CZrUiInput::MoveInGroup(*radio, nStep);
}

BOOL CZrHeadlessDriver::TypeInList(int nID, LPCTSTR lpszTyped) {
    auto* combo = dynamic_cast<CComboBox*>(Control(nID));
    return IsOpen() && combo && CZrUiInput::TypeInList(*combo, lpszTyped);
}

const CZrImage* CZrHeadlessDriver::Surface(int nID) const {
    CWnd* ctl = Control(nID);
    return ctl ? ctl->GetSurface() : nullptr;
}

// ---------------------------------------------------------------------------
// CZrHeadlessBackend
// ---------------------------------------------------------------------------
CZrHeadlessBackend& CZrHeadlessBackend::Default() {
    static CZrHeadlessBackend backend;
    return backend;
}

void CZrHeadlessBackend::QueueSheetScript(SheetScript script) {
    m_scripts.push_back(std::move(script));
}

void CZrHeadlessBackend::QueueFileDialog(int nAnswer, LPCTSTR lpszPath, int nFilterIndex) {
    m_fileAnswers.push_back(FileAnswer{nAnswer, CString(lpszPath), nFilterIndex});
}

void CZrHeadlessBackend::QueueMessageBox(int nAnswer) {
    m_messageAnswers.push_back(nAnswer);
}

void CZrHeadlessBackend::Reset() {
    m_scripts.clear();
    m_fileAnswers.clear();
    m_messageAnswers.clear();
    m_messages.clear();
    m_fileDialogs.clear();
}

void CZrHeadlessBackend::RunSheet(CPropertySheet& sheet) {
    if (m_scripts.empty()) return;
    SheetScript script = std::move(m_scripts.front());
    m_scripts.pop_front();
    CZrHeadlessDriver driver(sheet);
    if (script) script(driver);
}

int CZrHeadlessBackend::RunFileDialog(CFileDialog& dlg) {
    FileAnswer answer{IDCANCEL, CString(), 0};
    if (!m_fileAnswers.empty()) {
        answer = m_fileAnswers.front();
        m_fileAnswers.pop_front();
    }
    if (answer.answer == IDOK) dlg.SetResult(answer.path, answer.filterIndex);
    m_fileDialogs.push_back(ShownFileDialog{dlg.IsOpenDialog(), dlg.GetFilterText(), dlg.GetDefExt(),
                                            dlg.GetInitialFileName(), answer.answer, dlg.GetPathName()});
    return answer.answer == IDOK ? IDOK : IDCANCEL;
}

int CZrHeadlessBackend::ShowMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    int answer;
    if (!m_messageAnswers.empty()) {
        answer = m_messageAnswers.front();
        m_messageAnswers.pop_front();
    } else {
        switch (nType & MB_TYPEMASK) {
        case MB_ABORTRETRYIGNORE:
            answer = IDABORT;
            break;
        case MB_YESNO:
        case MB_YESNOCANCEL:
            answer = IDYES;
            break;
        case MB_RETRYCANCEL:
            answer = IDRETRY;
            break;
        default:
            answer = IDOK;
            break;
        }
    }
    m_messages.push_back(ShownMessage{CString(lpszText), CString(lpszCaption), nType, answer});
    return answer;
}
