// Dialog 6704: the second user-defined page (the ten projection parameters,
// angles in decimal degrees or degrees, minutes and seconds).

#include "platform/ui/ZrDialogTemplate.h"

namespace {

constexpr DWORD kEdit = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
constexpr short kLabelX = 110;
constexpr short kEditX = 170;
constexpr short kRowY = 44;
constexpr short kRowStep = 12;

constexpr short Row(int n) {
    return static_cast<short>(kRowY + n * kRowStep);
}

// An angle row: label, the decimal edit and, in the same place, the degree,
// minute and second edits with their colons (one of the two sets is shown).
#define ZR_ANGLE_ROW(n, label, labelId, dec, deg, colon1, min, colon2, sec)                                  \
    {ZRWC_STATIC, labelId, label, kLabelX, static_cast<short>(Row(n) + 2), 58, 8, SS_LEFT, 0, nullptr},      \
        {ZRWC_EDIT, dec, nullptr, kEditX, Row(n), 84, 11, kEdit, 0, nullptr},                                \
        {ZRWC_EDIT, deg, nullptr, kEditX, Row(n), 30, 11, kEdit, 0, nullptr},                                \
        {ZRWC_STATIC, colon1, ":", 201, static_cast<short>(Row(n) + 2), 4, 8, SS_CENTER, 0, nullptr},        \
        {ZRWC_EDIT, min, nullptr, 206, Row(n), 22, 11, kEdit, 0, nullptr},                                   \
        {ZRWC_STATIC, colon2, ":", 229, static_cast<short>(Row(n) + 2), 4, 8, SS_CENTER, 0, nullptr}, {      \
        ZRWC_EDIT, sec, nullptr, 234, Row(n), 60, 11, kEdit, 0, nullptr                                      \
    }

#define ZR_VALUE_ROW(n, label, id)                                                                           \
    {ZRWC_STATIC, IDC_STATIC, label, kLabelX, static_cast<short>(Row(n) + 2), 58, 8, SS_LEFT, 0, nullptr}, { \
        ZRWC_EDIT, id, nullptr, kEditX, Row(n), 84, 11, kEdit, 0, nullptr                                    \
    }

const CZrDlgItemTemplate kItems[] = {
    // The banner, as on every page of the sheet: bitmap 6708 at its own size.
    {ZRWC_STATIC, IDC_STATIC, nullptr, 7, 7, 88, 155, SS_BITMAP, 6708, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "参数格式:", 106, 7, 40, 8, SS_LEFT, 0, nullptr},
    {ZRWC_BUTTON, 29932, "度:分:秒", 150, 6, 52, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0, nullptr},
    {ZRWC_BUTTON, 29933, "度", 206, 6, 40, 10, BS_AUTORADIOBUTTON, 0, nullptr},
    {ZRWC_BUTTON, IDC_STATIC, "投影参数", 104, 18, 198, 146, BS_GROUPBOX | WS_GROUP, 0, nullptr},
    {ZRWC_STATIC, 29954, "带号:", kLabelX, 30, 40, 8, SS_LEFT, 0, nullptr},
    {ZRWC_COMBOBOX, 29931, nullptr, kEditX, 28, 84, 200, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
     nullptr},
    ZR_ANGLE_ROW(0, "中央经线:", IDC_STATIC, 29915, 29934, 29937, 29935, 29938, 29936),
    ZR_ANGLE_ROW(1, "原点纬线:", IDC_STATIC, 29916, 29941, 29939, 29942, 29940, 29943),
    ZR_ANGLE_ROW(2, "第一标准纬线:", 29906, 29917, 29946, 29944, 29947, 29945, 29948),
    ZR_ANGLE_ROW(3, "第二标准纬线:", IDC_STATIC, 29918, 29951, 29949, 29952, 29950, 29953),
    ZR_ANGLE_ROW(4, "第一点的经度:", IDC_STATIC, 29921, 29959, 29957, 29960, 29958, 29961),
    ZR_ANGLE_ROW(5, "第二点的经度:", IDC_STATIC, 29922, 29964, 29962, 29965, 29963, 29966),
    ZR_ANGLE_ROW(6, "方 位 角:", IDC_STATIC, 29920, 29969, 29967, 29970, 29968, 29971),
    ZR_VALUE_ROW(7, "水平偏移量:", 29913),
    ZR_VALUE_ROW(8, "垂直偏移量:", 29914),
    ZR_VALUE_ROW(9, "比例因子:", 29919),
};

#undef ZR_ANGLE_ROW
#undef ZR_VALUE_ROW

const CZrDialogTemplate kTemplate = {6704,   "用户自定义投影系------[ 2 / 2 ]", 305, 165,
                                     kItems, sizeof kItems / sizeof kItems[0]};

const CZrDialogTemplateRegistrar kRegistrar(&kTemplate);

} // namespace
