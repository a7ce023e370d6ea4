// The property sheet in wizard mode, data exchange and the scripted file
// dialogs and message boxes, through the headless back end.

#include "tests/dialog/ui_tinywizard_p.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class WizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterTinyTemplates();
        ZrSetUiBackend(nullptr);
        backend().Reset();
    }
    void TearDown() override { backend().Reset(); }
    static CZrHeadlessBackend& backend() { return CZrHeadlessBackend::Default(); }

    CTinySheet sheet;
};

TEST_F(WizardTest, FlagValuesAreThoseOfTheWindowsPropertySheet) {
    EXPECT_EQ(PSWIZB_BACK, 1u);
    EXPECT_EQ(PSWIZB_NEXT, 2u);
    EXPECT_EQ(PSWIZB_FINISH, 4u);
    EXPECT_EQ(PSWIZB_DISABLEDFINISH, 8u);
    EXPECT_EQ(ID_WIZFINISH, 0x3025);
    EXPECT_EQ(PSH_WIZARD, 0x20u);
    EXPECT_TRUE(sheet.IsWizardMode());
}

// Finish takes Next's place while a finish flag is set; each button is enabled
// by its own flag.
TEST_F(WizardTest, WizardButtonFlagsShowAndEnableTheButtons) {
    struct Case {
        DWORD flags;
        bool backOn, nextShown, nextOn, finishShown, finishOn;
    };
    const Case cases[] = {
        {0, false, true, false, false, false},
        {PSWIZB_NEXT, false, true, true, false, false},
        {PSWIZB_FINISH, false, false, false, true, true},
        {PSWIZB_BACK | PSWIZB_NEXT, true, true, true, false, false},
        {PSWIZB_BACK | PSWIZB_FINISH, true, false, false, true, true},
        {PSWIZB_BACK | PSWIZB_DISABLEDFINISH, true, false, false, true, false},
        {PSWIZB_NEXT | PSWIZB_FINISH, false, false, true, true, true},
    };
    for (const Case& c : cases) {
        sheet.SetWizardButtons(c.flags);
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(sheet.GetWizardButtons(), c.flags);
        EXPECT_EQ(!!sheet.IsButtonEnabled(PSBTN_BACK), c.backOn);
        EXPECT_EQ(!!sheet.IsButtonShown(PSBTN_NEXT), c.nextShown);
        EXPECT_EQ(!!sheet.IsButtonEnabled(PSBTN_NEXT), c.nextOn);
        EXPECT_EQ(!!sheet.IsButtonShown(PSBTN_FINISH), c.finishShown);
        EXPECT_EQ(!!sheet.IsButtonEnabled(PSBTN_FINISH), c.finishOn);
    }
}

TEST_F(WizardTest, WalkForwardBackAndFinishOnTheSecondPage) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        EXPECT_EQ(d.ActivePage(), &sheet.m_kindPage);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_FINISH);
        EXPECT_FALSE(d.Next()) << "Next is hidden behind Finish";

        EXPECT_TRUE(d.Click(IDC_TINY_PROJECTED));
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT) << "set by the click handler, posted";
        EXPECT_FALSE(d.Finish());
        EXPECT_EQ(sheet.m_samplePage.m_nInitCount, 0) << "pages are created when first shown";

        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), &sheet.m_samplePage);
        EXPECT_EQ(sheet.m_kindPage.m_nKind, 2) << "leaving the page exchanged its data";
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_BACK | PSWIZB_FINISH);
        EXPECT_FALSE(sheet.m_kindPage.IsWindowVisible());
        EXPECT_TRUE(sheet.m_samplePage.IsWindowVisible());

        EXPECT_TRUE(d.Back());
        EXPECT_EQ(d.ActivePage(), &sheet.m_kindPage);
        EXPECT_EQ(sheet.GetWizardButtons(), PSWIZB_NEXT);
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(sheet.m_samplePage.m_nInitCount, 1) << "a page keeps its window while in the sheet";

        EXPECT_TRUE(d.Select(IDC_TINY_ZONES, 2));
        EXPECT_EQ(sheet.m_samplePage.m_nZoneIndex, 2);
        EXPECT_TRUE(d.Finish());
        EXPECT_FALSE(d.IsOpen());
        EXPECT_FALSE(d.Back()) << "nothing happens after the end";
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(sheet.m_nFinishedOn, IDD_TINY_SAMPLE);
    EXPECT_FALSE(sheet.IsRunning());
    EXPECT_FALSE(sheet.m_kindPage.IsWindow()) << "the windows go with the modal run";
    EXPECT_FALSE(sheet.m_kindPage.m_units.IsWindow());
}

