// The two user-defined pages: their lists, the degree/minute/second
// conversions, the zone list, the scale-factor refusal, the reload of the
// parameters when the kind changes, and the user-defined geographic system
// finished on the first page.

#include "dialog/ZrUserDefineLists_p.h"
#include "platform/ZrToolkit.h"
#include "support/SurveyFootSystem_p.h"
#include "tests/dialog/sheet_fixture_p.h"

#include <cmath>

namespace {

// Angles typed as degrees, minutes and seconds come back to within far less
// than a nanoradian.
constexpr double kAngleToleranceDeg = 1e-9 * 57.29577951308232;

using Second = CZrPagePrjUserDefineSecond;

TEST(DmsConversion, DecimalDegreesSplitIntoDegreesMinutesSeconds) {
    const struct {
        double degrees;
        int d, m;
        double s;
        int negative;
    } cases[] = {
        {117.5, 117, 30, 0.0, 0},
        {-33.75, -33, 45, 0.0, 1},
        {10.25125, 10, 15, 4.5, 0},
        {-0.5, 0, 30, 0.0, 1}, // the sign of an angle above -1 degree rides on its own
        {0.0, 0, 0, 0.0, 0},
        {180.0, 180, 0, 0.0, 0},
        // A minute that rounds up to 60 carries into the degrees, so the
        // minute field never holds a value its own range check refuses.
        {29.9999999999999, 30, 0, 0.0, 0},
        {-29.9999999999999, -30, 0, 0.0, 1},
        {117.1, 117, 6, 0.0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.degrees);
        ZrDmsAngle dms = ZrDegreesToDms(c.degrees);
        EXPECT_EQ(dms.nDegrees, c.d);
        EXPECT_EQ(dms.nMinutes, c.m);
        EXPECT_NEAR(dms.dSeconds, c.s, 1e-6);
        EXPECT_EQ(!!dms.bNegative, !!c.negative);
        EXPECT_NEAR(ZrDmsToDegrees(dms), c.degrees, kAngleToleranceDeg);
    }
    // Negative degrees take the minutes and seconds with them.
    EXPECT_DOUBLE_EQ(ZrDmsToDegrees(ZrDmsAngle{-10, 30, 36.0, 1}), -10.51);
    EXPECT_DOUBLE_EQ(ZrDmsToDegrees(ZrDmsAngle{0, 30, 0.0, 1}), -0.5);
    EXPECT_DOUBLE_EQ(ZrDmsToDegrees(ZrDmsAngle{0, 30, 0.0, 0}), 0.5);
    // Nonsense never reaches the integer fields unbounded.
    EXPECT_EQ(ZrDegreesToDms(std::nan("")).nDegrees, 0);
    EXPECT_EQ(ZrDegreesToDms(1e300).nDegrees, 1000000);
}

// Transverse Mercator counts zones as UTM does; Gauss-Krueger from Greenwich
// eastwards, 6-degree zones first, then 3-degree zones, told apart by the
// zone number a false easting carries.
TEST(ZoneList, CentralMeridianSelectsTheKindsOwnZone) {
    constexpr long TM = 43006, GK = 43005;
    const struct {
        long kind;
        double cm, falseEasting;
        int index;
    } cases[] = {
        {TM, 117, 0, 49},
        {TM, 118, 0, 60},
        {TM, -177, 0, 0},
        {TM, 177, 0, 59},
        {TM, -3, 0, 29},
        {TM, 3, 0, 30},
        {TM, 117.5, 0, 60},
        {TM, 183, 0, 60},
        {TM, -183, 0, 60},
        {TM, 189, 0, 60},
        {TM, -189, 0, 60},
        {TM, 1e300, 0, 60},
        {TM, std::nan(""), 0, 60},
        // GK 6-degree zone 20 is centred on 117 E, 3-degree zone 39 too.
        {GK, 117, 500000, 19},
        {GK, 117, 20500000, 19},
        {GK, 117, 39500000, 60 + 38},
        {GK, 117, 21500000, 19},
        {GK, 3, 0, 0},
        {GK, 120, 500000, 60 + 39},
        {GK, 177, 0, 29},
        {GK, -177, 0, 30},
        {GK, -3, 0, 59},
        {GK, 180, 0, 60 + 59},
        {GK, -177, 61500000, 60 + 60},
        {GK, 0, 0, 60 + 119},
        {GK, 118, 0, 180},
        {GK, 1.5, 0, 180},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Second::MatchingZone(c.cm, c.kind, c.falseEasting), c.index)
            << c.kind << " cm " << c.cm << " fe " << c.falseEasting;
    EXPECT_EQ(Second::FreeZone(TM), Second::ZONE_FREE);
    EXPECT_EQ(Second::FreeZone(GK), 180);
}

// The datum list follows the geographic list; every entry of the first
// page's lists is a catalogue object.
TEST(UserDefineLists, EveryEntryIsACatalogueObject) {
    const std::vector<ZrNamedCode> datums = ZrDatumListEntries();
    EXPECT_EQ(datums.size(), 236u);
    for (const ZrNamedCode& entry : datums) {
        CZrPJDatum datum;
        EXPECT_EQ(datum.Set(static_cast<tagDatumType>(entry.code)), 1) << entry.name;
    }
    auto datumCode = [&](const char* name) {
        for (const ZrNamedCode& entry : datums)
            if (CString(entry.name) == name) return entry.code;
        return -1000L;
    };
    EXPECT_EQ(datumCode("Ancienne Triangulation Francaise"), 6901);
    EXPECT_EQ(datumCode("ITRF 1993"), 6652);
    EXPECT_EQ(datumCode("Japanese JGD2000"), 39301);
    EXPECT_EQ(datumCode("WGS 1984"), 6326);
    EXPECT_EQ(datumCode("Bern 1898 (Bern)"), -1000) << "prime-meridian variants bring no datum";
    EXPECT_EQ(datumCode("Carthage (degrees)"), -1000);

    int count = 0;
    const ZrNamedCode* spheroids = ZrSpheroidListEntries(&count);
    EXPECT_EQ(count, 47);
    for (int i = 0; i < count; ++i) {
        CZrPJSpheroid spheroid;
        EXPECT_EQ(spheroid.Set(static_cast<tagPJSpheroidType>(spheroids[i].code)), 1) << spheroids[i].name;
    }
    const ZrNamedCode* meridians = ZrPrimeMeridianListEntries(&count);
    EXPECT_EQ(count, 12);
    for (int i = 0; i < count; ++i) {
        CZrPJPrimeMeridian pm;
        EXPECT_EQ(pm.Set(static_cast<tagPJPrimeMeridianType>(meridians[i].code)), 1) << meridians[i].name;
    }
    const ZrNamedCode* kinds = ZrProjectionKindListEntries(&count);
    EXPECT_EQ(count, 73);
    for (int i = 0; i < count; ++i) {
        CZrPJObject kind;
        EXPECT_EQ(kind.Set(static_cast<tagPJObjectType>(kinds[i].code)), 1) << kinds[i].name;
    }
}

class UserDefinedPagesTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};

    CZrPagePrjUserDefineFirst& first() { return *sheet.GetUserDefineFirstPage(); }
    Second& second() { return *sheet.GetUserDefineSecondPage(); }

    static void GoToFirst(CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Click(IDC_ZR_KIND_PROJECTED));
        ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage()->GetTemplateId(), static_cast<UINT>(IDD_ZR_PRJ_USER_FIRST));
    }
    static bool Visible(CZrHeadlessDriver& d, int id) {
        return d.Control(id) && d.Control(id)->IsWindowVisible();
    }
    static CString Text(CZrHeadlessDriver& d, int id) {
        return d.Control(id) ? d.Control(id)->GetText() : CString();
    }
};

