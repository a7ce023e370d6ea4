#include "dialog/ZrPagePrjUserDefineSecond.h"

#include "dialog/ZrPageListHelpers_p.h"
#include "dialog/ZrSheetCoordSysSetting.h"
#include "platform/ui/ZrDataExchange.h"

#include <cmath>

namespace {
constexpr long kGaussKruger = 43005;
constexpr long kTransverseMercator = 43006;
constexpr long kObliqueMercator = 43043;
constexpr long kHotineObliqueMercator = 43044;

constexpr double kUtmScaleFactor = 0.9996;
constexpr double kZoneFalseEasting = 500000.0;
// A false easting of n * 1000000 + 500000 carries zone n in its leading
// digits, as Gauss-Krueger grids write it so that coordinates of different
// zones never look alike.
constexpr double kZonePrefixUnit = 1000000.0;
constexpr int kMaxZonePrefix = 120;
constexpr int kSixDegreeZones = 60;
constexpr int kThreeDegreeZones = 120;
constexpr int kFirstZoneIndex = 29; // zone 30 of the transverse Mercator list
constexpr unsigned kFreeZoneStringId = 28778;
constexpr unsigned kRectifiedAngleStringId = 29033;
constexpr const char* kParallel1Label = "第一标准纬线:";

// Fractions of a minute this close to 0 or 1 are rounding noise of the
// decimal value, not seconds.
constexpr double kMinuteNoise = 1e-10;
// Beyond this an angle is no angle; it only keeps the degree field finite.
constexpr double kMaxDegreeMagnitude = 1e6;

using Page = CZrPagePrjUserDefineSecond;

struct AngleControls {
    int decimalId;
    int degreesId, minutesId, secondsId;
    int colonIds[2];
    double limit; // the angle lies within -limit .. limit
};

// Indexed by Page::Angle.
constexpr AngleControls kAngles[Page::ANGLE_COUNT] = {
    {IDC_ZR_PARAM_AZIMUTH, 29969, 29970, 29971, {29967, 29968}, 90.0},
    {IDC_ZR_PARAM_CENTRAL_MERIDIAN, 29934, 29935, 29936, {29937, 29938}, 180.0},
    {IDC_ZR_PARAM_ORIGIN_LATITUDE, 29941, 29942, 29943, {29939, 29940}, 90.0},
    {IDC_ZR_PARAM_PARALLEL1, 29946, 29947, 29948, {29944, 29945}, 90.0},
    {IDC_ZR_PARAM_PARALLEL2, 29951, 29952, 29953, {29949, 29950}, 90.0},
    {IDC_ZR_PARAM_LONGITUDE1, 29959, 29960, 29961, {29957, 29958}, 180.0},
    {IDC_ZR_PARAM_LONGITUDE2, 29964, 29965, 29966, {29962, 29963}, 180.0},
};

// The edit members: the seven decimal edits, the 21 degree/minute/second
// edits, then false easting, false northing and scale factor.
constexpr int kDmsEditBase = Page::ANGLE_COUNT;
constexpr int kFalseEastingEdit = kDmsEditBase + 3 * Page::ANGLE_COUNT;
constexpr int kFalseNorthingEdit = kFalseEastingEdit + 1;
constexpr int kScaleFactorEdit = kFalseEastingEdit + 2;

int EditId(int index) {
    if (index < kDmsEditBase) return kAngles[index].decimalId;
    if (index < kFalseEastingEdit) {
        const AngleControls& a = kAngles[(index - kDmsEditBase) / 3];
        const int part = (index - kDmsEditBase) % 3;
        return part == 0 ? a.degreesId : part == 1 ? a.minutesId : a.secondsId;
    }
    if (index == kFalseEastingEdit) return IDC_ZR_PARAM_FALSE_EASTING;
    if (index == kFalseNorthingEdit) return IDC_ZR_PARAM_FALSE_NORTHING;
    return IDC_ZR_PARAM_SCALE_FACTOR;
}

// The degree field of an angle: an integer, with the sign of an angle
// between -1 and 0 degrees shown as "-0".
void DDX_Degrees(CDataExchange* pDX, int nIDC, ZrDmsAngle& dms) {
    DDX_Text(pDX, nIDC, dms.nDegrees);
    if (pDX->HasFailed()) return;
    CWnd* edit = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (!edit) return;
    if (pDX->m_bSaveAndValidate) {
        CString text = edit->GetText();
        text.Trim();
        dms.bNegative = dms.nDegrees < 0 || (dms.nDegrees == 0 && text.GetLength() > 0 && text[0] == '-');
    } else if (dms.nDegrees == 0 && dms.bNegative) {
        edit->SetWindowText("-0");
    }
}
} // namespace

