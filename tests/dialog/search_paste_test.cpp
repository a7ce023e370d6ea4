// Finding a system by code or name on the kind page, pasting one as text, and
// what the preview tells of the system: its name, its PROJ text (copied to
// the clipboard on request) and its area of use on a world map.

#include "dialog/ZrAreaOfUse.h"
#include "dialog/ZrSystemSearch.h"
#include "interop/ZrInterop.h"
#include "platform/ui/ZrDC.h"
#include "platform/ui/ZrUiBackend.h"
#include "tests/dialog/sheet_fixture_p.h"

#include <cmath>

namespace {

CZrPJCoordSys FromEpsg(long code) {
    CZrPJCoordSys cs;
    EXPECT_EQ(ZrCoordSysFromEpsg(code, cs), 1) << code;
    return cs;
}

CString ExportText(const CZrPJCoordSys& cs, tagZrCrsTextFormat format) {
    CString text;
    EXPECT_EQ(ZrExportCoordSys(cs, format, text), 1);
    return text;
}

// The same coordinates for a few points on either system: a tenth of a
// millimetre, the usual bar for a projection read back.
void ExpectSameProjection(const CZrPJCoordSys& got, const CZrPJCoordSys& expected) {
    constexpr double kTenthOfAMillimetre = 1e-4;
    ASSERT_EQ(got.GetType() == PJ_CS_EARTH, expected.GetType() == PJ_CS_EARTH);
    for (const CPoint2D& lonLat : {CPoint2D(2.35, 48.85), CPoint2D(116.4, 39.9), CPoint2D(-0.13, 51.5)}) {
        CPoint2D a = lonLat, b = lonLat;
        got.Forward(&a, 1);
        expected.Forward(&b, 1);
        EXPECT_NEAR(a.x, b.x, kTenthOfAMillimetre);
        EXPECT_NEAR(a.y, b.y, kTenthOfAMillimetre);
    }
}

// ---------------------------------------------------------------------------
// The search itself
// ---------------------------------------------------------------------------

// What a user types and the code that must come among the first hits: codes
// with or without their authority, names with words in any order and any
// separator, and the Chinese names of datums.
TEST(SystemSearchTest, FindsByCodeNameAndChineseName) {
    const struct {
        const char* typed;
        const char* code;
        size_t within;
    } cases[] = {
        {"4490", "EPSG:4490", 1},
        {"EPSG:2154", "EPSG:2154", 1},
        {"ESRI:54030", "ESRI:54030", 1},
        {"Lambert 93", "EPSG:2154", 3},
        {"lambert-93", "EPSG:2154", 3},
        {"British National Grid", "EPSG:27700", 3},
        {"beijing_1954 gk zone 20", "EPSG:21420", 3},
        {"UTM zone 50N WGS 84", "EPSG:32650", 3},
        {"国家2000", "EPSG:4490", 1},
        {"北京54", "EPSG:4214", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        const std::vector<ZrSystemSearchHit> hits = ZrSearchCoordSystems(c.typed, 10);
        size_t at = c.within; // not found
        for (size_t i = 0; i < hits.size(); ++i)
            if (hits[i].code == CString(c.code)) {
                at = i;
                break;
            }
        EXPECT_LT(at, c.within) << (hits.empty() ? "no hits" : hits[0].code + "  " + hits[0].name).c_str();
    }
    EXPECT_TRUE(ZrSearchCoordSystems("no such system anywhere", 10).empty());
    EXPECT_TRUE(ZrSearchCoordSystems("  ", 10).empty());
}

// A hit builds the system its code names: EPSG's definition where EPSG has
// it (the catalogue system where the mapping names one), the catalogue's own
// where only the catalogue has it.
TEST(SystemSearchTest, HitsBuildTheSystemsTheyName) {
    for (const char* typed : {"2154", "32650", "4490", "ESRI:54030"}) {
        SCOPED_TRACE(typed);
        const std::vector<ZrSystemSearchHit> hits = ZrSearchCoordSystems(typed, 1);
        ASSERT_EQ(hits.size(), 1u);
        CZrPJCoordSys cs;
        ASSERT_EQ(ZrBuildSearchHit(hits[0], cs), 1);
        EXPECT_TRUE(cs.IsValid());
        if (hits[0].epsgCode > 0) {
            EXPECT_TRUE(cs == FromEpsg(hits[0].epsgCode));
        } else {
            CZrPJCoordSys catalogue;
            catalogue.Set(static_cast<tagPJCoordSysType>(hits[0].catalogue));
            EXPECT_TRUE(cs == catalogue);
        }
    }
}

// ---------------------------------------------------------------------------
// Area of use
// ---------------------------------------------------------------------------

// The four systems whose previews were once the same picture each get their
// own area, EPSG's: the zone and hemisphere of a UTM zone, the part of China
// in a 6-degree zone of Beijing 1954 and in a 3-degree zone of CGCS2000.
TEST(AreaOfUseTest, EpsgSystemsGetEpsgsArea) {
    constexpr double kBoxTolerance = 0.01; // degrees: EPSG states its boxes to hundredths
    const struct {
        long epsg;
        double west, east, south, north;
    } cases[] = {
        {32650, 114.0, 120.0, 0.0, 84.0},
        {32750, 114.0, 120.0, -80.0, 0.0},
        {21420, 114.0, 120.0, 22.14, 51.52},
        {4547, 112.5, 115.5, 21.52, 45.45},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.epsg);
        ZrAreaOfUse area;
        ASSERT_EQ(ZrCoordSysAreaOfUse(FromEpsg(c.epsg), area), 1);
        EXPECT_NEAR(area.west, c.west, kBoxTolerance);
        EXPECT_NEAR(area.east, c.east, kBoxTolerance);
        EXPECT_NEAR(area.south, c.south, kBoxTolerance);
        EXPECT_NEAR(area.north, c.north, kBoxTolerance);
        EXPECT_FALSE(area.name.IsEmpty());
    }
}

// A system EPSG does not have gets the domain its projection is made for:
// the zone a transverse Mercator's meridian and zone prefix tell (6 or 3
// degrees) in the hemisphere its false northing serves; a conic's band
// around its parallels; the world for a world projection. A planar system
// has none.
TEST(AreaOfUseTest, OtherSystemsGetTheirProjectionsDomain) {
    constexpr double kDegreeTolerance = 1e-9; // the boxes come from exact meridians and parallels
    struct Case {
        const char* what;
        long kind;
        double falseEasting, falseNorthing, centralMeridian, origin, sp1, sp2;
        double west, east, south, north;
    };
    const Case cases[] = {
        {"6-degree zone 20 by its prefix", PJ_KIND_GAUSS_KRUGER, 20500000, 0, 117, 0, 0, 0, 114, 120, 0, 84},
        {"3-degree zone 39 by its prefix", PJ_KIND_GAUSS_KRUGER, 39500000, 0, 117, 0, 0, 0, 115.5, 118.5, 0,
         84},
        {"3-degree zone by its meridian", PJ_KIND_TRANSVERSE_MERCATOR, 500000, 0, 114, 0, 0, 0, 112.5, 115.5,
         0, 84},
        {"southern 6-degree zone", PJ_KIND_TRANSVERSE_MERCATOR, 500000, 10000000, -177, 0, 0, 0, -180, -174,
         -80, 0},
        {"conic around its parallels, not its origin", PJ_KIND_ALBERS, 0, 0, 105, 0, 25, 47, 85, 125, 20, 52},
        // 20 degrees of latitude either side; in longitude 20 / cos(60).
        {"azimuthal around its centre", PJ_KIND_LAMBERT_AZIMUTHAL_EQUAL_AREA, 0, 0, 10, 40, 0, 0, -30, 50, 20,
         60},
        {"polar azimuthal: the cap", PJ_KIND_STEREOGRAPHIC, 0, 0, 0, 90, 0, 0, -180, 180, 70, 90},
        {"world projection", PJ_KIND_ROBINSON, 0, 0, 0, 0, 0, 0, -180, 180, -90, 90},
    };
    CZrPJGeoCoordSys gcs;
    gcs.Set(static_cast<tagGeoCoordSysType>(4326));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CZrPJObject kind;
        kind.Set(static_cast<tagPJObjectType>(c.kind));
        CZrPJParams p;
        p.FalseEasting = c.falseEasting, p.FalseNorthing = c.falseNorthing;
        p.CentralMeridian = c.centralMeridian, p.CentralParallel = c.origin;
        p.StandardParallel1 = c.sp1, p.StandardParallel2 = c.sp2;
        p.ScaleFactor = 1.0;
        CZrPJCoordSys cs;
        cs.Set("test", gcs, kind, p, 10000);
        ZrAreaOfUse area;
        ASSERT_EQ(ZrCoordSysAreaOfUse(cs, area), 1);
        EXPECT_NEAR(area.west, c.west, kDegreeTolerance);
        EXPECT_NEAR(area.east, c.east, kDegreeTolerance);
        EXPECT_NEAR(area.south, c.south, kDegreeTolerance);
        EXPECT_NEAR(area.north, c.north, kDegreeTolerance);
        EXPECT_TRUE(area.name.IsEmpty());
    }
    CZrPJCoordSys planar;
    planar.SetPlanar(10000);
    ZrAreaOfUse none;
    EXPECT_EQ(ZrCoordSysAreaOfUse(planar, none), 0);
}