TEST_F(UserDefinedPagesTest, FirstPageListsAndTheSheetsSystem) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(2393)); // Finnish KKJ zone 3
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToFirst(d);
        EXPECT_EQ(sheet.GetPageCount(), 4) << "the predefined page is out of the way";
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
        EXPECT_EQ(Combo(d, IDC_ZR_USER_KIND)->GetCount(), 73);
        EXPECT_EQ(SelectedData(d, IDC_ZR_USER_KIND), sheet.m_coordSys.GetProjection().GetType());
        CComboBox* units = Combo(d, IDC_ZR_USER_UNITS);
        ASSERT_EQ(units->GetCount(), ZrUnitListCount());
        const long codes[] = {10000000, 10000, 1000, 100, 10, 254, 3048, 9144, 16090000, kZrUnitUsSurveyFoot};
        for (int i = 0; i < 10; ++i)
            EXPECT_EQ(static_cast<long>(units->GetItemData(i)), codes[i]);
        // EPSG's other exact units follow under their names.
        CString clarke;
        units->GetLBText(10, clarke);
        EXPECT_EQ(clarke, "Clarke's foot");
        EXPECT_EQ(static_cast<long>(units->GetItemData(10)), ZrExactUnitCode(9005));
        EXPECT_EQ(SelectedText(d, IDC_ZR_USER_UNITS), "米");

        CComboBox* gcs = Combo(d, IDC_ZR_USER_GCS);
        ASSERT_EQ(gcs->GetCount(), 253);
        CString last;
        gcs->GetLBText(252, last);
        EXPECT_EQ(last, "User Define");
        EXPECT_EQ(static_cast<long>(gcs->GetItemData(252)), -1);
        EXPECT_EQ(SelectedData(d, IDC_ZR_USER_GCS), 4123);
        EXPECT_EQ(Combo(d, IDC_ZR_USER_DATUM)->GetCount(), 237);
        EXPECT_EQ(SelectedData(d, IDC_ZR_USER_DATUM), 6123);
        EXPECT_EQ(Combo(d, IDC_ZR_USER_SPHEROID)->GetCount(), 48);
        EXPECT_EQ(SelectedData(d, IDC_ZR_USER_SPHEROID), 7022);
        EXPECT_EQ(Combo(d, IDC_ZR_USER_PRIME_MERIDIAN)->GetCount(), 13);
        EXPECT_EQ(SelectedData(d, IDC_ZR_USER_PRIME_MERIDIAN), 8901);
        EXPECT_EQ(atof(Text(d, IDC_ZR_USER_AXIS)), 6378388.0);
        // A catalogue geographic system fixes its parts.
        for (int id : {IDC_ZR_USER_DATUM, IDC_ZR_USER_SPHEROID, IDC_ZR_USER_PRIME_MERIDIAN, IDC_ZR_USER_AXIS,
                       IDC_ZR_USER_FLATTENING, IDC_ZR_USER_PM_LONGITUDE})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_TRUE(Enabled(d, IDC_ZR_USER_KIND));

        // Back goes straight to the kind page, which gets all five pages back.
        EXPECT_TRUE(d.Back());
        EXPECT_EQ(d.ActivePage(), sheet.GetKindPage());
        EXPECT_EQ(sheet.GetPageCount(), 5);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
        d.Cancel();
    });
}

