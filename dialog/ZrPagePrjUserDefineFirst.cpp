#include "dialog/ZrPagePrjUserDefineFirst.h"

#include "dialog/ZrPageListHelpers_p.h"
#include "dialog/ZrSheetCoordSysSetting.h"
#include "dialog/ZrUserDefineLists_p.h"
#include "platform/ui/ZrDataExchange.h"

namespace {
constexpr long kUserDefine = -1;
constexpr const char* kUserDefineText = "User Define";
constexpr const char* kUserDefinedName = "UserDefine";

constexpr long kMetre = 10000;

// Equatorial radii of the Earth's ellipsoids lie well inside these bounds.
constexpr double kMinAxis = 5000000.0;
constexpr double kMaxAxis = 10000000.0;
constexpr double kMinFlattening = 0.0;
constexpr double kMaxFlattening = 0.999999999999;
constexpr double kMinLongitude = -180.0;
constexpr double kMaxLongitude = 180.0;

// What a predefined geographic system fixes: its datum, spheroid and prime
// meridian can no longer be chosen or typed.
constexpr int kGeoCoordSysParts[] = {IDC_ZR_USER_SPHEROID,   IDC_ZR_USER_PRIME_MERIDIAN,
                                     IDC_ZR_USER_DATUM,      IDC_ZR_USER_AXIS,
                                     IDC_ZR_USER_FLATTENING, IDC_ZR_USER_PM_LONGITUDE};
constexpr int kDatumParts[] = {IDC_ZR_USER_SPHEROID, IDC_ZR_USER_AXIS, IDC_ZR_USER_FLATTENING};
constexpr int kSpheroidParts[] = {IDC_ZR_USER_AXIS, IDC_ZR_USER_FLATTENING};
constexpr int kGeoCoordSysChoices[] = {IDC_ZR_USER_PRIME_MERIDIAN, IDC_ZR_USER_DATUM};

template <std::size_t N> constexpr int Count(const int (&)[N]) {
    return static_cast<int>(N);
}

void FillNamedCodes(CComboBox& list, const ZrNamedCode* entries, int count) {
    for (int i = 0; i < count; ++i)
        ZrAddCodedString(list, entries[i].name, entries[i].code);
}

void SelectCode(CComboBox& list, long code) {
    list.SetCurSel(ZrFindItemCode(list, code));
}
} // namespace

IMPLEMENT_DYNCREATE(CZrPagePrjUserDefineFirst, CPropertyPage)

BEGIN_MESSAGE_MAP(CZrPagePrjUserDefineFirst, CPropertyPage)
ON_CBN_SELCHANGE(IDC_ZR_USER_KIND, OnKindChanged)
ON_CBN_SELCHANGE(IDC_ZR_USER_UNITS, OnUnitsChanged)
ON_CBN_SELCHANGE(IDC_ZR_USER_GCS, OnGeoCoordSysChanged)
ON_CBN_SELCHANGE(IDC_ZR_USER_DATUM, OnDatumChanged)
ON_CBN_SELCHANGE(IDC_ZR_USER_SPHEROID, OnSpheroidChanged)
ON_CBN_SELCHANGE(IDC_ZR_USER_PRIME_MERIDIAN, OnPrimeMeridianChanged)
ON_EN_KILLFOCUS(IDC_ZR_USER_AXIS, OnEditKillFocus)
ON_EN_KILLFOCUS(IDC_ZR_USER_FLATTENING, OnEditKillFocus)
ON_EN_KILLFOCUS(IDC_ZR_USER_PM_LONGITUDE, OnEditKillFocus)
END_MESSAGE_MAP()

CZrPagePrjUserDefineFirst::CZrPagePrjUserDefineFirst()
    : CPropertyPage(IDD_ZR_PRJ_USER_FIRST), m_nUnits(kMetre), m_bUserGeoCoordSys(0), m_bUserDatum(0),
      m_bUserSpheroid(0), m_bUserPrimeMeridian(0) {
    m_datum = m_gcs.GetDatum();
    m_spheroid = m_datum.GetSpheroid();
    m_primeMeridian = m_gcs.GetPrimeMeridian();
    m_dAxis = m_spheroid.GetAxis();
    m_dFlattening = m_spheroid.GetFlattening();
    m_dPrimeMeridianLongitude = m_primeMeridian.GetLongitude();
}

CZrPagePrjUserDefineFirst::~CZrPagePrjUserDefineFirst() = default;

