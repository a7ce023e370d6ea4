#include "platform/ui/ZrDataExchange.h"

#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrUserLanguage.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

// The standard texts of the data-exchange checks, in the user's language as
// Windows shows them: Chinese and Japanese users get their own wording (the
// rest of the dialog is Chinese or follows the user's language too), every
// other user the English one.
namespace {
struct Prompts {
    const char* parseInt;
    const char* parseReal;
    const char* intRange;
    const char* realRange;
    const char* maxChars;
};

const Prompts kEnglishPrompts = {
    "Please enter an integer.",
    "Please enter a number.",
    "Please enter an integer between %1 and %2.",
    "Please enter a number between %1 and %2.",
    "Please enter no more than %1 characters.",
};
const Prompts kChinesePrompts = {
    "请输入一个整数。",
    "请输入一个数字。",
    "请输入一个介于 %1 和 %2 之间的整数。",
    "请输入一个介于 %1 和 %2 之间的数字。",
    "请输入不超过 %1 个字符。",
};
const Prompts kJapanesePrompts = {
    "整数を入力してください。",
    "数値を入力してください。",
    "%1 から %2 までの整数を入力してください。",
    "%1 から %2 までの数値を入力してください。",
    "%1 文字以内で入力してください。",
};

const Prompts& UserPrompts() {
    switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
    case ZR_LANG_CHINESE:
        return kChinesePrompts;
    case ZR_LANG_JAPANESE:
        return kJapanesePrompts;
    default:
        return kEnglishPrompts;
    }
}
} // namespace

// Significant digits of a double written to a control (DBL_DIG), as "%.15g".
static const int kDoubleDigits = 15;

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Decimal integer with optional blanks around it and an optional sign.
bool ParseInteger(const char* text, long long minVal, long long maxVal, long long& value) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    const char* begin = p;
    if (*p == '+')
        begin = ++p;
    else if (*p == '-')
        ++p;
    if (*p < '0' || *p > '9') return false;
    while (*p >= '0' && *p <= '9')
        ++p;
    const char* end = p;
    while (IsBlank(*p))
        ++p;
    if (*p) return false;
    long long v = 0;
    auto r = std::from_chars(begin, end, v);
    if (r.ec != std::errc() || r.ptr != end || v < minVal || v > maxVal) return false;
    value = v;
    return true;
}

// Decimal real number: digits with an optional point and exponent. "inf",
// "nan" and hexadecimal forms are refused: they would pass no range check.
bool ParseReal(const char* text, double& value) {
    const char* p = text;
    while (IsBlank(*p))
        ++p;
    const char* begin = p;
    if (*p == '+')
        begin = ++p;
    else if (*p == '-')
        ++p;
    int digits = 0;
    while (*p >= '0' && *p <= '9')
        ++p, ++digits;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9')
            ++p, ++digits;
    }
    if (digits == 0) return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-') ++p;
        if (*p < '0' || *p > '9') return false;
        while (*p >= '0' && *p <= '9')
            ++p;
    }
    const char* end = p;
    while (IsBlank(*p))
        ++p;
    if (*p) return false;
    double v = 0.0;
    auto r = std::from_chars(begin, end, v);
    if (r.ec != std::errc() || r.ptr != end || !std::isfinite(v)) return false;
    value = v;
    return true;
}

CString FormatReal(double value) {
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf - 1, value, std::chars_format::general, kDoubleDigits);
    *r.ptr = '\0';
    return CString(buf);
}

CString FormatInteger(long long value) {
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf - 1, value);
    *r.ptr = '\0';
    return CString(buf);
}

// AfxFormatString2: %1 and %2 replaced.
CString FormatPrompt(const char* pattern, const CString& a, const CString& b) {
    CString out(pattern);
    out.Replace("%1", a);
    out.Replace("%2", b);
    return out;
}

void FailWith(CDataExchange* pDX, const CString& prompt) {
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

bool Active(CDataExchange* pDX) {
    return pDX && !pDX->HasFailed();
}

template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, long long minVal, long long maxVal) {
    if (!Active(pDX)) return;
    CWnd* ctl = pDX->PrepareEditCtrl(nIDC);
    if (!ctl) return;
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseInteger(ctl->GetText(), minVal, maxVal, v)) {
            FailWith(pDX, UserPrompts().parseInt);
            return;
        }
        value = static_cast<T>(v);
    } else {
        ctl->SetWindowText(FormatInteger(value));
    }
}

void FailMinMax(CDataExchange* pDX, const char* pattern, const CString& minText, const CString& maxText) {
    // Out-of-range data moved to the controls is shown as it is.
    if (!pDX->m_bSaveAndValidate) return;
    FailWith(pDX, FormatPrompt(pattern, minText, maxText));
}

} // namespace

// ---------------------------------------------------------------------------
// CDataExchange
// ---------------------------------------------------------------------------
CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

CWnd* CDataExchange::PrepareCtrl(int nIDC) {
    m_pLastControl = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(nIDC) : nullptr;
    m_bEditLastControl = FALSE;
    return m_pLastControl;
}

