#pragma once

// The last page of the coordinate-system sheet: assembles the user-defined
// projected system from the two user-defined pages (or takes the one found or
// pasted on the kind page, whole), shows its sample drawing,
// its name, its PROJ text (read-only, with a copy button) and its area of use
// on a world map, offers a save and hands the system to the sheet on Finish.

#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ui/ZrPropertySheet.h"

enum {
    IDD_ZR_PRJ_PREVIEW = 6705,
    IDC_ZR_PREVIEW_SAMPLE = 29925,
    IDC_ZR_PREVIEW_SAVE = 29955,
    // Beside the sample: where the system is meant to be used, its name and
    // its PROJ text with a copy button.
    IDC_ZR_PREVIEW_AREA = 29990,
    IDC_ZR_PREVIEW_NAME = 29991,
    IDC_ZR_PREVIEW_TEXT = 29992,
    IDC_ZR_PREVIEW_COPY = 29993,
};

class CWnd;

// Draws a coordinate system's sample into an owner-drawn control: its own
// device context clipped to its client rectangle, a light grey background,
// then CZrPJCoordSys::DrawSample. Shared by the pages that show a sample.
ZRPRJ_API void ZrDrawCoordSysSample(CWnd* pControl, CZrPJCoordSys& coordSys);
// Draws the system's area of use on a world map into an owner-drawn control
// (the map alone for a planar system, which has none).
ZRPRJ_API void ZrDrawCoordSysArea(CWnd* pControl, const CZrPJCoordSys& coordSys);
// The text the preview shows for a system: its PROJ string, or its ESRI WKT
// where PROJ cannot say it; empty for what neither form writes.
ZRPRJ_API CString ZrCoordSysDisplayText(const CZrPJCoordSys& coordSys);

class ZRPRJ_API CZrPagePrjUserDefinePreview : public CPropertyPage {
    DECLARE_DYNCREATE(CZrPagePrjUserDefinePreview)

public:
    CZrPagePrjUserDefinePreview();
    ~CZrPagePrjUserDefinePreview() override;

    // The system assembled on the last activation.
    const CZrPJCoordSys& GetAssembled() const { return m_coordSys; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    BOOL OnWizardFinish() override;
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    afx_msg void OnSave();
    afx_msg void OnCopy();
    DECLARE_MESSAGE_MAP()

private:
    void Assemble();
    void ShowDescription();

    CZrPJCoordSys m_coordSys;
};