TEST_F(WizardTest, SamplePageIsDrawnClippedEachTimeItIsShown) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        d.Click(IDC_TINY_PROJECTED);
        d.Next();
        EXPECT_EQ(sheet.m_samplePage.m_nDrawCount, 1);
        const CZrImage* image = d.Surface(IDC_TINY_SAMPLE);
        ASSERT_NE(image, nullptr);
        // 100 x 60 dialog units.
        EXPECT_EQ(image->GetWidth(), 150);
        EXPECT_EQ(image->GetHeight(), 98);
        int dots = 0, marker = 0, grey = 0;
        for (int y = 0; y < image->GetHeight(); ++y)
            for (int x = 0; x < image->GetWidth(); ++x) {
                COLORREF c = image->GetPixel(x, y);
                dots += c == kTinyDot;
                marker += c == kTinyMarker;
                grey += c == kTinyBackground;
            }
        EXPECT_EQ(dots, 98) << "the diagonal is cut at the bottom edge";
        EXPECT_EQ(marker, 16);
        EXPECT_EQ(dots + marker + grey, 150 * 98);
        EXPECT_EQ(image->GetPixel(18, 8), kTinyMarker);
        d.Back();
        d.Next();
        EXPECT_EQ(sheet.m_samplePage.m_nDrawCount, 2);
        d.Cancel();
    });
    sheet.DoModal();
}

TEST_F(WizardTest, CancelAndAnUnscriptedRunReturnIdCancel) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Click(IDC_TINY_PROJECTED));
        EXPECT_TRUE(d.Next());
        EXPECT_TRUE(d.Cancel());
    });
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(sheet.m_nFinishedOn, 0);
    EXPECT_EQ(sheet.m_kindPage.m_nResetCount, 1) << "every created page hears of the cancel";

    // No script: the user walks away.
    EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    // The sheet runs again from fresh windows.
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Click(IDC_TINY_PLANAR));
        EXPECT_TRUE(d.Finish());
    });
    EXPECT_EQ(sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(sheet.m_nFinishedOn, IDD_TINY_KIND);
    EXPECT_EQ(sheet.m_kindPage.m_nInitCount, 3);
}

TEST_F(WizardTest, OnWizardNextResultChoosesTheTarget) {
    const struct {
        LRESULT result;
        bool moves;
    } cases[] = {
        {0, true},               // the next page
        {IDD_TINY_SAMPLE, true}, // a template id
        {-1, false},             // stay
        {9999, false},           // no such page: stay
    };
    for (const auto& c : cases) {
        sheet.m_kindPage.m_nNextResult = c.result;
        sheet.m_kindPage.m_nKind = 2;
        backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
            SCOPED_TRACE(c.result);
            EXPECT_TRUE(d.Next());
            EXPECT_EQ(d.ActivePage(), c.moves ? static_cast<CPropertyPage*>(&sheet.m_samplePage)
                                              : static_cast<CPropertyPage*>(&sheet.m_kindPage));
        });
        sheet.DoModal();
    }
}

