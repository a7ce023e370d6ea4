// The coordinate-system sheet: construction, allow bits, its load and save
// actions through the file dialog, and the wizard's branching by page removal
// and restoration.

#include "interop/ZrInterop.h"
#include "persistence/ZrPrjFiles.h"
#include "platform/ui/ZrDialogTemplate.h"
#include "tests/dialog/sheet_fixture_p.h"

#include <sys/stat.h>

#include <tuple>

namespace {

class SheetTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};

    std::vector<CPropertyPage*> Pages() const {
        std::vector<CPropertyPage*> pages;
        for (int i = 0; i < sheet.GetPageCount(); ++i)
            pages.push_back(sheet.GetPage(i));
        return pages;
    }
    std::vector<CPropertyPage*> FivePages() {
        return {sheet.GetKindPage(), sheet.GetPreDefinedPage(), sheet.GetUserDefineFirstPage(),
                sheet.GetUserDefineSecondPage(), sheet.GetPreviewPage()};
    }
};

TEST_F(SheetTest, ConstructionAllowsEverythingWithFivePagesInOrder) {
    EXPECT_TRUE(sheet.IsWizardMode());
    EXPECT_EQ(Pages(), FivePages());
    EXPECT_EQ(sheet.IsAllowOrdinaryPlanCoordsys(), 1);
    EXPECT_EQ(sheet.IsAllowLongitudeLatitudeCoordsys(), 2);
    EXPECT_EQ(sheet.IsAllowProjectedCoordsys(), 4);
    EXPECT_EQ(sheet.m_bPrjLoaded, 0);
    EXPECT_EQ(sheet.m_bParamsChanged, 0);
    EXPECT_TRUE(sheet.m_coordSys == CZrPJCoordSys());
    EXPECT_TRUE(sheet.IsKindOf(RUNTIME_CLASS(CPropertySheet)));
    EXPECT_STREQ(sheet.GetRuntimeClass()->m_lpszClassName, "CZrSheetCoordSysSetting");
    CZrSheetCoordSysSetting byId(28899u);
    EXPECT_EQ(byId.GetPageCount(), 5);
}

// Each setter moves its own bit only; nonzero means allowed.
TEST_F(SheetTest, AllowBitsAreIndependent) {
    sheet.SetAllowLongitudeLatitudeCoordsys(0);
    EXPECT_EQ(sheet.IsAllowLongitudeLatitudeCoordsys(), 0);
    EXPECT_EQ(sheet.IsAllowOrdinaryPlanCoordsys(), 1);
    EXPECT_EQ(sheet.IsAllowProjectedCoordsys(), 4);
    sheet.SetAllowProjectedCoordsys(0);
    sheet.SetAllowOrdinaryPlanCoordsys(0);
    EXPECT_EQ(sheet.IsAllowOrdinaryPlanCoordsys() | sheet.IsAllowLongitudeLatitudeCoordsys() |
                  sheet.IsAllowProjectedCoordsys(),
              0);
    sheet.SetAllowLongitudeLatitudeCoordsys(-7);
    EXPECT_EQ(sheet.IsAllowLongitudeLatitudeCoordsys(), 2);
    EXPECT_EQ(sheet.IsAllowOrdinaryPlanCoordsys() | sheet.IsAllowProjectedCoordsys(), 0);
}

TEST_F(SheetTest, SavePrjFileChoosesTheFormByExtension) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(32650));
    const struct {
        int allowKeyValue;
        const char* name;
        int result;
        const char* written; // the file that must exist afterwards, or nullptr
    } cases[] = {
        {1, "a.prj", 1, "a.prj"}, {1, "b.XML", 1, "b.XML"}, {0, "c", 1, "c.xml"},
        {0, "d.PRJ", 1, "d.PRJ"}, {1, "e.txt", 0, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        backend().Reset();
        backend().QueueFileDialog(IDOK, Path(c.name).c_str());
        EXPECT_EQ(sheet.SavePrjFile(c.allowKeyValue), c.result);
        ASSERT_EQ(backend().FileDialogs().size(), 1u);
        const auto& shown = backend().FileDialogs()[0];
        EXPECT_EQ(shown.defExt, CString("xml"));
        EXPECT_EQ(shown.initialName, CString("*.xml"));
        EXPECT_EQ(shown.filter, CString(c.allowKeyValue ? "XML投影信息文件(*.xml)|*.xml|Orvanta Projection "
                                                          "Files (*.prj)|*.prj||"
                                                        : "XML投影信息文件(*.xml)|*.xml||"));
        if (c.written) {
            EXPECT_TRUE(Exists(Path(c.written)));
        }
    }
    EXPECT_FALSE(Exists(Path("e.txt"))) << "a name in neither form writes nothing";
    const std::string kv = Read(Path("a.prj"));
    EXPECT_EQ(kv.rfind("PCSType: 32650 \r\n", 0), 0u) << kv.substr(0, 40);

    backend().Reset();
    backend().QueueFileDialog(IDCANCEL);
    EXPECT_EQ(sheet.SavePrjFile(1), 0);
}

