// Dialog 6705: the preview page of the coordinate-system sheet.

#include "dialog/ZrPageCoordSysSetting.h"
#include "dialog/ZrPagePrjUserDefinePreview.h"
#include "platform/ui/ZrDialogTemplate.h"

namespace {
const CZrDlgItemTemplate kItems[] = {
    {ZRWC_STATIC, IDC_STATIC, nullptr, 7, 7, 88, 155, SS_BITMAP, IDB_ZR_COORDSYS_BANNER, nullptr},
    {ZRWC_BUTTON, IDC_ZR_PREVIEW_SAMPLE, nullptr, 109, 7, 192, 129, BS_OWNERDRAW, 0, nullptr},
    // Under the sample: the area of use on a world map at two to one, and
    // beside it the system's name and PROJ text. The page is as tall as the
    // predefined page, so the sheet keeps its size.
    {ZRWC_BUTTON, IDC_ZR_PREVIEW_AREA, nullptr, 109, 140, 84, 42, BS_OWNERDRAW, 0, nullptr},
    {ZRWC_STATIC, IDC_ZR_PREVIEW_NAME, nullptr, 197, 139, 104, 17, SS_LEFT, 0, nullptr},
    {ZRWC_EDIT, IDC_ZR_PREVIEW_TEXT, nullptr, 197, 157, 70, 12,
     ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP, 0, nullptr},
    {ZRWC_BUTTON, IDC_ZR_PREVIEW_COPY, "复制(&C)", 270, 156, 31, 14, BS_PUSHBUTTON | WS_TABSTOP, 0, nullptr},
    {ZRWC_BUTTON, IDC_ZR_PREVIEW_SAVE, "保存投影设置(&S)", 197, 171, 104, 13, BS_PUSHBUTTON | WS_TABSTOP, 0,
     nullptr},
};

const CZrDialogTemplate kTemplate = {
    IDD_ZR_PRJ_PREVIEW, "投影预览", 305, 185, kItems, sizeof kItems / sizeof kItems[0]};
const CZrDialogTemplateRegistrar kRegistrar(&kTemplate);
} // namespace
