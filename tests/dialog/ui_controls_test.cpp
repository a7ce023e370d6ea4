// Controls of the user-interface layer: combo boxes, radio groups, the
// numeric edit, focus notifications, message maps and posted messages.

#include "platform/ui/ZrUi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Entries(const CComboBox& combo) {
    std::vector<std::string> out;
    CString text;
    for (int i = 0; i < combo.GetCount(); ++i) {
        combo.GetLBText(i, text);
        out.push_back(text.str());
    }
    return out;
}

// A parent window that records the notifications of its controls.
class Recorder : public CWnd {
public:
    Recorder() { CreateWnd("", WS_VISIBLE, CRect(0, 0, 100, 100), nullptr, 0); }
    std::vector<std::pair<int, int>> m_log; // (id, code)
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        m_log.emplace_back(LOWORD(wParam), HIWORD(wParam));
        return CWnd::OnCommand(wParam, lParam);
    }
};

TEST(ComboBoxTest, SortedListOrdersWithoutRegardToCaseAndKeepsAddOrderOfEquals) {
    CComboBox combo;
    combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(), nullptr, 1);
    const struct {
        const char* text;
        long code;
    } adds[] = {{"metre", 10000},      {"Kilometre", 10000000},
                {"foot", 3048},        {"Yard", 9144},
                {"Plate Carree", 1},   {"plate carree", 2},
                {"Bessel 1841", 4004}, {"Bessel modified", 4005},
                {"Bessel", 7004},      {"_x", 0}};
    for (const auto& a : adds)
        combo.SetItemData(combo.AddString(a.text), static_cast<DWORD_PTR>(a.code));
    // Folded to lower case, '_' sorts before the letters, as symbols do under Windows.
    EXPECT_EQ(Entries(combo),
              (std::vector<std::string>{"_x", "Bessel", "Bessel 1841", "Bessel modified", "foot", "Kilometre",
                                        "metre", "Plate Carree", "plate carree", "Yard"}));
    // The item data stayed with its entry while later entries were sorted in.
    for (const auto& a : adds) {
        int i = combo.FindStringExact(-1, a.text);
        // Equal texts: the first of them.
        if (std::string(a.text) == "plate carree") i = combo.FindStringExact(i, a.text);
        EXPECT_EQ(static_cast<long>(combo.GetItemData(i)), a.code) << a.text;
    }
}

TEST(ComboBoxTest, InsertedEntriesStayWhereTheyArePutEvenInASortedList) {
    CComboBox combo;
    combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT, CRect(), nullptr, 1);
    combo.AddString("WGS 1984");
    combo.AddString("Beijing 1954");
    EXPECT_EQ(combo.InsertString(-1, "User Define"), 2);
    combo.SetItemData(2, static_cast<DWORD_PTR>(-1));
    combo.AddString("Adindan");
    EXPECT_EQ(Entries(combo),
              (std::vector<std::string>{"Adindan", "Beijing 1954", "WGS 1984", "User Define"}));
    EXPECT_EQ(static_cast<long>(combo.GetItemData(3)), -1L) << "a code of -1 survives the round trip";
    EXPECT_EQ(combo.InsertString(0, "A"), 0);
    EXPECT_EQ(combo.InsertString(9, "beyond"), CB_ERR);
    EXPECT_EQ(combo.GetCount(), 5);
}

TEST(ComboBoxTest, SelectionFollowsItsEntryThroughChanges) {
    CComboBox combo;
    combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(), nullptr, 1);
    for (const char* s : {"a", "b", "c", "d"})
        combo.AddString(s);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(2), 2);
    EXPECT_EQ(combo.GetText(), "c") << "a drop-down list shows its selection";

    combo.InsertString(0, "first");
    EXPECT_EQ(combo.GetCurSel(), 3);
    EXPECT_EQ(combo.DeleteString(0), 4);
    EXPECT_EQ(combo.GetCurSel(), 2);
    combo.DeleteString(3);
    EXPECT_EQ(combo.GetCurSel(), 2) << "deleting after the selection leaves it";
    EXPECT_EQ(combo.DeleteString(2), 2);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR) << "deleting the selected entry clears the selection";
    EXPECT_EQ(combo.GetText(), "");
    EXPECT_EQ(combo.DeleteString(7), CB_ERR);

    combo.SetCurSel(1);
    EXPECT_EQ(combo.SetCurSel(5), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR) << "an index beyond the end clears the selection";
    combo.SetCurSel(0);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    EXPECT_EQ(static_cast<int>(combo.GetItemData(0)), CB_ERR);
    CString text("kept");
    EXPECT_EQ(combo.GetLBText(0, text), CB_ERR);
    EXPECT_EQ(text, "kept");
}

