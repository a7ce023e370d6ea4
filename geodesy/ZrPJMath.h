#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"
#include "platform/ZrString.h"

// Angle conversion, DMS text, ellipsoid constants, great-circle angles and the
// geodetic/geocentric conversions. Stateless: every function is static and works
// in radians unless its name says degrees.
class ZRPRJ_API CZrPJMath {
public:
    CZrPJMath() = default;
    CZrPJMath(const CZrPJMath&) = default;
    CZrPJMath& operator=(const CZrPJMath&) = default;
    virtual ~CZrPJMath() = default;

    static constexpr double kDegToRad = 0.017453292519943295;
    static constexpr double kRadToDeg = 57.29577951308232;
    static constexpr double kHalfPi = 1.5707963267948966;
    static constexpr double kPi = 3.141592653589793;
    static constexpr double kQuarterPi = 0.7853981633974483;
    static constexpr double kTwoPi = 6.283185307179586;

    // Angles and DMS text.
    static double Deg2Rad(double deg);
    static double Deg2Rad(double d, double m, double s);
    static double DMS2Degree(double d, double m, double s);
    static void Degree2DMS(double deg, double& d, double& m, double& s);
    static double StrDMS2Degree(CString text);
    static CString Degree2StrDMS(double deg);

    // Guarded elementary functions: limit values instead of domain errors.
    static double aasin(double x);
    static double aacos(double x);
    static double aatan2(double y, double x);
    static double asqrt(double x);

    // Ellipsoid constants from semi-major a and semi-minor b.
    static double GetES(double a, double b);
    static double GetES_From_Flatten(double f);
    static double GetES_From_RF(double rf);
    static double GetE(double a, double b);
    static double Getone_ES(double a, double b);
    static double GetFlatten(double a, double b);
    static double GetW(double phi, double es);
    static double GetU(double phi, double e);
    static double GetF(double phi, double e, double es);

    // Great-circle angles.
    static double ZAngle(double lam1, double phi1, double lam2, double phi2);
    static double AAngle(double lam1, double phi1, double lam2, double phi2);
    static void AZ_To_LP(double& azimuthToLam, double& zenithToPhi, double lam0, double phi0);
    static void LP_To_AZ(double& lamToAzimuth, double& phiToZenith, double lam0, double phi0);

    // Auxiliary latitudes and geocentric coordinates on the surface.
    static void LU2XYZ(const CPoint2D& pt, CPoint3D& xyz, const double& a, const double& b);
    static void XYZ2LU(CPoint2D& pt, const CPoint3D& xyz, const double& a, const double& b);
    static void LF2XYZ(const CPoint2D& pt, CPoint3D& xyz, const double& a, const double& es);
    static void XYZ2LF(CPoint2D& pt, const CPoint3D& xyz, const double& a, const double& es);
    static void LP2XYZ(const CPoint2D& pt, CPoint3D& xyz, const double& a, const double& es);
    static void XYZ2LP(CPoint2D& pt, const CPoint3D& xyz, const double& a, const double& es);

    // Geodetic (lambda, phi, h) <-> geocentric (X, Y, Z), in place.
    static void LPH2XYZ(CPoint3D& pt, const double& a, const double& es);
    static void XYZ2LPH(CPoint3D& pt, const double& a, const double& es);
    static void XYZ2LPH2(CPoint3D& pt, const double& a, const double& b, const double& es);
    static void XYZ2LPH3(CPoint3D& pt, const double& a, const double& b, const double& es);
};
