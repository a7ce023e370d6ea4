#include "dialog/ZrPageCoordSysSetting.h"

#include "dialog/ZrPageListHelpers_p.h"
#include "dialog/ZrPagePrjUserDefinePreview.h"
#include "dialog/ZrSheetCoordSysSetting.h"
#include "platform/ui/ZrUserLanguage.h"
#include "model/ZrPJTypes.h"
#include "platform/ui/ZrDataExchange.h"
#include "platform/ui/ZrFileDialog.h"
#include "platform/ui/ZrUiBackend.h"
#include "interop/ZrInterop.h"
#include "platform/ZrString.h"
#include "platform/ZrToolkit.h"

IMPLEMENT_DYNCREATE(CZrPageCoordSysSetting, CPropertyPage)

namespace {
// The unit lists: string resources 28764 to 28773, tied to the unit codes by
// their list index. The US survey foot comes last: systems from EPSG and
// from other programs use it, and without an entry of its own the pages
// would turn such a system into metres. The first nine indices keep their
// units, since hosts may hold an index. After them, by their names, EPSG's
// other exact units (Clarke's foot, the Sears yard, ...), for the same reason.
constexpr long kUnitCodes[] = {10000000, 10000, 1000, 100,      10,
                               254,      3048,  9144, 16090000, kZrUnitUsSurveyFoot};
constexpr int kUnitCount = sizeof(kUnitCodes) / sizeof(kUnitCodes[0]);

// The exact units after the US survey foot, which the resources list.
const ZrExactUnit* OtherExactUnits(int& count) {
    const ZrExactUnit* units = ZrExactUnits(count);
    --count;
    return units + 1;
}
constexpr int kMetreIndex = 1;
constexpr long kMetre = 10000;

constexpr unsigned kPredefinedSourceStringId = 28898;
constexpr unsigned kUserSourceStringId = 28899;
constexpr long kUserDefineCode = -1;
// Item data no list entry carries: nothing is selected.
constexpr long kNoSelection = -1000;

enum { KIND_PLANAR = 0, KIND_LONLAT = 1, KIND_PROJECTED = 2 };

// The geographic systems a user may pick, by display name; the list control
// sorts them.
constexpr ZrNamedCode kGeoCoordSysList[] = {
    {"Airy 1830", 4001},
    {"Airy modified", 4002},
    {"Average Terrestrial System 1977", 4122},
    {"Australian National", 4003},
    {"Bessel 1841", 4004},
    {"Bessel modified", 4005},
    {"Bessel Namibia", 4006},
    {"Clarke 1858", 4007},
    {"Clarke 1866", 4008},
    {"Clarke 1866 Michigan", 4009},
    {"Clarke 1880", 4034},
    {"Clarke 1880 (Arc)", 4013},
    {"Clarke 1880 (Benoit)", 4010},
    {"Clarke 1880 (IGN)", 4011},
    {"Clarke 1880 (RGS)", 4012},
    {"Clarke 1880 (SGA)", 4014},
    {"Everest 1830", 4015},
    {"Everest (definition 1967)", 4016},
    {"Everest (definition 1975)", 4017},
    {"Everest modified", 4018},
    {"GEM gravity potential model", 4031},
    {"GRS 1967", 4036},
    {"GRS 1980", 4019},
    {"Helmert 1906", 4020},
    {"Indonesian National", 4021},
    {"International 1927", 4022},
    {"International 1967", 4023},
    {"Krasovsky 1940", 4024},
    {"Transit precise ephemeris", 4025},
    {"OSU 1986 geoidal model", 4032},
    {"OSU 1991 geoidal model", 4033},
    {"Plessis 1817", 4027},
    {"Authalic sphere", 4035},
    {"Struve 1860", 4028},
    {"War Office", 4029},
    {"WGS 1966", 37001},
    {"Fischer 1960", 37002},
    {"Fischer 1968", 37003},
    {"Fischer modified", 37004},
    {"Hough 1960", 37005},
    {"Everest modified 1969", 37006},
    {"Walbeck", 37007},
    {"Authalic sphere (ARC/INFO)", 37008},
    {"Adindan", 4201},
    {"Afgooye", 4205},
    {"Agadez", 4206},
    {"Australian Geodetic Datum 1966", 4202},
    {"Australian Geodetic Datum 1984", 4203},
    {"Ain el Abd 1970", 4204},
    {"Amersfoort", 4289},
    {"Aratu", 4208},
    {"Arc 1950", 4209},
    {"Arc 1960", 4210},
    {"ATF (Paris)", 4901},
    {"Barbados", 4212},
    {"Batavia", 4211},
    {"Batavia (Jakarta)", 4813},
    {"Beduaram", 4213},
    {"Beijing 1954", 4214},
    {"Reseau National Belge 1950", 4215},
    {"Belge 1950 (Brussels)", 4809},
    {"Reseau National Belge 1972", 4313},
    {"Bermuda 1957", 4216},
    {"Bern 1898", 4217},
    {"Bern 1898 (Bern)", 4801},
    {"Bern 1938", 4306},
    {"Bogota", 4218},
    {"Bogota (Bogota)", 4802},
    {"Bukit Rimpah", 4219},
    {"Camacupa", 4220},
    {"Campo Inchauspe", 4221},
    {"Cape", 4222},
    {"Carthage", 4223},
    {"Carthage (degrees)", 37223},
    {"Chua", 4224},
    {"Conakry 1905", 4315},
    {"Corrego Alegre", 4225},
    {"Datum 73", 4274},
    {"Dealul Piscului 1933 (Romania)", 4316},
    {"Dealul Piscului 1970 (Romania)", 4317},
    {"Deir ez Zor", 4227},
    {"Deutsche Hauptdreiecksnetz", 4314},
    {"Douala", 4228},
    {"European Datum 1950", 4230},
    {"European Datum 1987", 4231},
    {"Egypt 1907", 4229},
    {"European Terrestrial Ref. Sys. 1989", 4258},
    {"Fahud", 4232},
    {"Gandajika 1970", 4233},
    {"Garoua", 4234},
    {"Geocentric Datum of Australia 1994", 4283},
    {"Greek Geodetic Ref. System 1987", 4121},
    {"Greek", 4120},
    {"Greek (Athens)", 4815},
    {"Guyane Francaise", 4235},
    {"Herat North", 4255},
    {"Hito XVIII 1963", 4254},
    {"Hu Tzu Shan", 4236},
    {"Hungarian Datum 1972", 4237},
    {"Indian 1954", 4239},
    {"Indian 1975", 4240},
    {"Indonesian Datum 1974", 4238},
    {"Jamaica 1875", 4241},
    {"Jamaica 1969", 4242},
    {"Kalianpur", 4243},
    {"Kandawala", 4244},
    {"Kertau", 4245},
    {"Kartastokoordinaattijarjestelma", 4123},
    {"Kuwait Oil Company", 4246},
    {"Kuwait Utility", 4319},
    {"La Canoa", 4247},
    {"Lake", 4249},
    {"Leigon", 4250},
    {"Liberia 1964", 4251},
    {"Lisbon", 4207},
    {"Lisbon (Lisbon)", 4803},
    {"Loma Quintana", 4288},
    {"Lome", 4252},
    {"Luzon 1911", 4253},
    {"Mahe 1971", 4256},
    {"Makassar", 4257},
    {"Makassar (Jakarta)", 4804},
    {"Malongo 1987", 4259},
    {"Manoca", 4260},
    {"Massawa", 4262},
    {"Merchich", 4261},
    {"Militar-Geographische Institut", 4312},
    {"MGI (Ferro)", 4805},
    {"Mhast", 4264},
    {"Minna", 4263},
    {"Monte Mario", 4265},
    {"Monte Mario (Rome)", 4806},
    {"NAD Michigan", 4268},
    {"North American Datum 1927", 4267},
    {"North American Datum 1983", 4269},
    {"Nahrwan 1967", 4270},
    {"Naparima 1972", 4271},
    {"Nord de Guerre (Paris)", 4902},
    {"National Geodetic Network (Kuwait)", 4318},
    {"NGO 1948", 4273},
    {"Nord Sahara 1959", 4307},
    {"NSWC 9Z-2", 4276},
    {"Nouvelle Triangulation Francaise", 4275},
    {"NTF (Paris)", 4807},
    {"New Zealand Geodetic Datum 1949", 4272},
    {"OS (SN) 1980", 4279},
    {"OSGB 1936", 4277},
    {"OSGB 1970 (SN)", 4278},
    {"Padang 1884", 4280},
    {"Padang 1884 (Jakarta)", 4808},
    {"Palestine 1923", 4281},
    {"Pointe Noire", 4282},
    {"Provisional South Amer. Datum 1956", 4248},
    {"Pulkovo 1942", 4284},
    {"Pulkovo 1995", 4200},
    {"Qatar", 4285},
    {"Qatar 1948", 4286},
    {"Qornoq", 4287},
    {"RT38", 4308},
    {"RT38 (Stockholm)", 4814},
    {"South American Datum 1969", 4291},
    {"Sapper Hill 1943", 4292},
    {"Schwarzeck", 4293},
    {"Segora", 4294},
    {"Serindung", 4295},
    {"Sudan", 4296},
    {"Tananarive 1925", 4297},
    {"Tananarive 1925 (Paris)", 4810},
    {"Timbalai 1948", 4298},
    {"TM65", 4299},
    {"TM75", 4300},
    {"Tokyo", 4301},
    {"Trinidad 1903", 4302},
    {"Trucial Coast 1948", 4303},
    {"Voirol 1875", 4304},
    {"Voirol 1875 (Paris)", 4811},
    {"Voirol Unifie 1960", 4305},
    {"Voirol Unifie 1960 (Paris)", 4812},
    {"WGS 1972", 4322},
    {"WGS 1972 Transit Broadcast Ephemer.", 4324},
    {"WGS 1984", 4326},
    {"Yacare", 4309},
    {"Yoff", 4310},
    {"Zanderij", 4311},
    {"European 1979", 37201},
    {"Everest - Bangladesh", 37202},
    {"Everest - India and Nepal", 37203},
    {"Hjorsey 1955", 37204},
    {"Hong Kong 1963", 37205},
    {"Oman", 37206},
    {"South Asia Singapore", 37207},
    {"Ayabelle Lighthouse", 37208},
    {"Bissau", 37209},
    {"Dabola", 37210},
    {"Point 58", 37211},
    {"Astro Beacon E 1945", 37212},
    {"Tern Island Astro 1961", 37213},
    {"Astronomical Station 1952", 37214},
    {"Bellevue IGN", 37215},
    {"Canton Astro 1966", 37216},
    {"Chatham Island Astro 1971", 37217},
    {"DOS 1968", 37218},
    {"Easter Island 1967", 37219},
    {"Guam 1963", 37220},
    {"GUX 1 Astro", 37221},
    {"Johnston Island 1961", 37222},
    {"Kusaie Astro 1951", 37259},
    {"Midway Astro 1961", 37224},
    {"Old Hawaiian", 37225},
    {"Pitcairn Astro 1967", 37226},
    {"Santo DOS 1965", 37227},
    {"Viti Levu 1916", 37228},
    {"Wake-Eniwetok 1960", 37229},
    {"Wake Island Astro 1952", 37230},
    {"Anna 1 Astro 1965", 37231},
    {"Gan 1970", 37232},
    {"ISTS 073 Astro 1969", 37233},
    {"Kerguelen Island 1949", 37234},
    {"Reunion", 37235},
    {"Antigua Island Astro 1943", 37236},
    {"Ascension Island 1958", 37237},
    {"Astro DOS 71/4", 37238},
    {"Cape Canaveral", 37239},
    {"Fort Thomas 1955", 37240},
    {"Graciosa Base SW 1948", 37241},
    {"ISTS 061 Astro 1968", 37242},
    {"L.C. 5 Astro 1961", 37243},
    {"Montserrat Astro 1958", 37244},
    {"Observ. Meteorologico 1939", 37245},
    {"Pico de Las Nieves", 37246},
    {"Porto Santo 1936", 37247},
    {"Puerto Rico", 37248},
    {"Sao Braz", 37249},
    {"Selvagem Grande 1938", 37250},
    {"Tristan Astro 1968", 37251},
    {"American Samoa 1962", 37252},
    {"Camp Area Astro", 37253},
    {"Deception Island", 37254},
    {"Gunung Segara", 37255},
    {"Indian 1960", 37256},
    {"S-42 Hungary", 37257},
    {"S-JTSK", 37258},
    {"Alaskan Islands", 37260},
    {"JGD2000", 37301},
    {"Xi-An 1980 China", 37312},
    {"Hong Kong 1980", 37414},
    {"Azores Occidental 1939", 4182},
    {"Azores Central 1948", 4183},
    {"Azores Oriental 1940", 4184},
    {"Madeira 1936", 4185},
    {"ITRF 1993", 4915},
    {"Lisbon 1890 (Lisbon)", 4904},
};
constexpr int kGeoCoordSysCount = sizeof(kGeoCoordSysList) / sizeof(kGeoCoordSysList[0]);
static_assert(kGeoCoordSysCount == 252, "the geographic list offers 252 systems");
} // namespace