ZrDmsAngle ZrDegreesToDms(double dDegrees) {
    double x = dDegrees;
    if (!(std::fabs(x) <= kMaxDegreeMagnitude))
        x = std::isnan(x) ? 0.0 : std::copysign(kMaxDegreeMagnitude, x);
    double degrees = std::trunc(x);
    const double minutes = std::fabs(x - degrees) * 60.0;
    double wholeMinutes = std::trunc(minutes);
    const double fraction = minutes - wholeMinutes;
    double seconds = std::fabs(fraction) < kMinuteNoise ? 0.0 : fraction * 60.0;
    if (fraction > 1.0 - kMinuteNoise && fraction < 1.0 + kMinuteNoise) {
        seconds = 0.0;
        wholeMinutes += 1.0;
    }
    // 60 minutes would be refused by the minute field's own range check and
    // keep the user on the page; they are a degree.
    if (wholeMinutes >= 60.0) {
        wholeMinutes -= 60.0;
        degrees += x < 0.0 ? -1.0 : 1.0;
    }
    ZrDmsAngle dms;
    dms.nDegrees = static_cast<int>(degrees);
    dms.nMinutes = static_cast<int>(wholeMinutes);
    dms.dSeconds = seconds;
    dms.bNegative = x < 0.0;
    return dms;
}

double ZrDmsToDegrees(const ZrDmsAngle& dms) {
    const double magnitude = dms.nMinutes / 60.0 + dms.dSeconds / 3600.0;
    const bool negative = dms.nDegrees < 0 || (dms.nDegrees == 0 && dms.bNegative);
    return negative ? dms.nDegrees - magnitude : dms.nDegrees + magnitude;
}

IMPLEMENT_DYNCREATE(CZrPagePrjUserDefineSecond, CPropertyPage)

BEGIN_MESSAGE_MAP(CZrPagePrjUserDefineSecond, CPropertyPage)
ON_BN_CLICKED(IDC_ZR_PARAM_FORMAT_DMS, OnFormatDms)
ON_BN_CLICKED(IDC_ZR_PARAM_FORMAT_DEGREES, OnFormatDegrees)
ON_CBN_SELCHANGE(IDC_ZR_PARAM_ZONES, OnZoneChanged)
END_MESSAGE_MAP()

CZrPagePrjUserDefineSecond::CZrPagePrjUserDefineSecond()
    : CPropertyPage(IDD_ZR_PRJ_USER_SECOND), m_nKind(kGaussKruger), m_dFalseEasting(0.0),
      m_dFalseNorthing(0.0), m_dScaleFactor(1.0), m_nFormat(FORMAT_DEGREES) {
    for (int i = 0; i < ANGLE_COUNT; ++i) {
        m_dAngles[i] = 0.0;
        m_dms[i] = ZrDmsAngle{0, 0, 0.0, 0};
    }
}

CZrPagePrjUserDefineSecond::~CZrPagePrjUserDefineSecond() = default;