CWnd* CDataExchange::PrepareEditCtrl(int nIDC) {
    CWnd* ctl = PrepareCtrl(nIDC);
    m_bEditLastControl = ctl != nullptr;
    return ctl;
}

void CDataExchange::Fail() {
    m_bFailed = TRUE;
    // Back to the field in error, so the user corrects it there.
    if (m_bEditLastControl && m_pLastControl && m_pLastControl->IsWindow()) m_pLastControl->SetFocus();
}

// ---------------------------------------------------------------------------
// DDX
// ---------------------------------------------------------------------------
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (!Active(pDX) || !pDX->m_pDlgWnd) return;
    CWnd* dlg = pDX->m_pDlgWnd;
    if (rControl.m_bCreated && rControl.m_pParent == dlg) return;
    CWnd* old = dlg->GetDlgItem(nIDC);
    if (!old || old == &rControl) return;
    if (rControl.m_bCreated) rControl.DestroyWindow();

    rControl.CopyStateFrom(*old);
    rControl.m_pParent = dlg;
    rControl.m_bCreated = true;
    dlg->m_children[static_cast<size_t>(dlg->GetChildIndex(old))] = &rControl;
    bool hadFocus = CWnd::GetFocus() == old;

    // The template's control goes; the member takes its place.
    old->m_pParent = nullptr;
    old->DestroyWindow();
    for (auto it = dlg->m_owned.begin(); it != dlg->m_owned.end(); ++it) {
        if (it->get() == old) {
            dlg->m_owned.erase(it);
            break;
        }
    }
    if (hadFocus) CWnd::MoveFocus(&rControl);
    rControl.NotifyChanged();
    if (rControl.IsOwnerDrawn()) rControl.Invalidate();
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    if (!Active(pDX)) return;
    CWnd* ctl = pDX->PrepareEditCtrl(nIDC);
    if (!ctl) return;
    if (pDX->m_bSaveAndValidate)
        value = ctl->GetText();
    else
        ctl->SetWindowText(value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    ExchangeInteger(pDX, nIDC, value, INT_MIN, INT_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    ExchangeInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    if (!Active(pDX)) return;
    CWnd* ctl = pDX->PrepareEditCtrl(nIDC);
    if (!ctl) return;
    if (pDX->m_bSaveAndValidate) {
        double v = 0.0;
        if (!ParseReal(ctl->GetText(), v)) {
            FailWith(pDX, UserPrompts().parseReal);
            return;
        }
        value = v;
    } else {
        ctl->SetWindowText(FormatReal(value));
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    if (!Active(pDX)) return;
    CWnd* first = pDX->PrepareCtrl(nIDC);
    if (!first || !pDX->m_pDlgWnd) return;
    CWnd* dlg = pDX->m_pDlgWnd;
    if (pDX->m_bSaveAndValidate) value = -1;
    int button = 0;
    for (int i = dlg->GetChildIndex(first); i < dlg->GetChildCount(); ++i) {
        CWnd* child = dlg->GetChild(i);
        if (child != first && (child->GetStyle() & WS_GROUP)) break;
        auto* radio = dynamic_cast<CButton*>(child);
        if (!radio || !radio->IsRadio()) continue;
        if (pDX->m_bSaveAndValidate) {
            if (radio->GetCheck() != BST_UNCHECKED) value = button;
        } else {
            radio->SetCheck(button == value ? BST_CHECKED : BST_UNCHECKED);
        }
        ++button;
    }
}

void DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
    if (!Active(pDX)) return;
    auto* combo = dynamic_cast<CComboBox*>(pDX->PrepareCtrl(nIDC));
    if (!combo) return;
    if (pDX->m_bSaveAndValidate)
        index = combo->GetCurSel();
    else
        combo->SetCurSel(index);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    if (!Active(pDX)) return;
    auto* button = dynamic_cast<CButton*>(pDX->PrepareCtrl(nIDC));
    if (!button) return;
    if (pDX->m_bSaveAndValidate)
        value = button->GetCheck();
    else
        button->SetCheck(value);
}

// ---------------------------------------------------------------------------
// DDV
// ---------------------------------------------------------------------------
void DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    if (Active(pDX) && (value < minVal || value > maxVal))
        FailMinMax(pDX, UserPrompts().intRange, FormatInteger(minVal), FormatInteger(maxVal));
}

void DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
    if (Active(pDX) && (value < minVal || value > maxVal))
        FailMinMax(pDX, UserPrompts().intRange, FormatInteger(minVal), FormatInteger(maxVal));
}

void DDV_MinMaxDouble(CDataExchange* pDX, const double& value, double minVal, double maxVal) {
    if (Active(pDX) && !(value >= minVal && value <= maxVal))
        FailMinMax(pDX, UserPrompts().realRange, FormatReal(minVal), FormatReal(maxVal));
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (!Active(pDX) || !pDX->m_bSaveAndValidate) return;
    if (value.GetLength() > nChars)
        FailWith(pDX, FormatPrompt(UserPrompts().maxChars, FormatInteger(nChars), CString()));
}