const ZrNamedCode* ZrGeoCoordSysListEntries(int* pCount) {
    if (pCount) *pCount = kGeoCoordSysCount;
    return kGeoCoordSysList;
}

int ZrUnitListCount() {
    int exact = 0;
    OtherExactUnits(exact);
    return kUnitCount + exact;
}

long ZrUnitCodeOfListIndex(int nIndex) {
    if (nIndex >= 0 && nIndex < kUnitCount) return kUnitCodes[nIndex];
    int exact = 0;
    const ZrExactUnit* units = OtherExactUnits(exact);
    return (nIndex >= kUnitCount && nIndex < kUnitCount + exact) ? units[nIndex - kUnitCount].code : kMetre;
}

int ZrListIndexOfUnitCode(long nUnits) {
    for (int i = 0; i < kUnitCount; ++i)
        if (kUnitCodes[i] == nUnits) return i;
    int exact = 0;
    const ZrExactUnit* units = OtherExactUnits(exact);
    for (int i = 0; i < exact; ++i)
        if (units[i].code == nUnits) return kUnitCount + i;
    return kMetreIndex;
}

long ZrDefaultGeoCoordSysCode() {
    switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
    case ZR_LANG_JAPANESE:
        return 37301; // JGD2000
    case ZR_LANG_SWEDISH:
        return 4004; // Bessel 1841
    default:
        return 4214; // Beijing 1954
    }
}

