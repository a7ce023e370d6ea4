// Dialog 6701: the kind page of the coordinate-system sheet.

#include "dialog/ZrPageCoordSysSetting.h"
#include "platform/ui/ZrDialogTemplate.h"

namespace {
constexpr DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// The three radio buttons come first and together: the group runs from the
// first one to the next control that starts a group.
const CZrDlgItemTemplate kItems[] = {
    {ZRWC_BUTTON, IDC_ZR_KIND_PLANAR, "普通平面坐标系(&P)", 104, 8, 150, 10,
     BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, nullptr},
    {ZRWC_BUTTON, IDC_ZR_KIND_LONLAT, "经纬坐标系(&L)", 104, 44, 150, 10, BS_AUTORADIOBUTTON, 0, nullptr},
    {ZRWC_BUTTON, IDC_ZR_KIND_PROJECTED, "投影坐标系(&J)", 104, 98, 150, 10, BS_AUTORADIOBUTTON, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, nullptr, 7, 7, 88, 155, SS_BITMAP | WS_GROUP, IDB_ZR_COORDSYS_BANNER, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "坐标单位", 118, 25, 48, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, IDC_ZR_COORD_UNITS, nullptr, 170, 23, 128, 120, kList | WS_GROUP, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "地理坐标系", 118, 61, 48, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, IDC_ZR_GEO_COORDSYS, nullptr, 170, 59, 128, 160, kList | CBS_SORT, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "距离单位", 118, 79, 48, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, IDC_ZR_DIST_UNITS, nullptr, 170, 77, 128, 120, kList, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "投影类型", 118, 115, 48, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, IDC_ZR_PRJ_SOURCE, nullptr, 170, 113, 128, 60, kList, 0, nullptr},
    // A system by code or name: the words typed, and what they find.
    {ZRWC_STATIC, IDC_STATIC, "查找(&F)", 104, 131, 30, 8, SS_LEFT, 0, nullptr},
    {ZRWC_EDIT, IDC_ZR_KIND_SEARCH, nullptr, 136, 129, 60, 12, ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 0,
     nullptr},
    {ZRWC_COMBOBOX, IDC_ZR_KIND_HITS, nullptr, 200, 129, 98, 160, kList, 0, nullptr},
    {ZRWC_BUTTON, IDC_ZR_KIND_LOAD, "载入投影设置(&I)", 104, 146, 92, 14, BS_PUSHBUTTON | WS_TABSTOP, 0,
     nullptr},
    {ZRWC_BUTTON, IDC_ZR_KIND_SAVE, "保存投影设置(&E)", 206, 146, 92, 14, BS_PUSHBUTTON | WS_TABSTOP, 0,
     nullptr},
    // A WKT, PROJJSON or PROJ text from the clipboard. The page is as tall as
    // the predefined page, so the sheet keeps its size.
    {ZRWC_BUTTON, IDC_ZR_KIND_PASTE, "粘贴坐标系(&V)", 104, 165, 92, 14, BS_PUSHBUTTON | WS_TABSTOP, 0,
     nullptr},
};

const CZrDialogTemplate kTemplate = {
    IDD_ZR_COORDSYS_KIND, "坐标系统设置", 305, 185, kItems, sizeof kItems / sizeof kItems[0]};
const CZrDialogTemplateRegistrar kRegistrar(&kTemplate);
} // namespace