// A system in an exact unit keeps it through both pages (here NAD83 /
// California zone 5's definition, in US survey feet as EPSG defines it and in
// Gold Coast feet); the lists once lacked these units and such a system came
// out in metres with its false origin in feet.
TEST_F(UserDefinedPagesTest, ExactUnitSystemsKeepTheirUnitToFinish) {
    const struct {
        long units;
        const char* shown;
    } cases[] = {{kZrUnitUsSurveyFoot, "美国测量英尺"}, {ZrExactUnitCode(9094), "Gold Coast foot"}};
    for (const auto& c : cases) {
        CZrSheetCoordSysSetting wizard("坐标系统");
        wizard.m_coordSys = CaliforniaZone5(c.units);
        ASSERT_EQ(wizard.m_coordSys.IsValid(), 1);
        EXPECT_EQ(Run(wizard,
                      [&](CZrHeadlessDriver& d) {
                          GoToFirst(d);
                          EXPECT_EQ(SelectedText(d, IDC_ZR_USER_UNITS), c.shown);
                          EXPECT_EQ(SelectedData(d, IDC_ZR_USER_UNITS), c.units);
                          ASSERT_TRUE(d.Next());
                          ASSERT_TRUE(d.Next());
                          ASSERT_EQ(d.ActivePage(), wizard.GetPreviewPage());
                          EXPECT_TRUE(d.Finish());
                      }),
                  ID_WIZFINISH)
            << c.shown;
        EXPECT_EQ(wizard.m_coordSys.GetDistUnits(), c.units);
        EXPECT_EQ(wizard.m_coordSys.GetParams().FalseEasting, 6561666.667);
    }
}

