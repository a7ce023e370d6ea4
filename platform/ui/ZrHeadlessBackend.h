#pragma once

// The back end without a display. Tests (and hosts without a screen) give it
// a script for each modal sheet, answers for the file dialogs and message
// boxes to come, and read back what was shown.

#include "platform/ZrString.h"
#include "platform/ui/ZrUiBackend.h"

#include <deque>
#include <functional>
#include <vector>

class CPropertySheet;
class CPropertyPage;
class CZrImage;

// The user's hand on a running sheet; every action works on the active page
// and returns FALSE when it could not be done (no such control, disabled,
// hidden, refused).
class ZRPRJ_API CZrHeadlessDriver {
public:
    explicit CZrHeadlessDriver(CPropertySheet& sheet) : m_sheet(sheet) {}

    CPropertySheet& Sheet() const { return m_sheet; }
    CPropertyPage* ActivePage() const;
    CWnd* Control(int nID) const;
    BOOL IsOpen() const;

    BOOL Click(int nID);
    BOOL Select(int nID, int nIndex);
    // Picks the entry equal to the text (ASCII case ignored).
    BOOL SelectText(int nID, LPCTSTR lpszText);
    BOOL Type(int nID, LPCTSTR lpszText);
    BOOL Focus(int nID);
    BOOL Back();
    BOOL Next();
    BOOL Finish();
    BOOL Cancel();
    // The keyboard: Enter (CZrUiInput::PressEnter), an arrow key on a radio
    // button (nStep 1 down or right, -1 up or left), letters typed in a list.
    BOOL Enter();
    BOOL Arrow(int nID, int nStep);
    BOOL TypeInList(int nID, LPCTSTR lpszTyped);
    // The picture of a control as last drawn.
    const CZrImage* Surface(int nID) const;

private:
    CPropertySheet& m_sheet;
};

class ZRPRJ_API CZrHeadlessBackend : public CZrUiBackend {
public:
    typedef std::function<void(CZrHeadlessDriver&)> SheetScript;

    struct ShownMessage {
        CString text;
        CString caption;
        UINT type;
        int answer;
    };
    struct ShownFileDialog {
        BOOL open;
        CString filter;
        CString defExt;
        CString initialName;
        int answer;
        CString path;
    };

    // The process-wide instance that ZrGetUiBackend returns by default.
    static CZrHeadlessBackend& Default();

    // The next modal sheet runs this script; a sheet still open when its
    // script returns, or one without a script, is cancelled.
    void QueueSheetScript(SheetScript script);
    // Answers for the next file dialog: IDOK with the path as typed (the
    // dialog adds its default extension), or IDCANCEL. Unanswered dialogs are
    // cancelled.
    void QueueFileDialog(int nAnswer, LPCTSTR lpszPath = nullptr, int nFilterIndex = 0);
    // Answer for the next message box; unanswered boxes get their first
    // button (IDOK, IDYES, IDABORT or IDRETRY).
    void QueueMessageBox(int nAnswer);

    const std::vector<ShownMessage>& Messages() const { return m_messages; }
    const std::vector<ShownFileDialog>& FileDialogs() const { return m_fileDialogs; }
    // Forgets the queues and the record.
    void Reset();

    void RunSheet(CPropertySheet& sheet) override;
    int RunFileDialog(CFileDialog& dlg) override;
    int ShowMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) override;

private:
    struct FileAnswer {
        int answer;
        CString path;
        int filterIndex;
    };
    std::deque<SheetScript> m_scripts;
    std::deque<FileAnswer> m_fileAnswers;
    std::deque<int> m_messageAnswers;
    std::vector<ShownMessage> m_messages;
    std::vector<ShownFileDialog> m_fileDialogs;
};