TEST(ComboBoxTest, FindStringSearchesAfterTheStartAndWrapsRound) {
    CComboBox combo;
    combo.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(), nullptr, 1);
    for (const char* s : {"UTM Zone 1", "GK Zone 13", "utm zone 10", "Nevada, Eastern Zone (1983)"})
        combo.AddString(s);
    const struct {
        int start;
        const char* text;
        bool exact;
        int found;
    } cases[] = {
        {-1, "utm", false, 0},        {0, "utm", false, 2},           {2, "utm", false, 0},
        {-1, "UTM ZONE 10", true, 2}, {-1, "UTM Zone", true, CB_ERR}, {3, "gk", false, 1},
        {-1, "Nevada", false, 3},     {-1, "Texas", false, CB_ERR},   {99, "utm", false, 0},
    };
    for (const auto& c : cases) {
        int found = c.exact ? combo.FindStringExact(c.start, c.text) : combo.FindString(c.start, c.text);
        EXPECT_EQ(found, c.found) << c.start << " " << c.text;
    }
    EXPECT_EQ(combo.SelectString(-1, "gk"), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.SelectString(-1, "none"), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), 1) << "a failed SelectString leaves the selection";
}

TEST(ButtonTest, ClickMovesTheCheckWithinTheGroupOnly) {
    Recorder parent;
    CButton planar, geographic, projected, other, box, frame, push;
    planar.Create("p", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(), &parent, 1);
    geographic.Create("g", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(), &parent, 2);
    projected.Create("j", WS_VISIBLE | BS_AUTORADIOBUTTON, CRect(), &parent, 3);
    other.Create("o", WS_VISIBLE | WS_GROUP | BS_AUTORADIOBUTTON, CRect(), &parent, 4);
    box.Create("b", WS_VISIBLE | BS_AUTOCHECKBOX, CRect(), &parent, 5);
    frame.Create("f", WS_VISIBLE | BS_GROUPBOX, CRect(), &parent, 6);
    push.Create("push", WS_VISIBLE | BS_PUSHBUTTON, CRect(), &parent, 7);
    other.SetCheck(BST_CHECKED);

    EXPECT_TRUE(CZrUiInput::Click(geographic));
    EXPECT_TRUE(CZrUiInput::Click(projected));
    EXPECT_EQ(planar.GetCheck() + geographic.GetCheck(), 0);
    EXPECT_EQ(projected.GetCheck(), BST_CHECKED);
    EXPECT_EQ(other.GetCheck(), BST_CHECKED) << "another group";
    EXPECT_EQ(parent.GetCheckedRadioButton(1, 3), 3);

    EXPECT_TRUE(CZrUiInput::Click(projected));
    EXPECT_EQ(projected.GetCheck(), BST_CHECKED) << "clicking the checked radio keeps it checked";
    EXPECT_TRUE(CZrUiInput::Click(box));
    EXPECT_EQ(box.GetCheck(), BST_CHECKED);
    EXPECT_TRUE(CZrUiInput::Click(box));
    EXPECT_EQ(box.GetCheck(), BST_UNCHECKED);
    EXPECT_FALSE(CZrUiInput::Click(frame)) << "a frame takes no clicks";
    EXPECT_TRUE(CZrUiInput::Click(push));

    // Every click was told to the parent, also the repeated one.
    std::vector<std::pair<int, int>> clicks;
    for (auto& entry : parent.m_log)
        if (entry.second == BN_CLICKED) clicks.push_back(entry);
    EXPECT_EQ(clicks, (std::vector<std::pair<int, int>>{{2, 0}, {3, 0}, {3, 0}, {5, 0}, {5, 0}, {7, 0}}));

    // SetCheck, as BM_SETCHECK, leaves the others alone.
    planar.SetCheck(BST_CHECKED);
    EXPECT_EQ(projected.GetCheck(), BST_CHECKED);
    parent.CheckRadioButton(1, 3, 2);
    EXPECT_EQ(planar.GetCheck() + projected.GetCheck(), 0);
    EXPECT_EQ(geographic.GetCheck(), BST_CHECKED);
}

