#include "dialog/ZrPagePrjUserDefinePreview.h"

#include "dialog/ZrPageListHelpers_p.h"
#include "dialog/ZrSheetCoordSysSetting.h"
#include "platform/ui/ZrDC.h"

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

CZrPagePrjUserDefinePreview::CZrPagePrjUserDefinePreview() : CPropertyPage(IDD_ZR_PRJ_PREVIEW) {}

CZrPagePrjUserDefinePreview::~CZrPagePrjUserDefinePreview() = default;

BEGIN_MESSAGE_MAP(CZrPagePrjUserDefinePreview, CPropertyPage)
ON_WM_DRAWITEM()
ON_BN_CLICKED(IDC_ZR_PREVIEW_SAVE, OnSave)
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
}

BOOL CZrPagePrjUserDefinePreview::OnSetActive() {
    Assemble();
    ZrSetPageWizardButtons(this, PSWIZB_BACK | PSWIZB_FINISH);
    // The picture shows the system just assembled.
    if (CWnd* sample = GetDlgItem(IDC_ZR_PREVIEW_SAMPLE)) sample->Invalidate();
    return CPropertyPage::OnSetActive();
}

BOOL CZrPagePrjUserDefinePreview::OnWizardFinish() {
    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this)) sheet->m_coordSys = m_coordSys;
    return CPropertyPage::OnWizardFinish();
}

void CZrPagePrjUserDefinePreview::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (nIDCtl != IDC_ZR_PREVIEW_SAMPLE) {
        CPropertyPage::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    ZrDrawCoordSysSample(GetDlgItem(IDC_ZR_PREVIEW_SAMPLE), m_coordSys);
}

void CZrPagePrjUserDefinePreview::OnSave() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    sheet->m_coordSys = m_coordSys;
    sheet->SavePrjFile(1);
}
