// The predefined projected-system page: its families and their entries, the
// family it opens on for the sheet's system and the user's language, picking
// and finishing, and the save button.

#include "dialog/ZrPredefinedGroups_p.h"
#include "model/catalogue/ZrProjectedCatalogue.h"
#include "platform/ui/ZrDC.h"
#include "tests/dialog/sheet_fixture_p.h"

#include <set>

namespace {

// Entry counts of every family, as the main list offers them.
const struct {
    long group;
    int entries;
} kGroupSizes[] = {
    {5003, 129}, {5004, 122}, {5005, 120}, {5006, 120}, {5007, 58}, {5008, 53}, {5009, 20}, {5010, 21},
    {5011, 22},  {5012, 11},  {5013, 11},  {5014, 27},  {5015, 27}, {5016, 4},  {5017, 2},  {5018, 4},
    {5019, 14},  {5020, 11},  {5021, 11},  {5022, 11},  {5023, 2},  {5024, 2},  {5025, 3},  {5026, 3},
    {5027, 3},   {5028, 2},   {5029, 2},   {5030, 2},   {5031, 1},  {5032, 1},  {5033, 2},  {5034, 1},
    {5035, 17},  {5036, 2},   {5037, 2},   {5038, 2},   {5039, 2},  {5040, 1},  {5041, 2},  {5042, 1},
    {5043, 1},   {5044, 1},   {5045, 2},   {5046, 3},   {5047, 2},  {5048, 4},  {5049, 1},  {5050, 1},
    {5051, 8},   {5052, 2},   {5053, 1},   {5054, 2},   {5055, 2},  {5056, 2},  {5057, 2},  {5058, 1},
    {5059, 1},   {5060, 1},   {5061, 5},   {5062, 3},   {5063, 2},  {5064, 7},  {5065, 5},  {5066, 1},
    {5067, 5},   {5068, 3},   {5069, 1},   {5070, 2},   {5071, 2},  {5072, 3},  {5073, 3},  {5074, 18},
    {5075, 1},   {5076, 1},   {5077, 1},   {5078, 2},   {5079, 2},  {5080, 1},  {5081, 8},  {5082, 8},
    {5083, 2},   {5084, 2},   {5085, 2},   {5086, 1},   {5087, 1},  {5098, 2},  {5088, 50}, {5102, 1},
    {5103, 6},   {5104, 13},  {5105, 3},   {5106, 1},   {5107, 1},  {5108, 1},  {5109, 1},
};

TEST(PredefinedGroups, EveryFamilyListsItsEntriesWithLoadableTexts) {
    ASSERT_EQ(ZrPredefinedGroupCount(), 95);
    ASSERT_EQ(sizeof kGroupSizes / sizeof kGroupSizes[0], 95u);
    std::set<long> codes;
    for (const auto& size : kGroupSizes) {
        SCOPED_TRACE(size.group);
        const ZrPredefinedGroup* group = ZrFindPredefinedGroup(size.group);
        ASSERT_NE(group, nullptr);
        EXPECT_TRUE(codes.insert(size.group).second);
        CString text;
        EXPECT_TRUE(text.LoadString(group->stringId));
        const std::vector<ZrPredefinedEntry> entries = ZrPredefinedGroupEntries(*group);
        EXPECT_EQ(static_cast<int>(entries.size()), size.entries);
        for (const ZrPredefinedEntry& entry : entries)
            EXPECT_TRUE(text.LoadString(entry.stringId)) << entry.stringId;
    }
}

// Finishing with an entry sets the sheet's system to its code, so every code
// must have a catalogue row. The sphere Hotine (53025) is the one entry the
// catalogue has no row for; finishing with it leaves the sheet's system as
// it was.
TEST(PredefinedGroups, EveryEntryCodeIsACatalogueSystem) {
    const long kSphereHotine = 53025;
    for (int i = 0; i < ZrPredefinedGroupCount(); ++i) {
        const ZrPredefinedGroup* group = ZrPredefinedGroupAt(i);
        for (const ZrPredefinedEntry& entry : ZrPredefinedGroupEntries(*group)) {
            ZrProjectedRow row;
            EXPECT_EQ(ZrFindProjectedRow(entry.code, row), entry.code == kSphereHotine ? 0 : 1)
                << "group " << group->code << " code " << entry.code;
        }
    }
}

TEST(PredefinedGroups, TellingEntriesPairTextAndCode) {
    const struct {
        long group;
        int index;
        const char* text;
        long code;
    } cases[] = {
        {5003, 0, "Montana, Northern Zone (1927)", 32001},
        {5005, 0, "UTM Zone 1, Northern Hemisphere (WGS 1984) ", 32601},
        {5066, 0, "Bahrain State Grid", 20499},
        {5067, 0, "Bahrain State Grid", 20499},
        {5103, 1, "RT90 7.5 gon W", 23062},
        {5102, 0, "Hong Kong 1980 Grid", 32851},
        {5011, 0, "GK Zone 13     (Beijing 1954)", 21413},
        {5014, 0, "Plate Carree", 53001},
        {5015, 0, "Plate Carree", 54001},
        {5088, 8, "Japan Plate Carree JGD2000 Zone IX", 32794},
        {5088, 13, "Japan Plate Carree JGD2000 Zone XIV", 32800},
        {5088, 49, "Japan UTM Tokyo-Datum Zone 56", 32785},
        {5004, 2, "Nevada, Eastern Zone (1983)", 32108},
        {5004, 3, "Nevada, Central Zone (1983)", 32108},
        {5004, 4, "Hampshire  (1983)", 32110},
        {5104, 3, "SWEREF 99 15 00", 23075},
        {5104, 6, "SWEREF 99 14 15", 23074},
        {5008, 8, "GK Zone 17  (Pulkovo 1995)", 20017},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const std::vector<ZrPredefinedEntry> entries =
            ZrPredefinedGroupEntries(*ZrFindPredefinedGroup(c.group));
        ASSERT_LT(c.index, static_cast<int>(entries.size()));
        CString text;
        text.LoadString(entries[c.index].stringId);
        EXPECT_EQ(text, c.text);
        EXPECT_EQ(entries[c.index].code, c.code);
    }
}

TEST(PredefinedGroups, ASharedSystemBelongsToTheLowestFamily) {
    const struct {
        long code;
        long group;
    } cases[] = {{26191, 5084}, {24048, 5036}, {24721, 5039}, {20499, 5066}, {25000, 5069},
                 {32794, 5088}, {53001, 5014}, {54001, 5015}, {31700, 5098}, {23130, 5109}};
    for (const auto& c : cases) {
        const ZrPredefinedGroup* group = ZrFindPredefinedGroupOfCode(c.code);
        ASSERT_NE(group, nullptr) << c.code;
        EXPECT_EQ(group->code, c.group) << c.code;
    }
    for (long code : {0L, 1L, -1L, 26190L, 32099L, 32800L - 1})
        EXPECT_EQ(ZrFindPredefinedGroupOfCode(code), nullptr) << code;
}

class PredefinedPageTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};

    // From the kind page to the predefined page, whatever kind the sheet's
    // system has.
    static void GoToPredefined(CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Click(IDC_ZR_KIND_PROJECTED));
        ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 0));
        ASSERT_TRUE(d.Next());
        ASSERT_EQ(d.ActivePage()->GetTemplateId(), static_cast<UINT>(IDD_ZR_PRJ_PREDEFINED));
    }
    CZrPagePrjPreDefined& page() { return *sheet.GetPreDefinedPage(); }
};