void CZrPagePrjUserDefineFirst::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZR_USER_UNITS, m_units);
    DDX_Control(pDX, IDC_ZR_USER_SPHEROID, m_spheroids);
    DDX_Control(pDX, IDC_ZR_USER_KIND, m_kinds);
    DDX_Control(pDX, IDC_ZR_USER_PRIME_MERIDIAN, m_primeMeridians);
    DDX_Control(pDX, IDC_ZR_USER_GCS, m_geoCoordSystems);
    DDX_Control(pDX, IDC_ZR_USER_DATUM, m_datums);
    DDX_Control(pDX, IDC_ZR_USER_AXIS, m_axisEdit);
    DDX_Control(pDX, IDC_ZR_USER_FLATTENING, m_flatteningEdit);
    DDX_Control(pDX, IDC_ZR_USER_PM_LONGITUDE, m_primeMeridianEdit);
    DDX_Text(pDX, IDC_ZR_USER_AXIS, m_dAxis);
    DDV_MinMaxDouble(pDX, m_dAxis, kMinAxis, kMaxAxis);
    DDX_Text(pDX, IDC_ZR_USER_FLATTENING, m_dFlattening);
    DDV_MinMaxDouble(pDX, m_dFlattening, kMinFlattening, kMaxFlattening);
    DDX_Text(pDX, IDC_ZR_USER_PM_LONGITUDE, m_dPrimeMeridianLongitude);
    DDV_MinMaxDouble(pDX, m_dPrimeMeridianLongitude, kMinLongitude, kMaxLongitude);
}

void CZrPagePrjUserDefineFirst::SetButtons(DWORD dwFlags) {
    ZrSetPageWizardButtons(this, dwFlags);
}

void CZrPagePrjUserDefineFirst::EnableItems(const int* ids, int count, BOOL bEnable) {
    for (int i = 0; i < count; ++i)
        ZrEnableDlgItem(this, ids[i], bEnable);
}

int CZrPagePrjUserDefineFirst::IsGeographicOnly() const {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    return sheet && sheet->GetKindPage()->IsUserGeoCoordSys();
}

void CZrPagePrjUserDefineFirst::CopyFromCoordSys() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    const CZrPJCoordSys& coordSys = sheet->m_coordSys;
    m_gcs = coordSys.GetGCS();
    m_datum = m_gcs.GetDatum();
    m_primeMeridian = m_gcs.GetPrimeMeridian();
    m_projection = coordSys.GetProjection();
    m_spheroid = m_datum.GetSpheroid();
    m_nUnits = coordSys.GetUnits();
}

BOOL CZrPagePrjUserDefineFirst::OnInitDialog() {
    CPropertyPage::OnInitDialog();

    if (IsGeographicOnly()) {
        // Only a geographic system is defined here: no projection kind, and
        // this page finishes.
        ZrEnableDlgItem(this, IDC_ZR_USER_KIND, FALSE);
        SetButtons(PSWIZB_BACK | PSWIZB_FINISH);
    } else {
        m_bUserGeoCoordSys = m_bUserDatum = m_bUserSpheroid = m_bUserPrimeMeridian = 0;
        SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
        CopyFromCoordSys();
        FillKinds();
    }

    FillUnits();

    FillGeoCoordSystems();
    SelectCode(m_geoCoordSystems, m_gcs.GetType());
    if (m_gcs.GetType() == kUserDefine) {
        m_bUserGeoCoordSys = 1;
        EnableItems(kGeoCoordSysChoices, Count(kGeoCoordSysChoices), TRUE);
    } else {
        m_bUserGeoCoordSys = 0;
        EnableItems(kGeoCoordSysParts, Count(kGeoCoordSysParts), FALSE);
    }

    FillPrimeMeridians();
    SelectCode(m_primeMeridians, m_primeMeridian.GetType());
    ZrEnableDlgItem(this, IDC_ZR_USER_PM_LONGITUDE, m_primeMeridian.GetType() == kUserDefine);
    m_dPrimeMeridianLongitude = m_primeMeridian.GetLongitude();
    m_bUserPrimeMeridian = 0;

    FillDatums();
    SelectCode(m_datums, m_datum.GetType());
    if (m_datum.GetType() == kUserDefine)
        ZrEnableDlgItem(this, IDC_ZR_USER_SPHEROID, TRUE);
    else
        EnableItems(kDatumParts, Count(kDatumParts), FALSE);
    m_bUserDatum = 0;

    FillSpheroids();
    m_dAxis = m_spheroid.GetAxis();
    m_dFlattening = m_spheroid.GetFlattening();
    SelectCode(m_spheroids, m_spheroid.GetType());
    m_bUserSpheroid = m_spheroid.GetType() == kUserDefine;
    EnableItems(kSpheroidParts, Count(kSpheroidParts), m_bUserSpheroid);

    m_axisEdit.SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_axisEdit.SetLimit(kMaxAxis, kMinAxis);
    m_flatteningEdit.SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_flatteningEdit.SetLimit(1.0, 0.0);
    m_primeMeridianEdit.SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_primeMeridianEdit.SetLimit(kMaxLongitude, kMinLongitude);

    UpdateData(FALSE);
    return TRUE;
}