TEST_F(SheetTest, OpenPrjFileReplacesTheSystemAndSetsTheFlags) {
    Write(Path("only.prj"), "PCSType: 32650 \r\n");
    CZrPJCoordSys earth;
    earth.SetEarth(Gcs(4326), 10000);
    ASSERT_EQ(ZrSaveXmlProjectionFile(Path("earth.xml").c_str(), earth), 1);

    sheet.m_bParamsChanged = 1;
    backend().QueueFileDialog(IDOK, Path("only.prj").c_str());
    EXPECT_EQ(sheet.OpenPrjFile(), 1);
    EXPECT_EQ(sheet.m_coordSys.GetType(), 32650);
    EXPECT_EQ(sheet.m_bPrjLoaded, 1);
    EXPECT_EQ(sheet.m_bParamsChanged, 0);
    const auto& shown = backend().FileDialogs().back();
    EXPECT_TRUE(shown.open);
    EXPECT_EQ(shown.filter, CString("XML投影信息文件(*.xml)|*.xml|Shape投影信息文件(*.prj)|*.prj||"));

    backend().QueueFileDialog(IDOK, Path("earth.xml").c_str());
    EXPECT_EQ(sheet.OpenPrjFile(), 1);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_EARTH);
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetType(), 4326);
}

// Load judges a file by its content, whatever its extension: the exchange
// texts other GIS software writes give the system the library's importer
// reads from them, and the library's own files still read.
TEST_F(SheetTest, OpenPrjFileReadsEveryFormByContent) {
    // A shapefile's .prj as ArcGIS writes it; read as a key-value file it
    // became a system without projection on the Krasovsky ellipsoid.
    Write(Path("utm50.prj"), "PROJCS[\"WGS_1984_UTM_Zone_50N\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\","
                             "SPHEROID[\"WGS_1984\",6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],"
                             "UNIT[\"Degree\",0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],"
                             "PARAMETER[\"False_Easting\",500000.0],PARAMETER[\"False_Northing\",0.0],"
                             "PARAMETER[\"Central_Meridian\",117.0],PARAMETER[\"Scale_Factor\",0.9996],"
                             "PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]");
    sheet.m_coordSys.SetPlanar(100);
    backend().QueueFileDialog(IDOK, Path("utm50.prj").c_str());
    ASSERT_EQ(sheet.OpenPrjFile(), 1);
    EXPECT_EQ(sheet.m_coordSys.GetType(), 32650);
    EXPECT_EQ(sheet.m_coordSys.GetProjection().GetType(), PJ_KIND_TRANSVERSE_MERCATOR);
    EXPECT_EQ(sheet.m_coordSys.GetParams().CentralMeridian, 117.0);
    EXPECT_TRUE(backend().Messages().empty());

    // Catalogue systems of many kinds and both hemispheres, geographic ones
    // among them, in every exchange form.
    const long systems[] = {32650, 32750, 32601, 21480, 21413, 27700, 26915, 2100,  23063, 2391,
                            20255, 21500, 26741, 26193, 22391, 26591, 25000, 24892, 4326,  4214};
    const tagZrCrsTextFormat forms[] = {ZR_CRS_TEXT_ESRI_WKT1, ZR_CRS_TEXT_WKT1_GDAL, ZR_CRS_TEXT_WKT2_2019,
                                        ZR_CRS_TEXT_PROJJSON, ZR_CRS_TEXT_PROJ_STRING};
    int loads = 0;
    for (long code : systems) {
        CZrPJCoordSys original;
        if (code == 4326 || code == 4214)
            original.SetEarth(Gcs(code), 10000);
        else
            ASSERT_TRUE(original.Set(static_cast<tagPJCoordSysType>(code))) << code;
        for (tagZrCrsTextFormat form : forms) {
            SCOPED_TRACE(::testing::Message() << code << " form " << form);
            CString text;
            ASSERT_EQ(ZrExportCoordSys(original, form, text), 1);
            CZrPJCoordSys expected;
            ASSERT_EQ(ZrImportCoordSys(text, expected), 1);
            Write(Path("exchange.prj"), text.str());
            sheet.m_coordSys.SetPlanar(100);
            backend().QueueFileDialog(IDOK, Path("exchange.prj").c_str());
            ASSERT_EQ(sheet.OpenPrjFile(), 1);
            EXPECT_TRUE(sheet.m_coordSys == expected);
            EXPECT_EQ(sheet.m_coordSys.GetType(), expected.GetType());
            ++loads;
        }
        // The library's own three files, whatever they are called.
        ASSERT_EQ(ZrSaveXmlProjectionFile(Path("own.dat").c_str(), original), 1);
        backend().QueueFileDialog(IDOK, Path("own.dat").c_str());
        ASSERT_EQ(sheet.OpenPrjFile(), 1) << code;
        EXPECT_EQ(sheet.m_coordSys.GetType(), original.GetType());
        ASSERT_EQ(ZrSaveKeyValueProjectionFile(Path("own.txt").c_str(), original), 1);
        backend().QueueFileDialog(IDOK, Path("own.txt").c_str());
        ASSERT_EQ(sheet.OpenPrjFile(), 1) << code;
        EXPECT_EQ(sheet.m_coordSys.GetType(), original.GetType());
        ASSERT_EQ(ZrSaveTextProjectionFile(Path("own.xml").c_str(), original), 1);
        backend().QueueFileDialog(IDOK, Path("own.xml").c_str());
        ASSERT_EQ(sheet.OpenPrjFile(), 1) << code;
        EXPECT_EQ(sheet.m_coordSys.GetType(), original.GetType());
    }
    EXPECT_EQ(loads, 100);
    EXPECT_TRUE(backend().Messages().empty());
}