// Gauss-Krueger and transverse Mercator take a 6-degree zone: its central
// meridian, 500 km false easting and their own scale factor.
TEST_F(UserDefinedPagesTest, ZoneKindsFillTheCentralMeridianFromTheZoneList) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(21417)); // Beijing 1954 GK zone 17, CM 99
    EXPECT_EQ(Run(sheet,
                  [&](CZrHeadlessDriver& d) {
                      GoToFirst(d);
                      ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Transverse_Mercator"));
                      EXPECT_EQ(sheet.m_bParamsChanged, 1);
                      ASSERT_TRUE(d.Next());
                      ASSERT_EQ(d.ActivePage(), &second());
                      EXPECT_EQ(sheet.m_bParamsChanged, 0);
                      EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_NEXT);
                      EXPECT_TRUE(Visible(d, IDC_ZR_PARAM_ZONES));
                      EXPECT_TRUE(Visible(d, IDC_ZR_PARAM_ZONE_LABEL));
                      CComboBox* zones = Combo(d, IDC_ZR_PARAM_ZONES);
                      ASSERT_EQ(zones->GetCount(), 61);
                      CString text;
                      zones->GetLBText(0, text);
                      EXPECT_EQ(text, "1 ");
                      zones->GetLBText(60, text);
                      EXPECT_EQ(text, "用户自定义");
                      EXPECT_EQ(zones->GetCurSel(), 46) << "central meridian 99 is zone 47";
                      EXPECT_EQ(second().GetFalseEasting(), 500000.0);
                      EXPECT_EQ(second().GetScaleFactor(), 0.9996);
                      // With a zone, only the false origin and the scale can be edited.
                      for (int id : {IDC_ZR_PARAM_CENTRAL_MERIDIAN, IDC_ZR_PARAM_ORIGIN_LATITUDE,
                                     IDC_ZR_PARAM_AZIMUTH, IDC_ZR_PARAM_LONGITUDE2})
                          EXPECT_FALSE(Enabled(d, id)) << id;
                      for (int id : {IDC_ZR_PARAM_FALSE_EASTING, IDC_ZR_PARAM_FALSE_NORTHING,
                                     IDC_ZR_PARAM_SCALE_FACTOR})
                          EXPECT_TRUE(Enabled(d, id)) << id;

                      // What the user typed in the free fields survives a zone change.
                      ASSERT_TRUE(d.Type(IDC_ZR_PARAM_FALSE_NORTHING, "1000"));
                      ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, 49));
                      EXPECT_EQ(second().GetAngle(Second::ANGLE_CENTRAL_MERIDIAN), 117.0);
                      EXPECT_EQ(atof(Text(d, IDC_ZR_PARAM_CENTRAL_MERIDIAN)), 117.0);
                      EXPECT_EQ(second().GetFalseNorthing(), 1000.0);
                      ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, 60));
                      EXPECT_TRUE(Enabled(d, IDC_ZR_PARAM_CENTRAL_MERIDIAN));
                      ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, 49));

                      ASSERT_TRUE(d.Next());
                      ASSERT_EQ(d.ActivePage(), sheet.GetPreviewPage());
                      EXPECT_TRUE(d.Finish());
                  }),
              ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), -1);
    EXPECT_EQ(sheet.m_coordSys.GetProjection().GetType(), 43006);
    const CZrPJParams params = sheet.m_coordSys.GetParams();
    EXPECT_EQ(params.CentralMeridian, 117.0);
    EXPECT_EQ(params.FalseEasting, 500000.0);
    EXPECT_EQ(params.FalseNorthing, 1000.0);
    EXPECT_EQ(params.ScaleFactor, 0.9996);
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetType(), 4214);
}