void CZrPagePrjUserDefineFirst::FillKinds() {
    m_kinds.ResetContent();
    int count = 0;
    const ZrNamedCode* kinds = ZrProjectionKindListEntries(&count);
    FillNamedCodes(m_kinds, kinds, count);
    int index = ZrFindItemCode(m_kinds, m_projection.GetType());
    if (index == CB_ERR && m_kinds.GetCount() > 0) {
        index = 0;
        m_projection.Set(static_cast<tagPJObjectType>(static_cast<long>(m_kinds.GetItemData(0))));
    }
    m_kinds.SetCurSel(index);
}

void CZrPagePrjUserDefineFirst::FillUnits() {
    ZrFillUnitList(m_units);
    // A geographic system has no linear unit (0); its coordinates would
    // otherwise come out in a unit that cannot be built.
    if (m_nUnits == 0) m_nUnits = kMetre;
    int index = ZrFindItemCode(m_units, m_nUnits);
    if (index == CB_ERR) {
        index = ZrFindItemCode(m_units, kMetre);
        m_nUnits = kMetre;
    }
    m_units.SetCurSel(index);
}

void CZrPagePrjUserDefineFirst::FillGeoCoordSystems() {
    m_geoCoordSystems.ResetContent();
    int count = 0;
    const ZrNamedCode* entries = ZrGeoCoordSysListEntries(&count);
    FillNamedCodes(m_geoCoordSystems, entries, count);
    // Inserted, not added: it stays last in the sorted list.
    ZrInsertCodedString(m_geoCoordSystems, kUserDefineText, kUserDefine);
}

void CZrPagePrjUserDefineFirst::FillDatums() {
    m_datums.ResetContent();
    const std::vector<ZrNamedCode> entries = ZrDatumListEntries();
    FillNamedCodes(m_datums, entries.data(), static_cast<int>(entries.size()));
    ZrInsertCodedString(m_datums, kUserDefineText, kUserDefine);
}

void CZrPagePrjUserDefineFirst::FillSpheroids() {
    m_spheroids.ResetContent();
    int count = 0;
    const ZrNamedCode* entries = ZrSpheroidListEntries(&count);
    FillNamedCodes(m_spheroids, entries, count);
    ZrAddCodedString(m_spheroids, kUserDefineText, kUserDefine);
}

void CZrPagePrjUserDefineFirst::FillPrimeMeridians() {
    m_primeMeridians.ResetContent();
    int count = 0;
    const ZrNamedCode* entries = ZrPrimeMeridianListEntries(&count);
    FillNamedCodes(m_primeMeridians, entries, count);
    ZrAddCodedString(m_primeMeridians, kUserDefineText, kUserDefine);
}

void CZrPagePrjUserDefineFirst::SelectCurrentEntries() {
    SelectCode(m_geoCoordSystems, m_gcs.GetType());
    SelectCode(m_datums, m_datum.GetType());
    SelectCode(m_primeMeridians, m_primeMeridian.GetType());
    SelectCode(m_kinds, m_projection.GetType());
    SelectCode(m_spheroids, m_spheroid.GetType());
    if (m_nUnits == 0) m_nUnits = kMetre;
    SelectCode(m_units, m_nUnits);
}

void CZrPagePrjUserDefineFirst::ShowSpheroid() {
    m_dAxis = m_spheroid.GetAxis();
    m_dFlattening = m_spheroid.GetFlattening();
}

BOOL CZrPagePrjUserDefineFirst::OnSetActive() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (IsGeographicOnly()) {
        ZrEnableDlgItem(this, IDC_ZR_USER_KIND, FALSE);
        SetButtons(PSWIZB_BACK | PSWIZB_FINISH);
    } else {
        if (sheet && sheet->m_bPrjLoaded) {
            // A file was loaded on the kind page; the edits keep what they show.
            CopyFromCoordSys();
            SelectCurrentEntries();
            sheet->m_bPrjLoaded = 0;
        }
        SetButtons(PSWIZB_BACK | PSWIZB_NEXT);
    }
    return CPropertyPage::OnSetActive();
}

void CZrPagePrjUserDefineFirst::BuildGeoCoordSys() {
    if (!m_bUserGeoCoordSys) return;
    if (m_bUserDatum) {
        if (m_bUserSpheroid) m_spheroid.Set(kUserDefinedName, m_dAxis, m_dFlattening);
        m_datum.Set(kUserDefinedName, m_spheroid);
    }
    if (m_bUserPrimeMeridian) m_primeMeridian.Set(kUserDefinedName, m_dPrimeMeridianLongitude);
    m_gcs.Set(kUserDefinedName, m_datum, m_primeMeridian, 0);
}