TEST_F(WizardTest, RemovedPageIsCreatedAfreshWhenAddedAgain) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        d.Click(IDC_TINY_PROJECTED);
        d.Next();
        d.Back();
        EXPECT_EQ(sheet.m_samplePage.m_nInitCount, 1);
        sheet.RemovePage(&sheet.m_samplePage);
        EXPECT_EQ(sheet.GetPageCount(), 1);
        EXPECT_FALSE(sheet.m_samplePage.IsWindow());
        d.Next();
        EXPECT_EQ(d.ActivePage(), &sheet.m_kindPage);

        sheet.AddPage(&sheet.m_samplePage);
        EXPECT_EQ(sheet.GetPageCount(), 2);
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), &sheet.m_samplePage);
        EXPECT_EQ(sheet.m_samplePage.m_nInitCount, 2);
        d.Cancel();
    });
    sheet.DoModal();
}

TEST_F(WizardTest, RangeFailureShowsTheStandardMessageAndKeepsThePage) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        d.Click(IDC_TINY_PROJECTED);
        EXPECT_TRUE(d.Type(IDC_TINY_ZONE, "61"));
        EXPECT_TRUE(d.Next()) << "the press happens";
        EXPECT_EQ(d.ActivePage(), &sheet.m_kindPage) << "but the page refuses to go";
        ASSERT_EQ(backend().Messages().size(), 1u);
        EXPECT_EQ(backend().Messages()[0].text, "Please enter an integer between 1 and 60.");
        EXPECT_EQ(backend().Messages()[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
        EXPECT_EQ(CWnd::GetFocus(), d.Control(IDC_TINY_ZONE)) << "back to the field in error";
        EXPECT_EQ(sheet.m_kindPage.m_nZone, 61) << "the value read stays, as MFC leaves it";

        EXPECT_TRUE(d.Type(IDC_TINY_ZONE, "60"));
        EXPECT_TRUE(d.Next());
        EXPECT_EQ(d.ActivePage(), &sheet.m_samplePage);
        EXPECT_EQ(backend().Messages().size(), 1u);
        d.Cancel();
    });
    sheet.DoModal();
}

TEST_F(WizardTest, KillFocusExchangeRunsWhenTheUserMovesOn) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        EXPECT_TRUE(d.Type(IDC_TINY_SCALE, "0.25"));
        EXPECT_EQ(sheet.m_kindPage.m_nKillFocusCount, 0);
        EXPECT_TRUE(d.Click(IDC_TINY_GEOGRAPHIC));
        EXPECT_EQ(sheet.m_kindPage.m_nKillFocusCount, 1);
        EXPECT_DOUBLE_EQ(sheet.m_kindPage.m_dScale, 0.25);
        EXPECT_EQ(sheet.m_kindPage.IsDlgButtonChecked(IDC_TINY_GEOGRAPHIC), 1u);

        // With another field in error, the check on leaving the scale fails,
        // the focus goes to that field and the click is lost.
        EXPECT_TRUE(d.Type(IDC_TINY_ZONE, "0"));
        EXPECT_TRUE(d.Type(IDC_TINY_SCALE, "0.5"));
        EXPECT_FALSE(d.Click(IDC_TINY_PLANAR));
        EXPECT_EQ(CWnd::GetFocus(), d.Control(IDC_TINY_ZONE));
        EXPECT_EQ(sheet.m_kindPage.IsDlgButtonChecked(IDC_TINY_PLANAR), 0u);
        EXPECT_EQ(sheet.m_kindPage.IsDlgButtonChecked(IDC_TINY_GEOGRAPHIC), 1u);
        ASSERT_FALSE(backend().Messages().empty());
        EXPECT_EQ(backend().Messages().back().text, "Please enter an integer between 1 and 60.");
        d.Cancel();
    });
    sheet.DoModal();
}

TEST_F(WizardTest, ComboItemDataFollowsTheSortedEntries) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        auto* units = dynamic_cast<CComboBox*>(d.Control(IDC_TINY_UNITS));
        ASSERT_EQ(units, &sheet.m_kindPage.m_units) << "GetDlgItem returns the bound member";
        EXPECT_EQ(units->GetCurSel(), 2) << "metre, preselected by its code";
        EXPECT_TRUE(d.SelectText(IDC_TINY_UNITS, "FOOT"));
        EXPECT_EQ(sheet.m_kindPage.m_nUnit, 3048);
        EXPECT_TRUE(d.Select(IDC_TINY_UNITS, 3));
        EXPECT_EQ(sheet.m_kindPage.m_nUnit, 9144);
        CString text;
        units->GetWindowText(text);
        EXPECT_EQ(text, "Yard");
        d.Cancel();
    });
    sheet.DoModal();
}

