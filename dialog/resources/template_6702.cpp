// Dialog 6702: the predefined projected-system page.

#include "platform/ui/ZrDialogTemplate.h"

namespace {

const CZrDlgItemTemplate kItems[] = {
    // The banner, as on every page of the sheet: bitmap 6708 at its own size.
    {ZRWC_STATIC, IDC_STATIC, nullptr, 7, 7, 88, 155, SS_BITMAP, 6708, nullptr},
    {ZRWC_BUTTON, 29901, nullptr, 110, 3, 192, 129, BS_OWNERDRAW, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "主项", 110, 142, 26, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29902, nullptr, 138, 140, 164, 120, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL | WS_TABSTOP,
     0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "子类", 110, 158, 26, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29903, nullptr, 138, 156, 164, 120, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
     nullptr},
    {ZRWC_BUTTON, 29980, "保存投影设置(&S)", 232, 170, 70, 13, BS_PUSHBUTTON | WS_TABSTOP, 0, nullptr},
};

const CZrDialogTemplate kTemplate = {6702, "预定义投影系", 305,
                                     185,  kItems,         sizeof kItems / sizeof kItems[0]};

const CZrDialogTemplateRegistrar kRegistrar(&kTemplate);

} // namespace