// The family and entry the page opens on: the lowest family listing the
// sheet's system, else one chosen by the user's language.
TEST_F(PredefinedPageTest, OpensOnTheFamilyOfTheSheetsSystemOrTheLanguagesDefault) {
    const struct {
        const char* locale;
        int kind; // 0 planar, 1 geographic, 2 catalogue code, 3 user-defined projected
        long code;
        long group;
        long selected;
    } cases[] = {
        {"zh_CN.UTF-8", 2, 26191, 5084, 26191}, {"zh_CN.UTF-8", 2, 24048, 5036, 24048},
        {"zh_CN.UTF-8", 2, 23130, 5109, 23130}, {"zh_CN.UTF-8", 2, 32761, 5088, 32761},
        {"zh_CN.UTF-8", 0, 0, 5003, 32001},     {"zh_CN.UTF-8", 1, 0, 5003, 32001},
        {"zh_CN.UTF-8", 3, 0, 5003, 32001},     {"ja_JP.UTF-8", 0, 0, 5088, 32794},
        {"ja_JP.UTF-8", 2, 26191, 5084, 26191}, {"sv_SE.UTF-8", 1, 0, 5103, 23061},
        {"en_US.UTF-8", 2, 2000, 5003, 32001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + std::to_string(c.kind) + " " + std::to_string(c.code));
        SetLanguage(c.locale);
        CZrSheetCoordSysSetting s("坐标系统");
        switch (c.kind) {
        case 0:
            s.m_coordSys.SetPlanar(10000);
            break;
        case 1:
            s.m_coordSys.SetEarth(Gcs(4326), 10000);
            break;
        case 2:
            if (!s.m_coordSys.Set(static_cast<tagPJCoordSysType>(c.code)))
                s.m_coordSys.Set(CString("x"), Gcs(4326), CZrPJObject(), CZrPJParams(), 10000);
            break;
        default:
            s.m_coordSys.Set(CString("mine"), Gcs(4214), CZrPJObject(), CZrPJParams(), 10000);
            break;
        }
        bool reached = false;
        EXPECT_EQ(Run(s,
                      [&](CZrHeadlessDriver& d) {
                          GoToPredefined(d);
                          reached = true;
                          EXPECT_EQ(SelectedData(d, IDC_ZR_PREDEF_GROUPS), c.group);
                          EXPECT_EQ(SelectedData(d, IDC_ZR_PREDEF_ENTRIES), c.selected);
                          EXPECT_EQ(s.GetPreDefinedPage()->GetSelectedCode(), c.selected);
                          EXPECT_EQ(s.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
                          EXPECT_TRUE(d.Finish());
                      }),
                  ID_WIZFINISH);
        EXPECT_TRUE(reached);
        // Finishing without touching the lists hands back the preselected
        // system.
        EXPECT_EQ(s.m_coordSys.GetType(), c.selected);
        EXPECT_TRUE(s.m_coordSys.IsValid());
    }
}

TEST_F(PredefinedPageTest, PickingAFamilyAndAnEntryFinishesWithThatSystem) {
    EXPECT_EQ(Run(sheet,
                  [&](CZrHeadlessDriver& d) {
                      GoToPredefined(d);
                      CComboBox* groups = Combo(d, IDC_ZR_PREDEF_GROUPS);
                      ASSERT_EQ(groups->GetCount(), 95);
                      // Sorted without regard to case.
                      for (int i = 1; i < groups->GetCount(); ++i) {
                          CString a, b;
                          groups->GetLBText(i - 1, a);
                          groups->GetLBText(i, b);
                          EXPECT_LE(ZrStrICmp(a, b), 0) << a << " / " << b;
                      }

                      ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "Sweden SWEREF 99"));
                      CComboBox* entries = Combo(d, IDC_ZR_PREDEF_ENTRIES);
                      ASSERT_EQ(entries->GetCount(), 13);
                      EXPECT_EQ(SelectedData(d, IDC_ZR_PREDEF_ENTRIES), 23071) << "the first entry is taken";
                      EXPECT_EQ(page().GetSelectedCode(), 23071);
                      // The list keeps the family's order.
                      EXPECT_EQ(static_cast<long>(entries->GetItemData(3)), 23075);
                      ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_ENTRIES, "SWEREF 99 18 45"));
                      EXPECT_EQ(page().GetSelectedCode(), 23080);
                      EXPECT_EQ(page().GetSelectedName(), "SWEREF 99 18 45");

                      ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "Japan Coordinate Systems"));
                      EXPECT_EQ(Combo(d, IDC_ZR_PREDEF_ENTRIES)->GetCurSel(), 8);
                      EXPECT_EQ(page().GetSelectedCode(), 32794);

                      ASSERT_TRUE(
                          d.SelectText(IDC_ZR_PREDEF_GROUPS, "US State Plane Coordinate System (1983)"));
                      ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_ENTRIES, "Nevada, Central Zone (1983)"));
                      EXPECT_EQ(page().GetSelectedCode(), 32108);
                      ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "GDA 1994 MGA"));
                      ASSERT_TRUE(d.Select(IDC_ZR_PREDEF_ENTRIES, 2));
                      EXPECT_TRUE(d.Finish());
                  }),
              ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), 28350);
    EXPECT_EQ(sheet.m_coordSys.GetParams().CentralMeridian, 117.0);
}