// A field that fails its check has shown its message and keeps the focus:
// the page stays, rather than checking again on leaving (a second message)
// or finishing with the values from before the user's entry.
LRESULT CZrPagePrjUserDefineFirst::OnWizardNext() {
    if (!UpdateData(TRUE)) return -1;
    BuildGeoCoordSys();
    return CPropertyPage::OnWizardNext();
}

BOOL CZrPagePrjUserDefineFirst::OnWizardFinish() {
    if (!UpdateData(TRUE)) return FALSE;
    BuildGeoCoordSys();
    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this))
        sheet->m_coordSys.SetEarth(m_gcs, m_nUnits);
    return CPropertyPage::OnWizardFinish();
}

LRESULT CZrPagePrjUserDefineFirst::OnWizardBack() {
    // Straight back to the kind page: the predefined page is not in the way
    // of a user-defined system. The kind page restores the sheet's pages
    // when it becomes active, which takes this page's window away, so the
    // sheet is held here rather than asked through the window.
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return CPropertyPage::OnWizardBack();
    if (!sheet->SetActivePage(sheet->GetKindPage())) return -1;
    sheet->SetWizardButtons(PSWIZB_NEXT);
    return CPropertyPage::OnWizardBack();
}

void CZrPagePrjUserDefineFirst::OnKindChanged() {
    m_projection.Set(static_cast<tagPJObjectType>(ZrSelectedItemCode(m_kinds, m_projection.GetType())));
    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this)) sheet->m_bParamsChanged = 1;
}

void CZrPagePrjUserDefineFirst::OnUnitsChanged() {
    m_nUnits = ZrSelectedItemCode(m_units, m_nUnits);
}

void CZrPagePrjUserDefineFirst::OnGeoCoordSysChanged() {
    const long code = ZrSelectedItemCode(m_geoCoordSystems, m_gcs.GetType());
    if (code == kUserDefine) {
        EnableItems(kGeoCoordSysChoices, Count(kGeoCoordSysChoices), TRUE);
        m_bUserGeoCoordSys = 1;
        return;
    }
    m_bUserGeoCoordSys = 0;
    m_gcs.Set(static_cast<tagGeoCoordSysType>(code));
    m_datum = m_gcs.GetDatum();
    m_spheroid = m_datum.GetSpheroid();
    m_primeMeridian = m_gcs.GetPrimeMeridian();
    SelectCode(m_datums, m_datum.GetType());
    SelectCode(m_spheroids, m_spheroid.GetType());
    SelectCode(m_primeMeridians, m_primeMeridian.GetType());
    ShowSpheroid();
    m_dPrimeMeridianLongitude = m_primeMeridian.GetLongitude();
    UpdateData(FALSE);
    EnableItems(kGeoCoordSysParts, Count(kGeoCoordSysParts), FALSE);
}

void CZrPagePrjUserDefineFirst::OnDatumChanged() {
    const long code = ZrSelectedItemCode(m_datums, m_datum.GetType());
    if (code == kUserDefine) {
        ZrEnableDlgItem(this, IDC_ZR_USER_SPHEROID, TRUE);
        m_bUserDatum = 1;
        return;
    }
    m_bUserDatum = 0;
    m_datum.Set(static_cast<tagDatumType>(code));
    m_spheroid = m_datum.GetSpheroid();
    SelectCode(m_spheroids, m_spheroid.GetType());
    ShowSpheroid();
    UpdateData(FALSE);
    EnableItems(kDatumParts, Count(kDatumParts), FALSE);
}

void CZrPagePrjUserDefineFirst::OnSpheroidChanged() {
    const long code = ZrSelectedItemCode(m_spheroids, m_spheroid.GetType());
    if (code == kUserDefine) {
        EnableItems(kSpheroidParts, Count(kSpheroidParts), TRUE);
        m_bUserSpheroid = 1;
        return;
    }
    m_bUserSpheroid = 0;
    m_spheroid.Set(static_cast<tagPJSpheroidType>(code));
    ShowSpheroid();
    UpdateData(FALSE);
    EnableItems(kSpheroidParts, Count(kSpheroidParts), FALSE);
}

void CZrPagePrjUserDefineFirst::OnPrimeMeridianChanged() {
    const long code = ZrSelectedItemCode(m_primeMeridians, m_primeMeridian.GetType());
    if (code == kUserDefine) {
        ZrEnableDlgItem(this, IDC_ZR_USER_PM_LONGITUDE, TRUE);
        m_bUserPrimeMeridian = 1;
        return;
    }
    m_bUserPrimeMeridian = 0;
    m_primeMeridian.Set(static_cast<tagPJPrimeMeridianType>(code));
    m_dPrimeMeridianLongitude = m_primeMeridian.GetLongitude();
    UpdateData(FALSE);
    ZrEnableDlgItem(this, IDC_ZR_USER_PM_LONGITUDE, FALSE);
}

void CZrPagePrjUserDefineFirst::OnEditKillFocus() {
    UpdateData(TRUE);
}