void CZrPagePrjUserDefineSecond::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZR_PARAM_ZONES, m_zones);
    for (int i = 0; i < EDIT_COUNT; ++i)
        DDX_Control(pDX, EditId(i), m_edits[i]);

    for (int a = 0; a < ANGLE_COUNT; ++a) {
        DDX_Text(pDX, kAngles[a].decimalId, m_dAngles[a]);
        DDV_MinMaxDouble(pDX, m_dAngles[a], -kAngles[a].limit, kAngles[a].limit);
    }
    DDX_Text(pDX, IDC_ZR_PARAM_FALSE_EASTING, m_dFalseEasting);
    DDX_Text(pDX, IDC_ZR_PARAM_FALSE_NORTHING, m_dFalseNorthing);

    for (int a = 0; a < ANGLE_COUNT; ++a) {
        const int limit = static_cast<int>(kAngles[a].limit);
        DDX_Degrees(pDX, kAngles[a].degreesId, m_dms[a]);
        DDV_MinMaxInt(pDX, m_dms[a].nDegrees, -limit, limit);
        DDX_Text(pDX, kAngles[a].minutesId, m_dms[a].nMinutes);
        DDV_MinMaxInt(pDX, m_dms[a].nMinutes, 0, 59);
        DDX_Text(pDX, kAngles[a].secondsId, m_dms[a].dSeconds);
        DDV_MinMaxDouble(pDX, m_dms[a].dSeconds, 0.0, 60.0);
    }
    DDX_Radio(pDX, IDC_ZR_PARAM_FORMAT_DMS, m_nFormat);

    // Last, so that a refused scale factor leaves every other field read:
    // leaving the page then puts the scale back in range and shows the
    // fields again without losing what the user typed in them.
    DDX_Text(pDX, IDC_ZR_PARAM_SCALE_FACTOR, m_dScaleFactor);
    DDV_MinMaxDouble(pDX, m_dScaleFactor, 0.0, 1.0);
}

namespace {
// One entry of a kind's zone list.
struct Zone {
    int number;
    int width; // degrees
    double centralMeridian;
};

// Transverse Mercator counts its 6-degree zones as UTM does, zone 1 centred
// on 177 W. Gauss-Krueger counts from Greenwich eastwards, as the Chinese and
// the former Soviet grids do: 6-degree zone n is centred on 6n - 3 degrees,
// 3-degree zone n on 3n degrees (both read east of Greenwich, so the list
// shows them between -180 and 180).
int ZoneCountOf(long kind) {
    return kind == kGaussKruger ? kSixDegreeZones + kThreeDegreeZones : kSixDegreeZones;
}

bool ZoneAt(long kind, int index, Zone& zone) {
    if (index < 0 || index >= ZoneCountOf(kind)) return false;
    double east;
    if (kind != kGaussKruger) {
        zone = {index + 1, 6, 6.0 * index - 177.0};
        return true;
    }
    if (index < kSixDegreeZones) {
        zone.number = index + 1;
        zone.width = 6;
        east = 6.0 * zone.number - 3.0;
    } else {
        zone.number = index - kSixDegreeZones + 1;
        zone.width = 3;
        east = 3.0 * zone.number;
    }
    zone.centralMeridian = east > 180.0 ? east - 360.0 : east == 360.0 ? 0.0 : east;
    return true;
}

// The zone number a false easting carries in its leading digits, else 0.
int ZonePrefixOf(double falseEasting) {
    const double prefix = std::floor((falseEasting - kZoneFalseEasting) / kZonePrefixUnit);
    if (!(prefix >= 1.0 && prefix <= kMaxZonePrefix)) return 0;
    return prefix * kZonePrefixUnit + kZoneFalseEasting == falseEasting ? static_cast<int>(prefix) : 0;
}
} // namespace

int CZrPagePrjUserDefineSecond::IsZoneKind() const {
    return m_nKind == kGaussKruger || m_nKind == kTransverseMercator;
}

int CZrPagePrjUserDefineSecond::KindOfFirstPage() const {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    return sheet ? static_cast<int>(sheet->GetUserDefineFirstPage()->GetProjection().GetType()) : m_nKind;
}