// A Gauss-Krueger grid picks its zone by its own numbers, 6-degree and
// 3-degree, and a false easting that carries the zone number follows each
// zone change; one without a prefix stays.
TEST_F(UserDefinedPagesTest, GaussKruegerZonesAreNumberedAsItsOwnAndMoveTheFalseEastingPrefix) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(21420)); // Beijing 1954 GK zone 20, FE 20500000
    EXPECT_EQ(Run(sheet,
                  [&](CZrHeadlessDriver& d) {
                      GoToFirst(d);
                      ASSERT_TRUE(d.Next());
                      ASSERT_EQ(d.ActivePage(), &second());
                      CComboBox* zones = Combo(d, IDC_ZR_PARAM_ZONES);
                      ASSERT_EQ(zones->GetCount(), 181);
                      const struct {
                          int index;
                          const char* text;
                      } entries[] = {{0, "1 (6°)"},  {19, "20 (6°)"},   {59, "60 (6°)"},
                                     {60, "1 (3°)"}, {179, "120 (3°)"}, {180, "用户自定义"}};
                      for (const auto& e : entries) {
                          CString text;
                          zones->GetLBText(e.index, text);
                          EXPECT_EQ(text, e.text) << e.index;
                      }
                      EXPECT_EQ(zones->GetCurSel(), 19);
                      const struct {
                          int index;
                          double cm, falseEasting;
                      } picks[] = {
                          {20, 123, 21500000},      // 6-degree zone 21
                          {60 + 40, 123, 41500000}, // 3-degree zone 41
                          {60 + 59, 180, 60500000}, // 3-degree zone 60
                          {30, -177, 31500000},     // 6-degree zone 31, west of 180
                          {180, -177, 31500000},    // free: the meridian and the easting stay
                          {19, 117, 20500000},
                      };
                      for (const auto& p : picks) {
                          SCOPED_TRACE(p.index);
                          ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, p.index));
                          EXPECT_EQ(second().GetAngle(Second::ANGLE_CENTRAL_MERIDIAN), p.cm);
                          EXPECT_EQ(atof(Text(d, IDC_ZR_PARAM_FALSE_EASTING)), p.falseEasting);
                      }
                      ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, 20));
                      ASSERT_TRUE(d.Type(IDC_ZR_PARAM_FALSE_EASTING, "500000"));
                      ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, 21));
                      EXPECT_EQ(atof(Text(d, IDC_ZR_PARAM_FALSE_EASTING)), 500000.0)
                          << "no prefix, none added";
                      ASSERT_TRUE(d.Select(IDC_ZR_PARAM_ZONES, 60 + 40));
                      ASSERT_TRUE(d.Type(IDC_ZR_PARAM_FALSE_EASTING, "41500000"));
                      ASSERT_TRUE(d.Next());
                      EXPECT_TRUE(d.Finish());
                  }),
              ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetProjection().GetType(), 43005);
    const CZrPJParams params = sheet.m_coordSys.GetParams();
    EXPECT_EQ(params.CentralMeridian, 123.0);
    EXPECT_EQ(params.FalseEasting, 41500000.0);

    // Reopened, the grid's prefix picks the 3-degree zone that shares its
    // meridian with a 6-degree one.
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToFirst(d);
        ASSERT_TRUE(d.Next());
        EXPECT_EQ(Combo(d, IDC_ZR_PARAM_ZONES)->GetCurSel(), 60 + 40);
        d.Cancel();
    });
}

