#pragma once

// The seam between the toolkit-neutral window model and whatever shows it.
// The model tells the back end what changed; the back end runs modal sheets,
// file dialogs and message boxes, and feeds the user's actions back through
// CZrUiInput. The headless back end is the default; the Qt one lives in the
// separate ZrPrj50Qt library.

#include "platform/ZrString.h"
#include "platform/ui/ZrWnd.h"

class CPropertySheet;
class CFileDialog;
class CEdit;
class CComboBox;
class CButton;

enum ZrUiEvent {
    ZRUI_CREATED = 1,   // a window was created (a page: after its OnInitDialog)
    ZRUI_DESTROYED,     // a window is about to be destroyed
    ZRUI_CHANGED,       // text, style (enabled, visible), check, entries or selection
    ZRUI_SURFACE,       // the window's surface was drawn
    ZRUI_FOCUS,         // the window received the focus
    ZRUI_SHEET_PAGES,   // a sheet's pages or its active page changed
    ZRUI_SHEET_BUTTONS, // a sheet's wizard buttons changed
    ZRUI_SHEET_ENDED,   // a sheet ended its modal run (EndDialog)
};

class ZRPRJ_API CZrUiBackend {
public:
    virtual ~CZrUiBackend();

    // Runs the user's side of a modal sheet whose start page is active; returns
    // when the sheet has ended. Returning earlier cancels the sheet.
    virtual void RunSheet(CPropertySheet& sheet) = 0;
    // Asks for a file name: IDOK after dlg.SetResult, or IDCANCEL.
    virtual int RunFileDialog(CFileDialog& dlg) = 0;
    // Shows a message box; returns the button pressed (IDOK, IDCANCEL, IDYES, ...).
    virtual int ShowMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) = 0;
    // Hears of every change of every window.
    virtual void OnUiEvent(CWnd& wnd, int nEvent);
    // The clipboard's text. Without a desktop clipboard the text is kept in
    // the back end, so a copy can be pasted back and a test can read it.
    virtual void SetClipboardText(const CString& text);
    virtual CString GetClipboardText();

private:
    CString m_clipboard;
};

// The back end in use; the headless one unless another was installed.
ZRPRJ_API CZrUiBackend* ZrGetUiBackend();
// Installs a back end (nullptr: the headless one) and returns the previous.
ZRPRJ_API CZrUiBackend* ZrSetUiBackend(CZrUiBackend* pBackend);
ZRPRJ_API void ZrUiNotify(CWnd& wnd, int nEvent);
// The clipboard of the back end in use.
ZRPRJ_API void ZrSetClipboardText(const CString& text);
ZRPRJ_API CString ZrGetClipboardText();

// What a person does to the windows, routed as Windows routes it: the control
// takes the focus (the old one hears of losing it), changes as its kind does
// and tells its parent. Every action refuses a window that does not exist, is
// disabled or hidden, and gives up when a handler moved the focus away while
// the control was taking it (a validation message pulled it back). Each
// action ends with Flush.
class ZRPRJ_API CZrUiInput {
public:
    static BOOL CanInteract(const CWnd& wnd);
    static BOOL Focus(CWnd& wnd);
    // A button: a push button notifies; a check box toggles; a radio button
    // becomes the checked one of its group. Always sends BN_CLICKED.
    static BOOL Click(CWnd& wnd);
    // Picks an entry of a list and sends CBN_SELCHANGE.
    static BOOL Select(CComboBox& combo, int nIndex);
    // Selects the whole content and types the text keystroke by keystroke;
    // keystrokes the control refuses are dropped. TRUE when none was refused.
    static BOOL Type(CEdit& edit, LPCTSTR lpszText);
    // One change of the whole content as a toolkit reports it (a keystroke or
    // a paste); refused as a whole when the control does not accept it.
    static BOOL Edit(CEdit& edit, LPCTSTR lpszCandidate);
    // Back, Next, Finish (PSBTN_*) when enabled and shown, or Cancel.
    static BOOL PressWizardButton(CPropertySheet& sheet, int nButton);
    // Enter: a push button of the active page that has the focus is pressed,
    // as under Windows; anywhere else the sheet's default button (Next, or
    // Finish on the last page) is, with the same checks as a click.
    static BOOL PressEnter(CPropertySheet& sheet);

    // Keyboard order of a dialog as the Windows dialog manager keeps it: Tab
    // stops at controls with WS_TABSTOP, but a radio group (from a control
    // with WS_GROUP to the next) is one stop, at its checked button, or at
    // its first enabled one while the checked one is disabled or none is.
    static BOOL IsTabStop(const CWnd& wnd);
    // An arrow key on a radio button: the next (nStep 1) or previous (-1)
    // enabled button of its group, wrapping round, takes the focus and is
    // clicked, which checks it.
    static BOOL MoveInGroup(CButton& radio, int nStep);
    // Letters typed in a focused list, the whole run typed so far: the first
    // entry that starts with them (ASCII case ignored) is selected. A lone
    // letter typed again on an entry that starts with it moves on to the
    // next such entry, as Windows lists do. FALSE when none matches.
    static BOOL TypeInList(CComboBox& combo, LPCTSTR lpszTyped);
    // Delivers posted messages, then paints the invalid owner-drawn controls.
    static void Flush();
};
