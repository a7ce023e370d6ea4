// The coordinate-system sheet from the keyboard, as a Windows wizard is used:
// Enter presses the default wizard button with the checks of a click, a
// failed check shows one message and keeps the focus on its field, a radio
// group is one tab stop with the arrow keys moving inside it, and letters
// typed in a list select the entry that starts with them. The data-exchange
// messages speak the user's language.

#include "platform/ui/ZrDataExchange.h"
#include "tests/dialog/sheet_fixture_p.h"

namespace {

class KeyboardTest : public SheetTestBase {
protected:
    CZrSheetCoordSysSetting sheet{"坐标系统"};

    static UINT PageId(CZrHeadlessDriver& d) { return d.ActivePage() ? d.ActivePage()->GetTemplateId() : 0; }
};

// Enter walks both paths to Finish, Next on every page but the last.
TEST_F(KeyboardTest, EnterPressesNextOrOnTheLastPageFinish) {
    Run(sheet, [&](CZrHeadlessDriver& d) {
        EXPECT_EQ(sheet.GetDefaultButton(), PSBTN_NEXT);
        ASSERT_TRUE(d.Enter());
        ASSERT_EQ(PageId(d), static_cast<UINT>(IDD_ZR_PRJ_PREDEFINED));
        EXPECT_EQ(sheet.GetDefaultButton(), PSBTN_FINISH);
        ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_GROUPS, "Sweden RT90"));
        ASSERT_TRUE(d.SelectText(IDC_ZR_PREDEF_ENTRIES, "RT90 5 gon W"));
        EXPECT_TRUE(d.Enter());
    });
    EXPECT_EQ(sheet.m_coordSys.GetType(), 23063);

    const UINT userPath[] = {IDD_ZR_PRJ_USER_FIRST, IDD_ZR_PRJ_USER_SECOND, IDD_ZR_PRJ_PREVIEW};
    INT_PTR result = Run(sheet, [&](CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
        for (UINT page : userPath) {
            ASSERT_TRUE(d.Enter());
            ASSERT_EQ(PageId(d), page);
        }
        EXPECT_EQ(sheet.GetDefaultButton(), PSBTN_FINISH);
        EXPECT_TRUE(d.Enter());
        EXPECT_FALSE(d.IsOpen());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_USER_DEFINED);

    // A planar system finishes on the first page; a focused push button of
    // the page takes the Enter itself, as under Windows.
    backend().QueueFileDialog(IDCANCEL);
    result = Run(sheet, [&](CZrHeadlessDriver& d) {
        ASSERT_TRUE(d.Focus(IDC_ZR_KIND_LOAD));
        EXPECT_TRUE(d.Enter());
        EXPECT_EQ(backend().FileDialogs().size(), 1u) << "the load button was pressed";
        EXPECT_TRUE(d.IsOpen());
        ASSERT_TRUE(d.Click(IDC_ZR_KIND_PLANAR));
        EXPECT_TRUE(d.Enter());
    });
    EXPECT_EQ(result, ID_WIZFINISH);
    EXPECT_EQ(sheet.m_coordSys.GetType(), PJ_CS_PLANAR);
}