// The sample shows the chosen system over the grey background, and changes
// with the entry.
TEST_F(PredefinedPageTest, SampleIsDrawnForTheChosenEntry) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToPredefined(d);
        auto dots = [&]() {
            const CZrImage* image = d.Surface(IDC_ZR_PREDEF_SAMPLE);
            int n = 0;
            for (int y = 0; image && y < image->GetHeight(); ++y)
                for (int x = 0; x < image->GetWidth(); ++x)
                    n += image->GetPixel(x, y) != RGB(240, 240, 240);
            return n;
        };
        ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "World Coordinate Systems"));
        ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_ENTRIES, "Mollweide"));
        const int world = dots();
        EXPECT_GT(world, 100);
        ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "Gauss-kruger (BEIJING 1954)"));
        EXPECT_GT(dots(), 100);
        // The band of a Gauss-Krueger zone is drawn in its own place.
        EXPECT_NE(dots(), world);
        d.Cancel();
    });
}

TEST_F(PredefinedPageTest, BackReturnsToTheKindPageWithNext) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        GoToPredefined(d);
        EXPECT_TRUE(d.Back());
        EXPECT_EQ(d.ActivePage(), sheet.GetKindPage());
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), sheet.GetPreDefinedPage());
        d.Cancel();
    });
}

// The save button writes the chosen entry's system into the sheet and then
// into the file, offering the XML form only.
TEST_F(PredefinedPageTest, SaveWritesTheChosenEntry) {
    const std::string path = Path("chosen.xml");
    backend().QueueFileDialog(IDOK, path.c_str(), 1);
    EXPECT_EQ(Run(sheet,
                  [&](CZrHeadlessDriver& d) {
                      GoToPredefined(d);
                      ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "British National Grid"));
                      ASSERT_TRUE(d.Click(IDC_ZR_PREDEF_SAVE));
                      d.Cancel();
                  }),
              IDCANCEL);
    EXPECT_EQ(sheet.m_coordSys.GetType(), 27700) << "a save writes the sheet's system even when cancelled";
    ASSERT_EQ(backend().FileDialogs().size(), 1u);
    EXPECT_FALSE(backend().FileDialogs()[0].open);
    EXPECT_EQ(backend().FileDialogs()[0].filter.Find(".prj"), -1);
    EXPECT_TRUE(Exists(path));
}

} // namespace