// What the numeric edit leaves after typing: refused keystrokes are dropped.
TEST(NumEditTest, RefusesKeystrokesOutsideItsTypeAndLimits) {
    const struct {
        int type;
        bool limited;
        double max, min;
        const char* typed;
        const char* shown;
    } cases[] = {
        {CZrNumEdit::NUMBER_INTEGER, false, 0, 0, "-12a3", "-123"},
        {CZrNumEdit::NUMBER_INTEGER, false, 0, 0, "1.5", "15"},
        {CZrNumEdit::NUMBER_REAL, false, 0, 0, "-0.5", "-0.5"},
        {CZrNumEdit::NUMBER_REAL, false, 0, 0, "1.2.3e4", "1.234"},
        {CZrNumEdit::NUMBER_REAL, true, 1, 0, "1.5", "1."},
        {CZrNumEdit::NUMBER_REAL, true, 1, 0, "0.9996", "0.9996"},
        {CZrNumEdit::NUMBER_REAL, true, 1, 0, "-0.5", "0.5"},
        {CZrNumEdit::NUMBER_REAL, true, 180, -180, "-181", "-18"},
        {CZrNumEdit::NUMBER_REAL, true, 180, -180, "200", "20"},
        {CZrNumEdit::NUMBER_REAL, true, 60, 0, "60", "60"},
        // A value below a positive minimum may still grow: only the range
        // check of the data exchange can refuse it.
        {CZrNumEdit::NUMBER_REAL, true, 10000000, 5000000, "6378245", "6378245"},
        {CZrNumEdit::NUMBER_REAL, true, 10000000, 5000000, "63782450", "6378245"},
        {CZrNumEdit::NUMBER_TEXT, true, 1, 0, "abc", "abc"},
    };
    for (const auto& c : cases) {
        Recorder parent;
        CZrNumEdit edit;
        edit.Create(WS_VISIBLE, CRect(), &parent, 1);
        edit.SetNumberType(c.type);
        if (c.limited) edit.SetLimit(c.max, c.min);
        edit.SetWindowText("99");
        bool all = CZrUiInput::Type(edit, c.typed);
        EXPECT_EQ(edit.GetText(), c.shown) << c.typed;
        EXPECT_EQ(all, std::string(c.typed) == c.shown) << c.typed;
    }
}

TEST(NumEditTest, AWholeEditIsTakenOrRefusedAsOne) {
    Recorder parent;
    CZrNumEdit edit;
    edit.Create(WS_VISIBLE, CRect(), &parent, 1);
    edit.SetNumberType(CZrNumEdit::NUMBER_REAL);
    edit.SetLimit(90, -90);
    EXPECT_TRUE(CZrUiInput::Edit(edit, "45.5"));
    EXPECT_FALSE(CZrUiInput::Edit(edit, "95"));
    EXPECT_FALSE(CZrUiInput::Edit(edit, "4x"));
    EXPECT_EQ(edit.GetText(), "45.5");
    edit.SetWindowText("123"); // programmatic text is never filtered
    EXPECT_EQ(edit.GetText(), "123");
    edit.SetReadOnly(TRUE);
    EXPECT_FALSE(CZrUiInput::Edit(edit, "1"));
}

TEST(FocusTest, MovingTheFocusNotifiesBothParentsInWindowsOrder) {
    Recorder parent;
    CEdit a, b;
    CComboBox list;
    a.Create(WS_VISIBLE, CRect(), &parent, 1);
    b.Create(WS_VISIBLE, CRect(), &parent, 2);
    list.Create(WS_VISIBLE | CBS_DROPDOWNLIST, CRect(), &parent, 3);
    list.AddString("x");
    EXPECT_TRUE(CZrUiInput::Type(a, "7"));
    EXPECT_TRUE(CZrUiInput::Focus(b));
    EXPECT_TRUE(CZrUiInput::Select(list, 0));
    // The focus has moved when the old control hears of losing it; the loss
    // is told before the gain.
    const std::vector<std::pair<int, int>> expected = {
        {1, EN_SETFOCUS},  {1, EN_CHANGE},    {1, EN_KILLFOCUS},  {2, EN_SETFOCUS},
        {2, EN_KILLFOCUS}, {3, CBN_SETFOCUS}, {3, CBN_SELCHANGE},
    };
    EXPECT_EQ(parent.m_log, expected);
    EXPECT_EQ(CWnd::GetFocus(), &list);
    list.DestroyWindow();
    EXPECT_EQ(CWnd::GetFocus(), nullptr) << "a destroyed window gives up the focus";
}