// Next, Back, Enter or leaving a field with an entry its check refuses: one
// message in the user's language, the page stays, the focus is on the field.
TEST_F(KeyboardTest, OneFailedCheckShowsOneMessageWithTheFocusOnTheField) {
    enum Action { NEXT, ENTER, BACK, LEAVE_FOR_FLATTENING };
    const struct {
        UINT page;
        bool dms;
        int field;
        const char* text;
        Action action;
        const char* message;
    } cases[] = {
        {IDD_ZR_PRJ_USER_SECOND, false, IDC_ZR_PARAM_FALSE_EASTING, "", NEXT, "请输入一个数字。"},
        {IDD_ZR_PRJ_USER_SECOND, false, IDC_ZR_PARAM_FALSE_EASTING, "", ENTER, "请输入一个数字。"},
        {IDD_ZR_PRJ_USER_SECOND, false, IDC_ZR_PARAM_FALSE_NORTHING, "", BACK, "请输入一个数字。"},
        // The azimuth's minute edit takes a real number; its check wants an integer.
        {IDD_ZR_PRJ_USER_SECOND, true, 29970, "30.5", NEXT, "请输入一个整数。"},
        {IDD_ZR_PRJ_USER_SECOND, true, 29970, "30.5", ENTER, "请输入一个整数。"},
        {IDD_ZR_PRJ_USER_FIRST, false, IDC_ZR_USER_AXIS, "4000000", LEAVE_FOR_FLATTENING,
         "请输入一个介于 5000000 和 10000000 之间的数字。"},
        {IDD_ZR_PRJ_USER_FIRST, false, IDC_ZR_USER_AXIS, "4000000", ENTER,
         "请输入一个介于 5000000 和 10000000 之间的数字。"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.page << " field " << c.field << " '" << c.text << "' action " << c.action);
        CZrSheetCoordSysSetting run("坐标系统");
        Run(run, [&](CZrHeadlessDriver& d) {
            ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
            ASSERT_TRUE(d.Next());
            // A kind without zones: every angle can be typed.
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Lambert_Conformal_Conic"));
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_GCS, "User Define"));
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_DATUM, "User Define"));
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_SPHEROID, "User Define"));
            if (c.page == IDD_ZR_PRJ_USER_SECOND) {
                ASSERT_TRUE(d.Next());
            }
            if (c.dms) {
                ASSERT_TRUE(d.Click(IDC_ZR_PARAM_FORMAT_DMS));
            }
            ASSERT_EQ(PageId(d), c.page);
            ASSERT_TRUE(d.Focus(c.field));
            // Past the edit's keystroke filter, as a paste would put it.
            d.Control(c.field)->SetWindowText(c.text);
            backend().Reset();
            switch (c.action) {
            case NEXT:
                d.Next();
                break;
            case ENTER:
                d.Enter();
                break;
            case BACK:
                d.Back();
                break;
            case LEAVE_FOR_FLATTENING:
                EXPECT_FALSE(d.Focus(IDC_ZR_USER_FLATTENING));
                break;
            }
            ASSERT_EQ(backend().Messages().size(), 1u);
            EXPECT_EQ(backend().Messages()[0].text, c.message);
            EXPECT_EQ(PageId(d), c.page);
            EXPECT_EQ(CWnd::GetFocus(), d.Control(c.field));
            d.Cancel();
        });
    }
}

// Cancel (Escape, the close box, the button) ends the sheet whatever the
// focused field holds: Windows sends IDCANCEL without moving the focus, so no
// field check runs and no message comes back with each press.
TEST_F(KeyboardTest, CancelEndsTheSheetFromAFieldItsCheckRefuses) {
    const struct {
        UINT page;
        int field;
        const char* text;
    } cases[] = {
        {IDD_ZR_PRJ_USER_FIRST, IDC_ZR_USER_AXIS, "4000000"},
        {IDD_ZR_PRJ_USER_FIRST, IDC_ZR_USER_AXIS, ""},
        {IDD_ZR_PRJ_USER_SECOND, IDC_ZR_PARAM_FALSE_EASTING, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.page << " field " << c.field << " '" << c.text << "'");
        CZrSheetCoordSysSetting run("坐标系统");
        run.m_coordSys.Set(static_cast<tagPJCoordSysType>(32650));
        const INT_PTR result = Run(run, [&](CZrHeadlessDriver& d) {
            ASSERT_TRUE(d.Select(IDC_ZR_PRJ_SOURCE, 1));
            ASSERT_TRUE(d.Next());
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_KIND, "Lambert_Conformal_Conic"));
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_GCS, "User Define"));
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_DATUM, "User Define"));
            ASSERT_TRUE(d.SelectText(IDC_ZR_USER_SPHEROID, "User Define"));
            if (c.page == IDD_ZR_PRJ_USER_SECOND) {
                ASSERT_TRUE(d.Next());
            }
            ASSERT_TRUE(d.Focus(c.field));
            d.Control(c.field)->SetWindowText(c.text);
            backend().Reset();
            EXPECT_TRUE(d.Cancel());
            EXPECT_FALSE(d.IsOpen());
            EXPECT_TRUE(backend().Messages().empty());
        });
        EXPECT_EQ(result, IDCANCEL);
        EXPECT_EQ(run.m_coordSys.GetType(), 32650) << "a cancelled sheet keeps the host's system";
    }
}