// The map is the world at two to one with its coastlines, and the area of
// use shaded in red over it: inside the box the picture is tinted, outside
// it is not; a box across the antimeridian is shaded at both edges.
TEST(AreaOfUseTest, MapShadesTheBoxOverTheCoastlines) {
    CZrImage image(361, 181, RGB(240, 240, 240));
    CDC dc(&image);
    const RECT rc = {0, 0, 361, 181}; // one pixel a degree
    ZrAreaOfUse area;
    area.west = 170.0, area.east = -170.0, area.south = 10.0, area.north = 20.0;
    ZrDrawAreaOfUseMap(&dc, rc, &area);

    auto reddish = [&](int lon, int lat) {
        const COLORREF c = image.GetPixel(lon + 180, 90 - lat);
        return GetRValue(c) > GetBValue(c) + 40;
    };
    EXPECT_TRUE(reddish(175, 15));
    EXPECT_TRUE(reddish(-175, 15));
    EXPECT_FALSE(reddish(0, 15));
    EXPECT_FALSE(reddish(175, 30));
    int coast = 0;
    for (int y = 0; y < 181; ++y)
        for (int x = 0; x < 361; ++x)
            coast += image.GetPixel(x, y) == RGB(96, 110, 120);
    // The coastlines of the world at a degree a pixel: thousands of pixels.
    EXPECT_GT(coast, 3000);
}