TEST_F(WizardTest, DisabledAndHiddenControlsRefuseTheUser) {
    backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
        d.Control(IDC_TINY_PROJECTED)->EnableWindow(FALSE);
        EXPECT_FALSE(d.Click(IDC_TINY_PROJECTED));
        d.Control(IDC_TINY_UNITS)->ShowWindow(SW_HIDE);
        EXPECT_FALSE(d.Select(IDC_TINY_UNITS, 0));
        sheet.m_kindPage.EnableWindow(FALSE);
        EXPECT_FALSE(d.Type(IDC_TINY_ZONE, "5")) << "a disabled page disables its controls";
        EXPECT_FALSE(d.Click(9999));
        d.Cancel();
    });
    sheet.DoModal();
    EXPECT_EQ(sheet.m_kindPage.m_nKind, 0);
}

TEST_F(WizardTest, SaveButtonAsksForAFileWithTheDefaultExtension) {
    const struct {
        int answer;
        const char* typed;
        const char* expected;
    } cases[] = {
        {IDOK, "/tmp/tiny/coordsys", "/tmp/tiny/coordsys.xml"},
        {IDOK, "/tmp/tiny/coordsys.PRJ", "/tmp/tiny/coordsys.PRJ"},
        {IDOK, "/tmp/tiny.d/noext", "/tmp/tiny.d/noext.xml"},
        {IDCANCEL, "/tmp/ignored.xml", ""},
    };
    for (const auto& c : cases) {
        sheet.m_kindPage.m_strSaved.Empty();
        backend().QueueFileDialog(c.answer, c.typed);
        backend().QueueSheetScript([&](CZrHeadlessDriver& d) {
            EXPECT_TRUE(d.Click(IDC_TINY_SAVE));
            d.Cancel();
        });
        sheet.DoModal();
        EXPECT_EQ(sheet.m_kindPage.m_strSaved, c.expected) << c.typed;
        ASSERT_FALSE(backend().FileDialogs().empty());
        const auto& shown = backend().FileDialogs().back();
        EXPECT_FALSE(shown.open);
        EXPECT_EQ(shown.defExt, "xml");
        EXPECT_EQ(shown.initialName, "*.xml");
    }
}

TEST(FileDialogTest, NamePartsAndFilters) {
    CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY,
                    "XML投影信息文件(*.xml)|*.xml|Shape投影信息文件(*.prj)|*.prj||");
    ASSERT_EQ(dlg.GetFilterCount(), 2);
    EXPECT_EQ(dlg.GetFilterName(0), "XML投影信息文件(*.xml)");
    EXPECT_EQ(dlg.GetFilterPattern(1), "*.prj");
    EXPECT_EQ(dlg.GetFilterPattern(2), "");

    CZrHeadlessBackend::Default().Reset();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "an unanswered dialog is cancelled";
    EXPECT_EQ(dlg.GetPathName(), "");

    CZrHeadlessBackend::Default().QueueFileDialog(IDOK, "/data/v1.2/Beijing.Prj", 2);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFileName(), "Beijing.Prj");
    EXPECT_EQ(dlg.GetFileExt(), "Prj");
    EXPECT_EQ(dlg.GetFileTitle(), "Beijing");
    EXPECT_EQ(dlg.GetFilterIndex(), 2);

    CZrHeadlessBackend::Default().QueueFileDialog(IDOK, "/data/v1.2/noext");
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetFileExt(), "") << "no default extension: the name stays";
    EXPECT_EQ(dlg.GetFileTitle(), "noext");
    CZrHeadlessBackend::Default().Reset();
}

