#pragma once

// The Qt 6 Widgets back end of the dialog layer. Installed, it shows every
// modal property sheet as a wizard window laid out from the dialog templates,
// mirrors the controls both ways, shows the owner-drawn controls' pictures
// and asks for files and confirmations with Qt's dialogs.
//
// Widgets carry object names a test or a script can find: "page_<template
// id>" for a page, "ctl_<control id>" for a control, and "wizBack",
// "wizNext", "wizFinish", "wizCancel" for the wizard buttons.

#include "platform/ui/ZrUiBackend.h"

#include <memory>

#if defined(_WIN32)
#if defined(ZRPRJQT_BUILDING)
#define ZRPRJQT_API __declspec(dllexport)
#else
#define ZRPRJQT_API __declspec(dllimport)
#endif
#else
#define ZRPRJQT_API __attribute__((visibility("default")))
#endif

class QWidget;

class ZRPRJQT_API CZrQtBackend : public CZrUiBackend {
public:
    // The process's Qt back end.
    static CZrQtBackend& Instance();
    // Makes it the back end in use (and a QApplication when the host has
    // none); returns the previous back end.
    static CZrUiBackend* Install();

    CZrQtBackend();
    ~CZrQtBackend() override;

    // The window of the sheet running now, or nullptr.
    QWidget* GetSheetWindow() const;

    void RunSheet(CPropertySheet& sheet) override;
    int RunFileDialog(CFileDialog& dlg) override;
    int ShowMessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) override;
    void OnUiEvent(CWnd& wnd, int nEvent) override;
    // The desktop's clipboard.
    void SetClipboardText(const CString& text) override;
    CString GetClipboardText() override;

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};
