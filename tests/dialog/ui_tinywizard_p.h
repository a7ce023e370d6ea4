#pragma once

// A two-page wizard built only for the tests of the user-interface layer, on
// templates of its own. Include it in one source per test program: its
// message maps define functions.
//
// Page 1 (kind): radio group planar / geographic / projected, a sorted unit
// list with unit codes as item data, an integer zone edit checked 1..60, a
// numeric scale edit checked 0..1 that exchanges its data when it loses the
// focus, and a save button asking for a file. Planar and geographic finish
// here; projected goes on.
// Page 2 (sample): an owner-drawn sample and an unsorted zone list.

#include "platform/ui/ZrUi.h"

enum {
    IDD_TINY_KIND = 9101,
    IDD_TINY_SAMPLE = 9102,
    IDC_TINY_PLANAR = 9111,
    IDC_TINY_GEOGRAPHIC = 9112,
    IDC_TINY_PROJECTED = 9113,
    IDC_TINY_UNITS = 9120,
    IDC_TINY_ZONE = 9125,
    IDC_TINY_SCALE = 9130,
    IDC_TINY_SAVE = 9150,
    IDC_TINY_SAMPLE = 9160,
    IDC_TINY_ZONES = 9170,
};

inline const CZrDlgItemTemplate kTinyKindItems[] = {
    {ZRWC_BUTTON, IDC_TINY_PLANAR, "平面(&P)", 10, 10, 80, 10, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 0,
     nullptr},
    {ZRWC_BUTTON, IDC_TINY_GEOGRAPHIC, "经纬(&L)", 10, 24, 80, 10, BS_AUTORADIOBUTTON, 0, nullptr},
    {ZRWC_BUTTON, IDC_TINY_PROJECTED, "投影(&J)", 10, 38, 80, 10, BS_AUTORADIOBUTTON, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "Unit", 100, 10, 40, 8, SS_LEFT | WS_GROUP, 0, nullptr},
    {ZRWC_COMBOBOX, IDC_TINY_UNITS, nullptr, 140, 8, 100, 80, CBS_DROPDOWNLIST | CBS_SORT | WS_VSCROLL, 0,
     nullptr},
    {ZRWC_STATIC, IDC_STATIC, "Zone", 100, 28, 40, 8, SS_LEFT, 0, nullptr},
    {ZRWC_EDIT, IDC_TINY_ZONE, "1", 140, 26, 60, 12, ES_AUTOHSCROLL | WS_BORDER, 0, nullptr},
    {ZRWC_STATIC, IDC_STATIC, "Scale", 100, 44, 40, 8, SS_LEFT, 0, nullptr},
    {ZRWC_EDIT, IDC_TINY_SCALE, nullptr, 140, 42, 60, 12, ES_AUTOHSCROLL | WS_BORDER, 0, nullptr},
    {ZRWC_BUTTON, IDC_TINY_SAVE, "保存(&S)", 140, 70, 60, 14, BS_PUSHBUTTON | WS_TABSTOP, 0, nullptr},
};

inline const CZrDlgItemTemplate kTinySampleItems[] = {
    {ZRWC_BUTTON, IDC_TINY_SAMPLE, nullptr, 10, 7, 100, 60, BS_OWNERDRAW, 0, nullptr},
    {ZRWC_COMBOBOX, IDC_TINY_ZONES, nullptr, 120, 7, 60, 100, CBS_DROPDOWNLIST | WS_VSCROLL, 0,
     "1 \n2 \n3 \n"},
};

inline const CZrDialogTemplate kTinyKindTemplate = {
    IDD_TINY_KIND, "坐标系统", 250, 100, kTinyKindItems, sizeof kTinyKindItems / sizeof kTinyKindItems[0]};
inline const CZrDialogTemplate kTinySampleTemplate = {
    IDD_TINY_SAMPLE, "预览", 200, 80, kTinySampleItems, sizeof kTinySampleItems / sizeof kTinySampleItems[0]};