TEST(MessageBoxTest, ScriptedAnswersThenEachTypesFirstButton) {
    CZrHeadlessBackend& backend = CZrHeadlessBackend::Default();
    backend.Reset();
    backend.QueueMessageBox(IDNO);
    EXPECT_EQ(AfxMessageBox("Replace?", MB_YESNO | MB_ICONQUESTION), IDNO);
    const struct {
        UINT type;
        int answer;
    } defaults[] = {{MB_OK, IDOK}, {MB_OKCANCEL, IDOK}, {MB_YESNOCANCEL, IDYES}, {MB_RETRYCANCEL, IDRETRY}};
    for (const auto& c : defaults)
        EXPECT_EQ(AfxMessageBox("x", c.type), c.answer) << c.type;
    ASSERT_EQ(backend.Messages().size(), 5u);
    EXPECT_EQ(backend.Messages()[0].text, "Replace?");
    EXPECT_EQ(backend.Messages()[0].type, MB_YESNO | MB_ICONQUESTION);
    backend.Reset();
}

// ---------------------------------------------------------------------------
// Data exchange on a bare dialog
// ---------------------------------------------------------------------------
class ExchangeDialog : public CDialog {
public:
    int m_int = 0;
    long m_long = 0;
    double m_double = 0.0;
    CString m_text;
    int m_radio = 0;
    int m_index = 0;
    int m_check = 0;
    CEdit m_a, m_b, m_c, m_d;
    CButton m_r1, m_r2, m_r3, m_other, m_box;
    CComboBox m_list;

    ExchangeDialog() {
        CreateWnd("", WS_VISIBLE, CRect(0, 0, 200, 200), nullptr, 0);
        m_a.Create(WS_VISIBLE, CRect(), this, 1);
        m_b.Create(WS_VISIBLE, CRect(), this, 2);
        m_c.Create(WS_VISIBLE, CRect(), this, 3);
        m_d.Create(WS_VISIBLE, CRect(), this, 4);
        m_r1.Create("a", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(), this, 10);
        m_r2.Create("b", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(), this, 11);
        m_r3.Create("c", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(), this, 12);
        m_other.Create("next group", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(), this, 13);
        m_box.Create("box", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(), this, 14);
        m_list.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(), this, 20);
        m_list.AddString("x");
        m_list.AddString("y");
    }
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, 1, m_int);
        DDX_Text(pDX, 2, m_long);
        DDX_Text(pDX, 3, m_double);
        DDX_Text(pDX, 4, m_text);
        DDX_Radio(pDX, 10, m_radio);
        DDX_CBIndex(pDX, 20, m_index);
        DDX_Check(pDX, 14, m_check);
    }
};

TEST(DataExchangeTest, WritesNumbersAsMfcFormatsThem) {
    ExchangeDialog dlg;
    dlg.m_int = -17;
    dlg.m_long = 16090000;
    dlg.m_radio = 2;
    dlg.m_index = 1;
    dlg.m_check = 1;
    dlg.m_text = "米";
    const struct {
        double value;
        const char* text;
    } reals[] = {{0.9996, "0.9996"},    {500000.0, "500000"}, {1e7, "10000000"},
                 {0.1 + 0.2, "0.3"},    {-0.5, "-0.5"},       {1.0 / 3.0, "0.333333333333333"},
                 {6378245.0, "6378245"}};
    for (const auto& c : reals) {
        dlg.m_double = c.value;
        ASSERT_TRUE(dlg.UpdateData(FALSE));
        EXPECT_EQ(dlg.m_c.GetText(), c.text);
    }
    EXPECT_EQ(dlg.m_a.GetText(), "-17");
    EXPECT_EQ(dlg.m_b.GetText(), "16090000");
    EXPECT_EQ(dlg.m_d.GetText(), "米");
    EXPECT_EQ(dlg.m_r3.GetCheck(), BST_CHECKED);
    EXPECT_EQ(dlg.m_r1.GetCheck() + dlg.m_r2.GetCheck(), 0);
    EXPECT_EQ(dlg.m_other.GetCheck(), 0) << "the next group is not part of the exchange";
    EXPECT_EQ(dlg.m_list.GetCurSel(), 1);
    EXPECT_EQ(dlg.m_box.GetCheck(), BST_CHECKED);

    // And reads them back.
    dlg.m_r3.SetCheck(0);
    dlg.m_other.SetCheck(1);
    dlg.m_a.SetWindowText("  42 ");
    dlg.m_c.SetWindowText("-1.5e2");
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_int, 42);
    EXPECT_DOUBLE_EQ(dlg.m_double, -150.0);
    EXPECT_EQ(dlg.m_radio, -1) << "no button of the group checked";
}

