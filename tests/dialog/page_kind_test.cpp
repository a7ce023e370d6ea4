// The kind page of the coordinate-system sheet: its lists and their item
// data, the radio choices with their wizard buttons, finishing planar and
// longitude/latitude systems, the user's language and the load and save
// buttons.

#include "platform/ui/ZrUserLanguage.h"
#include "platform/ZrToolkit.h"
#include "interop/ZrInterop.h"
#include "tests/dialog/sheet_fixture_p.h"

namespace {

class KindPageTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};
};

TEST(KindPageUnits, ListIndexAndUnitCodeAreTiedByTheTable) {
    const long codes[] = {10000000, 10000, 1000, 100, 10, 254, 3048, 9144, 16090000, kZrUnitUsSurveyFoot};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(ZrUnitCodeOfListIndex(i), codes[i]);
        EXPECT_EQ(ZrListIndexOfUnitCode(codes[i]), i);
    }
    // After them every other exact unit, each at one index.
    int exact = 0;
    const ZrExactUnit* units = ZrExactUnits(exact);
    ASSERT_EQ(ZrUnitListCount(), 10 + exact - 1);
    for (int i = 1; i < exact; ++i) {
        EXPECT_EQ(ZrUnitCodeOfListIndex(9 + i), units[i].code) << units[i].name;
        EXPECT_EQ(ZrListIndexOfUnitCode(units[i].code), 9 + i) << units[i].name;
    }
    // No selection reads as metres; a code the list lacks selects metres.
    EXPECT_EQ(ZrUnitCodeOfListIndex(-1), 10000);
    EXPECT_EQ(ZrUnitCodeOfListIndex(ZrUnitListCount()), 10000);
    EXPECT_EQ(ZrListIndexOfUnitCode(0), 1);
    EXPECT_EQ(ZrListIndexOfUnitCode(12345), 1);
}

TEST(KindPageLanguage, LocaleNamesGiveTheWindowsPrimaryLanguage) {
    const struct {
        const char* locale;
        int lang;
        long gcs;
    } cases[] = {
        {"ja_JP.UTF-8", ZR_LANG_JAPANESE, 37301},
        {"ja", ZR_LANG_JAPANESE, 37301},
        {"sv_SE.ISO-8859-1", ZR_LANG_SWEDISH, 4004},
        {"SV_fi", ZR_LANG_SWEDISH, 4004},
        {"zh_CN.GB2312", ZR_LANG_CHINESE, 4214},
        {"en_US.UTF-8", ZR_LANG_ENGLISH, 4214},
        {"C", ZR_LANG_NEUTRAL, 4214},
        {"POSIX", ZR_LANG_NEUTRAL, 4214},
        {"jav_ID", ZR_LANG_NEUTRAL, 4214},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        EXPECT_EQ(ZrLangIdFromLocaleName(c.locale), c.lang);
        setenv("LC_ALL", c.locale, 1);
        EXPECT_EQ(ZrPrimaryLangId(ZrGetUserDefaultLangID()), c.lang);
        EXPECT_EQ(ZrDefaultGeoCoordSysCode(), c.gcs);
    }
    // Without LC_ALL, LC_MESSAGES comes before LANG.
    unsetenv("LC_ALL");
    setenv("LC_MESSAGES", "sv_SE", 1);
    setenv("LANG", "ja_JP", 1);
    EXPECT_EQ(ZrGetUserDefaultLangID(), ZR_LANG_SWEDISH);
    unsetenv("LC_MESSAGES");
    EXPECT_EQ(ZrGetUserDefaultLangID(), ZR_LANG_JAPANESE);
    unsetenv("LANG");
}

