#pragma once

#include "platform/ZrExport.h"

// Geodetic longitude, latitude (degrees) and ellipsoidal height (metres) on an
// ellipsoid of semi-major axis a and flattening f, to geocentric X, Y, Z
// (metres, X toward the meridian of longitude 0), and back. The forward is the
// textbook closed form; the inverse is Vermeille's closed form (2004), exact
// but for rounding: a round trip returns the point within 1 nm of height and
// 1e-15 rad of latitude for points from 40 km beneath the surface out to
// geostationary heights. Nearer the centre, inside the evolute of the
// meridian ellipse where the closed form's cube root takes a negative
// argument, Newton's iteration on the latitude takes over. Both write only
// their outputs and allocate nothing.
ZRPRJ_API void ZrGeodeticToGeocentric(double a, double f, double lonDeg, double latDeg, double h, double& x,
                                      double& y, double& z);
// 0 (outputs untouched) for a non-finite input or ellipsoid; 1 otherwise.
ZRPRJ_API int ZrGeocentricToGeodetic(double a, double f, double x, double y, double z, double& lonDeg,
                                     double& latDeg, double& h);
