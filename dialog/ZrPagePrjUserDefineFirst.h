#pragma once

// The first user-defined page of the coordinate-system sheet: projection
// kind, coordinate unit and geographic system. The geographic system is taken
// from the catalogue or built from a datum (itself picked, or built on a
// picked or defined spheroid) and a picked or defined prime meridian.
//
// Reached from the kind page either for a user-defined projected system (it
// leads on to the parameters and the preview) or for a user-defined
// geographic system (it is then the last step and Finish makes the sheet's
// system a longitude/latitude one).

#include "model/ZrPJDatum.h"
#include "model/ZrPJGeoCoordSys.h"
#include "model/ZrPJObject.h"
#include "model/ZrPJPrimeMeridian.h"
#include "model/ZrPJSpheroid.h"
#include "platform/ZrExport.h"
#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrPropertySheet.h"

enum {
    IDD_ZR_PRJ_USER_FIRST = 6703,
    IDC_ZR_USER_KIND = 29904,
    IDC_ZR_USER_UNITS = 29905,
    IDC_ZR_USER_GCS = 29906,
    IDC_ZR_USER_PRIME_MERIDIAN = 29907,
    IDC_ZR_USER_PM_LONGITUDE = 29908,
    IDC_ZR_USER_DATUM = 29909,
    IDC_ZR_USER_SPHEROID = 29910,
    IDC_ZR_USER_AXIS = 29911,
    IDC_ZR_USER_FLATTENING = 29912,
};

class ZRPRJ_API CZrPagePrjUserDefineFirst : public CPropertyPage {
    DECLARE_DYNCREATE(CZrPagePrjUserDefineFirst)

public:
    CZrPagePrjUserDefineFirst();
    ~CZrPagePrjUserDefineFirst() override;

    // What the page holds, as stored when the user left it (read by the
    // second page and the preview).
    CZrPJGeoCoordSys GetGeoCoordSys() const { return m_gcs; }
    CZrPJObject GetProjection() const { return m_projection; }
    long GetUnits() const { return m_nUnits; }
    CZrPJDatum GetDatum() const { return m_datum; }
    CZrPJSpheroid GetSpheroid() const { return m_spheroid; }
    CZrPJPrimeMeridian GetPrimeMeridian() const { return m_primeMeridian; }
    int IsUserGeoCoordSys() const { return m_bUserGeoCoordSys; }
    int IsUserDatum() const { return m_bUserDatum; }
    int IsUserSpheroid() const { return m_bUserSpheroid; }
    int IsUserPrimeMeridian() const { return m_bUserPrimeMeridian; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

protected:
    afx_msg void OnKindChanged();
    afx_msg void OnUnitsChanged();
    afx_msg void OnGeoCoordSysChanged();
    afx_msg void OnDatumChanged();
    afx_msg void OnSpheroidChanged();
    afx_msg void OnPrimeMeridianChanged();
    afx_msg void OnEditKillFocus();
    DECLARE_MESSAGE_MAP()

private:
    // 1 when the kind page chose "User Define" for a longitude/latitude system.
    int IsGeographicOnly() const;
    void CopyFromCoordSys();
    void FillKinds();
    void FillUnits();
    void FillGeoCoordSystems();
    void FillDatums();
    void FillSpheroids();
    void FillPrimeMeridians();
    void SelectCurrentEntries();
    void ShowSpheroid();
    // Builds the user-defined spheroid, datum, prime meridian and geographic
    // system from the page's choices.
    void BuildGeoCoordSys();
    void SetButtons(DWORD dwFlags);
    void EnableItems(const int* ids, int count, BOOL bEnable);

    CZrPJObject m_projection;
    CZrPJGeoCoordSys m_gcs;
    CZrPJDatum m_datum;
    CZrPJSpheroid m_spheroid;
    CZrPJPrimeMeridian m_primeMeridian;
    long m_nUnits;
    int m_bUserGeoCoordSys;
    int m_bUserDatum;
    int m_bUserSpheroid;
    int m_bUserPrimeMeridian;
    CComboBox m_units;
    CComboBox m_spheroids;
    CComboBox m_kinds;
    CComboBox m_primeMeridians;
    CComboBox m_geoCoordSystems;
    CComboBox m_datums;
    double m_dAxis;
    double m_dFlattening;
    double m_dPrimeMeridianLongitude;
    CZrNumEdit m_axisEdit;
    CZrNumEdit m_flatteningEdit;
    CZrNumEdit m_primeMeridianEdit;
};