// The default system is a projected catalogue system: the page opens on the
// projected choice with the predefined source and Next.
TEST_F(KindPageTest, DefaultSystemOpensOnTheProjectedChoice) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_EQ(d.ActivePage(), sheet.GetKindPage());
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PROJECTED)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PLANAR)->GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
        EXPECT_TRUE(Enabled(d, IDC_ZR_PRJ_SOURCE));
        for (int id : {IDC_ZR_COORD_UNITS, IDC_ZR_GEO_COORDSYS, IDC_ZR_DIST_UNITS})
            EXPECT_FALSE(Enabled(d, id));
        CComboBox* source = Combo(d, IDC_ZR_PRJ_SOURCE);
        ASSERT_EQ(source->GetCount(), 2);
        EXPECT_EQ(SelectedText(d, IDC_ZR_PRJ_SOURCE), CString("系统预定义投影系"));
        CString user;
        source->GetLBText(1, user);
        EXPECT_EQ(user, CString("用户自定义投影系"));
        // The coordinate-unit list is filled from the start.
        CComboBox* units = Combo(d, IDC_ZR_COORD_UNITS);
        ASSERT_EQ(units->GetCount(), ZrUnitListCount());
        const char* texts[] = {"千米", "米",   "分米", "厘米", "毫米",
                               "英寸", "英尺", "码",   "英里", "美国测量英尺"};
        for (int i = 0; i < units->GetCount(); ++i) {
            CString text;
            units->GetLBText(i, text);
            // The exact units after the resources' ten under their own names.
            EXPECT_EQ(text, i < 10 ? CString(texts[i]) : ZrGetUnitsNameExt(ZrUnitCodeOfListIndex(i)));
            EXPECT_EQ(static_cast<long>(units->GetItemData(i)), ZrUnitCodeOfListIndex(i));
        }
        EXPECT_EQ(Combo(d, IDC_ZR_GEO_COORDSYS)->GetCount(), 0) << "filled on the longitude/latitude choice";
    });
}

TEST_F(KindPageTest, PlanarIsFinishedOnThisPage) {
    sheet.m_coordSys.SetPlanar(3048);
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PLANAR)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(SelectedText(d, IDC_ZR_COORD_UNITS), CString("英尺"));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        EXPECT_TRUE(d.Select(IDC_ZR_COORD_UNITS, 0));
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_PLANAR);
    EXPECT_EQ(sheet.m_coordSys.GetDistUnits(), 10000000);
}

TEST_F(KindPageTest, LongitudeLatitudeIsFinishedOnThisPage) {
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Click(IDC_ZR_KIND_LONLAT));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        EXPECT_FALSE(Enabled(d, IDC_ZR_COORD_UNITS));
        EXPECT_FALSE(Enabled(d, IDC_ZR_PRJ_SOURCE));
        EXPECT_EQ(SelectedData(d, IDC_ZR_GEO_COORDSYS), 4214) << "Chinese user: Beijing 1954";
        EXPECT_EQ(SelectedText(d, IDC_ZR_DIST_UNITS), CString("米"));
        EXPECT_TRUE(d.SelectText(IDC_ZR_GEO_COORDSYS, "WGS 1984"));
        EXPECT_TRUE(d.Select(IDC_ZR_DIST_UNITS, 8));
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_EARTH);
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetType(), 4326);
    EXPECT_EQ(sheet.m_coordSys.GetDistUnits(), 16090000);
}

// 252 systems sorted without regard to case, then "User Define" (-1) last.
TEST_F(KindPageTest, GeographicListIsSortedWithUserDefineLast) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        d.Click(IDC_ZR_KIND_LONLAT);
        CComboBox* list = Combo(d, IDC_ZR_GEO_COORDSYS);
        ASSERT_EQ(list->GetCount(), 253);
        CString last;
        list->GetLBText(252, last);
        EXPECT_EQ(last, CString("User Define"));
        EXPECT_EQ(static_cast<long>(list->GetItemData(252)), -1);
        for (int i = 1; i < 252; ++i) {
            CString a, b;
            list->GetLBText(i - 1, a);
            list->GetLBText(i, b);
            EXPECT_LE(strcasecmp(a, b), 0) << a << " / " << b;
        }
        for (long missing : {4226L, 4266L, 4413L, 37413L})
            for (int i = 0; i < list->GetCount(); ++i)
                EXPECT_NE(static_cast<long>(list->GetItemData(i)), missing);
        EXPECT_TRUE(d.SelectText(IDC_ZR_GEO_COORDSYS, "Xi-An 1980 China"));
        EXPECT_EQ(SelectedData(d, IDC_ZR_GEO_COORDSYS), 37312);
    });
}