inline void RegisterTinyTemplates() {
    ZrRegisterDialogTemplate(&kTinyKindTemplate);
    ZrRegisterDialogTemplate(&kTinySampleTemplate);
}

// The colours of the sample: background, one dot a pixel along the diagonal,
// a 4 x 4 green marker at (20, 10).
inline const COLORREF kTinyBackground = RGB(240, 240, 240);
inline const COLORREF kTinyDot = RGB(255, 0, 128);
inline const COLORREF kTinyMarker = RGB(0, 255, 0);

class CTinyKindPage : public CPropertyPage {
public:
    CTinyKindPage() : CPropertyPage(IDD_TINY_KIND) {}

    int m_nKind = 0;
    int m_nZone = 1;
    double m_dScale = 1.0;
    long m_nUnit = 10000;
    CComboBox m_units;
    CZrNumEdit m_scale;

    // What the test looks at.
    int m_nInitCount = 0;
    int m_nResetCount = 0;
    int m_nKillFocusCount = 0;
    LRESULT m_nNextResult = 0;
    CString m_strSaved;

    void DoDataExchange(CDataExchange* pDX) override {
        CPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_TINY_UNITS, m_units);
        DDX_Control(pDX, IDC_TINY_SCALE, m_scale);
        DDX_Radio(pDX, IDC_TINY_PLANAR, m_nKind);
        DDX_Text(pDX, IDC_TINY_ZONE, m_nZone);
        DDV_MinMaxInt(pDX, m_nZone, 1, 60);
        DDX_Text(pDX, IDC_TINY_SCALE, m_dScale);
        DDV_MinMaxDouble(pDX, m_dScale, 0.0, 1.0);
    }

    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        ++m_nInitCount;
        static const struct {
            const char* name;
            long code;
        } kUnits[] = {{"metre", 10000}, {"Kilometre", 10000000}, {"foot", 3048}, {"Yard", 9144}};
        m_units.ResetContent();
        for (const auto& unit : kUnits)
            m_units.SetItemData(m_units.AddString(unit.name), unit.code);
        for (int i = 0; i < m_units.GetCount(); ++i)
            if (static_cast<long>(m_units.GetItemData(i)) == m_nUnit) m_units.SetCurSel(i);
        m_scale.SetNumberType(CZrNumEdit::NUMBER_REAL);
        m_scale.SetLimit(1.0, 0.0);
        return TRUE;
    }

    BOOL OnSetActive() override {
        Sheet()->SetWizardButtons(m_nKind == 2 ? PSWIZB_NEXT : PSWIZB_FINISH);
        return CPropertyPage::OnSetActive();
    }

    LRESULT OnWizardNext() override {
        LRESULT base = CPropertyPage::OnWizardNext();
        return m_nNextResult ? m_nNextResult : base;
    }

    BOOL OnWizardFinish() override;
    void OnReset() override { ++m_nResetCount; }

protected:
    CPropertySheet* Sheet() const { return dynamic_cast<CPropertySheet*>(GetParent()); }
    afx_msg void OnPlanar() { Sheet()->SetWizardButtons(PSWIZB_FINISH); }
    afx_msg void OnGeographic() { Sheet()->SetWizardButtons(PSWIZB_FINISH); }
    afx_msg void OnProjected() { Sheet()->SetWizardButtons(PSWIZB_NEXT); }
    afx_msg void OnUnitChanged() { m_nUnit = static_cast<long>(m_units.GetItemData(m_units.GetCurSel())); }
    afx_msg void OnScaleKillFocus() {
        ++m_nKillFocusCount;
        UpdateData(TRUE);
    }
    afx_msg void OnSave() {
        CFileDialog dlg(FALSE, "xml", "*.xml", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                        "XML files (*.xml)|*.xml|Projection files (*.prj)|*.prj||");
        if (dlg.DoModal() == IDOK) m_strSaved = dlg.GetPathName();
    }
    DECLARE_MESSAGE_MAP()
};

