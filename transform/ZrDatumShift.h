#pragma once

#include "platform/ZrExport.h"
#include "platform/ZrPoint.h"

// The datum shift of single geodetic points between two ellipsoids, by one of
// the EPSG operation methods 9603 to 9608 (and 42607, which computes as 9606).
// Everything a point needs is derived once into ZrDatumShift by the
// translator's Create; the per-point functions only read it, allocate nothing
// and never write the shift, so one shift may serve several threads.

// One arc-second in radians.
constexpr double kZrArcSecond = 4.84813681109536e-06;

struct ZrDatumShift {
    long method = 0;
    // Source and destination ellipsoids: semi-major axis (metres), flattening
    // f itself and e^2 = (2 - f) f; the Molodensky differences da = a_d - a_s,
    // df = f_d - f_s.
    double aSrc = 0.0, fSrc = 0.0, esSrc = 0.0;
    double aDes = 0.0, fDes = 0.0, esDes = 0.0;
    double da = 0.0, df = 0.0;
    // Translation (metres), rotations (radians) and scale difference (ratio,
    // not ppm). The rotations are stored as stored by the caller (in the
    // coordinate-frame convention); the position-vector codes apply them
    // with the opposite sign.
    double dx = 0.0, dy = 0.0, dz = 0.0;
    double rx = 0.0, ry = 0.0, rz = 0.0;
    double scale = 0.0;
    // Prime meridians of the two geographic systems, degrees east of
    // Greenwich: longitudes count from them, the geocentric frame from Greenwich.
    double pmSrc = 0.0, pmDes = 0.0;
};

// Nonzero for the method codes that a datum shift can compute.
ZRPRJ_API int ZrIsDatumShiftMethod(long method);

// Degree-based forms of the geocentric conversions the shift uses (those of
// CZrPJMath, which work in radians), kept for callers.
// sqrt(1 - e^2 sin^2(lat)), lat in degrees.
ZRPRJ_API double ZrShiftGetW(double latDeg, double es);
// Geodetic (lon, lat in degrees, height 0) to geocentric metres on (a, e^2).
ZRPRJ_API void ZrShiftLP2XYZ(const CPoint2D& lonlat, CPoint3D& xyz, double a, double es);
// Geocentric metres to (lon, lat) in degrees on (a, f, e^2): Bowring's single
// step, no iteration; the height is dropped.
ZRPRJ_API void ZrShiftXYZ2LP(CPoint2D& lonlat, const CPoint3D& xyz, double a, double f, double es);

// Shifts one point in place; forward nonzero from the source datum to the
// destination datum, 0 back. Every method is a horizontal shift: the point
// enters the geocentric methods at height 0. The 2-D form first clamps the
// point to [-180, 180] x [-90, 90] (and writes the clamped values back). The
// 3-D form does not clamp and leaves z bit-identical, except that Molodensky's
// formula adds its height change dh; its longitude and latitude are those of
// the 2-D form, save that the seven-parameter methods undo the forward shift
// exactly when going back. Longitudes are counted from each side's prime
// meridian. A method code the shift does not know leaves the point (clamped)
// as it is.
ZRPRJ_API void ZrShiftDatum(const ZrDatumShift& shift, CPoint2D& pt, int forward);
ZRPRJ_API void ZrShiftDatum(const ZrDatumShift& shift, CPoint3D& pt, int forward);
