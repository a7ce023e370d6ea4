// Dialog 6705: the preview page of the coordinate-system sheet.

#include "dialog/ZrPageCoordSysSetting.h"
#include "dialog/ZrPagePrjUserDefinePreview.h"
#include "platform/ui/ZrDialogTemplate.h"

namespace {
const CZrDlgItemTemplate kItems[] = {
    {ZRWC_STATIC, IDC_STATIC, nullptr, 7, 7, 88, 155, SS_BITMAP, IDB_ZR_COORDSYS_BANNER, nullptr},
    {ZRWC_BUTTON, IDC_ZR_PREVIEW_SAMPLE, nullptr, 109, 7, 192, 129, BS_OWNERDRAW, 0, nullptr},
    {ZRWC_BUTTON, IDC_ZR_PREVIEW_SAVE, "保存投影设置(&S)", 209, 146, 92, 14, BS_PUSHBUTTON | WS_TABSTOP, 0,
     nullptr},
};

const CZrDialogTemplate kTemplate = {
    IDD_ZR_PRJ_PREVIEW, "投影预览", 305, 169, kItems, sizeof kItems / sizeof kItems[0]};
const CZrDialogTemplateRegistrar kRegistrar(&kTemplate);
} // namespace
