#include "dialog/ZrSheetCoordSysSetting.h"

#include "persistence/ZrPrjFiles.h"
#include "platform/ui/ZrFileDialog.h"

IMPLEMENT_DYNAMIC(CZrSheetCoordSysSetting, CPropertySheet)

namespace {
constexpr unsigned kShapeFileStringId = 29004; // "Shape投影信息文件"
constexpr unsigned kXmlFileStringId = 29005;   // "XML投影信息文件"
constexpr DWORD kFileDialogFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;

CString LoadText(unsigned id) {
    CString text;
    text.LoadString(id);
    return text;
}
} // namespace

CZrSheetCoordSysSetting::CZrSheetCoordSysSetting(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(nIDCaption, pParentWnd, iSelectPage) {
    CommonInit();
}

CZrSheetCoordSysSetting::CZrSheetCoordSysSetting(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(pszCaption, pParentWnd, iSelectPage) {
    CommonInit();
}

CZrSheetCoordSysSetting::~CZrSheetCoordSysSetting() = default;

void CZrSheetCoordSysSetting::CommonInit() {
    m_bPrjLoaded = 0;
    m_bParamsChanged = 0;
    AddPage(&m_pageKind);
    AddPage(&m_pagePreDefined);
    AddPage(&m_pageUserFirst);
    AddPage(&m_pageUserSecond);
    AddPage(&m_pagePreview);
    SetWizardMode();
    m_nAllow = 0;
    SetAllowLongitudeLatitudeCoordsys(1);
    SetAllowOrdinaryPlanCoordsys(1);
    SetAllowProjectedCoordsys(1);
}

int CZrSheetCoordSysSetting::IsAllowOrdinaryPlanCoordsys() {
    return m_nAllow & ZRPRJ_ALLOW_PLANAR;
}
int CZrSheetCoordSysSetting::IsAllowLongitudeLatitudeCoordsys() {
    return m_nAllow & ZRPRJ_ALLOW_LONLAT;
}
int CZrSheetCoordSysSetting::IsAllowProjectedCoordsys() {
    return m_nAllow & ZRPRJ_ALLOW_PROJECTED;
}

static void SetBit(int& bits, int bit, int bOn) {
    if (bOn)
        bits |= bit;
    else
        bits &= ~bit;
}

void CZrSheetCoordSysSetting::SetAllowOrdinaryPlanCoordsys(int bAllow) {
    SetBit(m_nAllow, ZRPRJ_ALLOW_PLANAR, bAllow);
}
void CZrSheetCoordSysSetting::SetAllowLongitudeLatitudeCoordsys(int bAllow) {
    SetBit(m_nAllow, ZRPRJ_ALLOW_LONLAT, bAllow);
}
void CZrSheetCoordSysSetting::SetAllowProjectedCoordsys(int bAllow) {
    SetBit(m_nAllow, ZRPRJ_ALLOW_PROJECTED, bAllow);
}

int CZrSheetCoordSysSetting::SavePrjFile(int bAllowKeyValue) {
    CString filter = LoadText(kXmlFileStringId);
    filter += bAllowKeyValue ? "(*.xml)|*.xml|Orvanta Projection Files (*.prj)|*.prj||" : "(*.xml)|*.xml||";
    CFileDialog dlg(FALSE, "xml", "*.xml", kFileDialogFlags, filter, nullptr);
    if (dlg.DoModal() != IDOK) return 0;

    CString ext = dlg.GetFileExt();
    ext.MakeUpper();
    if (ext == "PRJ") return ZrSaveKeyValueProjectionFile(dlg.GetPathName(), m_coordSys);
    if (ext == "XML") return ZrSaveXmlProjectionFile(dlg.GetPathName(), m_coordSys);
    // A name in neither form writes nothing; telling the caller it was saved
    // would lose the user's system without a word.
    return 0;
}

int CZrSheetCoordSysSetting::OpenPrjFile() {
    CString filter =
        LoadText(kXmlFileStringId) + "(*.xml)|*.xml|" + LoadText(kShapeFileStringId) + "(*.prj)|*.prj||";
    CFileDialog dlg(TRUE, nullptr, "", kFileDialogFlags, filter, nullptr);
    if (dlg.DoModal() != IDOK) return 0;

    CString ext = dlg.GetFileExt();
    ext.MakeUpper();
    int result = 0;
    if (ext == "PRJ") {
        result = ZrOpenKeyValueProjectionFile(dlg.GetPathName(), m_coordSys);
        if (!result) return 0;
    } else if (ext == "XML") {
        // A document that loaded counts as a load even when it holds no
        // coordinate system or its body does not read: the flags are set and
        // the reader's result is returned. Only a document that cannot be
        // loaded leaves m_coordSys and the flags as they were.
        int loaded = 0;
        result = ZrOpenXmlProjectionFile(dlg.GetPathName(), m_coordSys, &loaded);
        if (!loaded) return 0;
    } else {
        return 0;
    }
    m_bPrjLoaded = 1;
    m_bParamsChanged = 0;
    return result;
}

CZrSheetCoordSysSetting* ZrGetCoordSysSheet(const CWnd* pPage) {
    return pPage ? dynamic_cast<CZrSheetCoordSysSetting*>(pPage->GetParent()) : nullptr;
}