CZrPageCoordSysSetting::CZrPageCoordSysSetting()
    : CPropertyPage(IDD_ZR_COORDSYS_KIND), m_nProjectedSource(0), m_bUserGeoCoordSys(0), m_nKind(KIND_PLANAR),
      m_bTakenWhole(0) {}

CZrPageCoordSysSetting::~CZrPageCoordSysSetting() = default;

BEGIN_MESSAGE_MAP(CZrPageCoordSysSetting, CPropertyPage)
ON_BN_CLICKED(IDC_ZR_KIND_PLANAR, OnPlanar)
ON_BN_CLICKED(IDC_ZR_KIND_LONLAT, OnLonLat)
ON_BN_CLICKED(IDC_ZR_KIND_PROJECTED, OnProjected)
ON_CBN_SELCHANGE(IDC_ZR_PRJ_SOURCE, OnProjectedSourceChanged)
ON_CBN_SELCHANGE(IDC_ZR_GEO_COORDSYS, OnGeoCoordSysChanged)
ON_CBN_SELCHANGE(IDC_ZR_DIST_UNITS, OnDistUnitsChanged)
ON_BN_CLICKED(IDC_ZR_KIND_LOAD, OnLoad)
ON_BN_CLICKED(IDC_ZR_KIND_SAVE, OnSave)
ON_EN_CHANGE(IDC_ZR_KIND_SEARCH, OnSearchChanged)
ON_CBN_SELCHANGE(IDC_ZR_KIND_HITS, OnHitChosen)
ON_BN_CLICKED(IDC_ZR_KIND_PASTE, OnPaste)
END_MESSAGE_MAP()