// Another kind reloads the parameters with that kind's defaults; coming back
// without a new kind keeps what the user typed.
TEST_F(UserDefinedPagesTest, ParametersAreReloadedOnlyWhenTheKindChanges) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(32650)); // UTM 50N, CM 117
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToFirst(d);
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Gauss_Kruger"));
        ASSERT_TRUE(d.Next());
        EXPECT_EQ(Combo(d, IDC_ZR_PARAM_ZONES)->GetCurSel(), 19) << "central meridian 117 is GK zone 20";
        EXPECT_EQ(second().GetScaleFactor(), 1.0);
        ASSERT_TRUE(d.Type(IDC_ZR_PARAM_FALSE_EASTING, "20500000"));
        ASSERT_TRUE(d.Back());
        ASSERT_TRUE(d.Next());
        EXPECT_EQ(second().GetFalseEasting(), 20500000.0) << "the same kind keeps the parameters";
        ASSERT_TRUE(d.Back());
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Mercator"));
        ASSERT_TRUE(d.Next());
        EXPECT_EQ(second().GetFalseEasting(), 0.0);
        EXPECT_EQ(second().GetScaleFactor(), 1.0);
        EXPECT_FALSE(Visible(d, IDC_ZR_PARAM_ZONES));
        EXPECT_TRUE(Enabled(d, IDC_ZR_PARAM_CENTRAL_MERIDIAN));
        EXPECT_EQ(Text(d, IDC_ZR_PARAM_PARALLEL1_LABEL), "第一标准纬线:");
        ASSERT_TRUE(d.Back());
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Hotine Oblique Mercator"));
        ASSERT_TRUE(d.Next());
        EXPECT_EQ(Text(d, IDC_ZR_PARAM_PARALLEL1_LABEL), "Rectified Angle :");
        d.Cancel();
    });
}

// A scale factor outside 0..1 is put back in range and the page stays.
TEST_F(UserDefinedPagesTest, ScaleFactorOutsideZeroToOneIsRefused) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToFirst(d);
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage(), &second());
        EXPECT_FALSE(d.Type(IDC_ZR_PARAM_SCALE_FACTOR, "1.5")) << "the numeric edit refuses it as typed";
        const struct {
            const char* text;
            double clamped;
        } cases[] = {{"1.5", 1.0}, {"-0.2", 0.0}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.text);
            backend().Reset();
            d.Control(IDC_ZR_PARAM_SCALE_FACTOR)->SetWindowText(c.text); // pasted past the edit's filter
            EXPECT_TRUE(d.Next());
            EXPECT_EQ(d.ActivePage(), &second());
            EXPECT_EQ(second().GetScaleFactor(), c.clamped);
            EXPECT_EQ(atof(Text(d, IDC_ZR_PARAM_SCALE_FACTOR)), c.clamped);
            ASSERT_EQ(backend().Messages().size(), 1u) << "one failed check, one message";
            EXPECT_EQ(backend().Messages()[0].text, "请输入一个介于 0 和 1 之间的数字。");
            d.Control(IDC_ZR_PARAM_SCALE_FACTOR)->SetWindowText(c.text);
            EXPECT_TRUE(d.Back());
            EXPECT_EQ(d.ActivePage(), &second()) << "Back is refused as well";
        }
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), sheet.GetPreviewPage());
        d.Cancel();
    });
}