void CZrPagePrjUserDefineSecond::TakeParams() {
    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this)) m_params = sheet->m_coordSys.GetParams();
    m_dAngles[ANGLE_AZIMUTH] = m_params.Azimuth;
    m_dAngles[ANGLE_CENTRAL_MERIDIAN] = m_params.CentralMeridian;
    m_dAngles[ANGLE_ORIGIN_LATITUDE] = m_params.CentralParallel;
    m_dAngles[ANGLE_PARALLEL1] = m_params.StandardParallel1;
    m_dAngles[ANGLE_PARALLEL2] = m_params.StandardParallel2;
    m_dAngles[ANGLE_LONGITUDE1] = m_params.FirstPointLongitude;
    m_dAngles[ANGLE_LONGITUDE2] = m_params.SecondPointLongitude;
}

void CZrPagePrjUserDefineSecond::StoreParams() {
    m_params.Azimuth = m_dAngles[ANGLE_AZIMUTH];
    m_params.CentralMeridian = m_dAngles[ANGLE_CENTRAL_MERIDIAN];
    m_params.CentralParallel = m_dAngles[ANGLE_ORIGIN_LATITUDE];
    m_params.FalseEasting = m_dFalseEasting;
    m_params.FalseNorthing = m_dFalseNorthing;
    m_params.FirstPointLongitude = m_dAngles[ANGLE_LONGITUDE1];
    m_params.ScaleFactor = m_dScaleFactor;
    m_params.StandardParallel1 = m_dAngles[ANGLE_PARALLEL1];
    m_params.StandardParallel2 = m_dAngles[ANGLE_PARALLEL2];
    m_params.SecondPointLongitude = m_dAngles[ANGLE_LONGITUDE2];
}

void CZrPagePrjUserDefineSecond::FillZones() {
    m_zones.ResetContent();
    const int count = ZoneCountOf(m_nKind);
    for (int index = 0; index < count; ++index) {
        Zone zone;
        ZoneAt(m_nKind, index, zone);
        CString text;
        if (m_nKind == kGaussKruger)
            text.Format("%d (%d°)", zone.number, zone.width);
        else
            text.Format("%d ", zone.number);
        m_zones.AddString(text);
    }
    CString free;
    free.LoadString(kFreeZoneStringId);
    m_zones.AddString(free);
}

int CZrPagePrjUserDefineSecond::FreeZone(long kind) {
    return ZoneCountOf(kind);
}

int CZrPagePrjUserDefineSecond::MatchingZone(double dCentralMeridian, long kind, double dFalseEasting) {
    // A Gauss-Krueger meridian 6n - 3 is also the centre of a 3-degree zone;
    // the zone number in the false easting tells which one the grid uses,
    // and the 6-degree zone is taken when it carries none.
    const int prefix = ZonePrefixOf(dFalseEasting);
    int found = FreeZone(kind);
    const int count = ZoneCountOf(kind);
    for (int index = 0; index < count; ++index) {
        Zone zone;
        ZoneAt(kind, index, zone);
        if (zone.centralMeridian != dCentralMeridian) continue;
        if (found == FreeZone(kind)) found = index;
        if (zone.number == prefix) return index;
    }
    return found;
}

void CZrPagePrjUserDefineSecond::SelectMatchingZone() {
    m_zones.SetCurSel(MatchingZone(m_dAngles[ANGLE_CENTRAL_MERIDIAN], m_nKind, m_dFalseEasting));
}

void CZrPagePrjUserDefineSecond::EnableAngles(BOOL bEnable) {
    for (const AngleControls& a : kAngles) {
        for (int id : {a.decimalId, a.degreesId, a.minutesId, a.secondsId, a.colonIds[0], a.colonIds[1]})
            ZrEnableDlgItem(this, id, bEnable);
    }
}

void CZrPagePrjUserDefineSecond::ApplyZone() {
    Zone zone;
    if (!ZoneAt(m_nKind, m_zones.GetCurSel(), zone)) {
        EnableAngles(TRUE);
        return;
    }
    EnableAngles(FALSE);
    m_dAngles[ANGLE_CENTRAL_MERIDIAN] = zone.centralMeridian;
    DecimalToDms();
    UpdateData(FALSE);
}