// An exchange text written on a Chinese host carries its names in the host's
// code page; they reach the system as the characters they stand for.
TEST_F(SheetTest, OpenPrjFileReadsExchangeNamesInTheHostsCodePage) {
    // "测试" in GB2312.
    Write(Path("gb.prj"), "PROJCS[\"\xB2\xE2\xCA\xD4_UTM_50N\",GEOGCS[\"GCS_WGS_1984\",DATUM[\"D_WGS_1984\","
                          "SPHEROID[\"WGS_1984\",6378137.0,298.257223563]],PRIMEM[\"Greenwich\",0.0],"
                          "UNIT[\"Degree\",0.0174532925199433]],PROJECTION[\"Transverse_Mercator\"],"
                          "PARAMETER[\"False_Easting\",500000.0],PARAMETER[\"False_Northing\",0.0],"
                          "PARAMETER[\"Central_Meridian\",117.0],PARAMETER[\"Scale_Factor\",0.9996],"
                          "PARAMETER[\"Latitude_Of_Origin\",0.0],UNIT[\"Meter\",1.0]]");
    backend().QueueFileDialog(IDOK, Path("gb.prj").c_str());
    ASSERT_EQ(sheet.OpenPrjFile(), 1);
    EXPECT_EQ(sheet.m_coordSys.GetName(), CString("测试_UTM_50N"));
    EXPECT_EQ(sheet.m_coordSys.GetParams().CentralMeridian, 117.0);
}

// A cancelled, unreadable or foreign file leaves the system and the flags;
// every failure but the cancel says so once, in the user's language.
TEST_F(SheetTest, FailedOpenChangesNothing) {
    Write(Path("garbage.prj"), "hello world\r\n");
    Write(Path("keyless.prj"), "PCSName: x \r\nAxis: 6378137 \r\n");
    Write(Path("empty.xml"), "");
    Write(Path("binary.prj"), std::string("PCSType: 32650 \0\x01\x02", 19));
    Write(Path("badwkt.prj"), "PROJCS[\"x\",GEOGCS[\"y\"],PROJECTION[\"No_Such_Projection\"]]");
    Write(Path("broken.xml"), "<OrvantaProjection><unclosed>");
    Write(Path("nosystem.xml"),
          "<?xml version=\"1.0\"?><OrvantaProjection oml:Version=\"20050301\"><oml:Other/>"
          "</OrvantaProjection>");
    Write(Path("huge.prj"), "PCSType: 32650 \r\n" + std::string(2 << 20, ' '));
    ASSERT_EQ(mkfifo(Path("fifo.prj").c_str(), 0600), 0) << "a FIFO is refused, never waited on";
    const struct {
        int answer;
        std::string path;
        size_t messages;
    } cases[] = {
        {IDCANCEL, "", 0},
        {IDOK, Path("garbage.prj"), 1},
        {IDOK, Path("keyless.prj"), 1},
        {IDOK, Path("empty.xml"), 1},
        {IDOK, Path("binary.prj"), 1},
        {IDOK, Path("badwkt.prj"), 1},
        {IDOK, Path("broken.xml"), 1},
        {IDOK, Path("nosystem.xml"), 1},
        {IDOK, Path("huge.prj"), 1},
        {IDOK, Path("fifo.prj"), 1},
        {IDOK, Path("missing.prj"), 1},
        {IDOK, Path("missing.xml"), 1},
    };
    sheet.m_coordSys.SetPlanar(100);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        backend().Reset();
        backend().QueueFileDialog(c.answer, c.path.c_str());
        EXPECT_EQ(sheet.OpenPrjFile(), 0);
        EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_PLANAR);
        EXPECT_EQ(sheet.m_coordSys.GetDistUnits(), 100);
        EXPECT_EQ(sheet.m_bPrjLoaded, 0);
        ASSERT_EQ(backend().Messages().size(), c.messages);
        if (c.messages) {
            EXPECT_EQ(backend().Messages()[0].text, CString("无法从该文件读出坐标系，未载入该文件。"));
        }
    }
    SetLanguage("ja_JP.UTF-8");
    backend().Reset();
    backend().QueueFileDialog(IDOK, Path("garbage.prj").c_str());
    EXPECT_EQ(sheet.OpenPrjFile(), 0);
    ASSERT_EQ(backend().Messages().size(), 1u);
    EXPECT_EQ(backend().Messages()[0].text,
              CString("このファイルから座標系を読み取れません。ファイルは読み込まれませんでした。"));
}

