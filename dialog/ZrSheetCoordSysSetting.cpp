#include "dialog/ZrSheetCoordSysSetting.h"

#include "interop/ZrInterop.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ZrString.h"
#include "platform/ZrCodePage.h"
#include "platform/ZrFile.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrUserLanguage.h"

#include <cctype>
#include <strings.h>
#include <string>

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

// A coordinate-system file of any form is a few kilobytes; anything beyond
// this is not one, and reading it whole would only stall the dialog.
constexpr size_t kMaxSystemFileBytes = 1u << 20;

// Reads a coordinate-system file of any form the library knows, judged by its
// content and not by its extension: a ".prj" is as often a shapefile's ESRI
// text as this library's key-value file. 1 and cs replaced, or 0 and cs
// untouched.
int ReadAnySystemFile(const CString& path, CZrPJCoordSys& cs) {
    std::string content;
    // Only regular files are read: a FIFO chosen in the dialog is refused at
    // once rather than waited on.
    if (!CZrFile::ReadAll(path.c_str(), content) || content.size() > kMaxSystemFileBytes ||
        content.find('\0') != std::string::npos)
        return 0;
    // A byte-order mark says nothing about the form.
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) content.erase(0, 3);
    const std::string text = ZrTrimmed(content);
    if (text.empty()) return 0;

    // Exchange texts are UTF-8, but a .prj written on a Chinese or Japanese
    // host holds its names in that host's code page, as this library's own
    // files do; those bytes would reach the system's name as mojibake.
    std::string exchange = text;
    if (!CZrCodePage::IsValidUtf8(text)) CZrCodePage::ToUtf8(text, CZrCodePage::Current(), exchange);

    CZrPJCoordSys read;
    int ok = 0;
    if (ZrDetectCrsTextFormat(CString(exchange)) != ZR_CRS_TEXT_UNKNOWN)
        ok = ZrImportCoordSys(CString(exchange), read);
    else if (text[0] == '<')
        ok = ZrOpenXmlProjectionFile(path, read);
    else if (ZrIsKeyValueProjectionText(text))
        ok = ZrOpenKeyValueProjectionFile(path, read);
    else if (ZrIsOneLineProjectionText(text))
        ok = ZrOpenTextProjectionFile(path, read);
    // A system its own operator refuses would project every point to nothing
    // after Finish; a planar system has no operator to build.
    if (!ok || (read.GetType() != PJ_CS_PLANAR && !read.IsValid())) return 0;
    cs = read;
    return 1;
}

CString UnreadableFileMessage() {
    switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
    case ZR_LANG_CHINESE:
        return "无法从该文件读出坐标系，未载入该文件。";
    case ZR_LANG_JAPANESE:
        return "このファイルから座標系を読み取れません。ファイルは読み込まれませんでした。";
    default:
        return "No coordinate system can be read from the file. The file was not loaded.";
    }
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

    // Every form is read by its content: a file that reads as none of them is
    // refused with a message and the sheet keeps its system, rather than
    // becoming a default system the user would take for what they loaded.
    if (!ReadAnySystemFile(dlg.GetPathName(), m_coordSys)) {
        AfxMessageBox(UnreadableFileMessage(), MB_ICONEXCLAMATION);
        return 0;
    }
    m_bPrjLoaded = 1;
    m_bParamsChanged = 0;
    return 1;
}

CZrSheetCoordSysSetting* ZrGetCoordSysSheet(const CWnd* pPage) {
    return pPage ? dynamic_cast<CZrSheetCoordSysSetting*>(pPage->GetParent()) : nullptr;
}
