// Dialog 6703: the first user-defined page (projection kind, unit and the
// parts of the geographic system).

#include "platform/ui/ZrDialogTemplate.h"

namespace {

constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;
constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;

const CZrDlgItemTemplate kItems[] = {
    // The banner, as on every page of the sheet: bitmap 6708 at its own size.
    {ZRWC_STATIC, IDC_STATIC, nullptr, 7, 7, 88, 155, SS_BITMAP, 6708, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "投影方式", 108, 8, 40, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29904, nullptr, 150, 6, 150, 150, kList | CBS_SORT, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "坐标单位", 108, 23, 40, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29905, nullptr, 150, 21, 150, 100, kList, 0,
     "millimeter\ncentimeter\ndecimeter\nmeter\nkilometer\nmile\ninch\nyard\nfoot\n"},

    {ZRWC_BUTTON, IDC_STATIC, "地理坐标系", 104, 35, 198, 26, BS_GROUPBOX, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "类型", 110, 47, 30, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29906, nullptr, 150, 45, 148, 160, kList | CBS_SORT, 0, nullptr},

    {ZRWC_BUTTON, IDC_STATIC, "大地参照系", 104, 62, 198, 26, BS_GROUPBOX, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "类型", 110, 74, 30, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29909, nullptr, 150, 72, 148, 160, kList | CBS_SORT, 0, nullptr},

    {ZRWC_BUTTON, IDC_STATIC, "椭球参数", 104, 89, 198, 42, BS_GROUPBOX, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "类型", 110, 101, 30, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29910, nullptr, 150, 99, 148, 160, kList | CBS_SORT, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "赤道半径", 110, 116, 36, 8, SS_LEFT, 0, nullptr},
    // The flattening takes the width: its value has 15 significant digits
    // after "0.00", the semi-major axis seven before the point.
    {ZRWC_EDIT, 29911, nullptr, 148, 114, 40, 12, kEdit, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "扁率", 190, 116, 16, 8, SS_LEFT, 0, nullptr},
    {ZRWC_EDIT, 29912, nullptr, 207, 114, 93, 12, kEdit, 0, nullptr},

    {ZRWC_BUTTON, IDC_STATIC, "中央经线", 104, 132, 198, 30, BS_GROUPBOX, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "类型", 110, 146, 30, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29907, nullptr, 150, 144, 72, 120, kList | CBS_SORT, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "经度", 226, 146, 18, 8, SS_LEFT, 0, nullptr},
    {ZRWC_EDIT, 29908, nullptr, 246, 144, 52, 12, kEdit, 0, nullptr},
};

const CZrDialogTemplate kTemplate = {6703,   "用户自定义投影系------[ 1 / 2 ]", 304, 169,
                                     kItems, sizeof kItems / sizeof kItems[0]};

const CZrDialogTemplateRegistrar kRegistrar(&kTemplate);

} // namespace