void CZrPageCoordSysSetting::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZR_DIST_UNITS, m_distUnits);
    DDX_Control(pDX, IDC_ZR_COORD_UNITS, m_coordUnits);
    DDX_Control(pDX, IDC_ZR_GEO_COORDSYS, m_geoCoordSys);
    DDX_Control(pDX, IDC_ZR_PRJ_SOURCE, m_prjSource);
    DDX_Control(pDX, IDC_ZR_KIND_HITS, m_hitList);
    DDX_Radio(pDX, IDC_ZR_KIND_PLANAR, m_nKind);
}

void CZrPageCoordSysSetting::FillGeoCoordSysList() {
    m_geoCoordSys.ResetContent();
    for (const ZrNamedCode& entry : kGeoCoordSysList)
        m_geoCoordSys.SetItemData(m_geoCoordSys.AddString(entry.name), static_cast<DWORD_PTR>(entry.code));
    // Inserted, not added: the sorted list keeps it last.
    m_geoCoordSys.SetItemData(m_geoCoordSys.InsertString(-1, "User Define"),
                              static_cast<DWORD_PTR>(kUserDefineCode));
    const long code = ZrDefaultGeoCoordSysCode();
    m_gcs.Set(static_cast<tagGeoCoordSysType>(code));
    const int index = ZrFindItemCode(m_geoCoordSys, code);
    if (index >= 0) m_geoCoordSys.SetCurSel(index);
}

