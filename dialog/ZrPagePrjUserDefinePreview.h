#pragma once

// The last page of the coordinate-system sheet: assembles the user-defined
// projected system from the two user-defined pages, shows its sample drawing,
// offers a save and hands the system to the sheet on Finish.

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ui/ZrPropertySheet.h"

enum {
    IDD_ZR_PRJ_PREVIEW = 6705,
    IDC_ZR_PREVIEW_SAMPLE = 29925,
    IDC_ZR_PREVIEW_SAVE = 29955,
};

class CWnd;

// Draws a coordinate system's sample into an owner-drawn control: its own
// device context clipped to its client rectangle, a light grey background,
// then CZrPJCoordSys::DrawSample. Shared by the pages that show a sample.
ZRPRJ_API void ZrDrawCoordSysSample(CWnd* pControl, CZrPJCoordSys& coordSys);

class ZRPRJ_API CZrPagePrjUserDefinePreview : public CPropertyPage {
    DECLARE_DYNCREATE(CZrPagePrjUserDefinePreview)

public:
    CZrPagePrjUserDefinePreview();
    ~CZrPagePrjUserDefinePreview() override;

    // The system assembled on the last activation.
    const CZrPJCoordSys& GetAssembled() const { return m_coordSys; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;
    BOOL OnWizardFinish() override;
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    afx_msg void OnSave();
    DECLARE_MESSAGE_MAP()

private:
    void Assemble();

    CZrPJCoordSys m_coordSys;
};