void CZrPagePrjUserDefineSecond::DecimalToDms() {
    for (int a = 0; a < ANGLE_COUNT; ++a)
        m_dms[a] = ZrDegreesToDms(m_dAngles[a]);
}

void CZrPagePrjUserDefineSecond::DmsToDecimal() {
    for (int a = 0; a < ANGLE_COUNT; ++a)
        m_dAngles[a] = ZrDmsToDegrees(m_dms[a]);
}

void CZrPagePrjUserDefineSecond::ShowFormat() {
    const BOOL dms = m_nFormat == FORMAT_DMS;
    for (const AngleControls& a : kAngles) {
        ZrShowDlgItem(this, a.decimalId, !dms);
        for (int id : {a.degreesId, a.minutesId, a.secondsId, a.colonIds[0], a.colonIds[1]})
            ZrShowDlgItem(this, id, dms);
    }
}

void CZrPagePrjUserDefineSecond::SetLimits() {
    for (int a = 0; a < ANGLE_COUNT; ++a) {
        const double limit = kAngles[a].limit;
        CZrNumEdit& decimal = m_edits[a];
        decimal.SetNumberType(CZrNumEdit::NUMBER_REAL);
        decimal.SetLimit(limit, -limit);
        CZrNumEdit* dms = &m_edits[kDmsEditBase + 3 * a];
        dms[0].SetNumberType(CZrNumEdit::NUMBER_INTEGER);
        dms[0].SetLimit(limit, -limit);
        dms[1].SetNumberType(CZrNumEdit::NUMBER_INTEGER);
        dms[1].SetLimit(59.0, 0.0);
        dms[2].SetNumberType(CZrNumEdit::NUMBER_REAL);
        dms[2].SetLimit(60.0, 0.0);
    }
    // The azimuth's minutes have always taken a real number in the edit; the
    // data exchange still asks for an integer.
    m_edits[kDmsEditBase + 3 * ANGLE_AZIMUTH + 1].SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_edits[kFalseEastingEdit].SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_edits[kFalseEastingEdit].ClearLimit();
    m_edits[kFalseNorthingEdit].SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_edits[kFalseNorthingEdit].ClearLimit();
    m_edits[kScaleFactorEdit].SetNumberType(CZrNumEdit::NUMBER_REAL);
    m_edits[kScaleFactorEdit].SetLimit(1.0, 0.0);
}

BOOL CZrPagePrjUserDefineSecond::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    TakeParams();
    m_dFalseEasting = m_params.FalseEasting;
    m_dFalseNorthing = m_params.FalseNorthing;
    m_dScaleFactor = m_params.ScaleFactor;
    m_nKind = KindOfFirstPage();

    FillZones();
    m_zones.SetCurSel(kFirstZoneIndex);
    ApplyZone();
    m_dAngles[ANGLE_CENTRAL_MERIDIAN] = m_params.CentralMeridian;
    if (IsZoneKind()) {
        SelectMatchingZone();
        ApplyZone();
    }

    DecimalToDms();
    if (m_nFormat == FORMAT_DEGREES)
        DmsToDecimal();
    else
        DecimalToDms();
    ShowFormat();
    SetLimits();
    return TRUE;
}

