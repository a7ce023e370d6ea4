#include "dialog/ZrPagePrjPreDefined.h"

#include "dialog/ZrPageListHelpers_p.h"
#include "dialog/ZrPredefinedGroups_p.h"
#include "dialog/ZrSheetCoordSysSetting.h"
#include "platform/ui/ZrUserLanguage.h"

namespace {
// Where the page opens when the sheet's system is in no family.
constexpr long kGroupStatePlane1927 = 5003;
constexpr long kGroupJapan = 5088;
constexpr long kGroupSwedenRT90 = 5103;
constexpr long kJapanPlaneZoneIX = 32794;
} // namespace

IMPLEMENT_DYNCREATE(CZrPagePrjPreDefined, CPropertyPage)

BEGIN_MESSAGE_MAP(CZrPagePrjPreDefined, CPropertyPage)
ON_CBN_SELCHANGE(IDC_ZR_PREDEF_GROUPS, OnGroupChanged)
ON_CBN_SELCHANGE(IDC_ZR_PREDEF_ENTRIES, OnEntryChanged)
ON_BN_CLICKED(IDC_ZR_PREDEF_SAVE, OnSave)
ON_WM_DRAWITEM()
END_MESSAGE_MAP()

CZrPagePrjPreDefined::CZrPagePrjPreDefined() : CPropertyPage(IDD_ZR_PRJ_PREDEFINED), m_nSelectedCode(0) {}

CZrPagePrjPreDefined::~CZrPagePrjPreDefined() = default;

void CZrPagePrjPreDefined::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_ZR_PREDEF_ENTRIES, m_entries);
    DDX_Control(pDX, IDC_ZR_PREDEF_GROUPS, m_groups);
    DDX_Control(pDX, IDC_ZR_PREDEF_SAMPLE, m_sampleArea);
}

void CZrPagePrjPreDefined::SetButtons(DWORD dwFlags) {
    ZrSetPageWizardButtons(this, dwFlags);
}

BOOL CZrPagePrjPreDefined::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    SetButtons(PSWIZB_BACK | PSWIZB_FINISH);
    FillGroups();

    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    const long current = sheet ? sheet->m_coordSys.GetType() : 0;
    m_nSelectedCode = static_cast<int>(current);

    // The family to open on: the one that lists the sheet's system, else the
    // one a user of that language most likely wants.
    long toSelect = current;
    long groupCode;
    if (const ZrPredefinedGroup* group = ZrFindPredefinedGroupOfCode(current)) {
        groupCode = group->code;
    } else {
        switch (ZrPrimaryLangId(ZrGetUserDefaultLangID())) {
        case ZR_LANG_JAPANESE:
            groupCode = kGroupJapan;
            toSelect = kJapanPlaneZoneIX;
            break;
        case ZR_LANG_SWEDISH:
            groupCode = kGroupSwedenRT90;
            break;
        default:
            groupCode = kGroupStatePlane1927;
            break;
        }
    }

    int groupIndex = ZrFindItemCode(m_groups, groupCode);
    m_groups.SetCurSel(groupIndex == CB_ERR ? 0 : groupIndex);
    RefillEntries();

    int entry = ZrFindItemCode(m_entries, toSelect);
    m_entries.SetCurSel(entry == CB_ERR ? 0 : entry);
    TakeEntry();
    return TRUE;
}

void CZrPagePrjPreDefined::FillGroups() {
    m_groups.ResetContent();
    for (int i = 0; i < ZrPredefinedGroupCount(); ++i) {
        const ZrPredefinedGroup* group = ZrPredefinedGroupAt(i);
        CString text;
        text.LoadString(group->stringId);
        ZrAddCodedString(m_groups, text, group->code);
    }
}

void CZrPagePrjPreDefined::RefillEntries() {
    m_entries.ResetContent();
    const ZrPredefinedGroup* group = ZrFindPredefinedGroup(ZrSelectedItemCode(m_groups, 0));
    if (!group) return;

    const std::vector<ZrPredefinedEntry> entries = ZrPredefinedGroupEntries(*group);
    for (const ZrPredefinedEntry& entry : entries) {
        CString text;
        if (!text.LoadString(entry.stringId)) continue;
        ZrAddCodedString(m_entries, text, entry.code);
    }
    if (!entries.empty()) m_nSelectedCode = static_cast<int>(entries.front().code);
    if (m_entries.GetCount() == 0) return;
    // A family whose strings did not all load may be shorter than its
    // preselection; its first entry stands in.
    m_entries.SetCurSel(group->preselect < m_entries.GetCount() ? group->preselect : 0);
    TakeEntry();
}

BOOL CZrPagePrjPreDefined::ReadEntry() {
    int sel = m_entries.GetCurSel();
    if (sel == CB_ERR) return FALSE;
    m_entries.GetLBText(sel, m_strSelectedName);
    m_nSelectedCode = static_cast<int>(static_cast<long>(m_entries.GetItemData(sel)));
    return TRUE;
}

void CZrPagePrjPreDefined::TakeEntry() {
    if (ReadEntry()) DrawSample();
}

void CZrPagePrjPreDefined::DrawSample() {
    m_sample.Set(static_cast<tagPJCoordSysType>(m_nSelectedCode));
    if (CWnd* area = GetDlgItem(IDC_ZR_PREDEF_SAMPLE)) ZrDrawCoordSysSample(area, m_sample);
}

void CZrPagePrjPreDefined::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (nIDCtl != IDC_ZR_PREDEF_SAMPLE) {
        CPropertyPage::OnDrawItem(nIDCtl, lpDrawItemStruct);
        return;
    }
    DrawSample();
}

void CZrPagePrjPreDefined::OnGroupChanged() {
    RefillEntries();
}

void CZrPagePrjPreDefined::OnEntryChanged() {
    TakeEntry();
}

void CZrPagePrjPreDefined::OnSave() {
    CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this);
    if (!sheet) return;
    ReadEntry();
    CZrPJCoordSys chosen;
    chosen.Set(static_cast<tagPJCoordSysType>(m_nSelectedCode));
    sheet->m_coordSys = chosen;
    sheet->SavePrjFile(0);
}

BOOL CZrPagePrjPreDefined::OnSetActive() {
    SetButtons(PSWIZB_BACK | PSWIZB_FINISH);
    return CPropertyPage::OnSetActive();
}

LRESULT CZrPagePrjPreDefined::OnWizardBack() {
    // The kind page chose a projected system, which goes on with Next.
    SetButtons(PSWIZB_NEXT);
    return CPropertyPage::OnWizardBack();
}

LRESULT CZrPagePrjPreDefined::OnWizardNext() {
    return CPropertyPage::OnWizardNext();
}

BOOL CZrPagePrjPreDefined::OnWizardFinish() {
    if (CZrSheetCoordSysSetting* sheet = ZrGetCoordSysSheet(this))
        sheet->m_coordSys.Set(static_cast<tagPJCoordSysType>(m_nSelectedCode));
    return CPropertyPage::OnWizardFinish();
}
