#pragma once

// The coordinate-system settings sheet: a wizard in which the user chooses a
// planar, longitude/latitude or projected coordinate system, or defines one
// from its parts. The host may clear allow bits, may assign m_coordSys, runs
// DoModal and reads m_coordSys back after ID_WIZFINISH.
//
// The sheet owns its five pages. A page reaches the sheet through its parent
// window (ZrGetCoordSysSheet below) and the other pages through the sheet's
// page accessors. What the pages read from one another:
//   - the user-defined first page asks the kind page IsUserGeoCoordSys();
//   - the preview page asks the user-defined first page GetGeoCoordSys(),
//     GetProjection() and GetUnits(), and the second page GetParams(), as
//     they stored them when the user left them.
//
// Page order and page removal carry the wizard's branching: the kind page
// removes the predefined page before moving on to the user-defined pages,
// and restores all five pages in their first order whenever it becomes active
// again with only four.

#include "dialog/ZrPageCoordSysSetting.h"
#include "dialog/ZrPagePrjPreDefined.h"
#include "dialog/ZrPagePrjUserDefineFirst.h"
#include "dialog/ZrPagePrjUserDefinePreview.h"
#include "dialog/ZrPagePrjUserDefineSecond.h"
#include "model/ZrPJCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ui/ZrPropertySheet.h"

// Allow bits of the sheet.
enum {
    ZRPRJ_ALLOW_PLANAR = 1,    // ordinary plan (x/y) systems
    ZRPRJ_ALLOW_LONLAT = 2,    // longitude/latitude systems
    ZRPRJ_ALLOW_PROJECTED = 4, // projected systems
};

class ZRPRJ_API CZrSheetCoordSysSetting : public CPropertySheet {
    DECLARE_DYNAMIC(CZrSheetCoordSysSetting)

public:
    explicit CZrSheetCoordSysSetting(UINT nIDCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    explicit CZrSheetCoordSysSetting(LPCTSTR pszCaption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CZrSheetCoordSysSetting() override;

    // Each returns its bit of the allow bits (1, 2 or 4) or 0.
    int IsAllowOrdinaryPlanCoordsys();
    int IsAllowLongitudeLatitudeCoordsys();
    int IsAllowProjectedCoordsys();
    // Nonzero sets the bit, 0 clears it; the other bits are kept.
    void SetAllowOrdinaryPlanCoordsys(int bAllow);
    void SetAllowLongitudeLatitudeCoordsys(int bAllow);
    void SetAllowProjectedCoordsys(int bAllow);

    // Load and save: a file dialog asks for the path. Save: the extension
    // picks the XML projection file (".xml") or the key-value file (".prj").
    // Load reads by content any form the library reads: ESRI or OGC WKT1,
    // WKT2, PROJJSON, PROJ strings, and the XML, key-value and one-line text
    // files. OpenPrjFile replaces m_coordSys, sets the loaded flag and clears
    // the parameters-changed flag; 0 and nothing changed on cancel or on a
    // file that holds no buildable system, which is also told in a message.
    int OpenPrjFile();
    // bAllowKeyValue nonzero also offers the key-value form. 1 when written,
    // else 0 (also when the name has an extension that is neither form).
    int SavePrjFile(int bAllowKeyValue);

    // The pages, for one another.
    CZrPageCoordSysSetting* GetKindPage() { return &m_pageKind; }
    CZrPagePrjPreDefined* GetPreDefinedPage() { return &m_pagePreDefined; }
    CZrPagePrjUserDefineFirst* GetUserDefineFirstPage() { return &m_pageUserFirst; }
    CZrPagePrjUserDefineSecond* GetUserDefineSecondPage() { return &m_pageUserSecond; }
    CZrPagePrjUserDefinePreview* GetPreviewPage() { return &m_pagePreview; }

    // The coordinate system being edited and handed back.
    CZrPJCoordSys m_coordSys;

    // Set by OpenPrjFile after a file was read; the user-defined first page
    // reloads its controls from m_coordSys when it becomes active and clears it.
    int m_bPrjLoaded;
    // Set by the user-defined first page when the user picks another
    // projection kind; the second page reloads its parameters on activation
    // and clears it. OpenPrjFile clears it.
    int m_bParamsChanged;

private:
    void CommonInit();

    int m_nAllow;
    // Declared in page order; destroyed in reverse order before m_coordSys.
    CZrPageCoordSysSetting m_pageKind;
    CZrPagePrjPreDefined m_pagePreDefined;
    CZrPagePrjUserDefineFirst m_pageUserFirst;
    CZrPagePrjUserDefineSecond m_pageUserSecond;
    CZrPagePrjUserDefinePreview m_pagePreview;
};

// The sheet a page is shown in: its parent window when that is a
// CZrSheetCoordSysSetting, else nullptr.
ZRPRJ_API CZrSheetCoordSysSetting* ZrGetCoordSysSheet(const CWnd* pPage);