// ---------------------------------------------------------------------------
// The kind page: search field and paste
// ---------------------------------------------------------------------------

class KindPageFindTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};

    static int HitIndex(CZrHeadlessDriver& d, const char* code) {
        CComboBox* hits = Combo(d, IDC_ZR_KIND_HITS);
        if (!hits) return -1;
        for (int i = 0; i < hits->GetCount(); ++i) {
            CString text;
            hits->GetLBText(i, text);
            if (text.Find(CString(code) + "  ") == 0) return i;
        }
        return -1;
    }
};

// Typing shows the hits with their codes; choosing one makes it the sheet's
// system, whole: Next shows it on the preview, and Finish there hands back
// EPSG's definition with its names, where the user-defined pages would
// rebuild and rename it.
TEST_F(KindPageFindTest, ChosenHitBecomesTheSheetsSystem) {
    const struct {
        const char* typed;
        const char* code;
        long epsg;
    } cases[] = {
        {"4490", "EPSG:4490", 4490},
        {"Lambert 93", "EPSG:2154", 2154},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        CZrSheetCoordSysSetting sheet("坐标系统");
        INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
            ASSERT_TRUE(d.Type(IDC_ZR_KIND_SEARCH, c.typed));
            const int hit = HitIndex(d, c.code);
            ASSERT_GE(hit, 0);
            EXPECT_LT(hit, 3);
            ASSERT_TRUE(d.Select(IDC_ZR_KIND_HITS, hit));
            // Next shows it on the preview, Back returns to the search.
            ASSERT_TRUE(d.Next());
            ASSERT_EQ(d.ActivePage(), sheet.GetPreviewPage());
            CString name, expected;
            d.ActivePage()->GetDlgItemText(IDC_ZR_PREVIEW_NAME, name);
            expected.Format("%s  %s", c.code, FromEpsg(c.epsg).GetName().c_str());
            EXPECT_EQ(name, expected);
            ASSERT_TRUE(d.Back());
            ASSERT_EQ(d.ActivePage(), sheet.GetKindPage());
            ASSERT_TRUE(d.Next());
            EXPECT_TRUE(d.Finish());
        });
        EXPECT_EQ(result, ID_WIZFINISH);
        EXPECT_TRUE(sheet.m_coordSys == FromEpsg(c.epsg));
        EXPECT_TRUE(backend().Messages().empty());
    }
}