BOOL CZrPagePrjUserDefineSecond::OnSetActive() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (sheet && sheet->m_bParamsChanged) {
        // Another kind was picked: start again from the sheet's parameters
        // with the kind's own false origin and scale.
        TakeParams();
        m_dFalseEasting = 0.0;
        m_dFalseNorthing = 0.0;
        m_dScaleFactor = 1.0;
        m_nKind = KindOfFirstPage();
        // Each kind counts its zones its own way.
        FillZones();
        if (IsZoneKind()) {
            SelectMatchingZone();
            m_dFalseEasting = kZoneFalseEasting;
            if (m_nKind == kTransverseMercator) m_dScaleFactor = kUtmScaleFactor;
            ApplyZone();
        }
        sheet->m_bParamsChanged = 0;
    }

    DecimalToDms();
    if (m_nFormat == FORMAT_DEGREES) DmsToDecimal();
    ShowFormat();
    UpdateData(FALSE);
    ZrSetPageWizardButtons(this, PSWIZB_BACK | PSWIZB_NEXT);

    if (IsZoneKind()) {
        ZrShowDlgItem(this, IDC_ZR_PARAM_ZONES, TRUE);
        ZrShowDlgItem(this, IDC_ZR_PARAM_ZONE_LABEL, TRUE);
    } else {
        ZrShowDlgItem(this, IDC_ZR_PARAM_ZONES, FALSE);
        ZrShowDlgItem(this, IDC_ZR_PARAM_ZONE_LABEL, FALSE);
        EnableAngles(TRUE);
    }

    // The oblique Mercator kinds keep their rectified angle in the first
    // standard parallel.
    CString label = kParallel1Label;
    if (m_nKind == kObliqueMercator || m_nKind == kHotineObliqueMercator)
        label.LoadString(kRectifiedAngleStringId);
    if (CWnd* item = GetDlgItem(IDC_ZR_PARAM_PARALLEL1_LABEL)) item->SetWindowText(label);

    return CPropertyPage::OnSetActive();
}

void CZrPagePrjUserDefineSecond::OnFormatDms() {
    // The shown fields are the truth: bring the hidden ones in line before
    // converting, so that clicking the checked button loses nothing typed.
    const int shown = m_nFormat;
    if (UpdateData(TRUE)) {
        if (shown == FORMAT_DMS) DmsToDecimal();
        m_nFormat = FORMAT_DMS;
        ShowFormat();
        DecimalToDms();
    }
    UpdateData(FALSE);
}

void CZrPagePrjUserDefineSecond::OnFormatDegrees() {
    const int shown = m_nFormat;
    if (UpdateData(TRUE)) {
        if (shown == FORMAT_DEGREES) DecimalToDms();
        m_nFormat = FORMAT_DEGREES;
        ShowFormat();
        DmsToDecimal();
    }
    UpdateData(FALSE);
}

void CZrPagePrjUserDefineSecond::OnZoneChanged() {
    // Applying a zone shows every field again from the page's values; read
    // what the user typed first so that it is not lost.
    const int shown = m_nFormat;
    UpdateData(TRUE);
    m_nFormat = shown;
    if (shown == FORMAT_DMS) DmsToDecimal();
    // A false easting that carries the zone number follows the zone: keeping
    // the old prefix with the new meridian gives a grid that exists nowhere.
    Zone zone;
    if (ZonePrefixOf(m_dFalseEasting) && ZoneAt(m_nKind, m_zones.GetCurSel(), zone))
        m_dFalseEasting += (zone.number - ZonePrefixOf(m_dFalseEasting)) * kZonePrefixUnit;
    ApplyZone();
}

BOOL CZrPagePrjUserDefineSecond::Leave() {
    const int shown = m_nFormat;
    const BOOL read = UpdateData(TRUE);
    m_nFormat = shown;
    if (m_dScaleFactor > 1.0 || m_dScaleFactor < 0.0) {
        m_dScaleFactor = m_dScaleFactor > 1.0 ? 1.0 : 0.0;
        UpdateData(FALSE);
        return FALSE;
    }
    // A field that failed its check has shown its message and holds the
    // focus; moving on would only check the page again on leaving it and
    // show the same message a second time.
    if (!read) return FALSE;
    if (m_nFormat == FORMAT_DMS) DmsToDecimal();
    StoreParams();
    return TRUE;
}

LRESULT CZrPagePrjUserDefineSecond::OnWizardBack() {
    if (!Leave()) return -1;
    return CPropertyPage::OnWizardBack();
}

LRESULT CZrPagePrjUserDefineSecond::OnWizardNext() {
    if (!Leave()) return -1;
    return CPropertyPage::OnWizardNext();
}

BOOL CZrPagePrjUserDefineSecond::OnWizardFinish() {
    if (!Leave()) return FALSE;
    return CPropertyPage::OnWizardFinish();
}