TEST_F(KindPageTest, UserLanguagePicksTheDefaultGeographicSystem) {
    const struct {
        const char* locale;
        const char* name;
    } cases[] = {{"ja_JP.UTF-8", "JGD2000"}, {"sv_SE.UTF-8", "Bessel 1841"}, {"de_DE", "Beijing 1954"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        SetLanguage(c.locale);
        CZrSheetCoordSysSetting s("x");
        Run(s, [&](CZrHeadlessDriver& d) {
            d.Click(IDC_ZR_KIND_LONLAT);
            EXPECT_EQ(SelectedText(d, IDC_ZR_GEO_COORDSYS), CString(c.name));
        });
    }
}

// A held system the list does not offer: the language default is selected
// and finishing writes it.
TEST_F(KindPageTest, HeldGeographicSystemOutsideTheListFinishesOnTheDefault) {
    sheet.m_coordSys.SetEarth(Gcs(4226), 1000);
    ASSERT_EQ(sheet.m_coordSys.GetGCS().GetType(), 4226);
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_EQ(Button(d, IDC_ZR_KIND_LONLAT)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(SelectedData(d, IDC_ZR_GEO_COORDSYS), 4214);
        EXPECT_EQ(SelectedText(d, IDC_ZR_DIST_UNITS), CString("分米"));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        d.Finish();
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetType(), 4214);
    EXPECT_EQ(sheet.m_coordSys.GetDistUnits(), 1000);
}

TEST_F(KindPageTest, RadioChoicesSetTheButtonsAndRememberTheSource) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
        EXPECT_TRUE(d.Click(IDC_ZR_KIND_PLANAR));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        EXPECT_TRUE(Enabled(d, IDC_ZR_COORD_UNITS));
        EXPECT_FALSE(Enabled(d, IDC_ZR_PRJ_SOURCE));

        EXPECT_TRUE(d.Click(IDC_ZR_KIND_LONLAT));
        EXPECT_TRUE(d.SelectText(IDC_ZR_GEO_COORDSYS, "User Define"));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
        EXPECT_EQ(sheet.GetKindPage()->IsUserGeoCoordSys(), 1);
        EXPECT_TRUE(d.SelectText(IDC_ZR_GEO_COORDSYS, "WGS 1984"));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        EXPECT_EQ(sheet.GetKindPage()->IsUserGeoCoordSys(), 1) << "only the projected choice clears it";
        // A second click refills the list on the default.
        EXPECT_TRUE(d.Click(IDC_ZR_KIND_LONLAT));
        EXPECT_EQ(SelectedData(d, IDC_ZR_GEO_COORDSYS), 4214);

        EXPECT_TRUE(d.Click(IDC_ZR_KIND_PROJECTED));
        EXPECT_EQ(sheet.GetKindPage()->IsUserGeoCoordSys(), 0);
        EXPECT_EQ(Combo(d, IDC_ZR_PRJ_SOURCE)->GetCurSel(), 1) << "the remembered source";
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
    });
}

TEST_F(KindPageTest, AllowBitsDisableTheirControls) {
    const struct { int planar, lonlat, projected; } cases[] = {{0, 0, 0}, {0, 1, 1}, {1, 0, 1}, {1, 1, 0}};
    for (const auto& c : cases) {
        CZrSheetCoordSysSetting s("x");
        s.m_coordSys.SetPlanar(10000);
        s.SetAllowOrdinaryPlanCoordsys(c.planar);
        s.SetAllowLongitudeLatitudeCoordsys(c.lonlat);
        s.SetAllowProjectedCoordsys(c.projected);
        Run(s, [&](CZrHeadlessDriver& d) {
            SCOPED_TRACE(testing::Message() << c.planar << c.lonlat << c.projected);
            EXPECT_EQ(Enabled(d, IDC_ZR_KIND_PLANAR), !!c.planar);
            EXPECT_EQ(Enabled(d, IDC_ZR_COORD_UNITS), !!c.planar);
            EXPECT_EQ(Enabled(d, IDC_ZR_KIND_LONLAT), !!c.lonlat);
            EXPECT_FALSE(Enabled(d, IDC_ZR_GEO_COORDSYS)) << "planar is shown";
            EXPECT_EQ(Enabled(d, IDC_ZR_KIND_PROJECTED), !!c.projected);
            EXPECT_FALSE(Enabled(d, IDC_ZR_PRJ_SOURCE));
            // The starting kind is shown whether or not it is allowed.
            EXPECT_EQ(Button(d, IDC_ZR_KIND_PLANAR)->GetCheck(), BST_CHECKED);
            EXPECT_EQ(s.GetWizardButtons(), PSWIZB_FINISH);
        });
    }
}