// A found system the user walks through the user-defined pages without a
// change is still that system at the end: the preview names it, and Finish
// hands back EPSG's definition with EPSG's names, not the pages' generic ones.
TEST_F(KindPageFindTest, FoundSystemWalkedThroughThePagesKeepsItsNames) {
    const CZrPJCoordSys lambert93 = FromEpsg(2154);
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Type(IDC_ZR_KIND_SEARCH, "Lambert 93"));
        ASSERT_TRUE(d.Select(IDC_ZR_KIND_HITS, HitIndex(d, "EPSG:2154")));
        ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
        for (int i = 0; i < 3; ++i)
            ASSERT_TRUE(d.Next());
        CString name;
        d.ActivePage()->GetDlgItemText(IDC_ZR_PREVIEW_NAME, name);
        EXPECT_EQ(name, "EPSG:2154  " + lambert93.GetName());
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_TRUE(sheet.m_coordSys == lambert93);
    EXPECT_EQ(sheet.m_coordSys.GetName(), lambert93.GetName());
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetName(), lambert93.GetGCS().GetName());
}

// A pasted WKT, PROJJSON or PROJ text becomes the sheet's system; what no
// reader takes is refused with one message that says why, and the sheet
// keeps its system. A kind the host forbade is refused as a load refuses it.
TEST_F(KindPageFindTest, PasteTakesATextOrSaysWhyNot) {
    const CZrPJCoordSys utm = FromEpsg(32650);
    struct Case {
        CString clipboard;
        CZrPJCoordSys expected;
        bool taken;
        const char* message; // the start of the message when refused
        // A PROJ string names no datum, and the WKT1 dialects name a datum
        // in their writers' words (GDAL's "China_2000", ESRI's "D_…"), which
        // come back as written: the system read back is the same projection
        // on the same ellipsoid, with the same EPSG code.
        bool bSameProjectionOnly = false;
    };
    std::vector<Case> cases;
    // Every form of a few systems: UTM in the catalogue, a conic outside it,
    // a geographic system, Web Mercator and a national grid.
    for (const long epsg : {32650L, 2154L, 4490L, 3857L, 27700L})
        for (const tagZrCrsTextFormat format :
             {ZR_CRS_TEXT_ESRI_WKT1, ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_WKT2_2019, ZR_CRS_TEXT_PROJJSON,
              ZR_CRS_TEXT_PROJ_STRING})
            cases.push_back({ExportText(FromEpsg(epsg), format), FromEpsg(epsg), true, nullptr,
                             format == ZR_CRS_TEXT_PROJ_STRING || format == ZR_CRS_TEXT_ESRI_WKT1 ||
                                 format == ZR_CRS_TEXT_WKT1_GDAL});
    cases.push_back({"hello", utm, false, "剪贴板中没有可读出坐标系的文本"});
    cases.push_back(
        {"+proj=no_such_projection +ellps=GRS80 +type=crs", utm, false, "无法从剪贴板中的文本读出坐标系："});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clipboard.c_str());
        backend().Reset();
        CZrSheetCoordSysSetting sheet("坐标系统");
        sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(21420));
        ZrSetClipboardText(c.clipboard);
        Run(sheet, [&](CZrHeadlessDriver& d) {
            ASSERT_TRUE(d.Click(IDC_ZR_KIND_PASTE));
            EXPECT_TRUE(d.Cancel());
        });
        if (c.taken) {
            EXPECT_TRUE(backend().Messages().empty());
            if (c.bSameProjectionOnly) {
                ExpectSameProjection(sheet.m_coordSys, c.expected);
                if (!c.clipboard.str().empty() && c.clipboard.str()[0] != '+')
                    EXPECT_EQ(ZrEpsgCodeOf(sheet.m_coordSys), ZrEpsgCodeOf(c.expected));
            }
            else
                EXPECT_TRUE(sheet.m_coordSys == c.expected);
        } else {
            ASSERT_EQ(backend().Messages().size(), 1u);
            const CString& text = backend().Messages()[0].text;
            EXPECT_EQ(text.Find(c.message), 0) << text.c_str();
            // The reader's reason follows the sentence.
            EXPECT_GT(text.GetLength(), CString(c.message).GetLength() + 3);
            EXPECT_EQ(sheet.m_coordSys.GetType(), 21420);
        }
    }

    backend().Reset();
    CZrSheetCoordSysSetting lonlatOnly("坐标系统");
    lonlatOnly.SetAllowProjectedCoordsys(0);
    lonlatOnly.m_coordSys.SetEarth(Gcs(4326), 10000);
    ZrSetClipboardText(ExportText(utm, ZR_CRS_TEXT_ESRI_WKT1));
    Run(lonlatOnly, [&](CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Click(IDC_ZR_KIND_PASTE));
        EXPECT_TRUE(d.Cancel());
    });
    ASSERT_EQ(backend().Messages().size(), 1u);
    EXPECT_EQ(backend().Messages()[0].text, CString("该坐标系是投影坐标系，此处不允许使用。"));
    EXPECT_EQ(lonlatOnly.m_coordSys.GetType(), PJ_CS_EARTH);
}

