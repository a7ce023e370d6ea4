#pragma once

// The predefined projected-system page of the coordinate-system sheet: a main
// item (a family such as a state-plane series or the UTM zones of a datum),
// then a sub-class entry inside it, with a sample drawing of the chosen
// system. It finishes the wizard with that system.

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ZrString.h"
#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrPropertySheet.h"

enum {
    IDD_ZR_PRJ_PREDEFINED = 6702,
    IDC_ZR_PREDEF_SAMPLE = 29901,
    IDC_ZR_PREDEF_GROUPS = 29902,
    IDC_ZR_PREDEF_ENTRIES = 29903,
    IDC_ZR_PREDEF_SAVE = 29980,
};

class ZRPRJ_API CZrPagePrjPreDefined : public CPropertyPage {
    DECLARE_DYNCREATE(CZrPagePrjPreDefined)

public:
    CZrPagePrjPreDefined();
    ~CZrPagePrjPreDefined() override;

    // The sub-class entry taken last: its text and its coordinate-system code.
    CString GetSelectedName() const { return m_strSelectedName; }
    int GetSelectedCode() const { return m_nSelectedCode; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    afx_msg void OnGroupChanged();
    afx_msg void OnEntryChanged();
    afx_msg void OnSave();
    DECLARE_MESSAGE_MAP()

private:
    void FillGroups();
    // Refills the sub-class list for the selected main item and takes its
    // preselected entry.
    void RefillEntries();
    // Reads the selected entry's name and code; FALSE without a selection.
    BOOL ReadEntry();
    // Reads the selected entry and draws its sample.
    void TakeEntry();
    void DrawSample();
    void SetButtons(DWORD dwFlags);

    CString m_strSelectedName;
    CZrPJCoordSys m_sample;
    int m_nSelectedCode;
    CComboBox m_entries;
    CComboBox m_groups;
    CButton m_sampleArea;
};
