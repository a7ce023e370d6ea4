#pragma once

// Small helpers the pages share for lists whose item data are codes.

#include "dialog/ZrPageCoordSysSetting.h"
#include "platform/ZrToolkit.h"
#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrPropertySheet.h"

// The index of the first entry whose item data is the code; CB_ERR when none.
inline int ZrFindItemCode(const CComboBox& list, long code) {
    for (int i = 0; i < list.GetCount(); ++i)
        if (static_cast<long>(list.GetItemData(i)) == code) return i;
    return CB_ERR;
}

// The item data of the selected entry as a code; fallback without selection.
inline long ZrSelectedItemCode(const CComboBox& list, long fallback) {
    int sel = list.GetCurSel();
    return sel == CB_ERR ? fallback : static_cast<long>(list.GetItemData(sel));
}

inline int ZrAddCodedString(CComboBox& list, LPCTSTR text, long code) {
    int index = list.AddString(text);
    if (index != CB_ERR) list.SetItemData(index, static_cast<DWORD_PTR>(code));
    return index;
}

inline int ZrInsertCodedString(CComboBox& list, LPCTSTR text, long code) {
    int index = list.InsertString(-1, text);
    if (index != CB_ERR) list.SetItemData(index, static_cast<DWORD_PTR>(code));
    return index;
}

// The unit lists of the kind page and the first user-defined page: the ten
// string resources 28764 to 28773 in this order, then EPSG's other exact
// units by their names, each with its unit code as item data; the metre
// entry is selected.
inline void ZrFillUnitList(CComboBox& list) {
    constexpr unsigned kFirstUnitStringId = 28764;
    constexpr int kResourceUnits = 10;
    constexpr long kMetre = 10000;
    list.ResetContent();
    const int count = ZrUnitListCount();
    for (int i = 0; i < count; ++i) {
        const long code = ZrUnitCodeOfListIndex(i);
        CString text;
        if (i < kResourceUnits)
            text.LoadString(kFirstUnitStringId + static_cast<unsigned>(i));
        else
            text = ZrGetUnitsNameExt(code);
        ZrInsertCodedString(list, text, code);
    }
    list.SetCurSel(ZrListIndexOfUnitCode(kMetre));
}

// Posts the wizard buttons to the sheet the page is shown in.
inline void ZrSetPageWizardButtons(const CWnd* page, DWORD dwFlags) {
    if (auto* sheet = dynamic_cast<CPropertySheet*>(page->GetParent())) sheet->SetWizardButtons(dwFlags);
}

inline void ZrEnableDlgItem(const CWnd* dlg, int nID, BOOL bEnable) {
    if (CWnd* item = dlg->GetDlgItem(nID)) item->EnableWindow(bEnable);
}

inline void ZrShowDlgItem(const CWnd* dlg, int nID, BOOL bShow) {
    if (CWnd* item = dlg->GetDlgItem(nID)) item->ShowWindow(bShow ? SW_SHOW : SW_HIDE);
}
