#pragma once

// Dialog data exchange and validation in the manner of MFC: DoDataExchange
// moves member values to the controls (UpdateData(FALSE)) or reads and checks
// them (UpdateData(TRUE)). A failed parse or range check shows the standard
// message, returns the focus to the edit and fails the exchange; the DDX_ and
// DDV_ calls after a failure do nothing, as the rest of an MFC exchange is
// skipped.

#include "platform/ZrString.h"
#include "platform/ui/ZrWnd.h"

class ZRPRJ_API CDataExchange {
public:
    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;

    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control with that id (nullptr when there is none); remembered as
    // the one a following DDV_ call checks.
    CWnd* PrepareCtrl(int nIDC);
    CWnd* PrepareEditCtrl(int nIDC);
    // Fails the exchange and returns the focus to the last edit prepared.
    void Fail();
    BOOL HasFailed() const { return m_bFailed; }

private:
    BOOL m_bFailed = FALSE;
    CWnd* m_pLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;
};

// Binds a member control to the dialog's control of that id. The member takes
// over the control's state and becomes what GetDlgItem returns.
ZRPRJ_API void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);

// Text of a window. Numbers are written as "%d", "%ld" and "%.15g" and read as
// decimal numbers with optional blanks around them; anything else (also an
// empty field, a value out of the type's range, "inf" or "nan") shows
// "Please enter an integer." or "Please enter a number." (in the user's
// language: Chinese, Japanese, else English) and fails.
ZRPRJ_API void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
ZRPRJ_API void DDX_Text(CDataExchange* pDX, int nIDC, int& value);
ZRPRJ_API void DDX_Text(CDataExchange* pDX, int nIDC, long& value);
ZRPRJ_API void DDX_Text(CDataExchange* pDX, int nIDC, double& value);

// The index of the checked radio button of the group starting at nIDC (the
// radio buttons that follow it up to the next control with WS_GROUP); -1
// when none is checked.
ZRPRJ_API void DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
// The selection index of a combo box.
ZRPRJ_API void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
// The check state of a check box.
ZRPRJ_API void DDX_Check(CDataExchange* pDX, int nIDC, int& value);

// Range checks, made only when reading from the controls. A value outside
// shows "Please enter an integer between %1 and %2." or "Please enter a number
// between %1 and %2." (in the user's language) and fails; a NaN counts as
// outside.
ZRPRJ_API void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);
ZRPRJ_API void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal);
ZRPRJ_API void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal);
ZRPRJ_API void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