BOOL CZrPageCoordSysSetting::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    m_nProjectedSource = 0;
    ZrFillUnitList(m_coordUnits);

    m_prjSource.ResetContent();
    CString text;
    text.LoadString(kPredefinedSourceStringId);
    m_prjSource.AddString(text);
    text.LoadString(kUserSourceStringId);
    m_prjSource.AddString(text);

    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this)) {
        RefreshFromCoordSys();
        // A kind the host does not allow may still be the starting kind: it
        // is shown, but its controls cannot be used.
        if (!sheet->IsAllowOrdinaryPlanCoordsys()) {
            ZrEnableDlgItem(this, IDC_ZR_KIND_PLANAR, FALSE);
            ZrEnableDlgItem(this, IDC_ZR_COORD_UNITS, FALSE);
        }
        if (!sheet->IsAllowLongitudeLatitudeCoordsys()) {
            ZrEnableDlgItem(this, IDC_ZR_KIND_LONLAT, FALSE);
            ZrEnableDlgItem(this, IDC_ZR_GEO_COORDSYS, FALSE);
            ZrEnableDlgItem(this, IDC_ZR_DIST_UNITS, FALSE);
        }
        if (!sheet->IsAllowProjectedCoordsys()) {
            ZrEnableDlgItem(this, IDC_ZR_KIND_PROJECTED, FALSE);
            ZrEnableDlgItem(this, IDC_ZR_PRJ_SOURCE, FALSE);
        }
    } else {
        ZrEnableDlgItem(this, IDC_ZR_PRJ_SOURCE, FALSE);
        ZrEnableDlgItem(this, IDC_ZR_GEO_COORDSYS, FALSE);
        ZrEnableDlgItem(this, IDC_ZR_DIST_UNITS, FALSE);
    }
    return TRUE;
}

void CZrPageCoordSysSetting::RefreshFromCoordSys() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    const CZrPJCoordSys& coordSys = sheet->m_coordSys;
    switch (coordSys.GetType()) {
    case PJ_CS_PLANAR:
        m_nKind = KIND_PLANAR;
        UpdateData(FALSE);
        OnPlanar();
        m_coordUnits.SetCurSel(ZrListIndexOfUnitCode(coordSys.GetDistUnits()));
        break;
    case PJ_CS_EARTH: {
        m_nKind = KIND_LONLAT;
        UpdateData(FALSE);
        OnLonLat();
        m_distUnits.SetCurSel(ZrListIndexOfUnitCode(coordSys.GetDistUnits()));
        m_gcs = coordSys.GetGCS();
        // A system the list does not offer leaves the language default
        // selected, with Finish.
        const int index = ZrFindItemCode(m_geoCoordSys, m_gcs.GetType());
        if (index < 0) break;
        m_geoCoordSys.SetCurSel(index);
        if (m_gcs.GetType() == kUserDefineCode) {
            ZrSetPageWizardButtons(this, PSWIZB_NEXT);
            m_bUserGeoCoordSys = 1;
        } else {
            ZrSetPageWizardButtons(this, PSWIZB_FINISH);
        }
        break;
    }
    default:
        m_nKind = KIND_PROJECTED;
        UpdateData(FALSE);
        m_nProjectedSource = coordSys.GetType() == kUserDefineCode ? 1 : 0;
        OnProjected();
        break;
    }
}

