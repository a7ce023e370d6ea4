#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrString.h"

// The ten projection parameters of a coordinate system and the seven values
// of a datum shift, which the translator carries in the same object. Public
// data, read and written directly by callers.
class ZRPRJ_API CZrPJParams {
public:
    CZrPJParams(); // all 0, scale factor 1.0
    CZrPJParams(const CZrPJParams& other);
    virtual ~CZrPJParams();

    void operator=(const CZrPJParams& other);
    // 1 when all seventeen values are exactly equal (no tolerance).
    int operator==(const CZrPJParams& other) const;

    // Text form of the projection parameters and of the datum shift, and the
    // XML form.
    CString ToString() const;
    void FromString(CString text);
    CString ToStringExt() const;
    void FromStringExt(CString text);
    CString ToXML(int version) const;
    int FromXML(const CString& xml, int version);

    // ---- Projection parameters (the coordinate system uses these ten) ----
    double FalseEasting;         // linear unit of the coordinate system
    double FalseNorthing;        // linear unit of the coordinate system
    double CentralMeridian;      // decimal degrees
    double CentralParallel;      // decimal degrees, latitude of origin
    double StandardParallel1;    // decimal degrees (two-point: first point latitude)
    double StandardParallel2;    // decimal degrees (two-point: second point latitude)
    double ScaleFactor;          // 0 is replaced by 0.9996 when a system is built
    double Azimuth;              // decimal degrees (oblique Mercator kinds)
    double FirstPointLongitude;  // decimal degrees
    double SecondPointLongitude; // decimal degrees

    // ---- Datum shift (the translator uses these seven) ----
    double TranslationX;    // metres
    double TranslationY;    // metres
    double TranslationZ;    // metres
    double RotationX;       // arc-seconds
    double RotationY;       // arc-seconds
    double RotationZ;       // arc-seconds
    double ScaleDifference; // parts per million
};
