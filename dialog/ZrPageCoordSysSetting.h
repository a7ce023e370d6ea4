#pragma once

// The first page of the coordinate-system sheet: the kind of system (planar
// with its coordinate unit, longitude/latitude with its geographic system and
// distance unit, or projected, predefined or user-defined), and the sheet's
// load and save buttons, a search by code or name and a paste of a system's
// text. Planar and longitude/latitude systems finish here.

#include "dialog/ZrSystemSearch.h"
#include "model/ZrPJGeoCoordSys.h"
#include "platform/ZrExport.h"
#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrPropertySheet.h"

enum {
    IDD_ZR_COORDSYS_KIND = 6701,
    IDC_ZR_KIND_PLANAR = 29975,
    IDC_ZR_KIND_LONLAT = 29976,
    IDC_ZR_KIND_PROJECTED = 29977,
    IDC_ZR_COORD_UNITS = 29927,
    IDC_ZR_GEO_COORDSYS = 29928,
    IDC_ZR_DIST_UNITS = 29929,
    IDC_ZR_PRJ_SOURCE = 29978,
    IDC_ZR_KIND_LOAD = 29956,
    IDC_ZR_KIND_SAVE = 29979,
    // A system by code or name, and one pasted as text.
    IDC_ZR_KIND_SEARCH = 29994,
    IDC_ZR_KIND_HITS = 29995,
    IDC_ZR_KIND_PASTE = 29996,
};

// The bitmap every page of the sheet shows on its left.
enum { IDB_ZR_COORDSYS_BANNER = 6708 };

// A list entry: display name and catalogue code (item data).
struct ZrNamedCode {
    const char* name;
    long code;
};

// The 252 geographic systems of the geographic lists, in table order (the
// sorted list control orders them); "User Define" (-1) is not among them.
ZRPRJ_API const ZrNamedCode* ZrGeoCoordSysListEntries(int* pCount);

// The linear units of the unit lists, in list order: their number, the unit code at an index (the metre past
// the end) and the index of a code (the metre's for a code not listed).
ZRPRJ_API int ZrUnitListCount();
ZRPRJ_API long ZrUnitCodeOfListIndex(int nIndex);
ZRPRJ_API int ZrListIndexOfUnitCode(long nUnits);
// The code of the geographic system a user gets by default: by the primary
// language of the user's default language (Japanese, Swedish, else Chinese).
ZRPRJ_API long ZrDefaultGeoCoordSysCode();

class ZRPRJ_API CZrPageCoordSysSetting : public CPropertyPage {
    DECLARE_DYNCREATE(CZrPageCoordSysSetting)

public:
    CZrPageCoordSysSetting();
    ~CZrPageCoordSysSetting() override;

    // 1 once "User Define" was chosen in the geographic list; the user-defined
    // first page then defines a longitude/latitude system and finishes.
    int IsUserGeoCoordSys() const { return m_bUserGeoCoordSys; }
    // 0 "系统预定义投影系", 1 "用户自定义投影系".
    int GetProjectedSource() const { return m_nProjectedSource; }
    // 0 planar, 1 longitude/latitude, 2 projected.
    int GetKind() const { return m_nKind; }
    // 1 while the sheet's system is one found or pasted here, whole: Next
    // shows it on the preview page, which Finish hands back unchanged.
    int IsTakenWhole() const { return m_bTakenWhole; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

protected:
    afx_msg void OnPlanar();
    afx_msg void OnLonLat();
    afx_msg void OnProjected();
    afx_msg void OnProjectedSourceChanged();
    afx_msg void OnGeoCoordSysChanged();
    afx_msg void OnDistUnitsChanged();
    afx_msg void OnLoad();
    afx_msg void OnSave();
    afx_msg void OnSearchChanged();
    afx_msg void OnHitChosen();
    afx_msg void OnPaste();
    DECLARE_MESSAGE_MAP()

private:
    // Makes a system found, pasted or loaded the sheet's, as a load does,
    // unless the host forbade its kind (then a message, and nothing changes).
    bool TakeSystem(const CZrPJCoordSys& cs);
    void RefreshFromCoordSys();
    void FillGeoCoordSysList();
    // Writes the page's planar or longitude/latitude choice into the sheet's
    // m_coordSys; a projected choice leaves it as it is.
    void StoreChoice();

    int m_nProjectedSource;
    CZrPJGeoCoordSys m_gcs;
    int m_bUserGeoCoordSys;
    CComboBox m_distUnits;
    CComboBox m_coordUnits;
    CComboBox m_geoCoordSys;
    CComboBox m_prjSource;
    int m_nKind;
    CComboBox m_hitList;
    std::vector<ZrSystemSearchHit> m_hits;
    // A system found or pasted is complete until the user picks another
    // kind, source or geographic system here.
    int m_bTakenWhole;
};