void CZrPageCoordSysSetting::OnPlanar() {
    m_bTakenWhole = 0;
    m_nKind = KIND_PLANAR;
    ZrEnableDlgItem(this, IDC_ZR_COORD_UNITS, TRUE);
    ZrEnableDlgItem(this, IDC_ZR_PRJ_SOURCE, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_GEO_COORDSYS, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_DIST_UNITS, FALSE);
    ZrFillUnitList(m_coordUnits);
    ZrSetPageWizardButtons(this, PSWIZB_FINISH);
}

void CZrPageCoordSysSetting::OnLonLat() {
    m_bTakenWhole = 0;
    m_nKind = KIND_LONLAT;
    ZrEnableDlgItem(this, IDC_ZR_COORD_UNITS, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_PRJ_SOURCE, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_GEO_COORDSYS, TRUE);
    ZrEnableDlgItem(this, IDC_ZR_DIST_UNITS, TRUE);
    FillGeoCoordSysList();
    ZrFillUnitList(m_distUnits);
    ZrSetPageWizardButtons(this, PSWIZB_FINISH);
}

void CZrPageCoordSysSetting::OnProjected() {
    m_bTakenWhole = 0;
    m_nKind = KIND_PROJECTED;
    ZrEnableDlgItem(this, IDC_ZR_COORD_UNITS, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_GEO_COORDSYS, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_DIST_UNITS, FALSE);
    ZrEnableDlgItem(this, IDC_ZR_PRJ_SOURCE, TRUE);
    m_prjSource.SetCurSel(m_nProjectedSource);
    ZrSetPageWizardButtons(this, PSWIZB_NEXT);
    m_bUserGeoCoordSys = 0;
}

void CZrPageCoordSysSetting::OnProjectedSourceChanged() {
    const int index = m_prjSource.GetCurSel();
    if (index >= 0) m_nProjectedSource = index;
    m_bTakenWhole = 0;
}

void CZrPageCoordSysSetting::OnGeoCoordSysChanged() {
    m_bTakenWhole = 0;
    if (ZrSelectedItemCode(m_geoCoordSys, kNoSelection) == kUserDefineCode) {
        ZrSetPageWizardButtons(this, PSWIZB_NEXT);
        m_bUserGeoCoordSys = 1;
    } else {
        ZrSetPageWizardButtons(this, PSWIZB_FINISH);
    }
}

void CZrPageCoordSysSetting::OnDistUnitsChanged() {}

namespace {
// Whether the host lets the user pick a system of this kind.
bool IsKindAllowed(CZrSheetCoordSysSetting& sheet, long type) {
    switch (type) {
    case PJ_CS_PLANAR:
        return sheet.IsAllowOrdinaryPlanCoordsys() != 0;
    case PJ_CS_EARTH:
        return sheet.IsAllowLongitudeLatitudeCoordsys() != 0;
    default:
        return sheet.IsAllowProjectedCoordsys() != 0;
    }
}

// Why a file, or a system found or pasted, was not taken, in the user's
// language as the data-exchange messages are.
CString RefusedKindMessage(long type, bool bFromFile = true) {
    const int kind = type == PJ_CS_PLANAR ? KIND_PLANAR : type == PJ_CS_EARTH ? KIND_LONLAT : KIND_PROJECTED;
    static const char* const kChinese[] = {"普通平面坐标系", "经纬坐标系", "投影坐标系"};
    static const char* const kJapanese[] = {"平面座標系", "経緯度座標系", "投影座標系"};
    static const char* const kEnglish[] = {"a planar coordinate system",
                                           "a longitude/latitude coordinate system",
                                           "a projected coordinate system"};
    CString text;
    switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
    case ZR_LANG_CHINESE:
        text = bFromFile ? "文件中的坐标系是%1，此处不允许使用，未载入该文件。"
                         : "该坐标系是%1，此处不允许使用。";
        text.Replace("%1", kChinese[kind]);
        break;
    case ZR_LANG_JAPANESE:
        text = bFromFile
                   ? "ファイルの座標系は%1で、ここでは使用できません。ファイルは読み込まれませんでした。"
                   : "この座標系は%1で、ここでは使用できません。";
        text.Replace("%1", kJapanese[kind]);
        break;
    default:
        text = bFromFile ? "The file holds %1, which is not allowed here. The file was not loaded."
                         : "The system is %1, which is not allowed here.";
        text.Replace("%1", kEnglish[kind]);
        break;
    }
    return text;
}