// Saving a projected choice saves the sheet's system as it stands; the kind
// page offers the XML form only.
TEST_F(KindPageTest, SaveButtonWritesTheChoiceAsXml) {
    sheet.m_coordSys.Set(static_cast<tagPJCoordSysType>(32650));
    const std::string xml = Path("kind.xml");
    backend().QueueFileDialog(IDOK, xml.c_str());
    Run(sheet, [&](CZrHeadlessDriver& d) { EXPECT_TRUE(d.Click(IDC_ZR_KIND_SAVE)); });
    ASSERT_EQ(backend().FileDialogs().size(), 1u);
    EXPECT_EQ(backend().FileDialogs()[0].filter, CString("XML投影信息文件(*.xml)|*.xml||"));
    EXPECT_FALSE(backend().FileDialogs()[0].open);
    CZrPJCoordSys back;
    EXPECT_EQ(ZrOpenXmlProjectionFile(xml.c_str(), back), 1);
    EXPECT_EQ(back.GetType(), 32650);

    // A planar choice is written into the sheet's system before the save.
    const std::string xml2 = Path("planar");
    backend().QueueFileDialog(IDOK, xml2.c_str()); // the dialog adds ".xml"
    CZrSheetCoordSysSetting s("x");
    Run(s, [&](CZrHeadlessDriver& d) {
        d.Click(IDC_ZR_KIND_PLANAR);
        d.Select(IDC_ZR_COORD_UNITS, 3);
        d.Click(IDC_ZR_KIND_SAVE);
    });
    EXPECT_EQ(s.m_coordSys.GetType(), PJ_CS_PLANAR) << "the save wrote it, though the sheet was cancelled";
    EXPECT_EQ(ZrOpenXmlProjectionFile((xml2 + ".xml").c_str(), back), 1);
    EXPECT_EQ(back.GetType(), PJ_CS_PLANAR);
    EXPECT_EQ(back.GetDistUnits(), 100);
}

// Load refreshes the page from the loaded system; Cancel keeps what was loaded.
TEST_F(KindPageTest, LoadButtonRefreshesThePageAndCancelKeepsTheLoad) {
    CZrPJCoordSys earth;
    earth.SetEarth(Gcs(4326), 254);
    const std::string xml = Path("earth.xml");
    ASSERT_EQ(ZrSaveXmlProjectionFile(xml.c_str(), earth), 1);
    backend().QueueFileDialog(IDCANCEL);
    backend().QueueFileDialog(IDOK, xml.c_str());
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Click(IDC_ZR_KIND_LOAD)); // cancelled: nothing changes
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PROJECTED)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(sheet.m_bPrjLoaded, 0);
        EXPECT_TRUE(d.Click(IDC_ZR_KIND_LOAD));
        EXPECT_EQ(sheet.m_bPrjLoaded, 1);
        EXPECT_EQ(Button(d, IDC_ZR_KIND_LONLAT)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PROJECTED)->GetCheck(), BST_UNCHECKED);
        EXPECT_EQ(SelectedData(d, IDC_ZR_GEO_COORDSYS), 4326);
        EXPECT_EQ(SelectedText(d, IDC_ZR_DIST_UNITS), CString("英寸"));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        EXPECT_TRUE(d.Cancel());
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_EARTH);
    EXPECT_EQ(sheet.m_coordSys.GetGCS().GetType(), 4326);
}