TEST(DataExchangeTest, UnreadableNumbersFailWithTheStandardMessage) {
    CZrHeadlessBackend& backend = CZrHeadlessBackend::Default();
    const struct {
        int edit;
        const char* text;
        const char* message;
    } cases[] = {
        {1, "", "Please enter an integer."},    {1, "12a", "Please enter an integer."},
        {1, "1.5", "Please enter an integer."}, {1, "2147483648", "Please enter an integer."},
        {3, "", "Please enter a number."},      {3, "abc", "Please enter a number."},
        {3, "nan", "Please enter a number."},   {3, "inf", "Please enter a number."},
        {3, "1e999", "Please enter a number."}, {3, "0x10", "Please enter a number."},
        {3, "1,5", "Please enter a number."},
    };
    for (const auto& c : cases) {
        ExchangeDialog dlg;
        dlg.m_int = 7;
        dlg.m_double = 7.0;
        ASSERT_TRUE(dlg.UpdateData(FALSE));
        dlg.GetDlgItem(c.edit)->SetWindowText(c.text);
        backend.Reset();
        EXPECT_FALSE(dlg.UpdateData(TRUE)) << c.text;
        ASSERT_EQ(backend.Messages().size(), 1u) << "one message, then the exchange stops";
        EXPECT_EQ(backend.Messages()[0].text, c.message);
        EXPECT_EQ(CWnd::GetFocus(), dlg.GetDlgItem(c.edit));
        EXPECT_EQ(dlg.m_int, 7);
        if (c.edit == 1) {
            EXPECT_EQ(dlg.m_double, 7.0) << "fields after the failure are not read";
        }
    }
    backend.Reset();
}

TEST(DataExchangeTest, RangeChecksOnlyWhenReading) {
    CZrHeadlessBackend& backend = CZrHeadlessBackend::Default();
    backend.Reset();
    CDialog dlg;
    CDataExchange load(&dlg, FALSE);
    DDV_MinMaxDouble(&load, 2.0, 0.0, 1.0);
    EXPECT_FALSE(load.HasFailed()) << "data moved to the controls is shown as it is";

    const struct {
        double value, lo, hi;
        bool fails;
        const char* message;
    } cases[] = {
        {5000000.0, 5000000.0, 10000000.0, false, ""},
        {4999999.9, 5000000.0, 10000000.0, true, "Please enter a number between 5000000 and 10000000."},
        {1.0, 0.0, 0.999999999999, true, "Please enter a number between 0 and 0.999999999999."},
        {std::nan(""), -180.0, 180.0, true, "Please enter a number between -180 and 180."},
    };
    for (const auto& c : cases) {
        backend.Reset();
        CDataExchange save(&dlg, TRUE);
        DDV_MinMaxDouble(&save, c.value, c.lo, c.hi);
        EXPECT_EQ(!!save.HasFailed(), c.fails) << c.value;
        if (c.fails) {
            ASSERT_EQ(backend.Messages().size(), 1u);
            EXPECT_EQ(backend.Messages()[0].text, c.message);
        }
    }
    backend.Reset();
    CDataExchange save(&dlg, TRUE);
    DDV_MinMaxLong(&save, -181, -180, 180);
    ASSERT_EQ(backend.Messages().size(), 1u);
    EXPECT_EQ(backend.Messages()[0].text, "Please enter an integer between -180 and 180.");
    backend.Reset();
}

} // namespace