// Why a pasted text gave no system: the reader's reason (in English, as the
// library words it) after one sentence in the user's language.
CString RefusedPasteMessage(const CString& reason) {
    CString text;
    switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
    case ZR_LANG_CHINESE:
        text = reason.IsEmpty() ? "剪贴板中没有可读出坐标系的文本（WKT、PROJJSON 或 PROJ）。"
                                : "无法从剪贴板中的文本读出坐标系：";
        break;
    case ZR_LANG_JAPANESE:
        text = reason.IsEmpty() ? "クリップボードに座標系のテキスト（WKT、PROJJSON、PROJ）がありません。"
                                : "クリップボードのテキストから座標系を読み取れません：";
        break;
    default:
        text = reason.IsEmpty() ? "The clipboard holds no coordinate-system text (WKT, PROJJSON or PROJ)."
                                : "No coordinate system can be read from the text on the clipboard: ";
        break;
    }
    return text + reason;
}

// A hit whose system cannot be built (the EPSG data file went missing since
// the search read it).
CString UnbuildableHitMessage(const CString& code) {
    switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
    case ZR_LANG_CHINESE:
        return "无法建立坐标系 " + code + "。";
    case ZR_LANG_JAPANESE:
        return "座標系 " + code + " を作成できません。";
    default:
        return "The coordinate system " + code + " cannot be built.";
    }
}

// The most hits the list shows: enough to scroll through a family ("UTM
// zone"), few enough to fill the list at every keystroke.
constexpr int kMaxHits = 200;
} // namespace

bool CZrPageCoordSysSetting::TakeSystem(const CZrPJCoordSys& cs) {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return false;
    if (!IsKindAllowed(*sheet, cs.GetType())) {
        AfxMessageBox(RefusedKindMessage(cs.GetType(), false), MB_ICONEXCLAMATION);
        return false;
    }
    // As after a load: the user-defined pages read their fields from it.
    sheet->m_coordSys = cs;
    sheet->m_bPrjLoaded = 1;
    sheet->m_bParamsChanged = 0;
    RefreshFromCoordSys();
    // The user-defined pages would rebuild it from their fields and rename
    // its parts: Next goes straight to the preview, which shows it and
    // finishes with EPSG's definition and names. Choosing the user-defined
    // source again leads through the pages, to change it.
    m_bTakenWhole = 1;
    ZrSetPageWizardButtons(this, PSWIZB_NEXT);
    return true;
}

void CZrPageCoordSysSetting::OnSearchChanged() {
    CString text;
    GetDlgItemText(IDC_ZR_KIND_SEARCH, text);
    m_hits = ZrSearchCoordSystems(text, kMaxHits);
    m_hitList.ResetContent();
    for (size_t i = 0; i < m_hits.size(); ++i) {
        CString entry = m_hits[i].code + "  " + m_hits[i].name;
        m_hitList.SetItemData(m_hitList.AddString(entry), static_cast<DWORD_PTR>(i));
    }
}

void CZrPageCoordSysSetting::OnHitChosen() {
    const int sel = m_hitList.GetCurSel();
    if (sel < 0) return;
    const size_t i = static_cast<size_t>(m_hitList.GetItemData(sel));
    if (i >= m_hits.size()) return;
    CZrPJCoordSys cs;
    if (!ZrBuildSearchHit(m_hits[i], cs)) {
        AfxMessageBox(UnbuildableHitMessage(m_hits[i].code), MB_ICONEXCLAMATION);
        return;
    }
    TakeSystem(cs);
}