TEST_F(UserDefinedPagesTest, AnglesAreEnteredAsDegreesMinutesSeconds) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToFirst(d);
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Lambert_Conformal_Conic"));
        ASSERT_TRUE(d.Next());
        EXPECT_EQ(second().GetFormat(), Second::FORMAT_DEGREES);
        EXPECT_TRUE(Visible(d, IDC_ZR_PARAM_PARALLEL1));
        EXPECT_FALSE(Visible(d, 29946));

        // An angle above -1 degree keeps its sign in the degree field.
        ASSERT_TRUE(d.Type(IDC_ZR_PARAM_ORIGIN_LATITUDE, "-0.5"));
        ASSERT_TRUE(d.Click(IDC_ZR_PARAM_FORMAT_DMS));
        EXPECT_EQ(second().GetFormat(), Second::FORMAT_DMS);
        EXPECT_FALSE(Visible(d, IDC_ZR_PARAM_PARALLEL1));
        EXPECT_TRUE(Visible(d, 29946));
        EXPECT_TRUE(Visible(d, 29944));
        EXPECT_EQ(Text(d, 29941), "-0");
        EXPECT_EQ(Text(d, 29942), "30");
        EXPECT_EQ(Text(d, 29943), "0");

        // First standard parallel 25 30 36, second 47 15 0.
        ASSERT_TRUE(d.Type(29946, "25"));
        ASSERT_TRUE(d.Type(29947, "30"));
        ASSERT_TRUE(d.Type(29948, "36"));
        ASSERT_TRUE(d.Type(29951, "47"));
        ASSERT_TRUE(d.Type(29952, "15"));
        ASSERT_TRUE(d.Click(IDC_ZR_PARAM_FORMAT_DMS)) << "clicking the checked format keeps what was typed";
        EXPECT_EQ(Text(d, 29946), "25");
        ASSERT_TRUE(d.Click(IDC_ZR_PARAM_FORMAT_DEGREES));
        EXPECT_NEAR(atof(Text(d, IDC_ZR_PARAM_PARALLEL1)), 25.51, kAngleToleranceDeg);
        EXPECT_NEAR(atof(Text(d, IDC_ZR_PARAM_PARALLEL2)), 47.25, kAngleToleranceDeg);
        EXPECT_NEAR(atof(Text(d, IDC_ZR_PARAM_ORIGIN_LATITUDE)), -0.5, kAngleToleranceDeg);

        // Leaving and coming back shows the same values.
        ASSERT_TRUE(d.Next());
        ASSERT_TRUE(d.Back());
        EXPECT_NEAR(atof(Text(d, IDC_ZR_PARAM_PARALLEL1)), 25.51, kAngleToleranceDeg);
        EXPECT_NEAR(atof(Text(d, IDC_ZR_PARAM_ORIGIN_LATITUDE)), -0.5, kAngleToleranceDeg);
        const CZrPJParams stored = second().GetParams();
        EXPECT_NEAR(stored.StandardParallel1, 25.51, kAngleToleranceDeg);
        EXPECT_NEAR(stored.StandardParallel2, 47.25, kAngleToleranceDeg);
        EXPECT_NEAR(stored.CentralParallel, -0.5, kAngleToleranceDeg);

        // Stored from D:M:S when the page is left in that format.
        ASSERT_TRUE(d.Click(IDC_ZR_PARAM_FORMAT_DMS));
        ASSERT_TRUE(d.Type(29934, "-105"));
        ASSERT_TRUE(d.Type(29935, "7"));
        ASSERT_TRUE(d.Type(29936, "30"));
        ASSERT_TRUE(d.Next());
        EXPECT_NEAR(second().GetParams().CentralMeridian, -105.125, kAngleToleranceDeg);
        ASSERT_TRUE(d.Back());
        EXPECT_EQ(second().GetFormat(), Second::FORMAT_DMS) << "the format survives the moves";

        // Minutes beyond 59 are refused by the range check.
        backend().Reset();
        EXPECT_FALSE(d.Type(29935, "75")) << "the numeric edit refuses it as typed";
        d.Control(29935)->SetWindowText("75");
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), &second());
        ASSERT_EQ(backend().Messages().size(), 1u) << "one failed check, one message";
        EXPECT_EQ(backend().Messages()[0].text, "请输入一个介于 0 和 59 之间的整数。");
        EXPECT_EQ(CWnd::GetFocus(), d.Control(29935)) << "the focus is on the field at fault";
        d.Cancel();
    });
}