// A base page class with a handler and a derived one overriding another:
// both maps are searched, the derived first.
class BasePanel : public CDialog {
public:
    int m_base = 0;
    int m_derivedSeen = 0;

protected:
    afx_msg void OnBase() { ++m_base; }
    afx_msg void OnShared() { m_derivedSeen = -1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(BasePanel, CDialog)
ON_BN_CLICKED(1, OnBase)
ON_BN_CLICKED(2, OnShared)
END_MESSAGE_MAP()

class DerivedPanel : public BasePanel {
protected:
    afx_msg void OnShared2() { m_derivedSeen = 1; }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(DerivedPanel, BasePanel)
ON_BN_CLICKED(2, OnShared2)
END_MESSAGE_MAP()

TEST(MessageMapTest, DerivedEntriesComeFirstThenTheBase) {
    DerivedPanel panel;
    EXPECT_TRUE(panel.OnCmdMsg(1, BN_CLICKED));
    EXPECT_TRUE(panel.OnCmdMsg(2, BN_CLICKED));
    EXPECT_EQ(panel.m_base, 1);
    EXPECT_EQ(panel.m_derivedSeen, 1);
    EXPECT_FALSE(panel.OnCmdMsg(2, CBN_SELCHANGE)) << "the code must match too";
    EXPECT_FALSE(panel.OnCmdMsg(3, BN_CLICKED));
    EXPECT_TRUE(panel.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_FALSE(panel.IsKindOf(RUNTIME_CLASS(CPropertyPage)));
}

TEST(PostMessageTest, PostedMessagesWaitForTheFlushAndDieWithTheirWindow) {
    Recorder kept;
    auto gone = std::make_unique<Recorder>();
    EXPECT_TRUE(kept.PostMessage(WM_COMMAND, MAKEWPARAM(5, BN_CLICKED)));
    EXPECT_TRUE(gone->PostMessage(WM_COMMAND, MAKEWPARAM(6, BN_CLICKED)));
    EXPECT_TRUE(kept.m_log.empty());
    gone.reset();
    CZrUiInput::Flush();
    EXPECT_EQ(kept.m_log, (std::vector<std::pair<int, int>>{{5, BN_CLICKED}}));
    CWnd never;
    EXPECT_FALSE(never.PostMessage(WM_COMMAND)) << "no window, no queue";
}

// A member control bound with DDX_Control takes the template control's place
// and state, and is bound afresh when the dialog is made again.
class BindingDialog : public CDialog {
public:
    BindingDialog() : CDialog(9190) {}
    CComboBox m_list;
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, 77, m_list); }
};

TEST(DataExchangeTest, ControlBindingReplacesTheTemplateControl) {
    static const CZrDlgItemTemplate items[] = {
        {ZRWC_STATIC, IDC_STATIC, "Unit", 0, 0, 20, 8, SS_LEFT, 0, nullptr},
        {ZRWC_COMBOBOX, 77, nullptr, 20, 0, 60, 80, CBS_DROPDOWNLIST | WS_DISABLED, 0, "millimeter\nmeter\n"},
    };
    static const CZrDialogTemplate tmpl = {9190, "bind", 100, 40, items, 2};
    ZrRegisterDialogTemplate(&tmpl);
    Recorder host;
    BindingDialog dlg;
    ASSERT_TRUE(dlg.CreateIndirect(&host));
    EXPECT_EQ(dlg.GetParent(), &host);
    EXPECT_EQ(dlg.GetDlgItem(77), &dlg.m_list);
    EXPECT_EQ(dlg.GetChildIndex(&dlg.m_list), 1) << "in the template control's place";
    EXPECT_EQ(Entries(dlg.m_list), (std::vector<std::string>{"millimeter", "meter"}));
    EXPECT_FALSE(dlg.m_list.IsWindowEnabled());
    // 20 x 0 dialog units, 60 wide, the field 14 high: 6/4 and 13/8 pixels a unit.
    RECT r;
    dlg.m_list.GetWindowRect(&r);
    EXPECT_EQ(r.left, 30);
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.bottom, 23);

    dlg.m_list.AddString("yard");
    dlg.DestroyWindow();
    EXPECT_FALSE(dlg.m_list.IsWindow());
    EXPECT_EQ(host.GetChildCount(), 0);
    ASSERT_TRUE(dlg.CreateIndirect(&host));
    EXPECT_EQ(Entries(dlg.m_list), (std::vector<std::string>{"millimeter", "meter"}))
        << "fresh from the template";
}

} // namespace