void CZrPageCoordSysSetting::OnPaste() {
    const std::string text = ZrTrimmed(std::string(ZrGetClipboardText().c_str()));
    CZrPJCoordSys cs;
    CString reason;
    if (text.empty() || ZrDetectCrsTextFormat(CString(text.c_str())) == ZR_CRS_TEXT_UNKNOWN) {
        AfxMessageBox(RefusedPasteMessage(CString()), MB_ICONEXCLAMATION);
        return;
    }
    // A system its own operator refuses would project every point to nothing
    // after Finish.
    if (!ZrImportCoordSys(CString(text.c_str()), cs, &reason) ||
        (cs.GetType() != PJ_CS_PLANAR && !cs.IsValid())) {
        if (reason.IsEmpty()) reason = "the system it describes cannot be built";
        AfxMessageBox(RefusedPasteMessage(reason), MB_ICONEXCLAMATION);
        return;
    }
    TakeSystem(cs);
}

void CZrPageCoordSysSetting::OnLoad() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    // A load never widens what the host allowed: a system of a kind the host
    // forbade would re-enable that kind's controls here and reach the host
    // on Finish. Such a file is refused, and the sheet is left as it was.
    const CZrPJCoordSys before(sheet->m_coordSys);
    const int loaded = sheet->m_bPrjLoaded;
    const int paramsChanged = sheet->m_bParamsChanged;
    if (!sheet->OpenPrjFile()) return;
    const long type = sheet->m_coordSys.GetType();
    if (!IsKindAllowed(*sheet, type)) {
        sheet->m_coordSys = before;
        sheet->m_bPrjLoaded = loaded;
        sheet->m_bParamsChanged = paramsChanged;
        AfxMessageBox(RefusedKindMessage(type), MB_ICONEXCLAMATION);
        return;
    }
    RefreshFromCoordSys();
}

void CZrPageCoordSysSetting::OnSave() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    StoreChoice();
    sheet->SavePrjFile(0);
}

void CZrPageCoordSysSetting::StoreChoice() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    if (m_nKind == KIND_PLANAR) {
        sheet->m_coordSys.SetPlanar(ZrUnitCodeOfListIndex(m_coordUnits.GetCurSel()));
    } else if (m_nKind == KIND_LONLAT) {
        const long code = ZrSelectedItemCode(m_geoCoordSys, kNoSelection);
        if (code != kNoSelection) m_gcs.Set(static_cast<tagGeoCoordSysType>(code));
        sheet->m_coordSys.SetEarth(m_gcs, ZrUnitCodeOfListIndex(m_distUnits.GetCurSel()));
    }
}

BOOL CZrPageCoordSysSetting::OnSetActive() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    // After a trip to the user-defined pages the predefined page is missing;
    // the five pages come back in their first order.
    if (sheet && sheet->GetPageCount() == 4) {
        sheet->RemovePage(sheet->GetUserDefineFirstPage());
        sheet->RemovePage(sheet->GetUserDefineSecondPage());
        sheet->RemovePage(sheet->GetPreviewPage());
        sheet->AddPage(sheet->GetPreDefinedPage());
        sheet->AddPage(sheet->GetUserDefineFirstPage());
        sheet->AddPage(sheet->GetUserDefineSecondPage());
        sheet->AddPage(sheet->GetPreviewPage());
    }
    return CPropertyPage::OnSetActive();
}

LRESULT CZrPageCoordSysSetting::OnWizardNext() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (sheet && m_bTakenWhole) return IDD_ZR_PRJ_PREVIEW;
    if (sheet && (m_bUserGeoCoordSys || m_nProjectedSource == 1)) {
        if (sheet->GetPageIndex(sheet->GetPreDefinedPage()) >= 0)
            sheet->RemovePage(sheet->GetPreDefinedPage());
    }
    return CPropertyPage::OnWizardNext();
}

BOOL CZrPageCoordSysSetting::OnWizardFinish() {
    if (!m_bTakenWhole) StoreChoice();
    return CPropertyPage::OnWizardFinish();
}