// Going to the user-defined pages removes the predefined page; the kind page
// puts all five back, in their first order, when it is shown again.
TEST_F(SheetTest, PredefinedPageIsRemovedAndRestored) {
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), sheet.GetUserDefineFirstPage());
        EXPECT_EQ(sheet.GetPageCount(), 4);
        EXPECT_EQ(sheet.GetPageIndex(sheet.GetPreDefinedPage()), -1);

        EXPECT_TRUE(d.Back());
        EXPECT_EQ(d.ActivePage(), sheet.GetKindPage());
        EXPECT_EQ(Pages(), FivePages());
        EXPECT_EQ(sheet.GetWizardButtons() & PSWIZB_NEXT, PSWIZB_NEXT);

        EXPECT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 0));
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), sheet.GetPreDefinedPage());
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
        EXPECT_TRUE(d.Back());
        EXPECT_EQ(d.ActivePage(), sheet.GetKindPage());
        EXPECT_EQ(Pages(), FivePages());
        EXPECT_TRUE(d.Cancel());
    });
    EXPECT_EQ(result, IDCANCEL);
}

// "User Define" as the geographic system: the user-defined first page is the
// last step and Finish gives a longitude/latitude system.
TEST_F(SheetTest, UserDefinedGeographicSystemFinishesOnTheFirstUserPage) {
    sheet.m_coordSys.SetPlanar(10000);
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Click(IDC_ZR_KIND_LONLAT));
        EXPECT_TRUE(d.Select(IDC_ZR_DIST_UNITS, 0));
        EXPECT_TRUE(d.SelectText(IDC_ZR_GEO_COORDSYS, "User Define"));
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), sheet.GetUserDefineFirstPage());
        EXPECT_EQ(sheet.GetPageCount(), 4);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
        ASSERT_NE(d.Control(29904), nullptr);
        EXPECT_FALSE(d.Control(29904)->IsWindowEnabled()) << "no projection kind for a geographic system";
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_EARTH);
}

TEST_F(SheetTest, PredefinedPathFinishesOnThePredefinedPage) {
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), sheet.GetPreDefinedPage());
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), 32601) << "the default system's own group and entry";
    EXPECT_TRUE(sheet.m_coordSys.IsValid());
}

// Every page shows the banner in the same place, so it does not jump as the
// user moves between pages.
TEST_F(SheetTest, EveryPageShowsTheBannerInTheSamePlace) {
    const CZrDlgItemTemplate* first = nullptr;
    for (CPropertyPage* page : FivePages()) {
        const CZrDialogTemplate* tmpl = ZrFindDialogTemplate(page->GetTemplateId());
        ASSERT_NE(tmpl, nullptr);
        const CZrDlgItemTemplate* banner = nullptr;
        for (int i = 0; i < tmpl->itemCount; ++i)
            if ((tmpl->items[i].style & SS_TYPEMASK) == SS_BITMAP && tmpl->items[i].wndClass == ZRWC_STATIC)
                banner = &tmpl->items[i];
        ASSERT_NE(banner, nullptr) << tmpl->id;
        EXPECT_EQ(banner->imageId, static_cast<UINT>(IDB_ZR_COORDSYS_BANNER)) << tmpl->id;
        if (!first) first = banner;
        EXPECT_EQ(std::make_tuple(banner->x, banner->y, banner->cx, banner->cy),
                  std::make_tuple(first->x, first->y, first->cx, first->cy))
            << tmpl->id;
    }
}

} // namespace