class CTinySamplePage : public CPropertyPage {
public:
    CTinySamplePage() : CPropertyPage(IDD_TINY_SAMPLE) {}

    CComboBox m_zones;
    int m_nInitCount = 0;
    int m_nDrawCount = 0;
    int m_nZoneIndex = -1;

    void DoDataExchange(CDataExchange* pDX) override {
        CPropertyPage::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_TINY_ZONES, m_zones);
    }

    BOOL OnInitDialog() override {
        CPropertyPage::OnInitDialog();
        ++m_nInitCount;
        return TRUE;
    }

    BOOL OnSetActive() override {
        dynamic_cast<CPropertySheet*>(GetParent())->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
        return CPropertyPage::OnSetActive();
    }

    BOOL OnWizardFinish() override;

    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDIS) override {
        if (nIDCtl != IDC_TINY_SAMPLE) {
            CPropertyPage::OnDrawItem(nIDCtl, lpDIS);
            return;
        }
        ++m_nDrawCount;
        // As the coordinate-system pages draw: the control's own context,
        // clipped to its client rectangle, grey background, then the dots.
        CWnd* sample = GetDlgItem(IDC_TINY_SAMPLE);
        CDC* dc = sample->GetDC();
        CRect rc;
        sample->GetClientRect(&rc);
        CRgn rgn;
        rgn.CreateRectRgnIndirect(&rc);
        dc->SelectClipRgn(&rgn);
        dc->FillSolidRect(&rc, kTinyBackground);
        for (int i = 0; i < 1000; ++i)
            dc->FillSolidRect(i, i, 1, 1, kTinyDot);
        dc->FillSolidRect(20 - 2, 10 - 2, 4, 4, kTinyMarker);
        sample->ReleaseDC(dc);
        rgn.DeleteObject();
    }

protected:
    afx_msg void OnZoneChanged() { m_nZoneIndex = m_zones.GetCurSel(); }
    DECLARE_MESSAGE_MAP()
};

class CTinySheet : public CPropertySheet {
public:
    CTinyKindPage m_kindPage;
    CTinySamplePage m_samplePage;
    int m_nFinishedOn = 0; // template id of the page that finished

    CTinySheet() : CPropertySheet("Tiny wizard") {
        AddPage(&m_kindPage);
        AddPage(&m_samplePage);
        SetWizardMode();
    }
};

inline BOOL CTinyKindPage::OnWizardFinish() {
    if (auto* sheet = dynamic_cast<CTinySheet*>(GetParent())) sheet->m_nFinishedOn = IDD_TINY_KIND;
    return CPropertyPage::OnWizardFinish();
}

inline BOOL CTinySamplePage::OnWizardFinish() {
    if (auto* sheet = dynamic_cast<CTinySheet*>(GetParent())) sheet->m_nFinishedOn = IDD_TINY_SAMPLE;
    return CPropertyPage::OnWizardFinish();
}

BEGIN_MESSAGE_MAP(CTinyKindPage, CPropertyPage)
ON_BN_CLICKED(IDC_TINY_PLANAR, OnPlanar)
ON_BN_CLICKED(IDC_TINY_GEOGRAPHIC, OnGeographic)
ON_BN_CLICKED(IDC_TINY_PROJECTED, OnProjected)
ON_CBN_SELCHANGE(IDC_TINY_UNITS, OnUnitChanged)
ON_EN_KILLFOCUS(IDC_TINY_SCALE, OnScaleKillFocus)
ON_BN_CLICKED(IDC_TINY_SAVE, OnSave)
END_MESSAGE_MAP()

BEGIN_MESSAGE_MAP(CTinySamplePage, CPropertyPage)
ON_CBN_SELCHANGE(IDC_TINY_ZONES, OnZoneChanged)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()