// A load never widens what the host allowed: a file of a forbidden kind is
// refused with a message, and the system, the flags and the page stay.
TEST_F(KindPageTest, LoadOfAKindTheHostForbadeIsRefused) {
    CZrPJCoordSys planar, earth, projected;
    planar.SetPlanar(100);
    earth.SetEarth(Gcs(4326), 10000);
    projected.Set(static_cast<tagPJCoordSysType>(32650));
    const struct {
        const char* name;
        const CZrPJCoordSys* file;
        void (CZrSheetCoordSysSetting::*forbid)(int);
        int unitList; // the forbidden kind's list, which must stay disabled
        const char* message;
    } cases[] = {
        {"planar.xml", &planar, &CZrSheetCoordSysSetting::SetAllowOrdinaryPlanCoordsys, IDC_ZR_COORD_UNITS,
         "文件中的坐标系是普通平面坐标系，此处不允许使用，未载入该文件。"},
        {"earth.xml", &earth, &CZrSheetCoordSysSetting::SetAllowLongitudeLatitudeCoordsys, IDC_ZR_DIST_UNITS,
         "文件中的坐标系是经纬坐标系，此处不允许使用，未载入该文件。"},
        {"projected.xml", &projected, &CZrSheetCoordSysSetting::SetAllowProjectedCoordsys, IDC_ZR_PRJ_SOURCE,
         "文件中的坐标系是投影坐标系，此处不允许使用，未载入该文件。"},
        // Exchange texts keep the host's allow bits as the library's own files do.
        {"earth.prj", &earth, &CZrSheetCoordSysSetting::SetAllowLongitudeLatitudeCoordsys, IDC_ZR_DIST_UNITS,
         "文件中的坐标系是经纬坐标系，此处不允许使用，未载入该文件。"},
        {"projected.prj", &projected, &CZrSheetCoordSysSetting::SetAllowProjectedCoordsys, IDC_ZR_PRJ_SOURCE,
         "文件中的坐标系是投影坐标系，此处不允许使用，未载入该文件。"},
        // Nothing readable: one message, and the held system stays.
        {"garbage.prj", nullptr, nullptr, 0, "无法从该文件读出坐标系，未载入该文件。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string name = c.name;
        if (!c.file) {
            Write(Path(c.name), "PROJCS garbage");
        } else if (name.substr(name.size() - 4) == ".xml") {
            ASSERT_EQ(ZrSaveXmlProjectionFile(Path(c.name).c_str(), *c.file), 1);
        } else {
            CString text;
            ASSERT_EQ(ZrExportCoordSys(*c.file, ZR_CRS_TEXT_ESRI_WKT1, text), 1);
            Write(Path(c.name), text.str());
        }
        CZrSheetCoordSysSetting host("坐标系统");
        // The host starts on an allowed kind other than the file's.
        host.m_coordSys = c.file == &planar ? earth : planar;
        if (c.forbid) (host.*c.forbid)(0);
        const CZrPJCoordSys held = host.m_coordSys;
        host.m_bParamsChanged = 1;
        backend().Reset();
        backend().QueueFileDialog(IDOK, Path(c.name).c_str());
        INT_PTR result = Run(host, [&](CZrHeadlessDriver& d) {
            const DWORD buttons = host.GetWizardButtons();
            EXPECT_TRUE(d.Click(IDC_ZR_KIND_LOAD));
            ASSERT_EQ(backend().Messages().size(), 1u);
            EXPECT_EQ(backend().Messages()[0].text, c.message);
            EXPECT_EQ(host.m_bPrjLoaded, 0);
            EXPECT_EQ(host.m_bParamsChanged, 1);
            if (c.unitList) {
                EXPECT_FALSE(Enabled(d, c.unitList));
            }
            EXPECT_EQ(host.GetWizardButtons(), buttons);
            d.Finish();
        });
        EXPECT_EQ(result, ID_WIZFINISH);
        EXPECT_TRUE(host.m_coordSys == held) << "Finish hands back a system of an allowed kind";
        EXPECT_EQ(host.m_coordSys.GetType(), held.GetType());
    }
}

} // namespace
