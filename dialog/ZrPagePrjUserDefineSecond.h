#pragma once

// The second user-defined page of the coordinate-system sheet: the ten
// projection parameters. Angles are entered in decimal degrees or as degrees,
// minutes and seconds; for the Gauss-Krueger and transverse Mercator kinds a
// zone list fills the central meridian of a 6-degree zone.

#include "model/ZrPJParams.h"
#include "platform/ZrExport.h"
#include "platform/ui/ZrControls.h"
#include "platform/ui/ZrPropertySheet.h"

enum {
    IDD_ZR_PRJ_USER_SECOND = 6704,
    IDC_ZR_PARAM_FALSE_EASTING = 29913,
    IDC_ZR_PARAM_FALSE_NORTHING = 29914,
    IDC_ZR_PARAM_CENTRAL_MERIDIAN = 29915,
    IDC_ZR_PARAM_ORIGIN_LATITUDE = 29916,
    IDC_ZR_PARAM_PARALLEL1 = 29917,
    IDC_ZR_PARAM_PARALLEL2 = 29918,
    IDC_ZR_PARAM_SCALE_FACTOR = 29919,
    IDC_ZR_PARAM_AZIMUTH = 29920,
    IDC_ZR_PARAM_LONGITUDE1 = 29921,
    IDC_ZR_PARAM_LONGITUDE2 = 29922,
    IDC_ZR_PARAM_PARALLEL1_LABEL = 29906,
    IDC_ZR_PARAM_ZONES = 29931,
    IDC_ZR_PARAM_FORMAT_DMS = 29932,
    IDC_ZR_PARAM_FORMAT_DEGREES = 29933,
    IDC_ZR_PARAM_ZONE_LABEL = 29954,
};

// An angle as degrees, minutes and seconds. The degree field is an integer,
// so an angle between -1 and 0 degrees keeps its sign in bNegative (shown as
// "-0" degrees).
struct ZrDmsAngle {
    int nDegrees;
    int nMinutes;
    double dSeconds;
    int bNegative;
};

// The two conversions of the page. Minutes that round up to 60 carry into
// the degrees, so every result stays within the minute field's range.
ZRPRJ_API ZrDmsAngle ZrDegreesToDms(double dDegrees);
ZRPRJ_API double ZrDmsToDegrees(const ZrDmsAngle& dms);

class ZRPRJ_API CZrPagePrjUserDefineSecond : public CPropertyPage {
    DECLARE_DYNCREATE(CZrPagePrjUserDefineSecond)

public:
    // The seven angles of the parameters.
    enum Angle {
        ANGLE_AZIMUTH,
        ANGLE_CENTRAL_MERIDIAN,
        ANGLE_ORIGIN_LATITUDE,
        ANGLE_PARALLEL1,
        ANGLE_PARALLEL2,
        ANGLE_LONGITUDE1,
        ANGLE_LONGITUDE2,
        ANGLE_COUNT
    };
    enum { FORMAT_DMS = 0, FORMAT_DEGREES = 1 };
    // Zone list of transverse Mercator: indices 0 to 59 are the UTM zones 1 to
    // 60; this one leaves the central meridian free. Gauss-Krueger lists its
    // 6-degree zones 1 to 60, then its 3-degree zones 1 to 120, then the free
    // entry (FreeZone).
    enum { ZONE_FREE = 60 };

    CZrPagePrjUserDefineSecond();
    ~CZrPagePrjUserDefineSecond() override;

    // The parameters as stored when the user left the page (read by the
    // preview).
    CZrPJParams GetParams() const { return m_params; }
    int GetKind() const { return m_nKind; }
    int GetFormat() const { return m_nFormat; }
    double GetAngle(Angle angle) const { return m_dAngles[angle]; }
    ZrDmsAngle GetDmsAngle(Angle angle) const { return m_dms[angle]; }
    double GetFalseEasting() const { return m_dFalseEasting; }
    double GetFalseNorthing() const { return m_dFalseNorthing; }
    double GetScaleFactor() const { return m_dScaleFactor; }

    // The index of the free entry in the kind's zone list.
    static int FreeZone(long kind);
    // The index in the kind's zone list (transverse Mercator 43006 or
    // Gauss-Krueger 43005) of the zone with this central meridian, the one
    // whose number the false easting carries where two share it; else
    // FreeZone(kind).
    static int MatchingZone(double dCentralMeridian, long kind = 43006, double dFalseEasting = 0.0);

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnSetActive() override;
    LRESULT OnWizardBack() override;
    LRESULT OnWizardNext() override;
    BOOL OnWizardFinish() override;

protected:
    afx_msg void OnFormatDms();
    afx_msg void OnFormatDegrees();
    afx_msg void OnZoneChanged();
    DECLARE_MESSAGE_MAP()

private:
    enum { EDIT_COUNT = 31 };

    int IsZoneKind() const;
    int KindOfFirstPage() const;
    void TakeParams();
    void StoreParams();
    void FillZones();
    void ApplyZone();
    void SelectMatchingZone();
    void DecimalToDms();
    void DmsToDecimal();
    void ShowFormat();
    void EnableAngles(BOOL bEnable);
    void SetLimits();
    // Data exchange, the scale-factor refusal and storing, before any move.
    BOOL Leave();

    int m_nKind;
    CZrPJParams m_params;
    CComboBox m_zones;
    double m_dAngles[ANGLE_COUNT];
    double m_dFalseEasting;
    double m_dFalseNorthing;
    double m_dScaleFactor;
    ZrDmsAngle m_dms[ANGLE_COUNT];
    int m_nFormat;
    CZrNumEdit m_edits[EDIT_COUNT];
};