// The standard messages of the checks follow the user's language: Chinese,
// Japanese, and English for every other language.
TEST_F(KeyboardTest, DataExchangeMessagesSpeakTheUsersLanguage) {
    const struct {
        const char* locale;
        const char* parseInt;
        const char* parseReal;
        const char* intRange;
        const char* realRange;
    } cases[] = {
        {"zh_CN.UTF-8", "请输入一个整数。", "请输入一个数字。", "请输入一个介于 0 和 59 之间的整数。",
         "请输入一个介于 -180 和 180 之间的数字。"},
        {"ja_JP.UTF-8", "整数を入力してください。", "数値を入力してください。",
         "0 から 59 までの整数を入力してください。", "-180 から 180 までの数値を入力してください。"},
        {"en_US.UTF-8", "Please enter an integer.", "Please enter a number.",
         "Please enter an integer between 0 and 59.", "Please enter a number between -180 and 180."},
        {"sv_SE.UTF-8", "Please enter an integer.", "Please enter a number.",
         "Please enter an integer between 0 and 59.", "Please enter a number between -180 and 180."},
    };
    CDialog dlg;
    CEdit edit;
    const RECT rect = {0, 0, 10, 10};
    ASSERT_TRUE(dlg.CreateIndirect(nullptr));
    ASSERT_TRUE(edit.Create(WS_VISIBLE, rect, &dlg, 1));
    edit.SetWindowText("x");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.locale);
        SetLanguage(c.locale);
        backend().Reset();
        int i = 0;
        double v = 0.0;
        {
            CDataExchange dx(&dlg, TRUE);
            DDX_Text(&dx, 1, i);
        }
        {
            CDataExchange dx(&dlg, TRUE);
            DDX_Text(&dx, 1, v);
        }
        {
            CDataExchange dx(&dlg, TRUE);
            DDV_MinMaxInt(&dx, 60, 0, 59);
        }
        {
            CDataExchange dx(&dlg, TRUE);
            DDV_MinMaxDouble(&dx, 181.0, -180.0, 180.0);
        }
        ASSERT_EQ(backend().Messages().size(), 4u);
        EXPECT_EQ(backend().Messages()[0].text, c.parseInt);
        EXPECT_EQ(backend().Messages()[1].text, c.parseReal);
        EXPECT_EQ(backend().Messages()[2].text, c.intRange);
        EXPECT_EQ(backend().Messages()[3].text, c.realRange);
    }
}

// A radio group is one tab stop, at its checked button; the arrow keys move
// the check round the group's enabled buttons. Letters typed in a list pick
// the first entry that starts with them; the same lone letter again moves on.
TEST_F(KeyboardTest, RadioGroupsAreOneTabStopAndListsFindTypedLetters) {
    sheet.SetAllowLongitudeLatitudeCoordsys(0);
    Run(sheet, [&](CZrHeadlessDriver& d) {
        const int radios[] = {IDC_ZR_KIND_PLANAR, IDC_ZR_KIND_LONLAT, IDC_ZR_KIND_PROJECTED};
        auto stops = [&] {
            std::string s;
            for (int id : radios)
                s += CZrUiInput::IsTabStop(*d.Control(id)) ? '1' : '0';
            return s;
        };
        EXPECT_EQ(stops(), "001") << "the checked button is the group's stop";
        EXPECT_TRUE(CZrUiInput::IsTabStop(*d.Control(IDC_ZR_PRJ_SOURCE)));

        ASSERT_TRUE(d.Focus(IDC_ZR_KIND_PROJECTED));
        ASSERT_TRUE(d.Arrow(IDC_ZR_KIND_PROJECTED, 1)) << "wraps round to the first button";
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PLANAR)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH) << "the planar choice's click handler ran";
        EXPECT_EQ(stops(), "100");
        ASSERT_TRUE(d.Arrow(IDC_ZR_KIND_PLANAR, 1)) << "skips the disabled longitude/latitude button";
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PROJECTED)->GetCheck(), BST_CHECKED);
        EXPECT_EQ(CWnd::GetFocus(), d.Control(IDC_ZR_KIND_PROJECTED));
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PLANAR)->GetCheck(), BST_UNCHECKED);
        ASSERT_TRUE(d.Arrow(IDC_ZR_KIND_PROJECTED, -1));
        EXPECT_EQ(Button(d, IDC_ZR_KIND_PLANAR)->GetCheck(), BST_CHECKED);
        ASSERT_TRUE(d.Click(IDC_ZR_KIND_PROJECTED));

        ASSERT_TRUE(d.Next());
        const struct {
            const char* typed;
            const char* selected;
        } cases[] = {
            {"us", "US State Plane Coordinate System (1927)"},
            {"U", "US State Plane Coordinate System (1983)"},
            {"Universal Transverse Mercator( W", "Universal Transverse Mercator( WGS 1972)"},
            {"gauss-kruger (b", "Gauss-kruger (BEIJING 1954)"},
            {"g", "Gauss-kruger (PULKOVO 1942)"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.typed);
            EXPECT_TRUE(d.TypeInList(IDC_ZR_PREDEF_GROUPS, c.typed));
            EXPECT_EQ(SelectedText(d, IDC_ZR_PREDEF_GROUPS), CString(c.selected));
            EXPECT_EQ(SelectedText(d, IDC_ZR_PREDEF_ENTRIES).IsEmpty(), false)
                << "the family's entries follow";
        }
        EXPECT_FALSE(d.TypeInList(IDC_ZR_PREDEF_GROUPS, "Zz"))
            << "nothing starts with it: the selection stays";
        EXPECT_EQ(SelectedText(d, IDC_ZR_PREDEF_GROUPS), CString("Gauss-kruger (PULKOVO 1942)"));
        d.Cancel();
    });
}

} // namespace
