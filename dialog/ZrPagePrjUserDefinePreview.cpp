#include "dialog/ZrPagePrjUserDefinePreview.h"

#include "dialog/ZrAreaOfUse.h"
#include "dialog/ZrPageListHelpers_p.h"
#include "dialog/ZrSheetCoordSysSetting.h"
#include "interop/ZrInterop.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrUiBackend.h"

IMPLEMENT_DYNCREATE(CZrPagePrjUserDefinePreview, CPropertyPage)

namespace {
constexpr unsigned kUserSystemNameStringId = 28899; // "用户自定义投影系"
constexpr COLORREF kSampleBackground = RGB(240, 240, 240);
} // namespace

void ZrDrawCoordSysSample(CWnd* pControl, CZrPJCoordSys& coordSys) {
    if (!pControl || !pControl->IsWindow()) return;
    CDC* dc = pControl->GetDC();
    if (!dc) return;
    CRect rc;
    pControl->GetClientRect(&rc);
    CRgn rgn;
    rgn.CreateRectRgnIndirect(&rc);
    dc->SelectClipRgn(&rgn);
    dc->FillSolidRect(&rc, kSampleBackground);
    coordSys.DrawSample(dc);
    pControl->ReleaseDC(dc);
    rgn.DeleteObject();
}

void ZrDrawCoordSysArea(CWnd* pControl, const CZrPJCoordSys& coordSys) {
    if (!pControl || !pControl->IsWindow()) return;
    CDC* dc = pControl->GetDC();
    if (!dc) return;
    CRect rc;
    pControl->GetClientRect(&rc);
    dc->FillSolidRect(&rc, kSampleBackground);
    ZrAreaOfUse area;
    ZrDrawAreaOfUseMap(dc, rc, ZrCoordSysAreaOfUse(coordSys, area) ? &area : nullptr);
    pControl->ReleaseDC(dc);
}

CString ZrCoordSysDisplayText(const CZrPJCoordSys& coordSys) {
    CString text;
    if (ZrExportCoordSys(coordSys, ZR_CRS_TEXT_PROJ_STRING, text)) return text;
    if (ZrExportCoordSys(coordSys, ZR_CRS_TEXT_ESRI_WKT1, text)) return text;
    return CString();
}

namespace {
// Equal but for the names of the system and its geographic system, which the
// user-defined pages replace by their own.
bool IsSameDefinition(const CZrPJCoordSys& a, const CZrPJCoordSys& b) {
    const CZrPJGeoCoordSys ga = a.GetGCS(), gb = b.GetGCS();
    return a.GetType() == b.GetType() && a.GetProjection() == b.GetProjection() &&
           a.GetParams() == b.GetParams() && a.GetDistUnits() == b.GetDistUnits() &&
           ga.GetDatum() == gb.GetDatum() && ga.GetPrimeMeridian() == gb.GetPrimeMeridian() &&
           ga.GetUnits() == gb.GetUnits();
}
} // namespace

CZrPagePrjUserDefinePreview::CZrPagePrjUserDefinePreview() : CPropertyPage(IDD_ZR_PRJ_PREVIEW) {}

CZrPagePrjUserDefinePreview::~CZrPagePrjUserDefinePreview() = default;

BEGIN_MESSAGE_MAP(CZrPagePrjUserDefinePreview, CPropertyPage)
ON_WM_DRAWITEM()
ON_BN_CLICKED(IDC_ZR_PREVIEW_SAVE, OnSave)
ON_BN_CLICKED(IDC_ZR_PREVIEW_COPY, OnCopy)
END_MESSAGE_MAP()

void CZrPagePrjUserDefinePreview::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
}

void CZrPagePrjUserDefinePreview::Assemble() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    const CZrPagePrjUserDefineFirst* first = sheet->GetUserDefineFirstPage();
    const CZrPagePrjUserDefineSecond* second = sheet->GetUserDefineSecondPage();
    CString name;
    name.LoadString(kUserSystemNameStringId);
    m_coordSys.Set(name, first->GetGeoCoordSys(), first->GetProjection(), second->GetParams(),
                   first->GetUnits());
    // A system loaded, searched or pasted and walked through the pages
    // unchanged is still that system: it keeps its own names ("RGF93 v1 /
    // Lambert-93" on "RGF93 v1"), which tell the user more than the generic
    // ones the pages give it.
    if (IsSameDefinition(sheet->m_coordSys, m_coordSys)) m_coordSys = sheet->m_coordSys;
}

void CZrPagePrjUserDefinePreview::ShowDescription() {
    // The code first, as the search lists it: a long name may not fit.
    CString name;
    const long epsg = ZrEpsgCodeOf(m_coordSys);
    if (epsg > 0) name.Format("EPSG:%ld  ", epsg);
    name += m_coordSys.GetName();
    SetDlgItemText(IDC_ZR_PREVIEW_NAME, name);
    SetDlgItemText(IDC_ZR_PREVIEW_TEXT, ZrCoordSysDisplayText(m_coordSys));
    if (CWnd* area = GetDlgItem(IDC_ZR_PREVIEW_AREA)) area->Invalidate();
}

// A system found or pasted on the kind page comes here straight from it.
static bool IsTakenWhole(const CWnd* page) {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(page);
    return sheet && sheet->GetKindPage()->IsTakenWhole();
}

BOOL CZrPagePrjUserDefinePreview::OnSetActive() {
    if (IsTakenWhole(this))
        m_coordSys = ZrGetCoordSysSheet(this)->m_coordSys;
    else
        Assemble();
    ZrSetPageWizardButtons(this, PSWIZB_BACK | PSWIZB_FINISH);
    // The picture shows the system just assembled.
    if (CWnd* sample = GetDlgItem(IDC_ZR_PREVIEW_SAMPLE)) sample->Invalidate();
    ShowDescription();
    return CPropertyPage::OnSetActive();
}

LRESULT CZrPagePrjUserDefinePreview::OnWizardBack() {
    if (IsTakenWhole(this)) {
        // Back on the kind page, which goes on with Next as it left.
        ZrSetPageWizardButtons(this, PSWIZB_NEXT);
        return IDD_ZR_COORDSYS_KIND;
    }
    return CPropertyPage::OnWizardBack();
}

BOOL CZrPagePrjUserDefinePreview::OnWizardFinish() {
    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this)) sheet->m_coordSys = m_coordSys;
    return CPropertyPage::OnWizardFinish();
}

void CZrPagePrjUserDefinePreview::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (nIDCtl == IDC_ZR_PREVIEW_SAMPLE)
        ZrDrawCoordSysSample(GetDlgItem(IDC_ZR_PREVIEW_SAMPLE), m_coordSys);
    else if (nIDCtl == IDC_ZR_PREVIEW_AREA)
        ZrDrawCoordSysArea(GetDlgItem(IDC_ZR_PREVIEW_AREA), m_coordSys);
    else
        CPropertyPage::OnDrawItem(nIDCtl, lpDrawItemStruct);
}

void CZrPagePrjUserDefinePreview::OnCopy() {
    CString text;
    GetDlgItemText(IDC_ZR_PREVIEW_TEXT, text);
    if (!text.IsEmpty()) ZrSetClipboardText(text);
}

void CZrPagePrjUserDefinePreview::OnSave() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    sheet->m_coordSys = m_coordSys;
    sheet->SavePrjFile(1);
}