// ---------------------------------------------------------------------------
// The preview: name, text, copy, area
// ---------------------------------------------------------------------------

// The preview names the system and shows its PROJ text; Copy puts that text
// on the clipboard, and the map shows the area of use: the UTM zone 50 of
// each hemisphere draws a different map.
TEST_F(KindPageFindTest, PreviewNamesShowsCopiesAndMapsTheSystem) {
    std::vector<std::vector<unsigned char>> maps;
    for (const long epsg : {32650L, 32750L}) {
        SCOPED_TRACE(epsg);
        CZrSheetCoordSysSetting sheet("坐标系统");
        CZrPJCoordSys user = FromEpsg(epsg);
        // Through the user-defined pages, as a system outside the catalogue.
        user.Set("UTM test", user.GetGCS(), user.GetProjection(), user.GetParams(), user.GetDistUnits());
        sheet.m_coordSys = user;
        sheet.m_bPrjLoaded = 1;
        ZrSetClipboardText("");
        Run(sheet, [&](CZrHeadlessDriver& d) {
            ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
            for (int i = 0; i < 3; ++i)
                ASSERT_TRUE(d.Next());
            CString name, text;
            d.ActivePage()->GetDlgItemText(IDC_ZR_PREVIEW_NAME, name);
            d.ActivePage()->GetDlgItemText(IDC_ZR_PREVIEW_TEXT, text);
            EXPECT_EQ(name.Find("UTM test"), 0) << name.c_str();
            EXPECT_EQ(text, ExportText(sheet.GetPreviewPage()->GetAssembled(), ZR_CRS_TEXT_PROJ_STRING));
            EXPECT_TRUE(d.Click(IDC_ZR_PREVIEW_COPY));
            EXPECT_EQ(ZrGetClipboardText(), text);
            const CZrImage* map = d.Surface(IDC_ZR_PREVIEW_AREA);
            ASSERT_NE(map, nullptr);
            maps.push_back(map->EncodePng());
            EXPECT_TRUE(d.Cancel());
        });
    }
    ASSERT_EQ(maps.size(), 2u);
    EXPECT_NE(maps[0], maps[1]);
}

} // namespace