// "User Define" on the kind page's geographic list: the first page defines
// the geographic system and finishes with a longitude/latitude system.
TEST_F(UserDefinedPagesTest, UserDefinedGeographicSystemFinishesOnTheFirstPage) {
    EXPECT_EQ(Run(sheet,
                  [&](CZrHeadlessDriver& d) {
                      ASSERT_TRUE(d.Click(IDC_ZR_KIND_LONLAT));
                      ASSERT_TRUE(d.SelectText(IDC_ZR_GEO_COORDSYS, "User Define"));
                      ASSERT_TRUE(d.Next());
                      ASSERT_EQ(d.ActivePage(), &first());
                      EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
                      EXPECT_FALSE(Enabled(d, IDC_ZR_USER_KIND));

                      ASSERT_TRUE(d.SelectText(IDC_ZR_USER_GCS, "User Define"));
                      EXPECT_TRUE(Enabled(d, IDC_ZR_USER_DATUM));
                      EXPECT_TRUE(Enabled(d, IDC_ZR_USER_PRIME_MERIDIAN));
                      EXPECT_FALSE(Enabled(d, IDC_ZR_USER_SPHEROID));
                      ASSERT_TRUE(d.SelectText(IDC_ZR_USER_DATUM, "WGS 1984"));
                      EXPECT_EQ(SelectedData(d, IDC_ZR_USER_SPHEROID), 7030);
                      EXPECT_EQ(atof(Text(d, IDC_ZR_USER_AXIS)), 6378137.0);
                      ASSERT_TRUE(d.SelectText(IDC_ZR_USER_PRIME_MERIDIAN, "Paris"));
                      EXPECT_FALSE(Enabled(d, IDC_ZR_USER_PM_LONGITUDE));
                      ASSERT_TRUE(d.SelectText(IDC_ZR_USER_UNITS, "千米"));
                      EXPECT_TRUE(d.Finish());
                  }),
              ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), 1);
    EXPECT_EQ(sheet.m_coordSys.GetDistUnits(), 10000000);
    const CZrPJGeoCoordSys gcs = sheet.m_coordSys.GetGCS();
    EXPECT_EQ(gcs.GetType(), -1);
    EXPECT_EQ(gcs.GetName(), "UserDefine");
    EXPECT_EQ(gcs.GetDatum().GetType(), 6326);
    EXPECT_EQ(gcs.GetPrimeMeridian().GetType(), 8903);
}

TEST_F(UserDefinedPagesTest, DatumSpheroidAndPrimeMeridianDefinedFromTheirFields) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToFirst(d);
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_GCS, "User Define"));
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_DATUM, "User Define"));
        EXPECT_TRUE(Enabled(d, IDC_ZR_USER_SPHEROID));
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_SPHEROID, "User Define"));
        EXPECT_TRUE(Enabled(d, IDC_ZR_USER_AXIS));
        ASSERT_TRUE(d.SelectText(IDC_ZR_USER_PRIME_MERIDIAN, "User Define"));
        EXPECT_TRUE(Enabled(d, IDC_ZR_USER_PM_LONGITUDE));

        // A radius below 5000 km is refused by the range check when the
        // field is left.
        backend().Reset();
        ASSERT_TRUE(d.Type(IDC_ZR_USER_AXIS, "4000000"));
        EXPECT_FALSE(d.Focus(IDC_ZR_USER_FLATTENING)) << "the focus stays on the refused field";
        ASSERT_EQ(backend().Messages().size(), 1u) << "one failed check, one message";
        EXPECT_EQ(backend().Messages()[0].text, "请输入一个介于 5000000 和 10000000 之间的数字。");

        ASSERT_TRUE(d.Type(IDC_ZR_USER_AXIS, "6378000"));
        ASSERT_TRUE(d.Type(IDC_ZR_USER_FLATTENING, "0.0033"));
        ASSERT_TRUE(d.Type(IDC_ZR_USER_PM_LONGITUDE, "2.5"));
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage(), &second());
        const CZrPJGeoCoordSys gcs = first().GetGeoCoordSys();
        EXPECT_EQ(gcs.GetName(), "UserDefine");
        EXPECT_EQ(gcs.GetDatum().GetType(), -1);
        EXPECT_EQ(gcs.GetDatum().GetName(), "UserDefine");
        EXPECT_EQ(gcs.GetDatum().GetSpheroid().GetAxis(), 6378000.0);
        EXPECT_EQ(gcs.GetDatum().GetSpheroid().GetFlattening(), 0.0033);
        EXPECT_EQ(gcs.GetPrimeMeridian().GetType(), -1);
        EXPECT_EQ(gcs.GetPrimeMeridian().GetLongitude(), 2.5);
        ASSERT_TRUE(d.Next());
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetDatum().GetSpheroid().GetAxis(), 6378000.0);
}

} // namespace
